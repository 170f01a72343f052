#pragma once
// The rows a list shows as selected, top to bottom: Qt gives them in the
// order they were picked.

#include <vector>

class QAbstractItemView;

std::vector<int> SelectedRows(const QAbstractItemView& view);

#include "selected_rows.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <algorithm>

std::vector<int> SelectedRows(const QAbstractItemView& view) {
  std::vector<int> rows;
  for (const QModelIndex& selected : view.selectionModel()->selectedRows())
    rows.push_back(selected.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

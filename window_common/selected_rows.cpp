#include "selected_rows.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <algorithm>

// From the selection's ranges: Qt's own list of selected rows asks every
// range about every row, which takes seconds for the thousands of runs that
// the failed rows of a long batch may form.
std::vector<int> SelectedRows(const QAbstractItemView& view) {
  std::vector<int> rows;
  for (const QItemSelectionRange& range : view.selectionModel()->selection())
    for (int row = range.top(); row <= range.bottom(); ++row) rows.push_back(row);
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  return rows;
}

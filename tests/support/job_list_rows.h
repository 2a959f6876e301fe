#pragma once

#include <QItemSelectionModel>
#include <vector>

#include "ui/job_list_view.h"

namespace lumio::test {

// The number of entries the job list shows.
inline int RowCount(const JobListView& list) { return list.model()->rowCount(); }

// Selects exactly `rows`, one after another in the order given, as a user's clicks
// would.
inline void SelectRows(JobListView& list, const std::vector<int>& rows) {
  list.clearSelection();
  for (const int row : rows) {
    list.selectionModel()->select(list.model()->index(row, 0), QItemSelectionModel::Select);
  }
}

}  // namespace lumio::test

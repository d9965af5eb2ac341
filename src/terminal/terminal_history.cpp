#include "terminal/terminal_history.h"

#include <algorithm>

namespace tw {

void TerminalHistory::Push(const char* row) {
  ++pushed_;
  if (capacity_ == 0) return;
  if (rows_.size() >= capacity_) rows_.pop_front();
  rows_.emplace_back();
  std::copy(row, row + HISTORY_COLUMNS, rows_.back().begin());
}

const char* TerminalHistory::Row(int64_t row) const {
  if (row < first() || row >= pushed_) return nullptr;
  return rows_[static_cast<size_t>(row - first())].data();
}

}  // namespace tw

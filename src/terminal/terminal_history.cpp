#include "terminal/terminal_history.h"

#include <cstring>

namespace tw {

void TerminalHistory::Push(const char* row) {
  ++pushed_;
  if (capacity_ == 0) return;
  if (!rows_) rows_ = std::make_unique_for_overwrite<char[]>(capacity_ * HISTORY_COLUMNS);
  std::memcpy(rows_.get() + next_ * HISTORY_COLUMNS, row, HISTORY_COLUMNS);
  if (++next_ == capacity_) next_ = 0;
  if (count_ < capacity_) ++count_;
}

const char* TerminalHistory::Row(int64_t row) const {
  if (row < first() || row >= pushed_) return nullptr;
  const size_t oldest = count_ < capacity_ ? 0 : next_;
  const size_t at = (oldest + static_cast<size_t>(row - first())) % capacity_;
  return rows_.get() + at * HISTORY_COLUMNS;
}

}  // namespace tw

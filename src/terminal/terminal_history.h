// The rows that have left the top of the screen, kept for the operator to
// scroll back to, and the view's place among them. Rows are numbered from
// the start of the run ("absolute" rows): the screen's row r is absolute row
// pushed() + r, and history rows keep their numbers while new ones arrive,
// so a selection or a search result stays on its text.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace tw {

constexpr int HISTORY_COLUMNS = 64;
// Rows kept above the live screen; a line is one row, so this is also the
// number of lines kept at the least.
constexpr size_t HISTORY_ROWS = 20000;

class TerminalHistory {
 public:
  explicit TerminalHistory(size_t capacity = HISTORY_ROWS) : capacity_(capacity) {}

  // The screen's top row as it leaves; the oldest row goes when full.
  void Push(const char* row);

  int64_t size() const { return static_cast<int64_t>(count_); }
  // Absolute number of the oldest row kept.
  int64_t first() const { return pushed_ - size(); }
  // Rows pushed so far: the absolute number of the screen's top row.
  int64_t pushed() const { return pushed_; }
  // The row kept under absolute number `row`, or nullptr.
  const char* Row(int64_t row) const;

  // Rows the view is scrolled back above the live screen (0: at the bottom,
  // the screen as always), and lines printed since it left the bottom.
  int back = 0;
  int unseen = 0;

 private:
  size_t capacity_;
  int64_t pushed_ = 0;
  // A ring of `capacity_` rows, taken whole when the first row scrolls; the
  // next row goes at `next_`, over the oldest once full. A line that scrolls
  // costs one copy of its row.
  std::unique_ptr<char[]> rows_;
  size_t next_ = 0;
  size_t count_ = 0;
};

}  // namespace tw

// Lines the program composes itself (reasons, hints, paths) are broken into
// rows that fit the 64-column terminal beside their time stamp, so nothing
// of them is lost off the right edge.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tw {

// Columns a terminal row has for text after "[hh:mm:ss] ".
constexpr size_t WRAP_COLUMNS = 64 - 11;
// Rows after the first start with this, so they read as one line.
constexpr std::string_view WRAP_INDENT = "  ";
// The most text one composed line may hold, as for a single printed line.
constexpr size_t WRAP_TEXT_MAX = 626;

// `text` as rows of at most `columns` characters (continuation rows with
// WRAP_INDENT in front, counted in `columns`). Breaks at the last space or
// after the last '/' or '\' that fits, whichever comes later, else inside
// the word. The spaces at a break are dropped; nothing else is. Text past
// WRAP_TEXT_MAX is cut.
std::vector<std::string> WrapComposedLine(std::string_view text, size_t columns = WRAP_COLUMNS);

}  // namespace tw

#include "terminal/line_wrap.h"

#include <algorithm>

namespace tw {

namespace {

// Where to cut `rest` so that its first part fits `room` characters: at
// the later of the last space and the end of the last folder separator
// that fit, else where the room ends.
size_t BreakAt(std::string_view rest, size_t room) {
  if (rest.size() <= room) return rest.size();
  size_t cut = 0;
  // A space just past the room ends the word that fills it exactly.
  const size_t space = rest.rfind(' ', room);
  if (space != std::string_view::npos) cut = space;
  const size_t slash = rest.find_last_of("/\\", room - 1);
  if (slash != std::string_view::npos) cut = std::max(cut, slash + 1);
  return cut > 0 ? cut : room;
}

}  // namespace

std::vector<std::string> WrapComposedLine(std::string_view text, size_t columns) {
  text = text.substr(0, WRAP_TEXT_MAX);
  const size_t indent = WRAP_INDENT.size();
  columns = std::max(columns, indent + 1);
  std::vector<std::string> rows;
  while (true) {
    const bool first = rows.empty();
    const size_t room = first ? columns : columns - indent;
    const size_t cut = BreakAt(text, room);
    std::string row = first ? std::string() : std::string(WRAP_INDENT);
    const std::string_view part = text.substr(0, cut);
    row.append(part.substr(0, part.find_last_not_of(' ') + 1));
    rows.push_back(std::move(row));
    text.remove_prefix(cut);
    const size_t next = text.find_first_not_of(' ');
    if (next == std::string_view::npos) break;
    text.remove_prefix(next);
  }
  return rows;
}

}  // namespace tw

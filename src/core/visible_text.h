// Lines that leave the program as text (standard output, log records) must
// not carry control bytes: an escape sequence from a peer would drive the
// operator's terminal, a NUL would cut a record short in a C reader, and a
// CR inside a line would look like a record boundary to readers that split
// at CR. Such bytes are written as "\xHH" (two upper-case hex digits);
// every other byte, tab included, is kept as it is.
#pragma once

#include <string>
#include <string_view>

namespace tw {

// True for the bytes written as escapes: 0x00..0x1F except tab, and 0x7F.
constexpr bool IsEscapedControl(unsigned char byte) {
  return (byte < 0x20 && byte != '\t') || byte == 0x7F;
}

// Bytes written per escaped byte: "\x" and two hex digits.
constexpr size_t ESCAPE_WIDTH = 4;

// `text` with each control byte written as "\xHH"; the text itself when it
// has none.
std::string VisibleControls(std::string_view text);

// The same, appended to `out`.
void AppendVisibleControls(std::string& out, std::string_view text);

}  // namespace tw

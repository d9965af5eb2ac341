// What a configuration file's text must be before its settings are read,
// beyond well-formed XML: UTF-8 (the encoding the program writes, and the
// only one it reads), only characters XML allows, written directly or as
// character references, and element names that are XML names. The parser
// takes more than that: a "&#0;" would end a value early, other encodings
// and broken UTF-8 would pass as they are.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tw {

// Empty when `text` is such a text; otherwise why not, with where, for the
// operator.
std::string CheckConfigText(std::string_view text);

// A name from a file as a message shows it: control characters and bytes
// that are not UTF-8 as "\xHH", at most `max` bytes of it, cut between
// characters and followed by "..." when cut.
std::string ShownConfigName(std::string_view name, size_t max);

}  // namespace tw

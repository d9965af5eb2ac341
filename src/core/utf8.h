// Reading UTF-8 one character at a time, for file names on Windows and for
// checking configuration files.
#pragma once

#include <cstddef>
#include <string_view>

namespace tw {

// One character of UTF-8 at text[i]: its code point and length, or a length
// of 0 when the bytes there are not well-formed UTF-8 (overlong forms,
// surrogates and values past U+10FFFF included).
size_t DecodeUtf8(std::string_view text, size_t i, char32_t& codePoint);

}  // namespace tw

#include "core/utf8.h"

namespace tw {

size_t DecodeUtf8(std::string_view text, size_t i, char32_t& codePoint) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[i + k]); };
  const unsigned char first = byte(0);
  size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // range of the second byte
  if (first < 0x80) {
    codePoint = first;
    return 1;
  } else if (first >= 0xC2 && first <= 0xDF) {
    length = 2;
    codePoint = first & 0x1F;
  } else if (first >= 0xE0 && first <= 0xEF) {
    length = 3;
    codePoint = first & 0x0F;
    if (first == 0xE0) low = 0xA0;
    if (first == 0xED) high = 0x9F;
  } else if (first >= 0xF0 && first <= 0xF4) {
    length = 4;
    codePoint = first & 0x07;
    if (first == 0xF0) low = 0x90;
    if (first == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  if (byte(1) < low || byte(1) > high) return 0;
  for (size_t k = 1; k < length; ++k) {
    if ((byte(k) & 0xC0) != 0x80) return 0;  // not a continuation byte
    codePoint = (codePoint << 6) | (byte(k) & 0x3F);
  }
  return length;
}

}  // namespace tw

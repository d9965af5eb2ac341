#include "core/visible_text.h"

namespace tw {

void AppendVisibleControls(std::string& out, std::string_view text) {
  static constexpr char HEX[] = "0123456789ABCDEF";
  for (const char ch : text) {
    const auto byte = static_cast<unsigned char>(ch);
    if (!IsEscapedControl(byte)) {
      out += ch;
      continue;
    }
    out += "\\x";
    out += HEX[byte >> 4];
    out += HEX[byte & 0x0F];
  }
}

std::string VisibleControls(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendVisibleControls(out, text);
  return out;
}

}  // namespace tw

#include "core/paths.h"

#include <cstdlib>

#include "core/utf8.h"

namespace tw {

namespace fs = std::filesystem;

#ifdef _WIN32
namespace {

std::wstring WideFromUtf8(std::string_view text) {
  std::wstring wide;
  wide.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    char32_t codePoint = 0;
    size_t length = DecodeUtf8(text, i, codePoint);
    if (length == 0) {
      codePoint = static_cast<unsigned char>(text[i]);  // Latin-1
      length = 1;
    }
    if (codePoint >= 0x10000) {
      codePoint -= 0x10000;
      wide += static_cast<wchar_t>(0xD800 + (codePoint >> 10));
      wide += static_cast<wchar_t>(0xDC00 + (codePoint & 0x3FF));
    } else {
      wide += static_cast<wchar_t>(codePoint);
    }
    i += length;
  }
  return wide;
}

void AppendUtf8(std::string& out, char32_t codePoint) {
  if (codePoint < 0x80) {
    out += static_cast<char>(codePoint);
  } else if (codePoint < 0x800) {
    out += static_cast<char>(0xC0 | (codePoint >> 6));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    out += static_cast<char>(0xE0 | (codePoint >> 12));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (codePoint >> 18));
    out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  }
}

// Windows names are UTF-16 that may hold a lone surrogate; it shows as U+FFFD.
std::string Utf8FromWide(std::wstring_view wide) {
  std::string out;
  out.reserve(wide.size());
  for (size_t i = 0; i < wide.size(); ++i) {
    char32_t unit = static_cast<char16_t>(wide[i]);
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
        wide[i + 1] <= 0xDFFF) {
      unit = 0x10000 + ((unit - 0xD800) << 10) + (static_cast<char16_t>(wide[i + 1]) - 0xDC00);
      ++i;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      unit = 0xFFFD;
    }
    AppendUtf8(out, unit);
  }
  return out;
}

}  // namespace

fs::path PathFromUtf8(std::string_view text) { return fs::path(WideFromUtf8(text)); }

std::string PathToUtf8(const fs::path& path) { return Utf8FromWide(path.native()); }

std::FILE* OpenFile(const fs::path& path, const char* mode) {
  return _wfopen(path.c_str(), WideFromUtf8(mode).c_str());
}

fs::path DefaultDataRoot() {
  return PathFromUtf8(WINDOWS_DATA_ROOT.substr(0, WINDOWS_DATA_ROOT.size() - 1));
}

#else

fs::path PathFromUtf8(std::string_view text) { return fs::path(std::string(text)); }

std::string PathToUtf8(const fs::path& path) { return path.native(); }

std::FILE* OpenFile(const fs::path& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
}

fs::path DefaultDataRoot() {
  if (const char* env = std::getenv("TIDEWIRE_HOME"); env != nullptr && *env != '\0') {
    return PathFromUtf8(env);
  }
  const char* home = std::getenv("HOME");
  return PathFromUtf8(home != nullptr && *home != '\0' ? home : ".") / "Tidewire";
}

#endif

fs::path UnderDataRoot(const fs::path& root, std::string_view windowsPath) {
  if (windowsPath.starts_with(WINDOWS_DATA_ROOT))
    windowsPath.remove_prefix(WINDOWS_DATA_ROOT.size());
  fs::path out = root;
  while (!windowsPath.empty()) {
    const size_t cut = windowsPath.find('\\');
    out /= PathFromUtf8(windowsPath.substr(0, cut));
    if (cut == std::string_view::npos) break;
    windowsPath.remove_prefix(cut + 1);
  }
  return out;
}

}  // namespace tw

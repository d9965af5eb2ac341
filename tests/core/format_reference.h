// The C library's own formatting, which the formatter's tests compare with.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>

namespace tw::test {

// What the C library makes of the same format and arguments. MinGW's own
// printf reads the same formats as glibc's ("%zu" included).
#ifdef __MINGW32__
#define TW_TEST_PRINTF __attribute__((format(gnu_printf, 1, 2)))
#else
#define TW_TEST_PRINTF __attribute__((format(printf, 1, 2)))
#endif
inline std::string Snprintf(const char* format, ...) TW_TEST_PRINTF;
inline std::string Snprintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string out(static_cast<size_t>(n) + 1, '\0');
  std::vsnprintf(out.data(), out.size(), format, args);
  va_end(args);
  out.resize(static_cast<size_t>(n));
  return out;
}

}  // namespace tw::test

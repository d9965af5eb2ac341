// printf-style formatting into std::string. The program's messages are C
// formats ("%02d", "%3.1f"); keeping them as written keeps every line exact.
#pragma once

#include <string>

namespace tw {

// MinGW's own printf, which the C++ library uses there, reads the same
// formats as glibc's ("%zu" included); "printf" alone would check them
// against Microsoft's older set.
#ifdef __MINGW32__
#define TW_PRINTF_FORMAT(f, a) __attribute__((format(gnu_printf, f, a)))
#else
#define TW_PRINTF_FORMAT(f, a) __attribute__((format(printf, f, a)))
#endif

std::string cformat(const char* format, ...) TW_PRINTF_FORMAT(1, 2);

}  // namespace tw

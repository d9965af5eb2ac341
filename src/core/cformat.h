// printf-style formatting into std::string. The program's messages are C
// formats ("%02d", "%3.1f"); keeping them as written keeps every line exact.
#pragma once

#include <string>

namespace tw {

std::string cformat(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace tw

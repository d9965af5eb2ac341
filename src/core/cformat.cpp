#include "core/cformat.h"

#include <clocale>
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string_view>
#include <type_traits>

namespace tw {

// The program's lines and sentences always write "1500.0", whatever the
// operator's locale says about decimal commas (Qt sets the process locale
// from the environment). Under a locale whose decimal point is "." the C
// library formats the whole text at once. Under any other, each conversion
// is formatted on its own and the locale's decimal point in a floating-point
// conversion is put back to "."; nothing else differs between locales
// without the ' flag, which the program does not use. This needs neither a
// per-thread locale nor changes to the process's own.

namespace {

std::string VFormat(const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  const int needed = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string out;
  if (needed > 0) {
    out.resize(static_cast<size_t>(needed) + 1);
    std::vsnprintf(out.data(), out.size(), format, args);
    out.resize(static_cast<size_t>(needed));
  }
  return out;
}

// Appends one conversion, formatted by the C library from its own directive.
template <typename... Values>
void AppendFormatted(std::string& out, const char* directive, Values... values) {
  const int needed = std::snprintf(nullptr, 0, directive, values...);
  if (needed <= 0) return;
  const size_t at = out.size();
  out.resize(at + static_cast<size_t>(needed) + 1);
  std::snprintf(out.data() + at, static_cast<size_t>(needed) + 1, directive, values...);
  out.resize(at + static_cast<size_t>(needed));
}

// The "*" width and precision taken from the arguments, before the value.
struct Stars {
  int value[2] = {0, 0};
  int count = 0;
};

template <typename T>
void AppendConversion(std::string& out, const std::string& directive, const Stars& stars, T value) {
  switch (stars.count) {
    case 0:
      AppendFormatted(out, directive.c_str(), value);
      break;
    case 1:
      AppendFormatted(out, directive.c_str(), stars.value[0], value);
      break;
    default:
      AppendFormatted(out, directive.c_str(), stars.value[0], stars.value[1], value);
      break;
  }
}

enum class Length { None, Char, Short, Long, LongLong, Max, Size, PtrDiff, LongDouble };

const char* ReadLength(const char* p, Length& length) {
  switch (*p) {
    case 'h':
      if (p[1] == 'h') {
        length = Length::Char;
        return p + 2;
      }
      length = Length::Short;
      return p + 1;
    case 'l':
      if (p[1] == 'l') {
        length = Length::LongLong;
        return p + 2;
      }
      length = Length::Long;
      return p + 1;
    case 'j':
      length = Length::Max;
      return p + 1;
    case 'z':
      length = Length::Size;
      return p + 1;
    case 't':
      length = Length::PtrDiff;
      return p + 1;
    case 'L':
      length = Length::LongDouble;
      return p + 1;
    default:
      length = Length::None;
      return p;
  }
}

void AppendSigned(std::string& out, const std::string& directive, const Stars& stars, Length length,
                  va_list& args) {
  switch (length) {
    case Length::Long:
      AppendConversion(out, directive, stars, va_arg(args, long));
      break;
    case Length::LongLong:
      AppendConversion(out, directive, stars, va_arg(args, long long));
      break;
    case Length::Max:
      AppendConversion(out, directive, stars, va_arg(args, intmax_t));
      break;
    case Length::Size:
      AppendConversion(out, directive, stars, va_arg(args, std::make_signed_t<size_t>));
      break;
    case Length::PtrDiff:
      AppendConversion(out, directive, stars, va_arg(args, ptrdiff_t));
      break;
    default:  // char and short arrive promoted to int
      AppendConversion(out, directive, stars, va_arg(args, int));
      break;
  }
}

void AppendUnsigned(std::string& out, const std::string& directive, const Stars& stars,
                    Length length, va_list& args) {
  switch (length) {
    case Length::Long:
      AppendConversion(out, directive, stars, va_arg(args, unsigned long));
      break;
    case Length::LongLong:
      AppendConversion(out, directive, stars, va_arg(args, unsigned long long));
      break;
    case Length::Max:
      AppendConversion(out, directive, stars, va_arg(args, uintmax_t));
      break;
    case Length::Size:
      AppendConversion(out, directive, stars, va_arg(args, size_t));
      break;
    case Length::PtrDiff:
      AppendConversion(out, directive, stars, va_arg(args, std::make_unsigned_t<ptrdiff_t>));
      break;
    default:
      AppendConversion(out, directive, stars, va_arg(args, unsigned));
      break;
  }
}

// %n: the count of characters written so far, into the caller's variable.
void StoreCount(size_t count, Length length, va_list& args) {
  switch (length) {
    case Length::Char:
      *va_arg(args, signed char*) = static_cast<signed char>(count);
      break;
    case Length::Short:
      *va_arg(args, short*) = static_cast<short>(count);
      break;
    case Length::Long:
      *va_arg(args, long*) = static_cast<long>(count);
      break;
    case Length::LongLong:
      *va_arg(args, long long*) = static_cast<long long>(count);
      break;
    case Length::Max:
      *va_arg(args, intmax_t*) = static_cast<intmax_t>(count);
      break;
    case Length::Size:
      *va_arg(args, size_t*) = count;
      break;
    case Length::PtrDiff:
      *va_arg(args, ptrdiff_t*) = static_cast<ptrdiff_t>(count);
      break;
    default:
      *va_arg(args, int*) = static_cast<int>(count);
      break;
  }
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string VFormatWithPoint(std::string_view localePoint, const char* format, va_list& args) {
  std::string out;
  const char* p = format;
  while (*p != '\0') {
    if (*p != '%') {
      const char* next = std::strchr(p, '%');
      const size_t run = next != nullptr ? static_cast<size_t>(next - p) : std::strlen(p);
      out.append(p, run);
      p += run;
      continue;
    }
    const char* start = p++;
    if (*p == '%') {
      out += '%';
      ++p;
      continue;
    }
    Stars stars;
    while (*p != '\0' && std::strchr("-+ #0'", *p) != nullptr) ++p;
    if (*p == '*') {
      stars.value[stars.count++] = va_arg(args, int);
      ++p;
    } else {
      while (IsDigit(*p)) ++p;
    }
    if (*p == '.') {
      ++p;
      if (*p == '*') {
        stars.value[stars.count++] = va_arg(args, int);
        ++p;
      } else {
        while (IsDigit(*p)) ++p;
      }
    }
    Length length = Length::None;
    p = ReadLength(p, length);
    const char conversion = *p;
    if (conversion == '\0') {
      out.append(start);  // a lone '%' at the end stays as written
      break;
    }
    ++p;
    const std::string directive(start, p);
    switch (conversion) {
      case 'd':
      case 'i':
        AppendSigned(out, directive, stars, length, args);
        break;
      case 'o':
      case 'u':
      case 'x':
      case 'X':
        AppendUnsigned(out, directive, stars, length, args);
        break;
      case 'f':
      case 'F':
      case 'e':
      case 'E':
      case 'g':
      case 'G':
      case 'a':
      case 'A': {
        std::string number;
        if (length == Length::LongDouble) {
          AppendConversion(number, directive, stars, va_arg(args, long double));
        } else {
          AppendConversion(number, directive, stars, va_arg(args, double));
        }
        // One radix character at most, and nothing else of the locale's.
        const size_t point = number.find(localePoint);
        if (point == std::string::npos) {
          out += number;
        } else {
          out.append(number, 0, point);
          out += '.';
          out.append(number, point + localePoint.size());
        }
        break;
      }
      case 'c':
        if (length == Length::Long) {
          // A wint_t narrower than int arrives promoted, as on Windows.
          using WideChar = std::conditional_t<(sizeof(wint_t) < sizeof(int)), int, wint_t>;
          AppendConversion(out, directive, stars, static_cast<wint_t>(va_arg(args, WideChar)));
        } else {
          AppendConversion(out, directive, stars, va_arg(args, int));
        }
        break;
      case 's':
        if (length == Length::Long) {
          AppendConversion(out, directive, stars, va_arg(args, const wchar_t*));
        } else {
          AppendConversion(out, directive, stars, va_arg(args, const char*));
        }
        break;
      case 'p':
        AppendConversion(out, directive, stars, va_arg(args, void*));
        break;
      case 'n':
        StoreCount(out.size(), length, args);
        break;
      default:
        out.append(directive);  // not a conversion: kept as written, no argument taken
        break;
    }
  }
  return out;
}

}  // namespace

std::string cformat(const char* format, ...) {
  const char* point = std::localeconv()->decimal_point;
  const bool plainPoint = point == nullptr || *point == '\0' || std::strcmp(point, ".") == 0;
  // Copied at once: another localeconv() may overwrite the C library's buffer.
  const std::string localePoint = plainPoint ? std::string() : std::string(point);
  va_list args;
  va_start(args, format);
  std::string out =
      plainPoint ? VFormat(format, args) : VFormatWithPoint(localePoint, format, args);
  va_end(args);
  return out;
}

}  // namespace tw

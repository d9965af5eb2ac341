// printf-style formatting without stdio, for every line, sentence, record and
// name the program writes. The formats stay written as C formats ("%02d",
// "%3.1f", "%-*s", "%zu") and every conversion writes exactly the bytes
// snprintf writes in the C locale, whatever the process's locale says about
// the decimal point; numbers go through std::to_chars, padding is done here.
//
// The conversions understood: %d %i %u %x %X %c %s %f and %%; the flags '-'
// (left-justify) and '0' (pad numbers with zeros); a width and a precision,
// written out or as '*' (taken from an int argument before the value, a
// negative width meaning '-'); the precision on %f (digits after the point)
// and %s (most characters taken); the length modifiers hh h l ll z t j on the
// integer conversions, which convert the value to the type they name as
// printf does. A format given as a string literal (or a constexpr pointer to
// one) is checked against its arguments when compiling, as -Wformat checks a
// printf call: an integer's type after promotion must be the one its length
// modifier names (int without one), a '*' takes an int, %f a floating-point
// value, %s text. Anything else fails to compile.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace tw {

// One argument as the formatter sees it.
struct FormatArg {
  enum class Kind : uint8_t { kInt, kDouble, kText };
  Kind kind;
  uint8_t bytes;  // an integer's size after promotion: the bits %x and %u show
  bool null;      // text from a null pointer
  union {
    int64_t i;
    double d;
    struct {
      const char* data;
      size_t size;
    } s;
  };

  template <class T>
  static FormatArg From(const T& v) {
    FormatArg a{};
    if constexpr (std::is_floating_point_v<T>) {
      a.kind = Kind::kDouble;
      a.d = static_cast<double>(v);
    } else if constexpr (std::is_integral_v<T> || std::is_enum_v<T>) {
      a.kind = Kind::kInt;
      a.bytes = sizeof(T) > 4 ? 8 : 4;
      a.i = static_cast<int64_t>(v);
    } else {
      // Like %s with a C string: the text ends at its first NUL, and a null
      // pointer shows as the C library shows it.
      std::string_view text;
      if constexpr (std::is_pointer_v<T>) {
        a.null = v == nullptr;
        text = v != nullptr ? std::string_view(v) : std::string_view("(null)");
      } else {
        text = std::string_view(v);
        const size_t nul = text.find('\0');
        if (nul != std::string_view::npos) text = text.substr(0, nul);
      }
      a.kind = Kind::kText;
      a.s.data = text.data();
      a.s.size = text.size();
    }
    return a;
  }
};

namespace format_detail {

// The length modifiers of the integer conversions.
enum class Length : uint8_t { kNone, kChar, kShort, kLong, kLongLong, kSize, kPtrDiff, kMax };

// Reads a length modifier at f[i], moving i past it.
constexpr Length ReadLength(std::string_view f, size_t& i) {
  if (i >= f.size()) return Length::kNone;
  const bool twice = i + 1 < f.size() && f[i + 1] == f[i];
  switch (f[i]) {
    case 'h':
      i += twice ? 2 : 1;
      return twice ? Length::kChar : Length::kShort;
    case 'l':
      i += twice ? 2 : 1;
      return twice ? Length::kLongLong : Length::kLong;
    case 'z':
      ++i;
      return Length::kSize;
    case 't':
      ++i;
      return Length::kPtrDiff;
    case 'j':
      ++i;
      return Length::kMax;
    default:
      return Length::kNone;
  }
}

// What the compile-time check tells apart: the integer types printf reads
// with different length modifiers, floating point, and text.
enum class ArgType : uint8_t { kInt, kLong, kLongLong, kDouble, kText };

template <class T>
constexpr ArgType IntegerType() {
  using Promoted = decltype(+std::declval<T>());  // char, short and bool become int
  using Signed = std::make_signed_t<Promoted>;
  static_assert(sizeof(Promoted) <= 8, "a format argument is at most 64 bits wide");
  if constexpr (std::is_same_v<Signed, long long>) {
    return ArgType::kLongLong;
  } else if constexpr (std::is_same_v<Signed, long>) {
    return ArgType::kLong;
  } else {
    return ArgType::kInt;
  }
}

template <class T>
constexpr ArgType TypeOf() {
  using D = std::decay_t<T>;
  if constexpr (std::is_floating_point_v<D>) {
    return ArgType::kDouble;
  } else if constexpr (std::is_enum_v<D>) {
    return IntegerType<std::underlying_type_t<D>>();
  } else if constexpr (std::is_integral_v<D>) {
    return IntegerType<D>();
  } else {
    static_assert(std::is_convertible_v<const D&, std::string_view>,
                  "a format argument is a number or text");
    return ArgType::kText;
  }
}

// The type an integer conversion with this length modifier takes.
constexpr ArgType IntegerTypeFor(Length length) {
  switch (length) {
    case Length::kLong:
      return ArgType::kLong;
    case Length::kLongLong:
      return ArgType::kLongLong;
    case Length::kSize:
      return IntegerType<size_t>();
    case Length::kPtrDiff:
      return IntegerType<ptrdiff_t>();
    case Length::kMax:
      return IntegerType<intmax_t>();
    default:  // hh and h take an int, which printf then narrows
      return ArgType::kInt;
  }
}

// Reached only when a checked format does not fit its arguments: calling a
// function that is not constexpr stops the compilation there.
void FormatDoesNotFitArguments();

// Walks a format as FormatInto does and answers whether its conversions and
// '*'s take exactly `types`, in order, and use only what FormatInto knows.
constexpr bool FormatFits(std::string_view f, const ArgType* types, size_t count) {
  size_t used = 0;
  const auto take = [&](ArgType type) { return used < count && types[used++] == type; };
  const auto skipDigits = [&](size_t& i) {
    while (i < f.size() && f[i] >= '0' && f[i] <= '9') ++i;
  };
  for (size_t i = 0; i < f.size(); ++i) {
    if (f[i] != '%') continue;
    if (++i >= f.size()) return false;
    if (f[i] == '%') continue;
    bool zero = false;
    for (; i < f.size() && (f[i] == '-' || f[i] == '0'); ++i) zero = zero || f[i] == '0';
    if (i < f.size() && f[i] == '*') {
      if (!take(ArgType::kInt)) return false;
      ++i;
    }
    skipDigits(i);
    bool precision = false;
    if (i < f.size() && f[i] == '.') {
      precision = true;
      if (++i < f.size() && f[i] == '*') {
        if (!take(ArgType::kInt)) return false;
        ++i;
      }
      skipDigits(i);
    }
    const Length length = ReadLength(f, i);
    if (i >= f.size()) return false;
    const bool plain = length == Length::kNone;
    switch (f[i]) {
      case 'd':
      case 'i':
      case 'u':
      case 'x':
      case 'X':
        if (precision || !take(IntegerTypeFor(length))) return false;
        break;
      case 'c':
        if (!plain || precision || zero || !take(ArgType::kInt)) return false;
        break;
      case 's':
        if (!plain || zero || !take(ArgType::kText)) return false;
        break;
      case 'f':
        if (!plain || !take(ArgType::kDouble)) return false;
        break;
      default:
        return false;
    }
  }
  return used == count;
}

}  // namespace format_detail

// A format checked against the types of its arguments when compiling: a
// string literal, or a constexpr pointer to one.
template <class... Args>
struct CheckedFormat {
  std::string_view text;

  consteval CheckedFormat(const char* format) : text(format) {  // NOLINT
    constexpr format_detail::ArgType types[sizeof...(Args) + 1] = {format_detail::TypeOf<Args>()...,
                                                                   format_detail::ArgType::kInt};
    if (!format_detail::FormatFits(text, types, sizeof...(Args))) {
      format_detail::FormatDoesNotFitArguments();
    }
  }
};

// A format known only when running (a table's entry). A conversion that does
// not fit its argument, or has none, writes nothing; a '*' without an int
// gives no width or precision.
struct RuntimeFormat {
  std::string_view text;
};

// Writes at most `capacity` bytes of the formatted text to `out` and answers
// the length of the whole text, as snprintf does (without the NUL).
size_t FormatInto(char* out, size_t capacity, std::string_view format, const FormatArg* args,
                  size_t count);

// Text of at most N bytes built in place. What does not fit is cut off and
// remembered (`cut()`); nothing is written past the end.
template <size_t N>
class FixedText {
 public:
  template <class... Args>
  FixedText& Format(CheckedFormat<std::type_identity_t<Args>...> format, const Args&... args) {
    const FormatArg list[sizeof...(Args) + 1] = {FormatArg::From(args)..., FormatArg{}};
    return Add(format.text, list, sizeof...(Args));
  }

  template <class... Args>
  FixedText& Format(RuntimeFormat format, const Args&... args) {
    const FormatArg list[sizeof...(Args) + 1] = {FormatArg::From(args)..., FormatArg{}};
    return Add(format.text, list, sizeof...(Args));
  }

  // "%d" with a width up to 32: padded with spaces, or with zeros after the
  // sign ("%02d"). For texts made on every sentence, where even reading a
  // format costs too much.
  FixedText& Decimal(int32_t v, size_t width = 0, char pad = ' ') {
    // The usual fields first: a port number, a time or date field, a year.
    if (width <= 1 && v >= 0 && v < 10 && size_ + 1 <= N) {
      data_[size_++] = static_cast<char>('0' + v);
      return *this;
    }
    if (width == 2 && pad == '0' && v >= 0 && v < 100 && size_ + 2 <= N) {
      data_[size_] = static_cast<char>('0' + v / 10);
      data_[size_ + 1] = static_cast<char>('0' + v % 10);
      size_ += 2;
      return *this;
    }
    if (width <= 4 && v >= 1000 && v < 10000 && size_ + 4 <= N) {
      data_[size_] = static_cast<char>('0' + v / 1000);
      data_[size_ + 1] = static_cast<char>('0' + v / 100 % 10);
      data_[size_ + 2] = static_cast<char>('0' + v / 10 % 10);
      data_[size_ + 3] = static_cast<char>('0' + v % 10);
      size_ += 4;
      return *this;
    }
    char text[48];
    char* end = text + sizeof text;
    char* p = end;
    uint32_t u = v < 0 ? 0u - static_cast<uint32_t>(v) : static_cast<uint32_t>(v);
    do {
      *--p = static_cast<char>('0' + u % 10);
      u /= 10;
    } while (u != 0);
    const size_t digits = static_cast<size_t>(end - p);
    const size_t length = digits + (v < 0 ? 1 : 0);
    if (width > 32) width = 32;
    const size_t fill = width > length ? width - length : 0;
    if (pad == '0') {
      for (size_t i = 0; i < fill; ++i) *--p = '0';
      if (v < 0) *--p = '-';
    } else {
      if (v < 0) *--p = '-';
      for (size_t i = 0; i < fill; ++i) *--p = ' ';
    }
    const size_t n = static_cast<size_t>(end - p);
    if (size_ + n > N) return Append(std::string_view(p, n));
    for (size_t i = 0; i < n; ++i) data_[size_ + i] = p[i];
    size_ += n;
    return *this;
  }

  FixedText& Append(std::string_view text) {
    const size_t room = N - size_;
    const size_t n = text.size() < room ? text.size() : room;
    if (n <= 8) {
      for (size_t i = 0; i < n; ++i) data_[size_ + i] = text[i];
    } else {
      std::memcpy(data_ + size_, text.data(), n);
    }
    size_ += n;
    if (n < text.size()) cut_ = true;
    return *this;
  }

  std::string_view view() const { return {data_, size_}; }
  const char* data() const { return data_; }
  std::string str() const { return std::string(data_, size_); }
  size_t size() const { return size_; }
  bool cut() const { return cut_; }
  void clear() {
    size_ = 0;
    cut_ = false;
  }

 private:
  FixedText& Add(std::string_view format, const FormatArg* list, size_t count) {
    const size_t whole = FormatInto(data_ + size_, N - size_, format, list, count);
    if (whole > N - size_) {
      size_ = N;
      cut_ = true;
    } else {
      size_ += whole;
    }
    return *this;
  }

  char data_[N];
  size_t size_ = 0;
  bool cut_ = false;
};

// The whole formatted text as a string, however long; short texts are built
// on the stack first.
std::string FormatToString(std::string_view format, const FormatArg* args, size_t count);

template <class... Args>
std::string FixedFormat(CheckedFormat<std::type_identity_t<Args>...> format, const Args&... args) {
  const FormatArg list[sizeof...(Args) + 1] = {FormatArg::From(args)..., FormatArg{}};
  return FormatToString(format.text, list, sizeof...(Args));
}

template <class... Args>
std::string FixedFormat(RuntimeFormat format, const Args&... args) {
  const FormatArg list[sizeof...(Args) + 1] = {FormatArg::From(args)..., FormatArg{}};
  return FormatToString(format.text, list, sizeof...(Args));
}

}  // namespace tw

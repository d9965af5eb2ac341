// printf-style formatting without stdio, for the lines, sentences and records
// made for every sentence. The formats stay written as C formats ("%02d",
// "%3.1f") and every conversion writes exactly the bytes snprintf writes in
// the C locale; numbers go through std::to_chars, padding is done here.
//
// The conversions understood: %d %i %u %x %X %c %s %f and %%, with the flags
// '-' (left-justify) and '0' (pad with zeros), a width, and a precision for
// %f (digits after the point) and %s (most characters taken). A format given
// as a string literal is checked against its arguments when compiling;
// anything else fails to compile.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>

namespace tw {

// One argument as the formatter sees it.
struct FormatArg {
  enum class Kind : uint8_t { kInt, kDouble, kText };
  Kind kind;
  bool wide;  // an integer wider than 32 bits: %x shows all of its bits
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
    } else if constexpr (std::is_integral_v<T>) {
      a.kind = Kind::kInt;
      a.wide = sizeof(T) > 4;
      a.i = static_cast<int64_t>(v);
    } else if constexpr (std::is_enum_v<T>) {
      a.kind = Kind::kInt;
      a.wide = sizeof(T) > 4;
      a.i = static_cast<int64_t>(v);
    } else {
      // Like %s with a C string: the text ends at its first NUL, and a null
      // pointer shows as the C library shows it.
      std::string_view text;
      if constexpr (std::is_pointer_v<T>) {
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

template <class T>
constexpr FormatArg::Kind KindOf() {
  using D = std::decay_t<T>;
  if constexpr (std::is_floating_point_v<D>) {
    return FormatArg::Kind::kDouble;
  } else if constexpr (std::is_integral_v<D> || std::is_enum_v<D>) {
    return FormatArg::Kind::kInt;
  } else {
    static_assert(std::is_convertible_v<const D&, std::string_view>,
                  "a format argument is a number or text");
    return FormatArg::Kind::kText;
  }
}

// Reached only when a checked format does not fit its arguments: calling a
// function that is not constexpr stops the compilation there.
void FormatDoesNotFitArguments();

// Walks a format as FormatInto does and answers whether its conversions take
// exactly `kinds`, in order, and use only what FormatInto understands.
constexpr bool FormatFits(std::string_view f, const FormatArg::Kind* kinds, size_t count) {
  size_t used = 0;
  for (size_t i = 0; i < f.size(); ++i) {
    if (f[i] != '%') continue;
    if (++i >= f.size()) return false;
    if (f[i] == '%') continue;
    while (i < f.size() && (f[i] == '-' || f[i] == '0')) ++i;
    while (i < f.size() && f[i] >= '0' && f[i] <= '9') ++i;
    bool precision = false;
    if (i < f.size() && f[i] == '.') {
      precision = true;
      ++i;
      while (i < f.size() && f[i] >= '0' && f[i] <= '9') ++i;
    }
    if (i >= f.size() || used >= count) return false;
    const char c = f[i];
    const FormatArg::Kind k = kinds[used++];
    switch (c) {
      case 'd':
      case 'i':
      case 'u':
      case 'x':
      case 'X':
      case 'c':
        if (k != FormatArg::Kind::kInt || precision) return false;
        break;
      case 'f':
        if (k != FormatArg::Kind::kDouble) return false;
        break;
      case 's':
        if (k != FormatArg::Kind::kText) return false;
        break;
      default:
        return false;
    }
  }
  return used == count;
}

}  // namespace format_detail

// A format checked against the types of its arguments when compiling.
template <class... Args>
struct CheckedFormat {
  std::string_view text;

  template <size_t N>
  consteval CheckedFormat(const char (&literal)[N]) : text(literal, N - 1) {  // NOLINT
    constexpr FormatArg::Kind kinds[sizeof...(Args) + 1] = {format_detail::KindOf<Args>()...,
                                                          FormatArg::Kind::kInt};
    if (!format_detail::FormatFits(text, kinds, sizeof...(Args))) {
      format_detail::FormatDoesNotFitArguments();
    }
  }
};

// A format known only when running (a table's entry). A conversion that does
// not fit its argument, or has none, writes nothing.
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

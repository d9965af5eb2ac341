#include "core/fixed_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace tw {

namespace format_detail {

void FormatDoesNotFitArguments() {}

}  // namespace format_detail

namespace {

// Writes into [out, out + capacity) and keeps counting past the end, so the
// caller learns the whole length as snprintf reports it.
class Sink {
 public:
  Sink(char* out, size_t capacity) : out_(out), capacity_(capacity) {}

  void PutChar(char c) {
    if (length_ < capacity_) out_[length_] = c;
    ++length_;
  }

  void Put(const char* text, size_t n) {
    if (length_ < capacity_) {
      const size_t room = capacity_ - length_;
      std::memcpy(out_ + length_, text, n < room ? n : room);
    }
    length_ += n;
  }

  void Fill(char c, size_t n) {
    if (length_ < capacity_) {
      const size_t room = capacity_ - length_;
      std::memset(out_ + length_, c, n < room ? n : room);
    }
    length_ += n;
  }

  size_t length() const { return length_; }

 private:
  char* out_;
  size_t capacity_;
  size_t length_ = 0;
};

struct Directive {
  bool left = false;  // '-'
  bool zero = false;  // '0'
  uint8_t bytes = 0;  // the integer size the length modifier names; 0: the argument's
  size_t width = 0;
  int precision = -1;  // none given
  char conversion = 0;
};

constexpr int PRECISION_MAX = 1 << 20;

// The size of the integer type a length modifier names.
uint8_t BytesOf(format_detail::Length length) {
  using format_detail::Length;
  switch (length) {
    case Length::kChar:
      return 1;
    case Length::kShort:
      return 2;
    case Length::kLong:
      return sizeof(long);
    case Length::kLongLong:
      return sizeof(long long);
    case Length::kSize:
      return sizeof(size_t);
    case Length::kPtrDiff:
      return sizeof(ptrdiff_t);
    case Length::kMax:
      return sizeof(intmax_t);
    default:
      return 0;
  }
}

bool IsLengthLetter(char c) { return c == 'l' || c == 'z' || c == 'h' || c == 't' || c == 'j'; }

// The value as printf reads it: converted to the signed or unsigned integer
// type of `bytes` bytes.
int64_t SignedOf(int64_t v, unsigned bytes) {
  if (bytes == 4) return static_cast<int32_t>(v);
  if (bytes == 8) return v;
  return bytes == 2 ? static_cast<int16_t>(v) : static_cast<int8_t>(v);
}

uint64_t UnsignedOf(int64_t v, unsigned bytes) {
  const uint64_t u = static_cast<uint64_t>(v);
  return bytes >= 8 ? u : u & ((uint64_t{1} << (8 * bytes)) - 1);
}

// The int a '*' takes from the arguments; 0 when there is none.
int64_t TakeInt(const FormatArg* args, size_t count, size_t& next) {
  if (next >= count) return 0;
  const FormatArg& a = args[next++];
  return a.kind == FormatArg::Kind::kInt ? static_cast<int32_t>(a.i) : 0;
}

// Reads the digits at f[i], moving i past them. Widths beyond any line's
// length are kept as they are; the sink counts them without writing.
size_t ReadNumber(std::string_view f, size_t& i) {
  size_t n = 0;
  while (i < f.size() && f[i] >= '0' && f[i] <= '9') {
    if (n < (size_t{1} << 40)) n = n * 10 + static_cast<size_t>(f[i] - '0');
    ++i;
  }
  return n;
}

// A conversion's text padded to the width. With '0' (numbers only) the zeros
// go between the sign and the digits; '-' wins over '0', as in printf.
void PutPadded(Sink& sink, const Directive& directive, const char* text, size_t n,
               bool zeroAllowed) {
  if (n >= directive.width) {
    sink.Put(text, n);
    return;
  }
  const size_t pad = directive.width - n;
  if (directive.left) {
    sink.Put(text, n);
    sink.Fill(' ', pad);
  } else if (directive.zero && zeroAllowed) {
    const size_t sign = (n > 0 && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
    sink.Put(text, sign);
    sink.Fill('0', pad);
    sink.Put(text + sign, n - sign);
  } else {
    sink.Fill(' ', pad);
    sink.Put(text, n);
  }
}

// The usual case, a small count or a time field ("%d", "%02d"), written
// digit by digit without a detour.
bool PutSmallDecimal(Sink& sink, const Directive& directive, int64_t v) {
  if (v < 0 || v > 99999 || directive.left || directive.width > 16) return false;
  char digits[5];
  size_t n = 0;
  do {
    digits[n++] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v != 0);
  if (directive.width > n) sink.Fill(directive.zero ? '0' : ' ', directive.width - n);
  while (n > 0) sink.PutChar(digits[--n]);
  return true;
}

void PutInteger(Sink& sink, const Directive& directive, const FormatArg& a) {
  const unsigned bytes = directive.bytes != 0 ? directive.bytes : a.bytes;
  char digits[24];
  std::to_chars_result r{};
  if (directive.conversion == 'd' || directive.conversion == 'i') {
    const int64_t v = SignedOf(a.i, bytes);
    if (PutSmallDecimal(sink, directive, v)) return;
    r = std::to_chars(digits, digits + sizeof digits, v);
  } else {
    const uint64_t u = UnsignedOf(a.i, bytes);
    if (directive.conversion == 'u') {
      r = std::to_chars(digits, digits + sizeof digits, u);
    } else {
      r = std::to_chars(digits, digits + sizeof digits, u, 16);
      if (directive.conversion == 'X') {
        for (char* p = digits; p != r.ptr; ++p) {
          if (*p >= 'a' && *p <= 'f') *p = static_cast<char>(*p - 'a' + 'A');
        }
      }
    }
  }
  PutPadded(sink, directive, digits, static_cast<size_t>(r.ptr - digits), true);
}

void PutDouble(Sink& sink, const Directive& directive, double v) {
  const int precision = directive.precision < 0 ? 6 : directive.precision;
  if (!std::isfinite(v)) {
    // "nan", "-nan", "inf", "-inf"; zeros never pad them.
    const char* text =
        std::isnan(v) ? (std::signbit(v) ? "-nan" : "nan") : (std::signbit(v) ? "-inf" : "inf");
    PutPadded(sink, directive, text, std::strlen(text), false);
    return;
  }
  // The largest double has 309 digits before the point; precisions beyond
  // the buffer go the slow way through a larger one.
  char digits[400];
  if (precision <= 64) {
    const auto r =
        std::to_chars(digits, digits + sizeof digits, v, std::chars_format::fixed, precision);
    PutPadded(sink, directive, digits, static_cast<size_t>(r.ptr - digits), true);
    return;
  }
  std::string big(static_cast<size_t>(precision) + 400, '\0');
  const auto r =
      std::to_chars(big.data(), big.data() + big.size(), v, std::chars_format::fixed, precision);
  PutPadded(sink, directive, big.data(), static_cast<size_t>(r.ptr - big.data()), true);
}

void PutText(Sink& sink, const Directive& directive, const FormatArg& a) {
  size_t n = a.s.size;
  // glibc writes "(null)" only when all of it may be shown.
  if (a.null && directive.precision >= 0 && directive.precision < 6) n = 0;
  if (directive.precision >= 0 && static_cast<size_t>(directive.precision) < n) {
    n = static_cast<size_t>(directive.precision);
  }
  PutPadded(sink, directive, a.s.data, n, false);
}

}  // namespace

size_t FormatInto(char* out, size_t capacity, std::string_view f, const FormatArg* args,
                  size_t count) {
  Sink sink(out, capacity);
  size_t next = 0;
  size_t i = 0;
  while (i < f.size()) {
    // The plain text up to the next conversion goes out in one piece.
    const size_t found = f.find('%', i);
    const size_t end = found != std::string_view::npos ? found : f.size();
    if (end != i) sink.Put(f.data() + i, end - i);
    if (end == f.size()) break;
    i = end + 1;
    if (i >= f.size()) break;  // a lone '%' at the end writes nothing
    if (f[i] == '%') {
      sink.PutChar('%');
      ++i;
      continue;
    }
    Directive directive;
    for (; i < f.size() && (f[i] == '-' || f[i] == '0'); ++i) {
      if (f[i] == '-') directive.left = true;
      if (f[i] == '0') directive.zero = true;
    }
    if (i < f.size() && f[i] == '*') {
      ++i;
      // A negative width is a '-' flag and the width; none taken, none given.
      const int64_t width = TakeInt(args, count, next);
      if (width < 0) directive.left = true;
      directive.width = static_cast<size_t>(width < 0 ? -width : width);
    } else {
      directive.width = ReadNumber(f, i);
    }
    if (i < f.size() && f[i] == '.') {
      ++i;
      if (i < f.size() && f[i] == '*') {
        ++i;
        // A negative precision counts as none.
        const int64_t precision = TakeInt(args, count, next);
        directive.precision = static_cast<int>(std::min<int64_t>(precision, PRECISION_MAX));
        if (precision < 0) directive.precision = -1;
      } else {
        directive.precision = static_cast<int>(std::min<size_t>(ReadNumber(f, i), PRECISION_MAX));
      }
    }
    if (i < f.size() && IsLengthLetter(f[i])) {
      directive.bytes = BytesOf(format_detail::ReadLength(f, i));
    }
    if (i >= f.size()) break;
    directive.conversion = f[i++];
    if (next >= count) continue;  // no argument left: nothing to show
    const FormatArg& a = args[next++];
    switch (directive.conversion) {
      case 'd':
      case 'i':
      case 'u':
      case 'x':
      case 'X':
        if (a.kind == FormatArg::Kind::kInt) PutInteger(sink, directive, a);
        break;
      case 'c':
        if (a.kind == FormatArg::Kind::kInt) {
          const char c = static_cast<char>(a.i);
          PutPadded(sink, directive, &c, 1, false);
        }
        break;
      case 'f':
        if (a.kind == FormatArg::Kind::kDouble) PutDouble(sink, directive, a.d);
        break;
      case 's':
        if (a.kind == FormatArg::Kind::kText) PutText(sink, directive, a);
        break;
      default:
        break;
    }
  }
  return sink.length();
}

std::string FormatToString(std::string_view format, const FormatArg* args, size_t count) {
  char local[256];
  const size_t n = FormatInto(local, sizeof local, format, args, count);
  if (n <= sizeof local) return std::string(local, n);
  std::string out(n, '\0');
  FormatInto(out.data(), out.size(), format, args, count);
  return out;
}

}  // namespace tw

#include "serial/line_framer.h"

#include <algorithm>

namespace tw {

namespace {

constexpr uint8_t LF = '\n';
// The modem port's ring is not looked at until it holds this many unread bytes.
constexpr uint32_t TAKE_MIN_BYTES = 7;
// A '$' still without its LF while the ring holds more than this can only be
// noise: no sentence is that long. The ring is emptied then, so it can never
// fill up with a line that will not complete and shut out everything after it.
constexpr uint32_t TAKE_STALL_LIMIT = RX_SIZE / 2;

}  // namespace

WaitingLine FindWaitingLine(const RxState& rx) {
  const uint32_t dollar = RxFind(rx, 0, '$');
  return {dollar, dollar == rx.count() ? dollar : RxFind(rx, dollar, LF)};
}

bool TakeModemLine(RxState& rx, std::string& line) {
  // A ring that was never allocated (or already freed) holds nothing.
  if (!rx.allocated()) return false;
  if (rx.droppingLine) {
    // The rest of a line already dropped runs to its LF, or up to the next
    // '$' if it never got one, and is lost with it.
    const uint32_t lf = RxFind(rx, 0, LF);
    const uint32_t end = std::min(lf < rx.count() ? lf + 1 : lf, RxFind(rx, 0, '$'));
    rx.droppingLine = end == rx.count() && lf == rx.count();
    RxDrop(rx, end);
  }
  if (rx.count() < TAKE_MIN_BYTES) return false;

  // Bytes before a '$' belong to no sentence (a stray line end, line noise
  // while a device powers up): they go quietly.
  const auto [dollar, lf] = FindWaitingLine(rx);
  if (dollar == rx.count()) {
    RxReset(rx);
    return false;
  }
  if (lf == rx.count()) {
    // A sentence that started but never ended is lost: counted, so the
    // operator hears of it.
    if (rx.count() > TAKE_STALL_LIMIT) {
      RxConsume(rx, dollar);
      RxDrop(rx, rx.count());
      rx.droppingLine = true;
    }
    return false;
  }
  if (lf - dollar > TAKE_STALL_LIMIT) {
    // The same line without end, arrived faster than the polls took it: it
    // is lost up to the first '$' past the limit (where the slow case would
    // have stopped dropping), so how the bytes were split into reads never
    // decides what is shown.
    RxConsume(rx, dollar);
    RxDrop(rx, std::min(RxFind(rx, TAKE_STALL_LIMIT + 1, '$'), lf - dollar + 1));
    return false;
  }
  // An over-long line keeps its first NMEA_LINE_MAX characters; the rest up to
  // its LF goes with it, so the next sentence starts clean. Copied here rather
  // than by RxTakeLine, which would look for the LF again.
  line = RxCopy(rx, dollar, std::min<uint32_t>(lf - dollar, NMEA_LINE_MAX));
  RxConsume(rx, lf + 1);
  return true;
}

uint32_t WaitingLineLength(const RxState& rx) {
  if (!rx.allocated() || rx.count() == 0) return 0;
  const auto [dollar, lf] = FindWaitingLine(rx);
  return lf == rx.count() ? 0 : lf - dollar;
}

bool TakeGpsLine(RxState& rx, uint32_t bufferSize, std::string& line) {
  if (!rx.allocated() || rx.count() == 0) return false;
  const auto [dollar, lf] = FindWaitingLine(rx);
  if (dollar == rx.count()) {
    RxReset(rx);
    return false;
  }
  RxConsume(rx, dollar);
  const uint32_t end = lf - dollar;  // the LF, or count() without one
  if (end < bufferSize && end < rx.count()) {
    line = RxCopy(rx, 0, end);
    RxConsume(rx, end + 1);
    return true;
  }
  // A full sentence buffer without a line feed: no sentence is that long,
  // so the held bytes are noise or a line that lost its end.
  if (rx.count() >= bufferSize) RxConsume(rx, bufferSize);
  return false;
}

void DropUnfinishedLine(RxState& rx) {
  uint32_t end = 0;  // just past the last LF
  for (uint32_t at = RxFind(rx, 0, LF); at < rx.count(); at = RxFind(rx, at + 1, LF)) end = at + 1;
  RxCutTail(rx, end, rx.count() - RxFind(rx, end, '$'));
}

// ---------------------------------------------------------------------------

std::string_view WithoutLineEnd(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
  return line;
}

std::string_view WithoutTrailingCr(std::string_view text) {
  if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  return text;
}

FramedLine FrameLine(std::string_view line) {
  const size_t star = line.find('*');
  if (star == std::string_view::npos) return {WithoutLineEnd(line), LineChecksum::None};
  const std::string_view body = line.substr(0, star);
  const std::string_view given = WithoutLineEnd(line.substr(star + 1));
  if (given.size() != 2) return {body, LineChecksum::Bad};
  const int high = HexDigitValue(given[0]);
  const int low = HexDigitValue(given[1]);
  if (high < 0 || low < 0) return {body, LineChecksum::Bad};
  return {body, high * 16 + low == SentenceChecksum(body) ? LineChecksum::Good : LineChecksum::Bad};
}

uint8_t SentenceChecksum(std::string_view s) {
  uint8_t sum = 0;
  for (size_t i = s.starts_with('$') ? 1 : 0; i < s.size(); ++i) sum ^= static_cast<uint8_t>(s[i]);
  return sum;
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void AppendChecksum(std::string& s) {
  static constexpr char HEX_DIGITS[] = "0123456789ABCDEF";
  const uint8_t sum = SentenceChecksum(s);
  s += '*';
  s += HEX_DIGITS[sum >> 4];
  s += HEX_DIGITS[sum & 0x0F];
  s += "\r\n";
}

}  // namespace tw

// The one line framer. Every line that reaches the program, from the modem
// port or the GPS port, is cut out of its receive ring here, and every line is
// split here into its body and its "*hh" checksum. The readers differ only in
// the rule they cut by: the modem's interpreter and emulator, the GPS
// receiver, and the port that went away with a line half read.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "serial/rx_ring.h"

namespace tw {

// Longest sentence taken from the modem port, in characters (CR included).
constexpr int NMEA_LINE_MAX = 599;

// Where the next line waits in a ring: the offset of its '$' and of the LF
// that ends it, each count() when there is none yet.
struct WaitingLine {
  uint32_t dollar;
  uint32_t lf;
};
WaitingLine FindWaitingLine(const RxState& rx);

// The modem port's rule: takes the next complete sentence ('$' up to, not
// including, its LF; the CR stays) out of the ring. Bytes before the '$' are
// discarded with it; a ring without any '$' is emptied. A sentence longer
// than NMEA_LINE_MAX is cut to NMEA_LINE_MAX characters and its rest, up to
// the LF, discarded. A '$' that has waited for its LF while more than half
// the ring filled is a lost line: its bytes are dropped and counted
// (RxTakeDropped). Returns false when no sentence was taken; `line` is then
// left as it was.
bool TakeModemLine(RxState& rx, std::string& line);

// Length of the line TakeModemLine would take next, from its '$' up to its
// LF, before any cut; 0 when no whole line is waiting.
uint32_t WaitingLineLength(const RxState& rx);

// The GPS port's rule: bytes before the first '$' are dropped (all of them
// when there is none), then the sentence is the text from the '$' up to, not
// including, its LF (a CR before it stays). False when no whole sentence is
// there yet; when `bufferSize` bytes from the '$' on hold no LF, they can
// never make a sentence and are dropped, and the next '$' starts afresh on
// the next call.
bool TakeGpsLine(RxState& rx, uint32_t bufferSize, std::string& line);

// A lost port: forgets what follows the last LF, as the start of a line cut
// off would be glued to the first one that arrives after it. Its bytes from
// the first '$' on are counted as dropped; the whole lines before it stay.
void DropUnfinishedLine(RxState& rx);

// ---------------------------------------------------------------------------
// One line, split into body and checksum.

enum class LineChecksum { None, Good, Bad };

struct FramedLine {
  // The line before its '*', or without its line end when it has no '*'.
  std::string_view body;
  // None without a '*'; Good when the '*' is followed by exactly two hex
  // digits (then the line end, if any) equal to the body's checksum.
  LineChecksum checksum;
};
FramedLine FrameLine(std::string_view line);

// `line` without every CR and LF at its end.
std::string_view WithoutLineEnd(std::string_view line);
// `text` without one CR at its end: a sentence as taken from the ring (its
// LF is gone already), or the last field of one without checksum.
std::string_view WithoutTrailingCr(std::string_view text);

// The checksum of a sentence without its '*': every byte after a leading '$'
// XORed together.
uint8_t SentenceChecksum(std::string_view s);

// The value of one hex digit (either case), or -1 for any other character.
int HexDigitValue(char c);

// Appends '*', the two-digit checksum, CR and LF to a sentence that has no
// checksum and no line end yet.
void AppendChecksum(std::string& s);

}  // namespace tw

// What a datagram may carry, and how refusals are told: NMEA 0183 over UDP
// is one sentence per datagram with its CR LF. Anything else is refused with
// a reason, and the lines about refusals are held to one a second.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tw {

// The sentences of a datagram, or why it was refused.
struct DatagramSentences {
  std::vector<std::string> sentences;  // without their line ends
  std::string refusal;                 // empty when accepted
};

// A datagram holds one sentence (several, one a line, are taken too): each
// line starts with '$', holds printable ASCII only and is at most
// `maxSentence` characters; the datagram itself is at most `maxSentence` + 2
// bytes (the sentence and its CR LF). Line ends are CR LF, LF or none.
DatagramSentences SplitDatagram(const std::string& bytes, size_t maxSentence);

// Lines about refused datagrams (or failed sends), at most one a second: the
// first is told at once; those that follow within a second are counted, and
// told as one line with the count and the latest one once the second is over.
class RefusalLines {
 public:
  // The line to show now for a refusal (`what`: what was refused and why),
  // or none when it is counted for later.
  std::optional<std::string> Refuse(uint32_t nowMs, const std::string& what);
  // The count line, once a second has passed since the last line.
  std::optional<std::string> Due(uint32_t nowMs);
  uint64_t total() const { return total_; }

 private:
  bool told_ = false;
  uint32_t toldAt_ = 0;
  uint32_t held_ = 0;
  std::string latest_;
  uint64_t total_ = 0;
};

}  // namespace tw

#include "udp/udp_datagram.h"

#include "core/fixed_format.h"

namespace tw {

namespace {

constexpr uint32_t kRefusalPeriodMs = 1000;

bool IsSentence(const std::string& line, size_t maxSentence) {
  if (line.size() < 2 || line.size() > maxSentence || line[0] != '$') return false;
  for (unsigned char c : line) {
    if (c < 0x20 || c > 0x7E) return false;
  }
  return true;
}

}  // namespace

DatagramSentences SplitDatagram(const std::string& bytes, size_t maxSentence) {
  DatagramSentences result;
  if (bytes.size() > maxSentence + 2) {
    result.refusal = FixedFormat("%zu bytes, longer than a sentence (at most %zu)", bytes.size(),
                                 maxSentence + 2);
    return result;
  }
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    start = end + 1;
    if (line.empty()) continue;
    if (!IsSentence(line, maxSentence)) {
      result.sentences.clear();
      result.refusal = "not a sentence";
      return result;
    }
    result.sentences.push_back(std::move(line));
  }
  if (result.sentences.empty()) result.refusal = "not a sentence";
  return result;
}

std::optional<std::string> RefusalLines::Refuse(uint32_t nowMs, const std::string& what) {
  ++total_;
  if (!told_ || (held_ == 0 && nowMs - toldAt_ >= kRefusalPeriodMs)) {
    told_ = true;
    toldAt_ = nowMs;
    return "UDP: " + what + ".";
  }
  ++held_;
  latest_ = what;
  return Due(nowMs);
}

std::optional<std::string> RefusalLines::Due(uint32_t nowMs) {
  if (held_ == 0 || nowMs - toldAt_ < kRefusalPeriodMs) return std::nullopt;
  std::string line = FixedFormat("UDP: %u more like it; the last: ", held_) + latest_ + ".";
  held_ = 0;
  toldAt_ = nowMs;
  return line;
}

}  // namespace tw

#include "protocol/sentence_fields.h"

#include <string>

#include "protocol/nmea.h"

namespace tw {

SentenceFields::SentenceFields(std::string_view sentence) : s_(sentence) {
  // A plain loop: find_first_of would search the two-character set once per
  // character of the sentence.
  for (size_t i = 0; i < s_.size(); ++i) {
    if (s_[i] == ',' || s_[i] == '*') separators_.push_back(static_cast<uint32_t>(i));
  }
}

std::string_view SentenceFields::Text(int n) const {
  if (n < 0 || static_cast<size_t>(n) > count()) return {};
  const size_t i = static_cast<size_t>(n);
  return s_.substr(Start(i), End(i) - Start(i));
}

std::optional<SentenceFields::Found> SentenceFields::FindToken(int n, bool starSeparates) const {
  if (n < 0) return std::nullopt;
  size_t start = 0;
  int k = 0;
  for (size_t i = 0; i <= count(); ++i) {
    const size_t end = End(i);
    if (i < count() && !starSeparates && s_[end] != ',') continue;
    if (end > start && k++ == n) return Found{i, s_.substr(start, end - start)};
    start = end + 1;
  }
  return std::nullopt;
}

std::optional<std::string_view> SentenceFields::Token(int n) const {
  const std::optional<Found> found = FindToken(n, false);
  if (!found) return std::nullopt;
  return found->text;
}

std::optional<std::string_view> SentenceFields::TokenOrStar(int n) const {
  const std::optional<Found> found = FindToken(n, true);
  if (!found) return std::nullopt;
  return found->text;
}

std::vector<std::string_view> SentenceFields::Tokens() const {
  std::vector<std::string_view> tokens;
  for (size_t i = 0; i <= count(); ++i) {
    if (End(i) > Start(i)) tokens.push_back(s_.substr(Start(i), End(i) - Start(i)));
  }
  return tokens;
}

std::string_view SentenceFields::RestAfterToken(int n) const {
  const std::optional<Found> found = FindToken(n, false);
  if (!found || found->piece >= count()) return {};
  return s_.substr(End(found->piece) + 1);
}

std::optional<std::string_view> SentenceFields::FirstFullPiece(size_t from) const {
  for (size_t i = from; i <= count(); ++i) {
    if (End(i) > Start(i)) return s_.substr(Start(i), End(i) - Start(i));
  }
  return std::nullopt;
}

int32_t SentenceFields::Int(int n) const {
  if (n < 1) return MISSING_FIELD;
  const std::optional<Found> token = FindToken(n, n == 3);
  return token ? NMEAReadInt(token->text) : MISSING_FIELD;
}

float SentenceFields::Float(int n) const {
  if (n < 1) return static_cast<float>(MISSING_FIELD);
  // The field before ends at its ','; this one starts after it, past any
  // further ',' or '*', and ends at the next of either.
  const std::optional<Found> before = FindToken(n - 1, false);
  if (!before || before->piece >= count()) return static_cast<float>(MISSING_FIELD);
  const std::optional<std::string_view> field = FirstFullPiece(before->piece + 1);
  if (!field) return static_cast<float>(MISSING_FIELD);
  return static_cast<float>(NMEAReadDecimal(*field));
}

int32_t NMEAGetInt(std::string_view s, int n) { return SentenceFields(s).Int(n); }

float NMEAGetFloat(std::string_view s, int n) { return SentenceFields(s).Float(n); }

std::string NMEAGetText(std::string_view s, int n) {
  if (n < 1) return {};
  return std::string(SentenceFields(s).Text(n));
}

}  // namespace tw

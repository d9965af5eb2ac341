// The one field rule: a sentence is split once, at every ',' and '*', and
// each reader reads the pieces it needs from that split.
//
// The readers keep the rules the sentence code has always had:
// - Text(n): field n with empty fields counted, ',' and '*' both ending one
//   (the checksum is never read into the last field; its CR is);
// - Int(n): field n counted without the empty ones, ending at ',' only, so
//   "1*5B" reads as 1; field 3 alone ends at '*' as well, for every field
//   before it too, so a checksum after two fields reads as field 3;
// - Float(n): the fields before n end at ',' only, field n at ',' or '*'.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace tw {

// What the numeric readers return for a field that is not there.
constexpr int32_t MISSING_FIELD = 4095;

class SentenceFields {
 public:
  explicit SentenceFields(std::string_view sentence);

  // Piece n (0 is the sentence name) of the split at ',' and '*', empty
  // pieces counted; empty when the sentence has fewer.
  std::string_view Text(int n) const;
  // Field n read as NMEAReadInt reads it; MISSING_FIELD when missing.
  int32_t Int(int n) const;
  // Field n read as NMEAReadDecimal reads it; MISSING_FIELD when missing.
  float Float(int n) const;

  // The n-th field that is not empty, ',' alone separating ('*' is kept in
  // it), as the C library's strtok with "," finds it.
  std::optional<std::string_view> Token(int n) const;
  // The same with ',' and '*' both separating.
  std::optional<std::string_view> TokenOrStar(int n) const;
  // Every TokenOrStar, in order.
  std::vector<std::string_view> Tokens() const;
  // Everything after the ',' that ends Token(n); empty when that token runs
  // to the end or is missing.
  std::string_view RestAfterToken(int n) const;

  std::string_view sentence() const { return s_; }

 private:
  struct Found {
    size_t piece;  // index of the separator that ends the token, or count()
    std::string_view text;
  };
  // Token(n) with the separator that ended it.
  std::optional<Found> FindToken(int n, bool starSeparates) const;
  // The first piece that is not empty from piece `from` on.
  std::optional<std::string_view> FirstFullPiece(size_t from) const;
  size_t count() const { return separators_.size(); }
  // Start and end of piece i.
  size_t Start(size_t i) const { return i == 0 ? 0 : separators_[i - 1] + 1; }
  size_t End(size_t i) const { return i < count() ? separators_[i] : s_.size(); }

  // Offsets of every ',' and '*', with room for a usual sentence inline.
  class Offsets {
   public:
    void push_back(uint32_t at) {
      if (size_ < inline_.size()) {
        inline_[size_] = at;
      } else {
        if (more_.empty()) more_.assign(inline_.begin(), inline_.end());
        more_.push_back(at);
      }
      ++size_;
    }
    size_t size() const { return size_; }
    uint32_t operator[](size_t i) const { return more_.empty() ? inline_[i] : more_[i]; }

   private:
    std::array<uint32_t, 24> inline_;
    std::vector<uint32_t> more_;
    size_t size_ = 0;
  };

  std::string_view s_;
  Offsets separators_;
};

// One field of a sentence split just for it; a reader of several fields
// splits once with SentenceFields instead.
int32_t NMEAGetInt(std::string_view s, int n);
float NMEAGetFloat(std::string_view s, int n);
std::string NMEAGetText(std::string_view s, int n);

}  // namespace tw

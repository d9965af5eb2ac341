#include "core/visible_text.h"

#include <gtest/gtest.h>

#include <string>

namespace tw {
namespace {

TEST(VisibleControls, WritesControlBytesAsHexEscapesAndKeepsTheRest) {
  struct Case {
    std::string in, out;
  };
  const Case cases[] = {
      {"$CAREV,1,2*3F", "$CAREV,1,2*3F"},
      {std::string("a\0b", 3), "a\\x00b"},
      {"a\rb\nc", "a\\x0Db\\x0Ac"},
      {"\x1b]0;pwned\x07", "\\x1B]0;pwned\\x07"},
      {"tab\tkept", "tab\tkept"},
      {"del\x7f", "del\\x7F"},
      {"\xc3\xa9 \\x41", "\xc3\xa9 \\x41"},  // UTF-8 and a literal backslash pass through
  };
  for (const Case& c : cases) EXPECT_EQ(VisibleControls(c.in), c.out) << c.out;
}

}  // namespace
}  // namespace tw

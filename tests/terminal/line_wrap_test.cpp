#include "terminal/line_wrap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tw {
namespace {

TEST(LineWrapTest, ComposedLinesBreakAtSpacesOrAfterSlashesElseInsideWords) {
  const std::string path = "/tmp/newcomer/" + std::string(60, 'p') + ".twc";
  const struct {
    std::string text;
    size_t columns;
    std::vector<std::string> rows;
  } cases[] = {
      {"Short line.", 53, {"Short line."}},
      {"", 53, {""}},
      {"aaaa bbbb cccc", 9, {"aaaa bbbb", "  cccc"}},  // a space just past the row
      {"one two  three", 8, {"one two", "  three"}},
      {"x: /ab/cd/efgh", 9, {"x: /ab/", "  cd/efgh"}},
      {"abcdefghij", 4, {"abcd", "  ef", "  gh", "  ij"}},
      {"Error: Configuration not loaded from \"" + path + "\": gone.",
       53,
       {"Error: Configuration not loaded from \"/tmp/newcomer/", "  " + std::string(51, 'p'),
        "  " + std::string(9, 'p') + ".twc\": gone."}},
      // Past 626 characters nothing is shown, as for any printed line.
      {std::string(626, 'z') + "cut", 320, {std::string(320, 'z'), "  " + std::string(306, 'z')}},
  };
  for (const auto& c : cases) EXPECT_EQ(WrapComposedLine(c.text, c.columns), c.rows) << c.text;
}

}  // namespace
}  // namespace tw

#include "core/csv_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/safe_file.h"
#include "support/program_fixture.h"

namespace tw {
namespace {

namespace fs = std::filesystem;

TEST(CsvTable, FieldsThatNeedItAreQuoted) {
  struct Case {
    std::string field, written;
  };
  const std::vector<Case> cases = {
      {"plain", "plain"},
      {"", ""},
      {"a,b", "\"a,b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"two\r\nlines", "\"two\r\nlines\""},
      {"-88.6", "-88.6"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CsvText({{"h1", "h2"}, {{c.field, "x"}}}), "h1,h2\r\n" + c.written + ",x\r\n")
        << c.field;
  }
  EXPECT_EQ(CsvText({{"only", "header"}, {}}), "only,header\r\n");
}

// A save is whole or nothing: a refused or failed one leaves what was there.
TEST(SaveWholeFile, ReplacesWholeOrLeavesTheOldFile) {
  test::TempDir dir;
  const fs::path file = dir.path() / "plot.csv";
  std::string why;
  ASSERT_TRUE(SaveWholeFile(file, "old\r\n", why)) << why;
  ASSERT_TRUE(SaveWholeFile(file, "new\r\n", why)) << why;
  EXPECT_EQ(test::ReadFile(file), "new\r\n");

  fs::create_directory(dir.path() / "folder");
  for (const fs::path& bad : {dir.path() / "folder", dir.path() / "missing" / "plot.csv"}) {
    why.clear();
    EXPECT_FALSE(SaveWholeFile(bad, "x", why)) << bad;
    EXPECT_FALSE(why.empty());
  }
  EXPECT_EQ(test::ReadFile(file), "new\r\n");
  // Nothing but the saved file and the folder is left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 2);
}

}  // namespace
}  // namespace tw

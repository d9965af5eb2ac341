// Configuration files under symbolic links. POSIX only: links, umask and
// /dev/null.
#include "config/config_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <string>

#include "support/program_fixture.h"

namespace tw {
namespace {

namespace fs = std::filesystem;

TEST(ConfigIo, ReadingFollowsALinkAndNamesALoop) {
  test::TempDir dir;
  std::ofstream(dir.path() / "real.twc") << "<tidewire/>";
  fs::create_symlink(dir.path() / "real.twc", dir.path() / "link.twc");
  fs::create_symlink(dir.path() / "b", dir.path() / "a");
  fs::create_symlink(dir.path() / "a", dir.path() / "b");
  std::string text, why;
  EXPECT_TRUE(ReadWholeFile(dir.path() / "link.twc", 100, text, why)) << why;
  EXPECT_EQ(text, "<tidewire/>");
  EXPECT_FALSE(ReadWholeFile(dir.path() / "a", 100, text, why));
  EXPECT_EQ(why, "its symbolic links lead round in a loop");
}

// The link is replaced by a plain file with the usual access rights; what it
// led to keeps its own. A pipe under the name itself is refused.
TEST(ConfigIo, SavingThroughALinkReplacesTheLinkOnly) {
  test::TempDir dir;
  const fs::path link = dir.path() / "null.twc", pipe = dir.path() / "pipe.twc";
  fs::create_symlink("/dev/null", link);
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const mode_t umask = ::umask(022);
  std::string why;
  const bool saved = ReplaceFile(link, "<tidewire/>", why);
  const bool savedOverPipe = ReplaceFile(pipe, "<tidewire/>", why);
  ::umask(umask);
  ASSERT_TRUE(saved);
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(link)));
  EXPECT_EQ(fs::status(link).permissions(), fs::perms::owner_read | fs::perms::owner_write |
                                                fs::perms::group_read | fs::perms::others_read);
  EXPECT_EQ(test::ReadFile(link), "<tidewire/>");
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  EXPECT_FALSE(savedOverPipe);
  EXPECT_EQ(why, "it is not a plain file");
  EXPECT_TRUE(fs::is_fifo(fs::symlink_status(pipe)));
}

}  // namespace
}  // namespace tw

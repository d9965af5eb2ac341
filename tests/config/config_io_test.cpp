// Configuration files under symbolic links. POSIX only: links, FIFOs, umask
// and /dev/null.
#include "config/config_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "support/program_fixture.h"

namespace tw {
namespace {

namespace fs = std::filesystem;

// A read follows a link and names a loop. A save replaces a link with a plain
// file of the usual rights and leaves what it led to alone; a FIFO under the
// name itself is refused.
TEST(ConfigIo, LinksAreReadThroughAndReplacedBySaving) {
  test::TempDir dir;
  const fs::path link = dir.path() / "null.twc", pipe = dir.path() / "pipe.twc";
  fs::create_symlink("/dev/null", link);
  fs::create_symlink(dir.path() / "b", dir.path() / "a");
  fs::create_symlink(dir.path() / "a", dir.path() / "b");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  std::string text, why, whyLoop, whyPipe;
  EXPECT_FALSE(ReadWholeFile(dir.path() / "a", 100, text, whyLoop));
  EXPECT_EQ(whyLoop, "its symbolic links lead round in a loop");

  const mode_t umask = ::umask(022);
  const bool saved = ReplaceFile(link, "<tidewire/>", why);
  EXPECT_FALSE(ReplaceFile(pipe, "<tidewire/>", whyPipe));
  ::umask(umask);
  ASSERT_TRUE(saved) << why;
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(link)));
  EXPECT_EQ(fs::status(link).permissions(), fs::perms::owner_read | fs::perms::owner_write |
                                                fs::perms::group_read | fs::perms::others_read);
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  EXPECT_EQ(whyPipe, "it is not a plain file");
  EXPECT_TRUE(fs::is_fifo(fs::symlink_status(pipe)));
  fs::create_symlink(link, dir.path() / "to-saved.twc");
  EXPECT_TRUE(ReadWholeFile(dir.path() / "to-saved.twc", 100, text, why)) << why;
  EXPECT_EQ(text, "<tidewire/>");
}

}  // namespace
}  // namespace tw

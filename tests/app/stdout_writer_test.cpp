// Standard output that cannot take a line: whole lines dropped and counted,
// a line taken in part finished first, control bytes made visible.
#include "app/stdout_writer.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

namespace tw {
namespace {

TEST(LineWriter, FullPipeDropsWholeLinesAndSaysHowManyOnceItFlows) {
  using namespace std::string_literals;
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  ::fcntl(fds[1], F_SETPIPE_SZ, 4096);
  ::fcntl(fds[0], F_SETFL, O_NONBLOCK);
  const auto capacity = static_cast<size_t>(::fcntl(fds[1], F_GETPIPE_SZ));
  std::string got;
  auto drain = [&] {
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) got.append(buffer, n);
  };
  // Longer than the pipe holds: taken in part, the rest waits for room.
  const std::string longLine(capacity + capacity / 2, 'x');
  {
    LineWriter out(fds[1]);
    // The writer's own opening is non-blocking; the one it was handed, which
    // a shell may share, is left as it was.
    EXPECT_EQ(::fcntl(fds[1], F_GETFL) & O_NONBLOCK, 0);
    out.WriteLine(longLine);
    out.WriteLine("dropped");
    out.WriteLine("dropped too");
    EXPECT_EQ(out.dropped(), 2u);
    drain();
    out.WriteLine("after");
    out.WriteLine("esc \x1b[2J nul \0 cr \r tab\t."s);
  }
  drain();
  EXPECT_EQ(got, longLine + "\n[2 lines of output dropped: standard output was not being read]\n" +
                     "after\nesc \\x1B[2J nul \\x00 cr \\x0D tab\t.\n");
  ::close(fds[0]);
  ::close(fds[1]);
}

}  // namespace
}  // namespace tw

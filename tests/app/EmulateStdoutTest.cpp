// `tidewire --emulate` as a process whose standard output nobody reads: the
// host keeps getting answers, SIGTERM ends it, the output holds only whole
// lines, control bytes from the host come out visible and never go back.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QProcess>
#include <filesystem>
#include <string>

#include "support/process.h"
#include "support/program_fixture.h"
#include "support/pty.h"

namespace tw::test {
namespace {

using namespace std::string_literals;

// What the host side reads until `text` has come (or a hang is plain).
std::string HostUntil(PtyPair& pty, const std::string& text) {
  std::string got;
  (void)WaitUntil([&] { return got.find(text) != std::string::npos; },
                  [&] { got += pty.readAll(200, 10); });
  return got;
}

std::string Drain(int fd) {
  std::string got;
  char buffer[4096];
  for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) got.append(buffer, n);
  return got;
}

TEST(EmulateOutput, UnreadStandardOutputNeverHoldsUpThePortOrASignal) {
  TempDir home;
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  // Standard output is a named pipe of one page that the test reads only
  // when it chooses.
  const auto fifo = home.path() / "stdout";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const int out = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(out, 0);
  ::fcntl(out, F_SETPIPE_SZ, 4096);
  const int capacity = ::fcntl(out, F_GETPIPE_SZ);
  ASSERT_GT(capacity, 0);
  QProcess modem;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("TIDEWIRE_HOME", QString::fromStdString(home.path().string()));
  modem.setProcessEnvironment(env);
  modem.setStandardOutputFile(QString::fromStdString(fifo.string()));
  modem.start(TIDEWIRE_BINARY,
              {"--emulate", "--com", QString::fromStdString("1=" + pty.slavePath())});
  ASSERT_TRUE(modem.waitForStarted(kProcessHangMs));

  // Its log opens once its port is open and set up.
  const auto logs = home.path() / "Logs" / "port1";
  ASSERT_TRUE(WaitUntil([&] {
    return std::filesystem::exists(logs) && !std::filesystem::is_empty(logs);
  })) << "the emulator never started";
  // Some 250 bytes of output per answer: far more than the pipe holds.
  const int rounds = 4 * capacity / 250 + 10;
  auto queries = [&] {
    for (int i = 0; i < rounds; ++i) {
      ASSERT_TRUE(pty.write("$CCCFQ,ALL\r\n"));
      ASSERT_NE(HostUntil(pty, "$CACFG,ALL,0*31\r\n").find("$CACFG"), std::string::npos)
          << "no answer to query " << i;
    }
  };
  ASSERT_NO_FATAL_FAILURE(queries());
  std::string text = Drain(out);

  // ESC and NUL in a parameter name: refused, nothing of them sent back.
  ASSERT_TRUE(pty.write("$CCCFQ,\x1b]\0\r\n"s));
  const std::string answer = HostUntil(pty, "$CAERR,");
  EXPECT_NE(answer.find(",NMEA,17*"), std::string::npos) << answer;
  EXPECT_EQ(answer.find_first_of("\x1b\0"s), std::string::npos);

  ASSERT_NO_FATAL_FAILURE(queries());  // full again: SIGTERM must not wait for a reader
  ::kill(static_cast<pid_t>(modem.processId()), SIGTERM);
  ASSERT_TRUE(modem.waitForFinished(kProcessHangMs)) << "SIGTERM did not end it";
  EXPECT_EQ(modem.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(modem.exitCode(), 0);
  text += Drain(out);
  ::close(out);

  // Whole lines only, some dropped and said so, the host's bytes visible.
  ASSERT_TRUE(!text.empty() && text.back() == '\n');
  for (size_t at = 0; at < text.size(); at = text.find('\n', at) + 1) {
    ASSERT_EQ(text[at], '[') << text.substr(at, 80);
  }
  EXPECT_NE(text.find(" lines of output dropped: standard output was not being read]\n"),
            std::string::npos);
  EXPECT_NE(text.find("Host => $CCCFQ,\\x1B]\\x00\n"), std::string::npos);
  EXPECT_EQ(text.find_first_of("\x1b\0\r"s), std::string::npos);

  // The log is whole: every answer once, as sent.
  std::string log;
  for (const auto& f : std::filesystem::directory_iterator(logs)) log += ReadFile(f.path());
  auto count = [&log](const std::string& part) {
    int n = 0;
    for (size_t at = log.find(part); at != std::string::npos; at = log.find(part, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count(",$CACFG,ALL,0*31\r\n"), 2 * rounds);
  EXPECT_EQ(count(",$CACFG,ALL,0"), 2 * rounds);  // none without its checksum
}

}  // namespace
}  // namespace tw::test

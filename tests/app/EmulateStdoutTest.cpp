// `tidewire --emulate` as a process whose standard output nobody reads: the
// host keeps getting answers, SIGTERM ends it, the output holds only whole
// lines, control bytes from the host come out visible and never go back.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QProcess>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "support/program_fixture.h"
#include "support/pty.h"

extern char** environ;

namespace tw::test {
namespace {

// Reads the host side until `text` has come; the deadline only turns a hang
// into a failure.
std::string HostUntil(PtyPair& pty, const std::string& text) {
  std::string got;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (got.find(text) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
    got += pty.readAll(200, 10);
  }
  return got;
}

// Everything waiting in the pipe now, or (`untilEnd`) until the writer closes it.
std::string Drain(int fd, bool untilEnd) {
  std::string got;
  char buffer[4096];
  pollfd p{fd, POLLIN, 0};
  while (::poll(&p, 1, untilEnd ? 20000 : 0) > 0) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n <= 0) break;
    got.append(buffer, static_cast<size_t>(n));
  }
  return got;
}

// Ends the process if a check failed before it ended, and closes the pipe.
struct Child {
  pid_t pid;
  int pipe;
  ~Child() {
    if (pid > 0 && ::kill(pid, SIGKILL) == 0) ::waitpid(pid, nullptr, 0);
    ::close(pipe);
  }
};

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(EmulateOutput, UnreadStandardOutputNeverHoldsUpThePortOrASignal) {
  using namespace std::string_literals;
  TempDir home;
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  int out[2];
  ASSERT_EQ(::pipe(out), 0);
  ::fcntl(out[0], F_SETPIPE_SZ, 4096);  // fills after a few answers
  const int capacity = ::fcntl(out[0], F_GETPIPE_SZ);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen",
                                  "TIDEWIRE_HOME=" + home.path().string()};
  std::vector<char*> envp;
  for (char** e = environ; *e != nullptr; ++e) envp.push_back(*e);
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::string binary = TIDEWIRE_BINARY, emulate = "--emulate", com = "--com",
              device = "1=" + pty.slavePath();
  char* argv[] = {binary.data(), emulate.data(), com.data(), device.data(), nullptr};
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, binary.c_str(), &actions, nullptr, argv, envp.data()), 0);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  Child child{pid, out[0]};

  // Its log opens once its port is open and set up.
  const auto logs = home.path() / "Logs" / "port1";
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!std::filesystem::exists(logs) || std::filesystem::is_empty(logs)) {
    ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the emulator never started";
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
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
  std::string stdoutText = Drain(out[0], false);

  // ESC and NUL in a parameter name: refused, nothing of them sent back.
  ASSERT_TRUE(pty.write("$CCCFQ,\x1b]\0\r\n"s));
  const std::string answer = HostUntil(pty, "$CAERR,");
  EXPECT_NE(answer.find(",NMEA,17*"), std::string::npos) << answer;
  EXPECT_EQ(answer.find_first_of("\x1b\0"s), std::string::npos);

  ASSERT_NO_FATAL_FAILURE(queries());  // full again: SIGTERM must not wait for a reader
  ASSERT_EQ(::kill(pid, SIGTERM), 0);
  int status = 0;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (::waitpid(pid, &status, WNOHANG) == 0) {
    ASSERT_LT(std::chrono::steady_clock::now(), end) << "SIGTERM did not end it";
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  child.pid = 0;
  stdoutText += Drain(out[0], true);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);

  // Whole lines only, some dropped and said so, the host's bytes visible.
  EXPECT_EQ(stdoutText.back(), '\n');
  for (size_t at = 0; at < stdoutText.size(); at = stdoutText.find('\n', at) + 1) {
    ASSERT_EQ(stdoutText[at], '[') << stdoutText.substr(at, 80);
  }
  EXPECT_NE(stdoutText.find(" lines of output dropped: standard output was not being read]\n"),
            std::string::npos);
  EXPECT_NE(stdoutText.find("Host => $CCCFQ,\\x1B]\\x00\n"), std::string::npos);
  EXPECT_EQ(stdoutText.find_first_of("\x1b\0\r"s), std::string::npos);

  // The log is complete: every answer once, as sent.
  std::string log;
  for (const auto& f : std::filesystem::directory_iterator(logs)) {
    if (f.path().extension() == ".CSV") log += ReadFile(f.path());
  }
  EXPECT_EQ(Count(log, ",$CACFG,ALL,0*31\r\n"), static_cast<size_t>(2 * rounds));
  EXPECT_EQ(Count(log, ",$CACFG,ALL,0\r\n"), 0u);
}

TEST(EmulateOutput, DataRootThatCannotHoldLogsFailsAtStart) {
  TempDir home;
  const auto file = home.path() / "plain-file";
  std::ofstream(file) << "not a folder";
  QProcess modem;
  modem.start(TIDEWIRE_BINARY, {"--emulate", "--home", QString::fromStdString(file.string()),
                                "--com", "1=/dev/null"});
  ASSERT_TRUE(modem.waitForFinished(20000));
  EXPECT_EQ(modem.exitCode(), 1);
  const QByteArray error = modem.readAllStandardError();
  EXPECT_TRUE(error.startsWith("tidewire: --emulate: cannot keep logs in ")) << error.toStdString();
}

}  // namespace
}  // namespace tw::test

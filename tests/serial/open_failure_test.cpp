// Why a device cannot be opened, found on real pseudo-terminals: missing,
// held by another program, and forbidden to an unprivileged user.
#include "serial/open_failure.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "support/program_fixture.h"
#include "support/pty.h"

namespace tw {
namespace {

using test::PtyPair;
using test::TempDir;

constexpr uid_t NOBODY = 65534;

// Runs ProbeOpenFailure(device) in a child process that holds no privilege
// (uid and gid 65534, no extra groups) and returns "reason|hint".
std::string ProbeAsNobody(const std::string& device) {
  int fds[2];
  if (pipe(fds) != 0) return "pipe failed";
  const pid_t child = fork();
  if (child < 0) return "fork failed";
  if (child == 0) {
    close(fds[0]);
    if (geteuid() == 0) {
      if (setgroups(0, nullptr) != 0 || setgid(NOBODY) != 0 || setuid(NOBODY) != 0) _exit(3);
    }
    const OpenFailure f = ProbeOpenFailure(device);
    const std::string out = f.reason + "|" + f.hint;
    const ssize_t written = write(fds[1], out.data(), out.size());
    _exit(written == static_cast<ssize_t>(out.size()) ? 0 : 4);
  }
  close(fds[1]);
  std::string out;
  char buffer[512];
  for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) out.append(buffer, size_t(n));
  close(fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "child failed";
  return out;
}

TEST(OpenFailure, MissingDeviceNamesTheDeviceAndTheSystemsReason) {
  TempDir dir;
  const std::string device = (dir.path() / "ttyUSB9").string();
  const OpenFailure f = ProbeOpenFailure(device);
  EXPECT_EQ(f.device, device);
  EXPECT_EQ(f.reason, std::strerror(ENOENT));
  EXPECT_NE(f.hint.find("--list-ports"), std::string::npos) << f.hint;
  EXPECT_EQ(OpenFailureLine("COM3", f), "Error: Can't Connect COM3 (" + device +
                                            "): No such file or directory; " + f.hint + ".");
}

TEST(OpenFailure, DeviceLockedByAnotherHolderIsBusyUntilReleased) {
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  // Another program: it opened the device and took the exclusive lock, as
  // this program does on every port it opens.
  const int holder = open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(holder, 0);
  ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);

  const OpenFailure f = ProbeOpenFailure(pty.slavePath());
  EXPECT_EQ(f.reason, std::strerror(EBUSY));
  EXPECT_EQ(f.hint, "another program holds it");
  EXPECT_EQ(OpenFailureLine("GPS port COM2", f),
            "Error: Can't Connect GPS port COM2 (" + pty.slavePath() +
                "): Device or resource busy; another program holds it.");

  close(holder);
  EXPECT_EQ(ProbeOpenFailure(pty.slavePath()).reason, "") << "nothing is wrong any more";
}

TEST(OpenFailure, ForbiddenDeviceHintsAtItsGroup) {
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  ASSERT_EQ(chmod(pty.slavePath().c_str(), 0), 0);
  // As on a machine with serial ports: the device belongs to their group.
  const group* serial = getgrnam("dialout");
  if (geteuid() == 0 && serial != nullptr) {
    ASSERT_EQ(chown(pty.slavePath().c_str(), 0, serial->gr_gid), 0);
  }
  struct stat st {};
  ASSERT_EQ(stat(pty.slavePath().c_str(), &st), 0);
  const group* g = getgrgid(st.st_gid);
  ASSERT_NE(g, nullptr);
  const std::string name = g->gr_name;
  if (st.st_gid == 0) GTEST_SKIP() << "no serial group on this machine to give the device";

  const std::string got = ProbeAsNobody(pty.slavePath());
  EXPECT_EQ(got, std::string(std::strerror(EACCES)) + "|add your user to the group " + name +
                     " (sudo usermod -aG " + name + " $USER) and log in again");
}

TEST(OpenFailure, ForbiddenDeviceOfRootsGroupPointsAtTheSerialGroup) {
  TempDir dir;
  const auto device = dir.path() / "ttyS7";
  const int fd = open(device.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0);
  ASSERT_GE(fd, 0);
  close(fd);
  chmod(dir.path().c_str(), 0755);  // the unprivileged child must reach it
  if (geteuid() == 0) {
    ASSERT_EQ(chown(device.c_str(), 0, 0), 0);
  }

  const std::string got = ProbeAsNobody(device.string());
  EXPECT_EQ(got.substr(0, got.find('|')), std::strerror(EACCES));
  if (geteuid() == 0) {  // owned by root's group: no group of its own to name
    EXPECT_NE(got.find("dialout on Debian"), std::string::npos) << got;
  }
}

TEST(OpenFailure, ErrorNumbersFallIntoTheCasesTheOperatorCanActOn) {
  EXPECT_EQ(ClassifyOpenError(0), OpenProblem::None);
  for (int e : {ENOENT, ENODEV, ENXIO}) EXPECT_EQ(ClassifyOpenError(e), OpenProblem::Missing);
  for (int e : {EBUSY, EWOULDBLOCK}) EXPECT_EQ(ClassifyOpenError(e), OpenProblem::Busy);
  for (int e : {EACCES, EPERM}) EXPECT_EQ(ClassifyOpenError(e), OpenProblem::Forbidden);
  EXPECT_EQ(ClassifyOpenError(EIO), OpenProblem::Other);
  // A lock that is taken says "try again", which means busy to an operator.
  EXPECT_EQ(DescribeOpenError("/dev/x", EWOULDBLOCK).reason, std::strerror(EBUSY));
  EXPECT_EQ(DescribeOpenError("/dev/x", EIO).hint, "");
  // A device named like the port (Windows) is not repeated.
  EXPECT_EQ(OpenFailureLine("COM3", DescribeOpenError("COM3", EIO)),
            std::string("Error: Can't Connect COM3: ") + std::strerror(EIO) + ".");
}

}  // namespace
}  // namespace tw

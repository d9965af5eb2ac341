#include "serial/pty_port.h"

#ifndef _WIN32
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace tw {

#ifndef _WIN32

namespace {

class PtyMasterPort : public SerialPort {
 public:
  explicit PtyMasterPort(int fd) : fd_(fd) {}
  ~PtyMasterPort() override { ::close(fd_); }

  // A pseudo-terminal has no line speed; the pair is raw already.
  bool configure(uint32_t) override { return true; }

  int readAvailable(uint8_t* destination, int max) override {
    const ssize_t n = ::read(fd_, destination, static_cast<size_t>(max));
    if (n > 0) return static_cast<int>(n);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return 0;
    return n == 0 ? 0 : -1;
  }

  // Never waits: when nobody reads the other side (the program's port is
  // disconnected) the line fills up, and waiting would hold the window that
  // shares this thread. What does not fit is given up at once.
  bool writeAll(const char* data, size_t length, int) override {
    size_t done = 0;
    while (done < length) {
      const ssize_t n = ::write(fd_, data + done, length - done);
      if (n > 0) {
        done += static_cast<size_t>(n);
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      return false;
    }
    return true;
  }

 private:
  int fd_;
};

}  // namespace

PseudoTerminal::PseudoTerminal() {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
    error_ = std::strerror(errno);
    if (master_ >= 0) ::close(master_);
    master_ = -1;
    return;
  }
  termios tio{};
  if (::tcgetattr(master_, &tio) == 0) {
    ::cfmakeraw(&tio);
    ::tcsetattr(master_, TCSANOW, &tio);
  }
  ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
  if (const char* name = ::ptsname(master_); name != nullptr) {
    devicePath_ = name;
  } else {
    error_ = "the pseudo-terminal has no device name";
    return;
  }
  slaveKeeper_ = ::open(devicePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slaveKeeper_ < 0) {
    error_ = std::strerror(errno);
    devicePath_.clear();
  }
}

PseudoTerminal::~PseudoTerminal() {
  if (slaveKeeper_ >= 0) ::close(slaveKeeper_);
  if (master_ >= 0) ::close(master_);
}

std::unique_ptr<SerialPort> PseudoTerminalOpener::open(int) {
  if (!pty_.ok()) return nullptr;
  const int fd = ::fcntl(pty_.masterFd(), F_DUPFD_CLOEXEC, 0);
  if (fd < 0) return nullptr;
  return std::make_unique<PtyMasterPort>(fd);
}

#else

PseudoTerminal::PseudoTerminal() : error_("pseudo-terminals need a POSIX system") {}
PseudoTerminal::~PseudoTerminal() = default;
std::unique_ptr<SerialPort> PseudoTerminalOpener::open(int) { return nullptr; }

#endif

}  // namespace tw

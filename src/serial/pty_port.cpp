#include "serial/pty_port.h"

#ifndef _WIN32
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#endif

namespace tw {

#ifndef _WIN32

namespace {

using SteadyClock = std::chrono::steady_clock;

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

  bool writeAll(const char* data, size_t length, int timeoutMs) override {
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
    size_t done = 0;
    while (done < length) {
      const ssize_t n = ::write(fd_, data + done, length - done);
      if (n > 0) {
        done += static_cast<size_t>(n);
        continue;
      }
      if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now())
              .count();
      pollfd p{fd_, POLLOUT, 0};
      if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) <= 0) return false;
    }
    return true;
  }

 private:
  int fd_;
};

}  // namespace

PseudoTerminal::PseudoTerminal() {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
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
  if (const char* name = ::ptsname(master_); name != nullptr) devicePath_ = name;
  slaveKeeper_ = devicePath_.empty() ? -1 : ::open(devicePath_.c_str(), O_RDWR | O_NOCTTY);
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
  const int fd = ::dup(pty_.masterFd());
  if (fd < 0) return nullptr;
  return std::make_unique<PtyMasterPort>(fd);
}

#else

PseudoTerminal::PseudoTerminal() : error_("pseudo-terminals need a POSIX system") {}
PseudoTerminal::~PseudoTerminal() = default;
std::unique_ptr<SerialPort> PseudoTerminalOpener::open(int) { return nullptr; }

#endif

}  // namespace tw

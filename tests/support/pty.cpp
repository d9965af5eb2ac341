#include "support/pty.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>

namespace tw::test {

namespace {

using SteadyClock = std::chrono::steady_clock;

int MsLeft(SteadyClock::time_point deadline) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

PtyPair::PtyPair() {
  master_ = posix_openpt(O_RDWR | O_NOCTTY);
  if (master_ < 0) return;
  if (grantpt(master_) != 0 || unlockpt(master_) != 0) {
    closeMaster();
    return;
  }
  // On Linux the line settings of a pair are the slave's, and the master
  // reaches them: raw mode here means no echo and no CR/LF translation for
  // whoever opens the slave later.
  termios tio{};
  if (tcgetattr(master_, &tio) == 0) {
    cfmakeraw(&tio);
    tcsetattr(master_, TCSANOW, &tio);
  }
  // Non-blocking, so a full line never hangs a test.
  fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
  if (const char* name = ptsname(master_); name != nullptr) slavePath_ = name;
}

PtyPair::~PtyPair() { closeMaster(); }

bool PtyPair::write(const std::string& bytes, int timeoutMs) {
  const auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
  size_t done = 0;
  while (master_ >= 0 && done < bytes.size()) {
    const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
    pollfd p{master_, POLLOUT, 0};
    if (MsLeft(deadline) == 0 || poll(&p, 1, MsLeft(deadline)) <= 0) return false;
  }
  return master_ >= 0;
}

std::string PtyPair::readAll(int timeoutMs, int quietMs) {
  std::string got;
  const auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
  while (master_ >= 0) {
    const int left = MsLeft(deadline);
    const int wait = got.empty() ? left : std::min(left, quietMs);
    pollfd p{master_, POLLIN, 0};
    if (poll(&p, 1, wait) <= 0) break;  // quiet, or out of time
    char chunk[4096];
    const ssize_t n = (p.revents & POLLIN) ? ::read(master_, chunk, sizeof chunk) : -1;
    if (n > 0) {
      got.append(chunk, static_cast<size_t>(n));
      continue;
    }
    // Hung up: nobody has the slave open (yet, or any more). Everything it
    // sent has been read by now; before it opens, just wait a little.
    if (!got.empty() || left == 0) break;
    usleep(5000);
  }
  return got;
}

std::string PtyPair::readUntil(const std::string& ending) {
  std::string got;
  const auto giveUp = SteadyClock::now() + std::chrono::minutes(1);
  const auto done = [&] {
    return got.size() >= ending.size() &&
           got.compare(got.size() - ending.size(), ending.size(), ending) == 0;
  };
  while (master_ >= 0 && !done() && MsLeft(giveUp) > 0) {
    pollfd p{master_, POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    char chunk[4096];
    const ssize_t n = (p.revents & POLLIN) ? ::read(master_, chunk, sizeof chunk) : -1;
    if (n > 0) {
      got.append(chunk, static_cast<size_t>(n));
    } else {
      usleep(5000);  // hung up: nobody has the slave open yet (or any more)
    }
  }
  return got;
}

void PtyPair::closeMaster() {
  if (master_ >= 0) ::close(master_);
  master_ = -1;
}

}  // namespace tw::test

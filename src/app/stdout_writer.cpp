#include "app/stdout_writer.h"

#include <csignal>
#include <cstdio>

#include "core/fixed_format.h"
#include "core/visible_text.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#else
#include <io.h>
#endif

namespace tw {

std::string DroppedLinesNotice(uint64_t count) {
  return FixedFormat("[%llu %s of output dropped: standard output was not being read]",
                     static_cast<unsigned long long>(count), count == 1 ? "line" : "lines");
}

LineWriter::LineWriter(int fd) : fd_(fd) {
#ifndef _WIN32
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    closed_ = true;  // no standard output at all
    return;
  }
  const bool canBlock = S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode) || ::isatty(fd) == 1;
  if (!canBlock) return;
#ifdef __linux__
  // The same pipe or terminal opened again: non-blocking on an open file of
  // our own leaves the one we share with the shell and its other programs
  // as it is, even if this program ends without restoring anything.
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  const int own = ::open(self.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (own >= 0) {
    fd_ = own;
    ownFd_ = true;
    return;
  }
#endif
  // Otherwise (a socket, no /proc) the shared open file is switched, and
  // switched back when the writer ends.
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || (flags & O_NONBLOCK) != 0) return;
  if (::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0) savedFlags_ = flags;
#endif
}

LineWriter::~LineWriter() {
  if (!closed_ && FinishPending() && dropped_ > 0) {
    if (Put(DroppedLinesNotice(dropped_) + "\n")) dropped_ = 0;
  }
#ifndef _WIN32
  // The descriptor's flags are shared with whoever else holds it (the shell
  // on a terminal): they go back as they were.
  if (savedFlags_ >= 0) ::fcntl(fd_, F_SETFL, savedFlags_);
  if (ownFd_) ::close(fd_);
#endif
}

LineWriter::Result LineWriter::WriteSome(std::string_view bytes, size_t& written) {
  written = 0;
#ifndef _WIN32
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd_, bytes.data() + written, bytes.size() - written);
    if (n > 0) {
      written += static_cast<size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      // Full for now, or gone for good (EPIPE, EBADF...).
      if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) closed_ = true;
      break;
    }
  }
#else
  // Windows has no non-blocking standard output: the line is written whole,
  // waiting if it must.
  while (written < bytes.size()) {
    const int n =
        ::_write(fd_, bytes.data() + written, static_cast<unsigned>(bytes.size() - written));
    if (n <= 0) {
      closed_ = true;
      break;
    }
    written += static_cast<size_t>(n);
  }
#endif
  if (written == bytes.size()) return Result::Done;
  return written == 0 ? Result::Blocked : Result::Partial;
}

bool LineWriter::FinishPending() {
  if (pending_.empty()) return true;
  size_t written = 0;
  WriteSome(pending_, written);
  pending_.erase(0, written);
  return pending_.empty();
}

bool LineWriter::Put(const std::string& bytes) {
  size_t written = 0;
  if (WriteSome(bytes, written) == Result::Blocked) return false;
  pending_ = bytes.substr(written);  // empty when it all went
  return true;
}

void LineWriter::WriteLine(std::string_view text) {
  if (closed_) return;
  std::string line;
  if (dropped_ > 0) line = DroppedLinesNotice(dropped_) + "\n";
  AppendVisibleControls(line, text);
  line += '\n';
  // A line begun earlier is finished first; a line that finds no room is
  // dropped whole.
  if (!FinishPending() || !Put(line)) {
    if (!closed_) ++dropped_;
    return;
  }
  dropped_ = 0;
}

LineWriter& StandardOutputLines() {
  static LineWriter* writer = [] {
#ifndef _WIN32
    // A reader that goes away must not end the program before its logs are
    // closed: the write fails instead, and output stops.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    std::fflush(stdout);  // whatever stdio holds goes first
    static LineWriter instance(1);
    return &instance;
  }();
  return *writer;
}

}  // namespace tw

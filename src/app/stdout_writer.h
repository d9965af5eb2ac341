// Lines for standard output (`--echo`, `--emulate`) written without ever
// waiting for the reader: a pipe that nobody drains must not stop the port's
// polling or the handling of a signal. A line that cannot be written at once
// is dropped and counted; once output flows again, one line
// "[N lines of output dropped: standard output was not being read]" comes
// before the next. Control bytes inside a line (other than tab) are written
// as "\xHH", so a peer's bytes cannot drive the operator's terminal.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tw {

// The line that stands for `count` dropped lines (without its line end).
std::string DroppedLinesNotice(uint64_t count);

class LineWriter {
 public:
  // Writes to the descriptor `fd`. A pipe or terminal is opened again,
  // non-blocking, for the writer alone (on Linux, through /proc/self/fd);
  // where that cannot be done (a socket), the descriptor itself is put in
  // non-blocking mode until the writer ends. A file never blocks and is
  // left as it is.
  explicit LineWriter(int fd);
  // Tries once more, without waiting, to finish a line begun and to say how
  // many were dropped, then gives the descriptor its flags back.
  ~LineWriter();
  LineWriter(const LineWriter&) = delete;
  LineWriter& operator=(const LineWriter&) = delete;

  // Writes `text` (without its line end) and a line feed, whole or not at
  // all. A write that takes only part of a line keeps the rest, which goes
  // out before anything else: the reader never sees half a line followed
  // by another.
  void WriteLine(std::string_view text);

  // Lines dropped and not yet reported.
  uint64_t dropped() const { return dropped_; }
  // True once the reader has gone (the descriptor fails for good).
  bool closed() const { return closed_; }

 private:
  enum class Result { Done, Partial, Blocked };
  // Writes as much of `bytes` as goes in without waiting; `written` counts it.
  Result WriteSome(std::string_view bytes, size_t& written);
  // Finishes the tail of a line begun earlier; true when none is left.
  bool FinishPending();
  // Writes `bytes` (whole lines) or keeps what did not fit; false when
  // nothing of them went out.
  bool Put(const std::string& bytes);

  int fd_;
  int savedFlags_ = -1;  // flags to restore; -1: unchanged
  bool ownFd_ = false;   // fd_ is a private reopening, closed at the end
  std::string pending_;  // the unwritten end of a line begun
  uint64_t dropped_ = 0;
  bool closed_ = false;
};

// The process's standard output as such a writer, made at first use. Its
// flags go back when the program ends.
LineWriter& StandardOutputLines();

}  // namespace tw

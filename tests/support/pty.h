// A pseudo-terminal pair for serial tests: the code under test opens the
// slave device like a COM port, the test plays the far end on the master.
#pragma once

#include <string>

namespace tw::test {

class PtyPair {
 public:
  // Opens the master and puts the line in raw mode, so CR and LF pass
  // through untouched in both directions. ok() tells whether it worked.
  PtyPair();
  ~PtyPair();
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  bool ok() const { return master_ >= 0 && !slavePath_.empty(); }
  // The device to open as the serial port, for example "/dev/pts/7".
  const std::string& slavePath() const { return slavePath_; }
  int masterFd() const { return master_; }

  // Writes every byte to the master, waiting at most `timeoutMs` for room.
  bool write(const std::string& bytes, int timeoutMs = 1000);
  // Reads what the slave side sent: waits up to `timeoutMs` for the first
  // byte, then keeps reading until nothing more comes for `quietMs` (or the
  // time is up).
  std::string readAll(int timeoutMs, int quietMs = 50);
  // Reads until what came ends with `ending` (by default the end of a
  // sentence), however long the other side takes to send it; gives up only
  // after a minute, which a hang reaches and a slow machine does not.
  std::string readUntil(const std::string& ending = "\r\n");
  // Hangs up the line, as when the device at the far end goes away.
  void closeMaster();

 private:
  int master_ = -1;
  std::string slavePath_;
};

}  // namespace tw::test

// A Program on fake platform pieces, with a temporary data root.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/program.h"
#include "core/clock.h"
#include "support/fake_dialogs.h"
#include "support/fakes.h"

namespace tw::test {

// The whole content of a file, byte for byte; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);

// The hex digits of `bytes` bytes counting up from `start` (modulo 256): the
// test data pattern as it travels in a sentence.
std::string Pattern(int bytes, int start = 0);

// A fresh, empty folder that is removed again afterwards.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

class ProgramTest : public ::testing::Test {
 protected:
  ProgramTest();
  // Connects COM1 (a fake port) and returns its state.
  std::shared_ptr<FakePortState> Connect();
  // Lines printed since the last call (without time stamp and CR LF).
  std::vector<std::string> TakeLines();

  TempDir root;
  ManualClock clock;
  FakePortOpener ports;
  FakeUi ui;
  RecordingSurface surface;
  FakeDialogs dialogs;
  std::unique_ptr<Program> program;
  std::vector<std::string> lines;
};

}  // namespace tw::test

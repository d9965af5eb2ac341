#include "support/program_fixture.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <iterator>

#include "core/commands.h"
#include "core/fixed_format.h"

namespace tw::test {

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Pattern(int bytes, int start) {
  std::string hex;
  for (int i = 0; i < bytes; ++i) hex += FixedFormat("%02x", (start + i) % 256);
  return hex;
}

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  // A folder of that name may be left by an earlier run whose process had the
  // same id (Wine hands out small ids again and again), perhaps holding a
  // read-only file that cannot be removed: a name not taken yet is used.
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  do {
    path_ =
        base / ("tidewire-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  } while (!std::filesystem::create_directory(path_));
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

ProgramTest::ProgramTest() {
  clock.now = LocalTime{2007, 3, 3, 14, 5, 9};
  clock.ticks = 1000;
  program = std::make_unique<Program>(clock, ports, ui, surface, root.path());
  program->SetDialogs(dialogs.all());
  program->terminal().AddLineListener([this](const std::string& line) {
    // "[hh:mm:ss] " is 11 characters.
    lines.push_back(line.size() >= 11 ? line.substr(11) : line);
  });
  program->Start();
}

std::shared_ptr<FakePortState> ProgramTest::Connect() {
  auto port = ports.ports.count(1) ? ports.ports[1] : ports.add(1);
  program->OnCommand(cmd::CONNECT);
  return port;
}

std::vector<std::string> ProgramTest::TakeLines() {
  std::vector<std::string> out;
  out.swap(lines);
  return out;
}

}  // namespace tw::test

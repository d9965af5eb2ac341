// Runs a fuzz target over saved inputs (files, or every file in a folder)
// without the fuzzing engine: the normal test suite replays the checked-in
// corpus this way, so every earlier finding stays fixed.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifndef _WIN32
#include <signal.h>
#include <unistd.h>

#include <cstring>
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

// The input being run, named when it stops the run (an abort, or an input
// that takes longer than any input may: one that waits forever).
char g_current[4096];

#ifndef _WIN32
void NameTheInput(int signal) {
  const char* what =
      signal == SIGALRM ? "replay: still running after 60 s: " : "replay: stopped in ";
  (void)!::write(2, what, std::strlen(what));
  (void)!::write(2, g_current, std::strlen(g_current));
  (void)!::write(2, "\n", 1);
  ::signal(SIGABRT, SIG_DFL);
  ::abort();
}
#endif

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  std::vector<fs::path> inputs;
  for (int k = 1; k < argc; ++k) {
    const fs::path path = argv[k];
    if (fs::is_directory(path)) {
      for (const auto& entry : fs::recursive_directory_iterator(path)) {
        if (entry.is_regular_file()) inputs.push_back(entry.path());
      }
    } else if (fs::is_regular_file(path)) {
      inputs.push_back(path);
    } else {
      std::fprintf(stderr, "replay: no such input: %s\n", argv[k]);
      return 2;
    }
  }
  std::sort(inputs.begin(), inputs.end());
  if (inputs.empty()) {
    std::fprintf(stderr, "replay: no inputs\n");
    return 2;
  }
#ifndef _WIN32
  ::signal(SIGABRT, NameTheInput);
  ::signal(SIGALRM, NameTheInput);
#endif
  for (const fs::path& path : inputs) {
    std::snprintf(g_current, sizeof g_current, "%s", path.string().c_str());
#ifndef _WIN32
    ::alarm(60);
#endif
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>()};
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  }
  std::printf("replay: %zu inputs ran clean\n", inputs.size());
  return 0;
}

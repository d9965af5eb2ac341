// The file guard itself: inside its root every kind of change goes through;
// outside it, each kind stops the process. Run by CTest.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"

namespace fs = std::filesystem;

namespace {

// True when `change` stopped the (forked) process with SIGABRT.
bool Stopped(const std::function<void()>& change) {
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    alarm(10);  // a change that blocks instead of being stopped ends here
    change();
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFSIGNALED(status) && WTERMSIG(status) == SIGABRT;
}

std::string Content(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int main() {
  const fs::path root = tw::fuzz::TempRoot() / "guarded";
  const fs::path outside = tw::fuzz::TempRoot() / "outside";
  fs::create_directories(root);
  fs::create_directories(outside);
  { std::ofstream(outside / "old") << "x"; }
  int failures = 0;
  {
    tw::fuzz::FileGuard guard(root);
    std::ofstream(root / "a") << "fine";
    fs::create_directories(root / "b" / "c");
    fs::rename(root / "a", root / "b" / "a");
    fs::remove_all(root / "b");
    // Links inside the root: through one that stays inside, and the removal
    // of one that points out, are fine.
    std::ofstream(root / "target") << "x";
    fs::create_symlink(root / "target", root / "inner");
    std::ofstream(root / "inner") << "through";
    fs::create_symlink(outside / "old", root / "out");
    fs::remove(root / "out");
    fs::create_symlink(outside, root / "door");
    mkfifo((root / "pipe").c_str(), 0600);
    mkfifo((outside / "pipe").c_str(), 0600);
    if (!std::ifstream(outside / "old")) ++failures;  // reading is fine anywhere
    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"ofstream", [&] { std::ofstream(outside / "new") << "x"; }},
        {"ofstream via ..", [&] { std::ofstream(root / ".." / "outside" / "new") << "x"; }},
        {"fopen append", [&] { std::fclose(std::fopen((outside / "old").c_str(), "a")); }},
        {"mkdir", [&] { fs::create_directory(outside / "d"); }},
        {"rename", [&] { std::rename((outside / "old").c_str(), (root / "stolen").c_str()); }},
        {"remove", [&] { fs::remove(outside / "old"); }},
        {"link to a file outside",
         [&] {
           fs::create_symlink(outside / "old", root / "out");
           std::ofstream(root / "out") << "x";
         }},
        {"link to nowhere outside",
         [&] {
           fs::create_symlink(outside / "made", root / "nowhere");
           std::ofstream(root / "nowhere") << "x";
         }},
        {"folder link", [&] { std::ofstream(root / "door" / "new") << "x"; }},
        {"named pipe for writing", [&] { std::ofstream(root / "pipe") << "x"; }},
        {"named pipe for reading", [&] { std::ifstream in(root / "pipe"); }},
        {"link to a named pipe",
         [&] {
           fs::create_symlink(outside / "pipe", root / "pipelink");
           std::ifstream in(root / "pipelink");
         }},
        {"relative path",
         [&] {
           fs::current_path(outside);
           std::ofstream("rel") << "x";
         }},
    };
    for (const auto& [name, change] : changes) {
      if (!Stopped(change)) {
        std::fprintf(stderr, "guard let through: %s\n", name);
        ++failures;
      }
    }
  }
  if (fs::exists(outside / "new") || fs::exists(outside / "made") || !fs::exists(outside / "old") ||
      Content(outside / "old") != "x") {
    ++failures;
  }
  std::printf(
      failures == 0 ? "guard: every change outside its root was stopped\n" : "guard: %d failures\n",
      failures);
  return failures == 0 ? 0 : 1;
}

// Built without fortified wrappers: the calls below replace the C library's own.
#undef _FORTIFY_SOURCE
#include "fuzz/fuzz_support.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <string>

namespace tw::fuzz {

namespace fs = std::filesystem;

namespace {

// The guarded root, or empty while no guard is alive. Plain char storage:
// the interposed calls may run before and after any C++ object lives.
char g_root[4096];
std::atomic<bool> g_active{false};

void RemoveRoot() {
  std::error_code ignored;
  if (!TempRoot().empty()) fs::remove_all(TempRoot(), ignored);
}

}  // namespace

const fs::path& TempRoot() {
  static const fs::path root = [] {
    std::string pattern = (fs::temp_directory_path() / "tidewire-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      ::perror("tidewire fuzz: mkdtemp");
      ::abort();
    }
    std::atexit(RemoveRoot);
    return fs::path(pattern);
  }();
  return root;
}

void ClearFolder(const fs::path& folder) {
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(folder, ignored)) {
    fs::remove_all(entry.path(), ignored);
  }
}

FileGuard::FileGuard(const fs::path& root) {
  const std::string text = fs::weakly_canonical(root).string();
  ::strncpy(g_root, text.c_str(), sizeof g_root - 1);
  g_active = true;
}

FileGuard::~FileGuard() { g_active = false; }

}  // namespace tw::fuzz

// ---------------------------------------------------------------------------
// The interposed calls. Each checks its path while a guard is alive, then
// hands over to the C library's own function.

namespace {

using tw::fuzz::g_active;
using tw::fuzz::g_root;

// `path` made absolute and free of "." and ".." parts, without asking the
// file system (the path may not exist yet).
std::string Lexical(int dirfd, const char* path) {
  std::string base;
  if (path[0] != '/') {
    char buffer[4096];
    if (dirfd != AT_FDCWD) {
      const std::string link = "/proc/self/fd/" + std::to_string(dirfd);
      const ssize_t n = ::readlink(link.c_str(), buffer, sizeof buffer - 1);
      base = n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string("/?");
    } else {
      base = ::getcwd(buffer, sizeof buffer) != nullptr ? buffer : "/?";
    }
  }
  return std::filesystem::path(base + "/" + path).lexically_normal().string();
}

void Check(const char* call, int dirfd, const char* path) {
  if (!g_active || path == nullptr) return;
  g_active = false;  // the check's own calls are not checked
  const std::string full = Lexical(dirfd, path);
  const size_t n = ::strlen(g_root);
  const bool inside = full.compare(0, n, g_root) == 0 && (full.size() == n || full[n] == '/');
  if (!inside) {
    ::fprintf(stderr, "tidewire fuzz: %s(\"%s\") changes %s, outside %s\n", call, path,
              full.c_str(), g_root);
    ::abort();
  }
  g_active = true;
}

bool Writes(int flags) { return (flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC | O_APPEND)) != 0; }

bool WritesMode(const char* mode) {
  return mode != nullptr && (::strchr(mode, 'w') || ::strchr(mode, 'a') || ::strchr(mode, '+'));
}

template <typename F>
F Next(const char* name) {
  return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" {

int open(const char* path, int flags, ...) {
  mode_t mode = 0;
  if (flags & (O_CREAT | O_TMPFILE)) {
    va_list args;
    va_start(args, flags);
    mode = static_cast<mode_t>(va_arg(args, int));
    va_end(args);
  }
  if (Writes(flags)) Check("open", AT_FDCWD, path);
  static auto real = Next<int (*)(const char*, int, ...)>("open");
  return real(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
  mode_t mode = 0;
  if (flags & (O_CREAT | O_TMPFILE)) {
    va_list args;
    va_start(args, flags);
    mode = static_cast<mode_t>(va_arg(args, int));
    va_end(args);
  }
  if (Writes(flags)) Check("open64", AT_FDCWD, path);
  static auto real = Next<int (*)(const char*, int, ...)>("open64");
  return real(path, flags, mode);
}

int openat(int dirfd, const char* path, int flags, ...) {
  mode_t mode = 0;
  if (flags & (O_CREAT | O_TMPFILE)) {
    va_list args;
    va_start(args, flags);
    mode = static_cast<mode_t>(va_arg(args, int));
    va_end(args);
  }
  if (Writes(flags)) Check("openat", dirfd, path);
  static auto real = Next<int (*)(int, const char*, int, ...)>("openat");
  return real(dirfd, path, flags, mode);
}

int creat(const char* path, mode_t mode) {
  Check("creat", AT_FDCWD, path);
  static auto real = Next<int (*)(const char*, mode_t)>("creat");
  return real(path, mode);
}

FILE* fopen(const char* path, const char* mode) {
  if (WritesMode(mode)) Check("fopen", AT_FDCWD, path);
  static auto real = Next<FILE* (*)(const char*, const char*)>("fopen");
  return real(path, mode);
}

FILE* fopen64(const char* path, const char* mode) {
  if (WritesMode(mode)) Check("fopen64", AT_FDCWD, path);
  static auto real = Next<FILE* (*)(const char*, const char*)>("fopen64");
  return real(path, mode);
}

int rename(const char* from, const char* to) {
  Check("rename", AT_FDCWD, from);
  Check("rename", AT_FDCWD, to);
  static auto real = Next<int (*)(const char*, const char*)>("rename");
  return real(from, to);
}

int renameat(int fromfd, const char* from, int tofd, const char* to) {
  Check("renameat", fromfd, from);
  Check("renameat", tofd, to);
  static auto real = Next<int (*)(int, const char*, int, const char*)>("renameat");
  return real(fromfd, from, tofd, to);
}

int unlink(const char* path) {
  Check("unlink", AT_FDCWD, path);
  static auto real = Next<int (*)(const char*)>("unlink");
  return real(path);
}

int unlinkat(int dirfd, const char* path, int flags) {
  Check("unlinkat", dirfd, path);
  static auto real = Next<int (*)(int, const char*, int)>("unlinkat");
  return real(dirfd, path, flags);
}

int remove(const char* path) {
  Check("remove", AT_FDCWD, path);
  static auto real = Next<int (*)(const char*)>("remove");
  return real(path);
}

int rmdir(const char* path) {
  Check("rmdir", AT_FDCWD, path);
  static auto real = Next<int (*)(const char*)>("rmdir");
  return real(path);
}

int mkdir(const char* path, mode_t mode) {
  Check("mkdir", AT_FDCWD, path);
  static auto real = Next<int (*)(const char*, mode_t)>("mkdir");
  return real(path, mode);
}

int mkdirat(int dirfd, const char* path, mode_t mode) {
  Check("mkdirat", dirfd, path);
  static auto real = Next<int (*)(int, const char*, mode_t)>("mkdirat");
  return real(dirfd, path, mode);
}

int link(const char* from, const char* to) {
  Check("link", AT_FDCWD, to);
  static auto real = Next<int (*)(const char*, const char*)>("link");
  return real(from, to);
}

int symlink(const char* from, const char* to) {
  Check("symlink", AT_FDCWD, to);
  static auto real = Next<int (*)(const char*, const char*)>("symlink");
  return real(from, to);
}

int truncate(const char* path, off_t length) {
  Check("truncate", AT_FDCWD, path);
  static auto real = Next<int (*)(const char*, off_t)>("truncate");
  return real(path, length);
}

}  // extern "C"

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
#include <climits>
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

// The deepest folder of `path` that exists, resolved through its links,
// with the parts below it as written: a link on the way out of the root is
// followed even when the file itself does not exist yet.
std::string RealPrefix(const std::filesystem::path& path) {
  std::filesystem::path head = path, tail;
  while (!head.empty() && head != head.root_path()) {
    char real[PATH_MAX];
    if (::realpath(head.c_str(), real) != nullptr) {
      return (std::filesystem::path(real) / tail).lexically_normal().string();
    }
    tail = head.filename() / tail;
    head = head.parent_path();
  }
  return path.string();
}

// Where a call on `full` (absolute, lexical) lands: the folders on its way
// resolved through their links and, with `followLast`, the last part too
// while it is a link (open and truncate follow it; unlink and rename act on
// the link itself). A link to nowhere lands where the file would be created.
std::string Landing(std::string full, bool followLast) {
  while (full.size() > 1 && full.back() == '/') full.pop_back();
  for (int hops = 0; hops < 40; ++hops) {
    const std::filesystem::path p(full);
    const std::string parent = RealPrefix(p.parent_path());
    full = (std::filesystem::path(parent) / p.filename()).string();
    if (!followLast) return full;
    char target[PATH_MAX];
    const ssize_t n = ::readlink(full.c_str(), target, sizeof target - 1);
    if (n <= 0) return full;
    target[n] = '\0';
    full = (std::filesystem::path(parent) / target).lexically_normal().string();
  }
  return full;  // a loop of links: the call itself fails
}

void Check(const char* call, int dirfd, const char* path, bool followLast = false) {
  if (!g_active || path == nullptr) return;
  g_active = false;  // the check's own calls are not checked
  const std::string full = Landing(Lexical(dirfd, path), followLast);
  const size_t n = ::strlen(g_root);
  const bool inside = full.compare(0, n, g_root) == 0 && (full.size() == n || full[n] == '/');
  if (!inside) {
    ::fprintf(stderr, "tidewire fuzz: %s(\"%s\") changes %s, outside %s\n", call, path,
              full.c_str(), g_root);
    ::abort();
  }
  g_active = true;
}

// An open that would wait for the other end of a named pipe holds the
// program for as long as nobody comes: a fault, whatever the path. Opens
// that cannot wait are let through: non-blocking ones, folder-only ones
// (they fail on a pipe at once), those that must create the file, and,
// through a link, those that do not follow it.
void CheckNotAPipe(const char* call, int dirfd, const char* path, int flags) {
  if (!g_active || path == nullptr) return;
  if ((flags & (O_NONBLOCK | O_DIRECTORY | O_PATH)) != 0) return;
  if ((flags & (O_CREAT | O_EXCL)) == (O_CREAT | O_EXCL)) return;
  g_active = false;
  const bool follow = (flags & O_NOFOLLOW) == 0;
  const std::string full = Landing(Lexical(dirfd, path), follow);
  struct stat st {};
  if (::lstat(full.c_str(), &st) == 0 && S_ISFIFO(st.st_mode)) {
    ::fprintf(stderr, "tidewire fuzz: %s(\"%s\") opens a named pipe and waits for its other end\n",
              call, path);
    ::abort();
  }
  g_active = true;
}

// The open() flags of an fopen() mode.
int ModeFlags(const char* mode) {
  if (mode == nullptr) return 0;
  return ::strchr(mode, 'x') != nullptr ? O_CREAT | O_EXCL : 0;
}

bool Writes(int flags) { return (flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC | O_APPEND)) != 0; }

// open() follows a link in the last part unless told not to, or unless it
// must create the file itself.
bool FollowsLast(int flags) {
  return (flags & O_NOFOLLOW) == 0 && (flags & (O_CREAT | O_EXCL)) != (O_CREAT | O_EXCL);
}

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
  if (Writes(flags)) Check("open", AT_FDCWD, path, FollowsLast(flags));
  CheckNotAPipe("open", AT_FDCWD, path, flags);
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
  if (Writes(flags)) Check("open64", AT_FDCWD, path, FollowsLast(flags));
  CheckNotAPipe("open64", AT_FDCWD, path, flags);
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
  if (Writes(flags)) Check("openat", dirfd, path, FollowsLast(flags));
  CheckNotAPipe("openat", dirfd, path, flags);
  static auto real = Next<int (*)(int, const char*, int, ...)>("openat");
  return real(dirfd, path, flags, mode);
}

int creat(const char* path, mode_t mode) {
  Check("creat", AT_FDCWD, path, true);
  CheckNotAPipe("creat", AT_FDCWD, path, 0);
  static auto real = Next<int (*)(const char*, mode_t)>("creat");
  return real(path, mode);
}

FILE* fopen(const char* path, const char* mode) {
  if (WritesMode(mode)) Check("fopen", AT_FDCWD, path, mode == nullptr || !::strchr(mode, 'x'));
  CheckNotAPipe("fopen", AT_FDCWD, path, ModeFlags(mode));
  static auto real = Next<FILE* (*)(const char*, const char*)>("fopen");
  return real(path, mode);
}

FILE* fopen64(const char* path, const char* mode) {
  if (WritesMode(mode)) Check("fopen64", AT_FDCWD, path, mode == nullptr || !::strchr(mode, 'x'));
  CheckNotAPipe("fopen64", AT_FDCWD, path, ModeFlags(mode));
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
  Check("truncate", AT_FDCWD, path, true);
  static auto real = Next<int (*)(const char*, off_t)>("truncate");
  return real(path, length);
}

}  // extern "C"

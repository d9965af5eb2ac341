// The POSIX calls some logic tests use, for the Windows build.
//
// On POSIX systems this only includes the system's headers. On Windows the
// environment calls and chmod get their Windows equivalents. The rest (user
// ids, named pipes, access checks as another user) have none: they are
// declared so that the files compile, and the tests that use them are among
// TW_LINUX_ONLY_TESTS in tests/CMakeLists.txt, which the Windows run leaves
// out. Should one run all the same, it stops the run with a message.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef _WIN32
#include <io.h>

#include <cstdio>
#include <cstdlib>

using uid_t = unsigned;

inline int setenv(const char* name, const char* value, int /*overwrite*/) {
  return _putenv_s(name, value);
}
inline int unsetenv(const char* name) { return _putenv_s(name, ""); }
// Paths are wide on Windows; the mode sets or clears the read-only flag.
inline int chmod(const wchar_t* path, int mode) { return _wchmod(path, mode); }

[[noreturn]] inline void LinuxOnlyTestRan(const char* call) {
  std::fprintf(stderr, "%s: a test that stays on Linux ran on Windows\n", call);
  std::abort();
}
inline uid_t geteuid() { LinuxOnlyTestRan("geteuid"); }
inline int seteuid(uid_t) { LinuxOnlyTestRan("seteuid"); }
inline int mkfifo(const wchar_t*, int) { LinuxOnlyTestRan("mkfifo"); }
inline int faccessat(int, const wchar_t*, int, int) { LinuxOnlyTestRan("faccessat"); }
constexpr int AT_FDCWD = -100;
constexpr int AT_EACCESS = 0x200;
#endif

#include "serial/open_failure.h"

#include <cerrno>
#include <cstring>

#ifndef _WIN32
#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tw {

namespace {

// The group that may open `device`, when it is a group a user would be put
// in (not root's own).
std::string DeviceGroup(const std::string& device) {
#ifndef _WIN32
  struct stat st {};
  if (::stat(device.c_str(), &st) != 0 || st.st_gid == 0) return {};
  if (const group* g = ::getgrgid(st.st_gid); g != nullptr && g->gr_name != nullptr) {
    return g->gr_name;
  }
#else
  (void)device;
#endif
  return {};
}

std::string ForbiddenHint(const std::string& device) {
  const std::string group = DeviceGroup(device);
  if (!group.empty()) {
    return "add your user to the group " + group + " (sudo usermod -aG " + group +
           " $USER) and log in again";
  }
  return "add your user to the serial group (dialout on Debian: sudo usermod -aG dialout "
         "$USER) and log in again";
}

}  // namespace

OpenProblem ClassifyOpenError(int error) {
  switch (error) {
    case 0:
      return OpenProblem::None;
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
      return OpenProblem::Missing;
    case EBUSY:
    case EWOULDBLOCK:
      return OpenProblem::Busy;
    case EACCES:
    case EPERM:
    case EROFS:
      return OpenProblem::Forbidden;
    default:
      return OpenProblem::Other;
  }
}

OpenFailure DescribeOpenError(const std::string& device, int error) {
  OpenFailure f;
  f.device = device;
  switch (ClassifyOpenError(error)) {
    case OpenProblem::None:
      return f;
    case OpenProblem::Missing:
      f.reason = std::strerror(error);
      f.hint = "is it plugged in? tidewire --list-ports shows the devices found";
      break;
    case OpenProblem::Busy:
      // A held lock says "Resource temporarily unavailable", which tells the
      // operator nothing; both mean the same thing here.
      f.reason = std::strerror(EBUSY);
      f.hint = "another program holds it";
      break;
    case OpenProblem::Forbidden:
      f.reason = std::strerror(error);
      f.hint = ForbiddenHint(device);
      break;
    case OpenProblem::Other:
      f.reason = std::strerror(error);
      break;
  }
  return f;
}

OpenFailure ProbeOpenFailure(const std::string& device) {
#ifndef _WIN32
  const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return DescribeOpenError(device, errno);
  const int locked = ::flock(fd, LOCK_EX | LOCK_NB);
  const int error = locked == 0 ? 0 : errno;
  ::close(fd);  // also lets go of the lock
  return DescribeOpenError(device, error);
#else
  return OpenFailure{device, {}, {}};
#endif
}

std::string OpenFailureLine(const std::string& what, const OpenFailure& failure) {
  std::string line = "Error: Can't Connect " + what;
  if (!failure.device.empty() && failure.device != what) line += " (" + failure.device + ")";
  line += ": " + (failure.reason.empty() ? std::string("reason unknown") : failure.reason);
  if (!failure.hint.empty()) line += "; " + failure.hint;
  return line + ".";
}

}  // namespace tw

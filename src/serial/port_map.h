// Which device stands behind each COM port number. On Windows COMn is the
// device itself; elsewhere it is given by --com N=DEVICE, by TIDEWIRE_COMN,
// or defaults to /dev/ttyS<n-1>.
#pragma once

#include <map>
#include <optional>
#include <string>

namespace tw {

constexpr int MIN_PORT = 1;
constexpr int MAX_PORT = 16;

class PortMap {
 public:
  // Mapping from the command line; takes precedence over the environment.
  void set(int portNumber, const std::string& device) { explicit_[portNumber] = device; }
  std::string device(int portNumber) const;

  // Parses "N=DEVICE" with N in 1..16; nullopt when malformed.
  static std::optional<std::pair<int, std::string>> parse(const std::string& text);

 private:
  std::map<int, std::string> explicit_;
};

}  // namespace tw

// Which device stands behind each COM port number. On Windows COMn is the
// device itself; elsewhere it is given by --com N=DEVICE, by TIDEWIRE_COMN,
// or defaults to /dev/ttyS<n-1>. The operator may also choose one of the
// devices found for a port; that choice is kept by the device's lasting
// names (device_map.h) and found again when the device comes back.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "serial/device_map.h"

namespace tw {

constexpr int MIN_PORT = 1;
constexpr int MAX_PORT = 16;

class PortMap {
 public:
  // Mapping from the command line; takes precedence over a chosen device
  // (one loaded from a file must not override what the command line says)
  // and over the environment.
  void set(int portNumber, const std::string& device);
  // Whether the command line mapped the port.
  bool given(int portNumber) const { return explicit_.count(portNumber) != 0; }
  // Forgets the command line's mapping of a port: the operator chose a
  // device for it in the dialog.
  void forget(int portNumber) { explicit_.erase(portNumber); }
  // The device chosen for a port. An empty choice removes it.
  void choose(int portNumber, const DeviceChoice& choice);
  // The chosen devices, by port number.
  const std::map<int, DeviceChoice>& choices() const { return chosen_; }
  // The device to open: the command line's mapping, else a chosen device,
  // else the environment's, else the default. A chosen device is named by the path it had when last
  // found.
  std::string device(int portNumber) const;
  // Looks for a port's chosen device among `found` and remembers the path it
  // has now; false when it has no chosen device or that is not there.
  bool resolve(int portNumber, const std::vector<SerialDeviceInfo>& found);

  // Parses "N=DEVICE" with N in 1..16; nullopt when malformed.
  static std::optional<std::pair<int, std::string>> parse(const std::string& text);

 private:
  std::map<int, std::string> explicit_;
  std::map<int, DeviceChoice> chosen_;
};

}  // namespace tw

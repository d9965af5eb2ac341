#include "serial/port_map.h"

#include <cstdlib>

#include "core/fixed_format.h"

namespace tw {

void PortMap::set(int portNumber, const std::string& device) {
  chosen_.erase(portNumber);
  explicit_[portNumber] = device;
}

void PortMap::choose(int portNumber, const DeviceChoice& choice) {
  if (choice.empty()) {
    chosen_.erase(portNumber);
    return;
  }
  chosen_[portNumber] = choice;
}

bool PortMap::resolve(int portNumber, const std::vector<SerialDeviceInfo>& found) {
  auto it = chosen_.find(portNumber);
  if (it == chosen_.end()) return false;
  const SerialDeviceInfo* device = FindChosenDevice(it->second, found);
  if (device == nullptr) return false;
  it->second.path = device->path;
  // Names it has gained since (a by-id link made later) are kept from now on.
  if (it->second.byIdPath.empty()) it->second.byIdPath = device->byIdPath;
  return true;
}

std::string PortMap::device(int portNumber) const {
  auto it = explicit_.find(portNumber);
  if (it != explicit_.end()) return it->second;
  if (auto c = chosen_.find(portNumber); c != chosen_.end()) {
    const DeviceChoice& choice = c->second;
    if (!choice.path.empty()) return choice.path;
    if (!choice.byIdPath.empty()) return choice.byIdPath;
  }
#ifdef _WIN32
  // The device namespace form: Windows opens "COM10" and above only so,
  // and it is as good for COM1..COM9.
  return FixedFormat("\\\\.\\COM%d", portNumber);
#else
  const std::string var = FixedFormat("TIDEWIRE_COM%d", portNumber);
  if (const char* env = std::getenv(var.c_str()); env != nullptr && *env != '\0') return env;
  return FixedFormat("/dev/ttyS%d", portNumber - 1);
#endif
}

std::optional<std::pair<int, std::string>> PortMap::parse(const std::string& text) {
  const auto eq = text.find('=');
  if (eq == std::string::npos || eq == 0 || eq + 1 >= text.size()) return std::nullopt;
  int number = 0;
  for (size_t i = 0; i < eq; ++i) {
    if (text[i] < '0' || text[i] > '9' || number > 100) return std::nullopt;
    number = number * 10 + (text[i] - '0');
  }
  if (number < MIN_PORT || number > MAX_PORT) return std::nullopt;
  return std::make_pair(number, text.substr(eq + 1));
}

}  // namespace tw

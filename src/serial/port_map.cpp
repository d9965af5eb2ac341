#include "serial/port_map.h"

#include <cstdlib>

#include "core/cformat.h"

namespace tw {

std::string PortMap::device(int portNumber) const {
  auto it = explicit_.find(portNumber);
  if (it != explicit_.end()) return it->second;
#ifdef _WIN32
  // The device namespace form: Windows opens "COM10" and above only so,
  // and it is as good for COM1..COM9.
  return cformat("\\\\.\\COM%d", portNumber);
#else
  const std::string var = cformat("TIDEWIRE_COM%d", portNumber);
  if (const char* env = std::getenv(var.c_str()); env != nullptr && *env != '\0') return env;
  return cformat("/dev/ttyS%d", portNumber - 1);
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

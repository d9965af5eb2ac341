#include "serial/device_map.h"

#include <system_error>

namespace tw {

DeviceChoice ChoiceOf(const SerialDeviceInfo& device) {
  return {device.serialNumber, device.byIdPath, device.path};
}

const SerialDeviceInfo* FindChosenDevice(const DeviceChoice& choice,
                                         const std::vector<SerialDeviceInfo>& found) {
  auto first = [&found](auto&& matches) -> const SerialDeviceInfo* {
    for (const SerialDeviceInfo& d : found) {
      if (matches(d)) return &d;
    }
    return nullptr;
  };
  const auto byId = [&choice](const SerialDeviceInfo& d) {
    return !choice.byIdPath.empty() && d.byIdPath == choice.byIdPath;
  };
  const auto byPath = [&choice](const SerialDeviceInfo& d) {
    return !choice.path.empty() && d.path == choice.path;
  };
  if (!choice.serialNumber.empty()) {
    const auto sameSerial = [&choice](const SerialDeviceInfo& d) {
      return d.serialNumber == choice.serialNumber;
    };
    if (const auto* d = first([&](const SerialDeviceInfo& x) { return sameSerial(x) && byId(x); }))
      return d;
    if (const auto* d =
            first([&](const SerialDeviceInfo& x) { return sameSerial(x) && byPath(x); }))
      return d;
    if (const auto* d = first(sameSerial)) return d;
  }
  if (const auto* d = first(byId)) return d;
  // A device whose serial number differs from the chosen one's is another
  // adapter, even when it now has the old name.
  return first([&](const SerialDeviceInfo& d) {
    return byPath(d) && (choice.serialNumber.empty() || d.serialNumber.empty());
  });
}

std::map<std::string, std::string> ReadByIdLinks(const std::filesystem::path& folder) {
  std::map<std::string, std::string> links;
  std::error_code ec;
  std::filesystem::directory_iterator it(folder, ec);
  if (ec) return links;
  for (const auto& entry : it) {
    const std::filesystem::path target = std::filesystem::canonical(entry.path(), ec);
    if (ec) {
      ec.clear();
      continue;  // a dangling link: its device is gone
    }
    links[target.string()] = entry.path().string();
  }
  return links;
}

void AddByIdPaths(std::vector<SerialDeviceInfo>& devices,
                  const std::map<std::string, std::string>& links) {
  for (SerialDeviceInfo& d : devices) {
    std::error_code ec;
    const std::filesystem::path real = std::filesystem::canonical(d.path, ec);
    auto it = links.find(ec ? d.path : real.string());
    if (it != links.end()) d.byIdPath = it->second;
  }
}

std::string DeviceListLine(const SerialDeviceInfo& d) {
  std::string line = d.path;
  auto add = [&line](const char* label, const std::string& value) {
    if (!value.empty()) line += std::string("  ") + label + value;
  };
  add("", d.description);
  add("by ", d.manufacturer);
  add("serial number ", d.serialNumber);
  add("", d.byIdPath);
  return line;
}

std::string DeviceListText(const std::vector<SerialDeviceInfo>& devices) {
  if (devices.empty()) return "No serial devices found.\n";
  std::string text;
  for (const SerialDeviceInfo& d : devices) text += DeviceListLine(d) + "\n";
  return text;
}

}  // namespace tw

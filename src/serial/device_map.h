// Serial devices by name: the devices found on the machine, what is kept of
// the one chosen for a COM number, and how it is found again when it comes
// back under another name (a USB adapter plugged into another socket).
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace tw {

// One serial device found on the machine.
struct SerialDeviceInfo {
  std::string path;  // "/dev/ttyUSB0", "COM3"
  std::string description;
  std::string manufacturer;
  std::string serialNumber;  // USB serial number; empty when it has none
  std::string byIdPath;      // "/dev/serial/by-id/usb-...", when there is one
};

// What is kept of the device chosen for a COM number: its USB serial
// number and its /dev/serial/by-id path where it has them, and the path it
// had then.
struct DeviceChoice {
  std::string serialNumber;
  std::string byIdPath;
  std::string path;
  bool empty() const { return serialNumber.empty() && byIdPath.empty() && path.empty(); }
  bool operator==(const DeviceChoice&) const = default;
};

DeviceChoice ChoiceOf(const SerialDeviceInfo& device);

// The device `choice` means among `found`: the one with its serial number
// (several ports of one adapter share it: then the one with its by-id path
// or path among them), else the one with its by-id path, else the one with
// its path. Null when it is not there.
const SerialDeviceInfo* FindChosenDevice(const DeviceChoice& choice,
                                         const std::vector<SerialDeviceInfo>& found);

// The links in a by-id folder, each resolved: the device path it points at
// -> the link's own path. Empty when the folder is missing.
std::map<std::string, std::string> ReadByIdLinks(
    const std::filesystem::path& folder = "/dev/serial/by-id");
// Fills in byIdPath of every device that has a link.
void AddByIdPaths(std::vector<SerialDeviceInfo>& devices,
                  const std::map<std::string, std::string>& links);

// One line of `tidewire --list-ports`: the path, then what is known of it.
std::string DeviceListLine(const SerialDeviceInfo& device);
// The whole list, one device a line, or a line saying none was found.
std::string DeviceListText(const std::vector<SerialDeviceInfo>& devices);

}  // namespace tw

// Why a serial device cannot be opened, told so the operator can act: the
// device, the system's reason and, for the common cases, what to do.
#pragma once

#include <string>

#include "core/serial_port.h"

namespace tw {

enum class OpenProblem { None, Missing, Busy, Forbidden, Other };

// What an error number from opening or locking `device` means.
OpenProblem ClassifyOpenError(int error);

// The reason and hint for an error number from opening or locking `device`.
OpenFailure DescribeOpenError(const std::string& device, int error);

// Looks for the reason itself, after a port library refused `device`
// without a usable one: opens the device (without waiting for a carrier)
// and takes the same exclusive lock the program takes. `reason` stays empty
// when both work, that is when nothing is wrong that this side can see.
OpenFailure ProbeOpenFailure(const std::string& device);

// The terminal line for a failed connect: "Error: Can't Connect COM3
// (/dev/ttyUSB0): Permission denied; <hint>". `what` names the port
// ("COM3", "GPS port COM3").
std::string OpenFailureLine(const std::string& what, const OpenFailure& failure);

}  // namespace tw

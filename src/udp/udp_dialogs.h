// The UDP room's dialog: "Configure UDP...", the addresses and ports of the
// three kinds of datagram and whether GPS fixes are broadcast.
#pragma once

#include "core/settings.h"

namespace tw {

class UdpDialogs {
 public:
  virtual ~UdpDialogs() = default;
  // Modal; true when the operator accepted new settings (every address
  // checked with CheckUdpAddress).
  virtual bool RunUdpSettings(UdpSettings& settings) = 0;
};

}  // namespace tw

// What the demo chooses for the operator at start, so that every window has
// something to show within half a minute: connect, answer data requests with
// test data, and loop a test every 3 s through navigation pings on CH1 and
// CH2, unit pings to units 1 to 3 and a 100 ms noise measurement. The
// emulated modem's far end answers each of them.
#pragma once

#include <vector>

#include "core/commands.h"

namespace tw {

inline std::vector<int> DemoStartupCommands() {
  return {
      cmd::CONNECT,
      cmd::USE_TEST_DATA_ACK,
      cmd::NAV_PING[0],
      cmd::NAV_PING[1],
      cmd::PING_UNIT_FIRST + 1,
      cmd::PING_UNIT_FIRST + 2,
      cmd::PING_UNIT_FIRST + 3,
      cmd::NOISE_DIAGNOSTIC[0],
      cmd::TEST_INTERVALS[3].id,  // "3 seconds"
      cmd::LOOP_TESTING,
  };
}

}  // namespace tw

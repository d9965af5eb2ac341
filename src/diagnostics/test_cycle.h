// The test cycle: each call sends the modem the next ticked test item of a
// fixed 2048-slot schedule (data cycles, pings, noise measurements, the custom
// string, unsolicited status frames).
#pragma once

#include "app/program.h"

namespace tw {

// Sends at most one test item and moves settings.testCounter past its slot.
// When nothing can be sent it prints why and leaves the counter alone.
void RunTestCycle(Program& program);

// Hooks RunTestCycle into the program (timer 3, "&Test Once", F1).
void InstallTestCycle(Program& program);

}  // namespace tw

// The test cycle: each call sends the modem the next ticked test item of a
// fixed 2048-slot schedule (data cycles, pings, noise measurements, the custom
// string, unsolicited status frames).
#pragma once

#include "core/sentence_sink.h"
#include "core/settings.h"
#include "core/text_out.h"
#include "protocol/ping_results.h"

namespace tw {

// Sends at most one test item and moves state.testCounter past its slot.
// When nothing can be sent it prints why and leaves the counter alone. A
// unit ping sent is counted in `pings` when given.
void RunTestCycle(TextOut& out, SentenceSink& sink, const Settings& settings, RunState& state,
                  PingResults* pings = nullptr);

}  // namespace tw

// What the modem interpreter does with each family of the modem's sentences:
// the reaction column of the sentence table. Each reads its record, counts
// and remembers what goes with it, and shows its line.
#pragma once

#include <string>

namespace tw {

struct InterpreterLinks;

#define TW_REACTION(name) \
  void name(const InterpreterLinks& m, const std::string& line, const char* text)

TW_REACTION(ShowAgc);
TW_REACTION(ShowQuality);
TW_REACTION(ReceiveFrame);
TW_REACTION(ShowRevision);
TW_REACTION(ShowNothing);
TW_REACTION(ShowError);
TW_REACTION(ShowModemMessage);
TW_REACTION(ShowFixedLine);  // the row's text
TW_REACTION(AnswerDataRequest);
TW_REACTION(ShowTravelTimes);
TW_REACTION(ShowCycle);
TW_REACTION(ShowConfig);
TW_REACTION(ShowBinaryData);
TW_REACTION(ShowPing);  // the row's text is the format
TW_REACTION(ShowRangePing);
TW_REACTION(ShowPingAck);  // the row's text is the format
TW_REACTION(ShowFifoFlush);
TW_REACTION(ShowFifoStatus);
TW_REACTION(ShowAck);
TW_REACTION(PassNoiseReport);
TW_REACTION(CountPing);  // the row's text
TW_REACTION(ShowDoppler);
TW_REACTION(ShowDetector);
TW_REACTION(ShowShift);

#undef TW_REACTION

}  // namespace tw

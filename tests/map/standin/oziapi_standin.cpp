// A stand-in for the map program's API library, built by the tests: it
// exports every name the program looks up and keeps what oziSendMMstring is
// sent. Built with TW_STANDIN_PARTIAL it lacks the last name, oziStopMM.
#include <string>
#include <vector>

#if defined(_WIN32)
#define STANDIN_EXPORT extern "C" __declspec(dllexport)
#else
#define STANDIN_EXPORT extern "C" __attribute__((visibility("default")))
#endif
#if defined(_WIN32) && !defined(_WIN64)
#define STANDIN_CALL __stdcall
#else
#define STANDIN_CALL
#endif

namespace {

std::vector<std::string>& Received() {
  static std::vector<std::string> received;
  return received;
}
int otherCalls = 0;
int nullArguments = 0;

}  // namespace

// Every function but oziSendMMstring only counts that it was called: the
// program must never call them.
#define STANDIN_OTHER(name)                \
  STANDIN_EXPORT int STANDIN_CALL name() { \
    ++otherCalls;                          \
    return 0;                              \
  }

STANDIN_OTHER(oziGetExePath)
STANDIN_OTHER(oziGetExeVersion)
STANDIN_OTHER(oziGetApiVersion)
STANDIN_OTHER(oziCenterMapAtPosition)
STANDIN_OTHER(oziCenterMapAtPositionWithMark)
STANDIN_OTHER(oziCloseProgram)
STANDIN_OTHER(oziFindOzi)
STANDIN_OTHER(oziGetMapDatum)
STANDIN_OTHER(oziConvertDatum)
STANDIN_OTHER(oziClearWPs)
STANDIN_OTHER(oziClearEVs)
STANDIN_OTHER(oziClearRTEs)
STANDIN_OTHER(oziClearTRKs)
STANDIN_OTHER(oziClearTRK)
STANDIN_OTHER(oziClearPTs)
STANDIN_OTHER(oziClearMFs)
STANDIN_OTHER(oziClearMCs)
STANDIN_OTHER(oziCreateWP)
STANDIN_OTHER(oziCreateMF)
STANDIN_OTHER(oziCreateMC)
STANDIN_OTHER(oziMapSingleClickON)
STANDIN_OTHER(oziMapSingleClickOFF)
STANDIN_OTHER(oziMapDblClickON)
STANDIN_OTHER(oziMapDblClickOFF)
STANDIN_OTHER(oziObjectClickON)
STANDIN_OTHER(oziObjectClickOFF)
STANDIN_OTHER(oziLoadMap)
STANDIN_OTHER(oziSaveMap)
STANDIN_OTHER(oziLoadWPfile)
STANDIN_OTHER(oziLoadTRKfile)
STANDIN_OTHER(oziChangeTRKcolor)
STANDIN_OTHER(oziMTStartMultiTrack)
STANDIN_OTHER(oziMTStopMultiTrack)
STANDIN_OTHER(oziMTSendPosition)
STANDIN_OTHER(oziMTloadIDsON)
STANDIN_OTHER(oziMTloadIDsOFF)
STANDIN_OTHER(oziStartMMapi)
#ifndef TW_STANDIN_PARTIAL
STANDIN_OTHER(oziStopMM)
#endif

// Keeps the sentence found through the pointer it is given.
STANDIN_EXPORT int STANDIN_CALL oziSendMMstring(char** sentence) {
  if (sentence == nullptr || *sentence == nullptr) {
    ++nullArguments;
    return -1;
  }
  Received().emplace_back(*sentence);
  return 0;
}

// What the tests ask of the stand-in.
STANDIN_EXPORT int standinReceivedCount() { return static_cast<int>(Received().size()); }
STANDIN_EXPORT const char* standinReceived(int index) {
  if (index < 0 || index >= static_cast<int>(Received().size())) return nullptr;
  return Received()[static_cast<size_t>(index)].c_str();
}
STANDIN_EXPORT int standinOtherCalls() { return otherCalls; }
STANDIN_EXPORT int standinNullArguments() { return nullArguments; }
STANDIN_EXPORT void standinReset() {
  Received().clear();
  otherCalls = 0;
  nullArguments = 0;
}

// The map program's API library: loaded once at start-up, every function the
// program knows looked up by name, and GPS sentences handed to its
// oziSendMMstring. Nothing else of the library is ever called.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "core/settings.h"
#include "map/shared_library.h"

namespace tw {

// What MapLibraryLoad answers.
constexpr int MAP_LOADED = 0;
constexpr int MAP_NO_LIBRARY = -1;
constexpr int MAP_NAME_MISSING = -2;

// The library's functions, in the order they are looked up; all must be
// there for the map program to count as available.
constexpr size_t MAP_FUNCTION_COUNT = 39;
inline constexpr std::array<const char*, MAP_FUNCTION_COUNT> MAP_FUNCTION_NAMES{
    "oziGetExePath",
    "oziGetExeVersion",
    "oziGetApiVersion",
    "oziCenterMapAtPosition",
    "oziCenterMapAtPositionWithMark",
    "oziCloseProgram",
    "oziFindOzi",
    "oziGetMapDatum",
    "oziConvertDatum",
    "oziClearWPs",
    "oziClearEVs",
    "oziClearRTEs",
    "oziClearTRKs",
    "oziClearTRK",
    "oziClearPTs",
    "oziClearMFs",
    "oziClearMCs",
    "oziCreateWP",
    "oziCreateMF",
    "oziCreateMC",
    "oziMapSingleClickON",
    "oziMapSingleClickOFF",
    "oziMapDblClickON",
    "oziMapDblClickOFF",
    "oziObjectClickON",
    "oziObjectClickOFF",
    "oziLoadMap",
    "oziSaveMap",
    "oziLoadWPfile",
    "oziLoadTRKfile",
    "oziChangeTRKcolor",
    "oziMTStartMultiTrack",
    "oziMTStopMultiTrack",
    "oziMTSendPosition",
    "oziMTloadIDsON",
    "oziMTloadIDsOFF",
    "oziStartMMapi",
    "oziSendMMstring",
    "oziStopMM",
};
// Where oziSendMMstring sits in the table.
constexpr size_t MAP_SEND_MM_STRING = 37;

// The library exports its functions with the platform's API calling
// convention: stdcall on 32-bit Windows, the C convention everywhere else.
#if defined(_WIN32) && !defined(_WIN64)
#define TW_MAP_API_CALL __stdcall
#else
#define TW_MAP_API_CALL
#endif

// oziSendMMstring takes the address of a variable holding the address of a
// zero-terminated sentence; its answer is not used.
using SendMMStringFunction = int(TW_MAP_API_CALL*)(char** sentence);

// The library's file name on this platform: "oziapi.dll" on Windows, the
// shared library of the same stem ("liboziapi.so") elsewhere.
const char* MapLibraryFileName();

class MapLibrary {
 public:
  // `state.mapAvailable` follows each load.
  MapLibrary(SharedLibrary& library, RunState& state);

  // Loads the library and looks up every name in order: MAP_LOADED, or
  // MAP_NO_LIBRARY when it cannot be loaded, or MAP_NAME_MISSING when a name
  // is not there (the library is unloaded again). Reports nothing; a loaded
  // library stays loaded for the run.
  int MapLibraryLoad();

  // Calls oziSendMMstring with the address of a pointer to a copy of
  // `sentence` (zero-terminated, kept as it is, CR included). Does nothing
  // while the library is not loaded.
  void SendMMString(const std::string& sentence);

  bool loaded() const { return functions_[MAP_SEND_MM_STRING] != nullptr; }

 private:
  SharedLibrary& library_;
  RunState& state_;
  std::array<LibraryFunction, MAP_FUNCTION_COUNT> functions_{};
};

}  // namespace tw

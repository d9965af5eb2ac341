#include "map/map_library.h"

namespace tw {

const char* MapLibraryFileName() {
#ifdef _WIN32
  return "oziapi.dll";
#else
  return "liboziapi.so";
#endif
}

MapLibrary::MapLibrary(SharedLibrary& library, RunState& state)
    : library_(library), state_(state) {}

namespace {

int LoadAll(SharedLibrary& library, std::array<LibraryFunction, MAP_FUNCTION_COUNT>& found) {
  found.fill(nullptr);
  if (!library.Load()) return MAP_NO_LIBRARY;
  for (size_t i = 0; i < MAP_FUNCTION_COUNT; ++i) {
    found[i] = library.Resolve(MAP_FUNCTION_NAMES[i]);
    if (found[i] == nullptr) {
      // A library without every function is not the one we know: let it go
      // and keep no address into it.
      found.fill(nullptr);
      library.Unload();
      return MAP_NAME_MISSING;
    }
  }
  return MAP_LOADED;
}

}  // namespace

int MapLibrary::MapLibraryLoad() {
  const int result = LoadAll(library_, functions_);
  state_.mapAvailable = result == MAP_LOADED ? 1 : 0;
  return result;
}

void MapLibrary::SendMMString(const std::string& sentence) {
  if (!loaded()) return;
  // The library gets a copy of its own, so whatever it does through the
  // pointer it is given leaves the caller's text as it was.
  std::string copy = sentence;
  char* text = copy.data();
  reinterpret_cast<SendMMStringFunction>(functions_[MAP_SEND_MM_STRING])(&text);
}

}  // namespace tw

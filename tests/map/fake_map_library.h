// A map library in memory: it loads or not, lacks the names it is told to,
// and its oziSendMMstring keeps what it finds through the pointer it gets.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "map/map_library.h"
#include "map/shared_library.h"

namespace tw::test {

// What the fake oziSendMMstring was sent, and a hook it runs on each call.
struct MapCalls {
  std::vector<std::string> received;
  int otherCalls = 0;
  std::function<void()> onSend;
};

inline MapCalls& FakeMapCalls() {
  static MapCalls calls;
  return calls;
}

inline int TW_MAP_API_CALL FakeSendMMString(char** sentence) {
  MapCalls& calls = FakeMapCalls();
  calls.received.emplace_back(sentence != nullptr && *sentence != nullptr ? *sentence : "<null>");
  if (calls.onSend) calls.onSend();
  return 0;
}

inline int TW_MAP_API_CALL FakeOtherFunction() { return ++FakeMapCalls().otherCalls; }

class FakeSharedLibrary : public SharedLibrary {
 public:
  FakeSharedLibrary() { FakeMapCalls() = MapCalls{}; }

  bool present = true;            // whether Load finds the library
  std::set<std::string> missing;  // names it does not export
  std::vector<std::string> lookups;
  int loads = 0;
  int unloads = 0;
  bool loaded = false;

  bool Load() override {
    ++loads;
    loaded = loaded || present;
    return loaded;
  }
  LibraryFunction Resolve(const char* name) override {
    lookups.emplace_back(name);
    if (!loaded || missing.count(name) != 0) return nullptr;
    if (std::string(name) == "oziSendMMstring") {
      return reinterpret_cast<LibraryFunction>(&FakeSendMMString);
    }
    return reinterpret_cast<LibraryFunction>(&FakeOtherFunction);
  }
  void Unload() override {
    ++unloads;
    loaded = false;
  }
};

}  // namespace tw::test

// A library loaded at run time and looked up by function name. The map
// program's API library is reached through it; the Qt layer loads the real
// one and tests stand in for it.
#pragma once

namespace tw {

// The address of a function found in a library, to be cast to its own type
// before it is called.
using LibraryFunction = void (*)();

class SharedLibrary {
 public:
  virtual ~SharedLibrary() = default;
  // Loads the library; true when it is (or already was) loaded.
  virtual bool Load() = 0;
  // The address of an exported function; null when the name is not there or
  // the library is not loaded.
  virtual LibraryFunction Resolve(const char* name) = 0;
  // Unloads the library; every address resolved from it goes with it.
  virtual void Unload() = 0;
};

// No library at all: for runs without the map program's library, such as
// tests of the whole program.
class NoSharedLibrary : public SharedLibrary {
 public:
  bool Load() override { return false; }
  LibraryFunction Resolve(const char*) override { return nullptr; }
  void Unload() override {}
};

}  // namespace tw

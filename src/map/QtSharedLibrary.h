// A run-time library through QLibrary: by default the map program's API
// library under its platform name, looked up on the system's library path.
#pragma once

#include <QLibrary>
#include <string>

#include "map/shared_library.h"

namespace tw {

class QtSharedLibrary : public SharedLibrary {
 public:
  // `fileName` is a bare name searched on the library path or a full path.
  explicit QtSharedLibrary(const std::string& fileName);
  QtSharedLibrary(const QtSharedLibrary&) = delete;
  QtSharedLibrary& operator=(const QtSharedLibrary&) = delete;

  bool Load() override;
  LibraryFunction Resolve(const char* name) override;
  void Unload() override;

  // Why the last load failed, for diagnostics.
  QString errorString() const { return library_.errorString(); }

 private:
  QLibrary library_;
};

}  // namespace tw

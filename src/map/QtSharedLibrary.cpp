#include "map/QtSharedLibrary.h"

namespace tw {

QtSharedLibrary::QtSharedLibrary(const std::string& fileName)
    : library_(QString::fromStdString(fileName)) {}

bool QtSharedLibrary::Load() { return library_.isLoaded() || library_.load(); }

LibraryFunction QtSharedLibrary::Resolve(const char* name) {
  if (!library_.isLoaded()) return nullptr;
  return reinterpret_cast<LibraryFunction>(library_.resolve(name));
}

void QtSharedLibrary::Unload() {
  if (library_.isLoaded()) library_.unload();
}

}  // namespace tw

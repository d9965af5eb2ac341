#include "app/guidance_lines.h"

#include "map/map_library.h"

namespace tw {

std::string MapGuideLine(bool mapAvailable) {
  if (mapAvailable) return "Map: GPS fixes go out under \"Send GPS Fixes to Map\".";
  return std::string("Map: ") + MapLibraryFileName() + " not found; Map items grayed.";
}

}  // namespace tw

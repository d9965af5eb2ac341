#include "terminal/terminal_font.h"

#include <algorithm>
#include <cmath>

namespace tw {

int DrawnWeight(int logWeight) { return logWeight > 0 ? std::clamp(logWeight, 1, 1000) : 400; }

CellSize CellOfFace(int averageWidth, double advance, int height, int leading) {
  CellSize cell;
  cell.width = std::max({1, averageWidth, static_cast<int>(std::ceil(advance))});
  cell.height = std::max(1, height + leading);
  return cell;
}

CellSize ShrinkToHeight(int height, CellSize cell, const std::function<CellSize(int)>& measure) {
  for (int px = height - 1; px >= 6 && cell.height > height; --px) cell = measure(px);
  return cell;
}

int PixelHeightOfPoints(double points, int dpi) {
  const double pixels = points * dpi / 72.0;
  return pixels >= 0.0 ? static_cast<int>(pixels + 0.5) : static_cast<int>(pixels - 0.5);
}

}  // namespace tw

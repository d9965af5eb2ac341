// The terminal font's arithmetic, apart from any font engine: the faces that
// stand in for one that is not installed, the weight drawn for a LogFont's,
// one cell of a fixed-pitch face, the shrinking of a stand-in face to the
// height asked for, and a size in points as pixels.
#pragma once

#include <array>
#include <functional>

#include "terminal/terminal_surface.h"

namespace tw {

// Common monospaced faces whose lines are not much taller than their glyphs,
// tried in this order when the operator's face is missing.
inline constexpr std::array<const char*, 6> STAND_IN_FACES = {
    "DejaVu Sans Mono", "Liberation Mono", "Cousine", "Consolas", "Menlo", "Courier New"};

// Weights share one scale (400 normal, 700 bold); 0 means "don't care" and
// is drawn normal.
int DrawnWeight(int logWeight);

// One cell of a fixed-pitch face from its metrics. The average width is the
// advance of every glyph, but the font engine rounds it to the nearest pixel
// while the glyphs keep their fractional `advance`; rounding up keeps each
// glyph inside its own cell.
CellSize CellOfFace(int averageWidth, double advance, int height, int leading);

// A stand-in face is usually taller and wider at the same pixel size than
// the face asked for: from `height` - 1 pixels down (not below 6), `measure`
// sets the face to each size and answers its cell, until a cell is no higher
// than `height`. Answers the cell of the size the face was left at (`cell`
// itself when it already fits).
CellSize ShrinkToHeight(int height, CellSize cell, const std::function<CellSize(int)>& measure);

// A size in points as whole pixels at `dpi` dots per inch, rounded half away
// from zero.
int PixelHeightOfPoints(double points, int dpi);

}  // namespace tw

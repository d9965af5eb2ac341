// Scrolling the view back over the history and down again. The vertical
// scroll bar spans the history and the screen: its position is the pixel
// offset of the view's top from the oldest row kept. At the bottom (no row
// scrolled back) the screen scrolls exactly as it always has
// (ScrollTerminalVert); above it the view moves by whole rows.
#pragma once

#include <cstdint>

#include "terminal/terminal_info.h"
#include "terminal/terminal_surface.h"

namespace tw {

// The absolute row shown on the view's row `r` (0..39 as the screen has them).
int64_t ShownRow(const TerminalInfo& ti, int r);
// The text of an absolute row, from the history or the screen; nullptr when
// it is no longer kept (or not yet written).
const char* DocumentRow(const TerminalInfo& ti, int64_t row);

int VerticalBarRange(const TerminalInfo& ti);
int VerticalBarValue(const TerminalInfo& ti);

// A vertical scroll code (SB_LINEUP...) over history and screen; `position`
// is a scroll bar position for SB_THUMBPOSITION. Answers as
// ScrollTerminalVert does.
int ScrollHistory(TerminalInfo& ti, TerminalSurface& surface, int code, int position);

// Scrolls back just enough to show absolute row `row` (about the middle of
// the view when it was out of sight).
void RevealRow(TerminalInfo& ti, TerminalSurface& surface, int64_t row);

}  // namespace tw

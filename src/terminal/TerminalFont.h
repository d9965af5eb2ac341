// The terminal's font on Qt: the face drawn for the operator's LogFont (a
// stand-in when that face is not installed), and the "Font" dialog that
// picks the face, its effects and, through "Color...", the text and
// background colours.
#pragma once

#include <QColor>
#include <QFont>
#include <cstdint>

#include "core/settings.h"
#include "terminal/terminal_surface.h"

class QWidget;

namespace tw {

// A text colour as the settings keep it (0x00BBGGRR).
QColor TextQColor(int32_t bgr);

struct TerminalFont {
  QFont font;
  CellSize cell;
};

// The fixed-pitch font for `lf` and its cell. A row is drawn as one run, so
// every glyph of the font advances by exactly one cell.
TerminalFont MakeTerminalFont(const LogFont& lf);

// The font dialog (fixed-pitch fonts, effects, text and background colour)
// over `view`'s window, starting from `current` in its own style. True after
// OK, with `lf`, `textColor` and, when it was changed, `backColor` updated
// (a height chosen in points is converted at `view`'s resolution); Cancel
// leaves them alone. `systemBack` is the desktop's background colour, shown
// while `backColor` is BACKGROUND_SYSTEM.
bool ChooseTerminalFont(QWidget* view, const QFont& current, LogFont& lf, int32_t& textColor,
                        int32_t& backColor, const QColor& systemBack);

}  // namespace tw

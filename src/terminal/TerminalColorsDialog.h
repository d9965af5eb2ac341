// The terminal's colours on Qt: the small dialog behind the font dialog's
// "Color..." button, which picks the text and the background together.
#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>

class QWidget;

namespace tw {

// A button's swatch: a block of the text colour on the background.
QIcon ColorsSwatch(const QColor& text, const QColor& back);

// The "Colors" dialog over `parent`: a sample line in `font`, "Text..." and
// "Background..." (each opens a colour picker), OK and Cancel. True after OK
// with both colours as chosen there; Cancel leaves both alone.
bool ChooseTerminalColors(QWidget* parent, const QFont& font, QColor& text, QColor& back);

}  // namespace tw

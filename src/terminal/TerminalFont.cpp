#include "terminal/TerminalFont.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdlib>

#include "terminal/TerminalColorsDialog.h"
#include "terminal/terminal_font.h"

namespace tw {

namespace {

// The first installed stand-in face, else the system's own fixed font.
QFont StandInFont() {
  for (const char* family : STAND_IN_FACES) {
    if (QFontDatabase::hasFamily(QString::fromLatin1(family)))
      return QFont(QString::fromLatin1(family));
  }
  return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

qreal ZeroAdvance(const QFont& font) {
  return QFontMetricsF(font).horizontalAdvance(QLatin1Char('0'));
}

CellSize MeasureCell(const QFont& font) {
  const QFontMetrics metrics(font);
  return CellOfFace(metrics.averageCharWidth(), ZeroAdvance(font), metrics.height(),
                    metrics.leading());
}

// Height of a chosen font in pixels, whatever unit the dialog used.
int PixelHeight(const QFont& font, const QWidget* widget) {
  if (font.pixelSize() > 0) return font.pixelSize();
  return PixelHeightOfPoints(font.pointSizeF(), widget->logicalDpiY());
}

// `font` with the style name of its face that is drawn for it, so the
// dialog starts on the style in use rather than on the first that matches
// loosely (an oblique one, with some faces). The database calls only true
// italics italic, so the slant is asked of the style's own font: an oblique
// style is slanted too.
QFont WithStyleName(QFont font) {
  const QString family = font.family();
  int best = -1;
  for (const QString& style : QFontDatabase::styles(family)) {
    if (QFontDatabase::font(family, style, 12).italic() != font.italic()) continue;
    const int distance = std::abs(QFontDatabase::weight(family, style) - font.weight());
    if (best < 0 || distance < best) {
      best = distance;
      font.setStyleName(style);
    }
  }
  if (best < 0) return font;
  // The database's own font for that style is what the dialog's lists match.
  QFont styled = QFontDatabase::font(family, font.styleName(), font.pointSize());
  if (font.pixelSize() > 0) styled.setPixelSize(font.pixelSize());
  styled.setUnderline(font.underline());
  styled.setStrikeOut(font.strikeOut());
  return styled;
}

}  // namespace

QColor TextQColor(int32_t bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

TerminalFont MakeTerminalFont(const LogFont& lf) {
  const QString face = QString::fromStdString(lf.faceName);
  const bool substitute = !QFontDatabase::hasFamily(face);
  QFont font = substitute ? StandInFont() : QFont(face);
  if (lf.height != 0) font.setPixelSize(std::abs(lf.height));
  font.setFixedPitch(true);
  font.setStyleHint(QFont::Monospace);
  font.setItalic(lf.italic);
  font.setUnderline(lf.underline);
  font.setStrikeOut(lf.strikeOut);
  font.setWeight(static_cast<QFont::Weight>(DrawnWeight(lf.weight)));

  // A stand-in face is shrunk until its 40 rows fit where the face asked for
  // would have put them.
  CellSize cell = MeasureCell(font);
  if (substitute && lf.height != 0) {
    cell = ShrinkToHeight(std::abs(lf.height), cell, [&font](int px) {
      font.setPixelSize(px);
      return MeasureCell(font);
    });
  }
  // Glyphs that advance by exactly one cell keep a row's run on the grid
  // the model invalidates and clips by.
  font.setLetterSpacing(QFont::AbsoluteSpacing, cell.width - ZeroAdvance(font));
  return {font, cell};
}

bool ChooseTerminalFont(QWidget* view, const QFont& current, LogFont& lf, int32_t& textColor,
                        int32_t& backColor, const QColor& systemBack) {
  QDialog dialog(view->window());
  dialog.setWindowTitle(QObject::tr("Font"));

  auto* fonts = new QFontDialog(&dialog);
  fonts->setObjectName("fonts");
  fonts->setWindowFlags(Qt::Widget);
  fonts->setOptions(QFontDialog::NoButtons | QFontDialog::MonospacedFonts |
                    QFontDialog::DontUseNativeDialog);
  fonts->setCurrentFont(WithStyleName(current));
  // What the dialog starts on: OK without a change keeps the font as it is.
  const QFont started = fonts->currentFont();
  // Escape in the embedded chooser cancels the whole dialog instead of
  // hiding just the chooser.
  QObject::connect(fonts, &QDialog::rejected, &dialog, &QDialog::reject);

  // "Color..." sets the text and the background together.
  QColor color = TextQColor(textColor);
  QColor back = backColor == BACKGROUND_SYSTEM ? systemBack : TextQColor(backColor);
  const QColor backBefore = back;
  auto* colorButton = new QPushButton(QObject::tr("&Color..."), &dialog);
  colorButton->setObjectName("color");
  colorButton->setIcon(ColorsSwatch(color, back));
  QObject::connect(colorButton, &QPushButton::clicked, &dialog, [&] {
    if (ChooseTerminalColors(&dialog, fonts->currentFont(), color, back))
      colorButton->setIcon(ColorsSwatch(color, back));
  });

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  buttons->setObjectName("buttons");
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(colorButton);
  bottom->addStretch();
  bottom->addWidget(buttons);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(fonts);
  layout->addLayout(bottom);

  if (dialog.exec() != QDialog::Accepted) return false;

  const QFont chosen = fonts->currentFont();
  if (chosen != started) {
    lf.faceName = chosen.family().toStdString();
    lf.height = PixelHeight(chosen, view);
    lf.width = 0;  // the face's own width
    lf.weight = chosen.weight();
    lf.italic = chosen.italic() ? 1 : 0;
    lf.underline = chosen.underline() ? 1 : 0;
    lf.strikeOut = chosen.strikeOut() ? 1 : 0;
  }
  textColor = RGB(color.red(), color.green(), color.blue());
  // A background left alone keeps following the desktop's.
  if (back != backBefore) backColor = RGB(back.red(), back.green(), back.blue());
  return true;
}

}  // namespace tw

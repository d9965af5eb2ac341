#include "terminal/TerminalView.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "terminal/terminal_screen.h"

namespace tw {

namespace {

QColor ToQColor(int32_t bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

// The text background is the colour of a window's client area, which Qt
// calls Base (its Window role is the grey of dialogs).
QColor BackgroundColor(const QWidget* viewport) {
  return viewport->palette().color(QPalette::Base);
}

// One row's cells as text. Control bytes have no glyph of their own; drawn
// as spaces they keep every later cell of the run in its column.
QString RowText(const tw::TerminalInfo& ti, int row, int firstColumn, int count) {
  QString text(count, QLatin1Char(' '));
  for (int i = 0; i < count; ++i) {
    const auto byte = static_cast<unsigned char>(ti.cell(row, firstColumn + i));
    if (byte >= 0x20 && byte != 0x7F) text[i] = QChar(byte);  // 8-bit text read as Latin-1
  }
  return text;
}

// Height of a chosen font in pixels, whatever unit the dialog used.
int PixelHeight(const QFont& font, const QWidget* widget) {
  if (font.pixelSize() > 0) return font.pixelSize();
  return qRound(font.pointSizeF() * widget->logicalDpiY() / 72.0);
}

void ShowColor(QPushButton* button, const QColor& color) {
  QPixmap swatch(16, 16);
  swatch.fill(color);
  button->setIcon(QIcon(swatch));
}

}  // namespace

TerminalView::TerminalView(tw::Terminal* terminal, QWidget* parent)
    : QAbstractScrollArea(parent), terminal_(terminal) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled, false);
  connectScrollBar(true);
  connectScrollBar(false);
}

void TerminalView::setTerminal(tw::Terminal* terminal) {
  terminal_ = terminal;
  viewport()->update();
}

tw::TerminalInfo* TerminalView::record() const { return terminal_ ? terminal_->info() : nullptr; }

// ------------------------------------------------------------ font

tw::CellSize TerminalView::applyFont(const tw::LogFont& lf, int32_t color) {
  const QString face = QString::fromStdString(lf.faceName);
  QFont font = QFontDatabase::hasFamily(face) ? QFont(face)
                                              : QFontDatabase::systemFont(QFontDatabase::FixedFont);
  if (lf.height != 0) font.setPixelSize(std::abs(lf.height));
  font.setFixedPitch(true);
  font.setStyleHint(QFont::Monospace);
  font.setItalic(lf.italic);
  font.setUnderline(lf.underline);
  font.setStrikeOut(lf.strikeOut);
  // Weights share one scale (400 normal, 700 bold); 0 means "don't care".
  font.setWeight(lf.weight > 0 ? static_cast<QFont::Weight>(std::clamp(lf.weight, 1, 1000))
                               : QFont::Normal);

  // In a fixed-pitch face the average width is the advance of every glyph,
  // but Qt rounds it to the nearest pixel while the glyphs keep their
  // fractional advance; rounding up keeps each glyph inside its own cell.
  const QFontMetrics metrics(font);
  const qreal advance = QFontMetricsF(font).horizontalAdvance(QLatin1Char('0'));
  tw::CellSize cell;
  cell.width = std::max({1, metrics.averageCharWidth(), static_cast<int>(std::ceil(advance))});
  cell.height = std::max(1, metrics.height() + metrics.leading());

  // A row is drawn as one run; its glyphs must advance by exactly one cell
  // or the run drifts off the grid the model invalidates and clips by.
  font.setLetterSpacing(QFont::AbsoluteSpacing, cell.width - advance);
  font_ = font;
  textColor_ = color;
  updateGeometry();
  viewport()->update();
  return cell;
}

bool TerminalView::chooseFont(tw::LogFont& lf, int32_t& textColor) {
  QDialog dialog(window());
  dialog.setWindowTitle(tr("Font"));

  auto* fonts = new QFontDialog(&dialog);
  fonts->setObjectName("fonts");
  fonts->setWindowFlags(Qt::Widget);
  fonts->setOptions(QFontDialog::NoButtons | QFontDialog::MonospacedFonts |
                    QFontDialog::DontUseNativeDialog);
  fonts->setCurrentFont(font_);
  // Escape in the embedded chooser cancels the whole dialog instead of
  // hiding just the chooser.
  connect(fonts, &QDialog::rejected, &dialog, &QDialog::reject);

  QColor color = ToQColor(textColor);
  auto* colorButton = new QPushButton(tr("&Color..."), &dialog);
  colorButton->setObjectName("color");
  ShowColor(colorButton, color);
  connect(colorButton, &QPushButton::clicked, &dialog, [&] {
    const QColor chosen = QColorDialog::getColor(color, &dialog, tr("Text Color"));
    if (!chosen.isValid()) return;
    color = chosen;
    ShowColor(colorButton, color);
  });

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  buttons->setObjectName("buttons");
  connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(colorButton);
  bottom->addStretch();
  bottom->addWidget(buttons);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(fonts);
  layout->addLayout(bottom);

  if (dialog.exec() != QDialog::Accepted) return false;

  const QFont chosen = fonts->currentFont();
  lf.faceName = chosen.family().toStdString();
  lf.height = PixelHeight(chosen, this);
  lf.width = 0;  // the face's own width
  lf.weight = chosen.weight();
  lf.italic = chosen.italic() ? 1 : 0;
  lf.underline = chosen.underline() ? 1 : 0;
  lf.strikeOut = chosen.strikeOut() ? 1 : 0;
  textColor = tw::RGB(color.red(), color.green(), color.blue());
  return true;
}

// ------------------------------------------------------------ painting

void TerminalView::paintEvent(QPaintEvent* event) {
  dirty_ -= event->region();
  tw::TerminalInfo* ti = record();
  if (!ti) return;  // the background alone

  QPainter painter(viewport());
  painter.setFont(font_);
  for (const QRect& area : event->region()) paintCells(painter, *ti, area);
  painter.setClipping(false);
  tw::MoveTerminalCaret(*ti, *this);
  paintCaret(painter, event->rect());
}

void TerminalView::paintCells(QPainter& painter, const tw::TerminalInfo& ti, const QRect& area) {
  const tw::CellRange range =
      tw::PaintRange(ti, area.left(), area.top(), area.right() + 1, area.bottom() + 1);
  const int count = range.lastColumn - range.firstColumn + 1;
  if (count <= 0) return;
  const QColor background = BackgroundColor(viewport());
  const int ascent = QFontMetrics(font_).ascent();
  painter.setPen(ToQColor(textColor_));
  for (int row = range.firstRow; row <= range.lastRow; ++row) {
    const int x = range.firstColumn * ti.charWidth - ti.scrollX;
    const int y = row * ti.charHeight - ti.scrollY;
    const QRect cells(x, y, count * ti.charWidth, ti.charHeight);
    painter.setClipRect(cells);
    painter.fillRect(cells, background);
    painter.drawText(x, y + ascent, RowText(ti, row, range.firstColumn, count));
  }
}

// Like the system caret it inverts the cell under it, so the character
// stays readable.
void TerminalView::paintCaret(QPainter& painter, const QRect& area) {
  if (!caretVisible() || !caretRect_.intersects(area)) return;
  if (painter.paintEngine()->hasFeature(QPaintEngine::RasterOpModes)) {
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.fillRect(caretRect_, Qt::white);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  } else {
    painter.fillRect(caretRect_, palette().color(QPalette::Text));
  }
}

QSize TerminalView::viewportSizeHint() const {
  const tw::TerminalInfo* ti = record();
  if (!ti) return QAbstractScrollArea::viewportSizeHint();
  return QSize(tw::SCREEN_COLUMNS * ti->charWidth, tw::SCREEN_ROWS * ti->charHeight);
}

// ------------------------------------------------------------ surface

void TerminalView::invalidateRect(int x, int y, int width, int height) {
  const QRect area(x, y, width, height);
  dirty_ += area;
  viewport()->update(area);
}

// Every visible cell is painted opaque, so erasing first changes nothing.
void TerminalView::invalidateAll(bool) {
  dirty_ = viewport()->rect();
  viewport()->update();
}

void TerminalView::updateNow() {
  if (dirty_.isEmpty()) return;
  const QRegion area = dirty_;
  dirty_ = QRegion();
  viewport()->repaint(area);
}

void TerminalView::beep() { QApplication::beep(); }

// The range is set with signals on: the scroll area shows or hides a bar
// when its range changes. Nothing feeds back into the model from there,
// since only user actions on a bar are forwarded.
void TerminalView::setScrollRange(bool vertical, int maximum) {
  QScrollBar* bar = vertical ? verticalScrollBar() : horizontalScrollBar();
  const QSize page = viewport()->size();
  bar->setRange(0, maximum);
  bar->setPageStep(std::max(1, vertical ? page.height() : page.width()));
  if (const tw::TerminalInfo* ti = record()) {
    bar->setSingleStep(std::max(1, vertical ? ti->charHeight : ti->charWidth));
  }
}

void TerminalView::setScrollPosition(bool vertical, int position) {
  QScrollBar* bar = vertical ? verticalScrollBar() : horizontalScrollBar();
  const QSignalBlocker blocker(bar);
  bar->setValue(position);
}

void TerminalView::scrollContents(int dx, int dy) {
  viewport()->scroll(dx, dy);
  // The caret was moved with the pixels; both places are drawn again.
  if (caretVisible()) {
    viewport()->update(caretRect_.translated(dx, dy));
    viewport()->update(caretRect_);
  }
}

// The model moves the contents itself (scrollContents); a bar's value
// changing must not move them a second time.
void TerminalView::scrollContentsBy(int, int) {}

void TerminalView::createCaret(int width, int height) {
  destroyCaret();
  caretCreated_ = true;
  caretRect_.setSize(QSize(width, height));
}

void TerminalView::showCaret() {
  if (!caretCreated_) return;
  caretShown_ = true;
  viewport()->update(caretRect_);
}

void TerminalView::destroyCaret() {
  if (caretVisible()) viewport()->update(caretRect_);
  caretCreated_ = caretShown_ = false;
}

void TerminalView::setCaretPosition(int x, int y) {
  if (caretRect_.topLeft() == QPoint(x, y)) return;
  if (caretVisible()) viewport()->update(caretRect_);
  caretRect_.moveTo(x, y);
  if (caretVisible()) viewport()->update(caretRect_);
}

// ------------------------------------------------------------ input

void TerminalView::connectScrollBar(bool vertical) {
  QScrollBar* bar = vertical ? verticalScrollBar() : horizontalScrollBar();
  connect(bar, &QAbstractSlider::actionTriggered, this,
          [this, vertical](int action) { onScrollAction(vertical, action); });
  connect(bar, &QAbstractSlider::sliderReleased, this,
          [this, vertical] { onScrollAction(vertical, QAbstractSlider::SliderMove); });
}

void TerminalView::onScrollAction(bool vertical, int action) {
  QScrollBar* bar = vertical ? verticalScrollBar() : horizontalScrollBar();
  // Dragging the thumb is tracking, which does not scroll; the screen moves
  // when the thumb is released (sliderReleased above).
  if (action == QAbstractSlider::SliderMove && bar->isSliderDown()) return;
  int code = 0;
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
      code = tw::SB_LINEUP;
      break;
    case QAbstractSlider::SliderSingleStepAdd:
      code = tw::SB_LINEDOWN;
      break;
    case QAbstractSlider::SliderPageStepSub:
      code = tw::SB_PAGEUP;
      break;
    case QAbstractSlider::SliderPageStepAdd:
      code = tw::SB_PAGEDOWN;
      break;
    case QAbstractSlider::SliderMove:
      code = tw::SB_THUMBPOSITION;
      break;
    case QAbstractSlider::SliderToMinimum:
      code = tw::SB_TOP;
      break;
    case QAbstractSlider::SliderToMaximum:
      code = tw::SB_BOTTOM;
      break;
    default:
      return;
  }
  if (terminal_) terminal_->OnScroll(vertical, code, bar->sliderPosition());
  // The bar has already moved its thumb by its own rules; the model's
  // offset is the one that counts.
  const tw::TerminalInfo* ti = record();
  bar->setSliderPosition(ti ? (vertical ? ti->scrollY : ti->scrollX) : bar->value());
}

void TerminalView::resizeEvent(QResizeEvent*) {
  if (terminal_) terminal_->OnSize(viewport()->height(), viewport()->width());
}

void TerminalView::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  if (terminal_) terminal_->OnSetFocus();
}

void TerminalView::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  if (terminal_) terminal_->OnKillFocus();
}

// Typed characters go nowhere (the window only beeps); keys without text
// keep their scroll-bar meaning.
void TerminalView::keyPressEvent(QKeyEvent* event) {
  if (!event->text().isEmpty()) {
    emit characterTyped();
    event->accept();
    return;
  }
  QAbstractScrollArea::keyPressEvent(event);
}

}  // namespace tw

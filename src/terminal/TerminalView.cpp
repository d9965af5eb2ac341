#include "terminal/TerminalView.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
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
#include <limits>

#include "terminal/terminal_screen.h"

namespace tw {

namespace {

QColor ToQColor(int32_t bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

// The text background is the colour of a window's client area, which Qt
// calls Base (its Window role is the grey of dialogs).
QColor BackgroundColor(const QWidget* viewport) {
  return viewport->palette().color(QPalette::Base);
}

// One row's cells as text. Control bytes drawn as spaces keep every later
// cell of the run in its column.
QString RowText(const tw::TerminalInfo& ti, int row, int firstColumn, int count) {
  QString text(count, QLatin1Char(' '));
  for (int i = 0; i < count; ++i) {
    text[i] = QLatin1Char(tw::ShownChar(static_cast<unsigned char>(ti.cell(row, firstColumn + i))));
  }
  return text;
}

bool RowIsBlank(const tw::TerminalInfo& ti, int row, int firstColumn, int count) {
  for (int i = 0; i < count; ++i) {
    if (tw::HasInk(static_cast<unsigned char>(ti.cell(row, firstColumn + i)))) return false;
  }
  return true;
}

// The face that stands in for a missing one: the first installed of a few
// common monospaced faces whose lines are not much taller than their glyphs,
// else the system's own fixed font.
QFont StandInFont() {
  for (const char* family : {"DejaVu Sans Mono", "Liberation Mono", "Cousine", "Consolas",
                             "Menlo", "Courier New"}) {
    if (QFontDatabase::hasFamily(QString::fromLatin1(family))) return QFont(QString::fromLatin1(family));
  }
  return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

// One cell of a font. In a fixed-pitch face the average width is the
// advance of every glyph, but Qt rounds it to the nearest pixel while the
// glyphs keep their fractional advance; rounding up keeps each glyph inside
// its own cell.
tw::CellSize MeasureCell(const QFont& font) {
  const QFontMetrics metrics(font);
  const qreal advance = QFontMetricsF(font).horizontalAdvance(QLatin1Char('0'));
  tw::CellSize cell;
  cell.width = std::max({1, metrics.averageCharWidth(), static_cast<int>(std::ceil(advance))});
  cell.height = std::max(1, metrics.height() + metrics.leading());
  return cell;
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
  const bool substitute = !QFontDatabase::hasFamily(face);
  QFont font = substitute ? StandInFont() : QFont(face);
  if (lf.height != 0) font.setPixelSize(std::abs(lf.height));
  font.setFixedPitch(true);
  font.setStyleHint(QFont::Monospace);
  font.setItalic(lf.italic);
  font.setUnderline(lf.underline);
  font.setStrikeOut(lf.strikeOut);
  // Weights share one scale (400 normal, 700 bold); 0 means "don't care".
  font.setWeight(lf.weight > 0 ? static_cast<QFont::Weight>(std::clamp(lf.weight, 1, 1000))
                               : QFont::Normal);

  // A stand-in face is usually taller and wider at the same pixel size than
  // the face asked for; shrink it until a cell is no higher than the height
  // asked for, so the 40 rows fit where they would have.
  tw::CellSize cell = MeasureCell(font);
  if (substitute && lf.height != 0) {
    for (int px = std::abs(lf.height) - 1; px >= 6 && cell.height > std::abs(lf.height); --px) {
      font.setPixelSize(px);
      cell = MeasureCell(font);
    }
  }
  const qreal advance = QFontMetricsF(font).horizontalAdvance(QLatin1Char('0'));

  // A row is drawn as one run; its glyphs must advance by exactly one cell
  // or the run drifts off the grid the model invalidates and clips by.
  font.setLetterSpacing(QFont::AbsoluteSpacing, cell.width - advance);
  font_ = font;
  textColor_ = color;
  glyphCells_.setFont(font_, QSize(cell.width, cell.height), QFontMetrics(font_).ascent(),
                      ToQColor(color), BackgroundColor(viewport()));
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
  paintSelection(painter, *ti);
  tw::MoveTerminalCaret(*ti, *this);
  paintCaret(painter, event->rect());
}

void TerminalView::paintCells(QPainter& painter, const tw::TerminalInfo& ti, const QRect& area) {
  const tw::CellRange range =
      tw::PaintRange(ti, area.left(), area.top(), area.right() + 1, area.bottom() + 1);
  const int count = range.lastColumn - range.firstColumn + 1;
  if (count <= 0) return;
  const QColor background = BackgroundColor(viewport());
  glyphCells_.setBackground(background);
  const int ascent = QFontMetrics(font_).ascent();
  painter.setPen(ToQColor(textColor_));
  // Spaces leave no ink unless a line runs through them.
  const bool blankIsEmpty = !font_.underline() && !font_.strikeOut();
  for (int row = range.firstRow; row <= range.lastRow; ++row) {
    const int x = range.firstColumn * ti.charWidth - ti.scrollX;
    const int y = row * ti.charHeight - ti.scrollY;
    const QRect cells(x, y, count * ti.charWidth, ti.charHeight);
    painter.setClipRect(cells);
    painter.fillRect(cells, background);
    if (blankIsEmpty && RowIsBlank(ti, row, range.firstColumn, count)) continue;
    const auto* bytes = reinterpret_cast<const unsigned char*>(
        &ti.screen[static_cast<size_t>(row * tw::SCREEN_COLUMNS + range.firstColumn)]);
    if (glyphCells_.drawRow(painter, bytes, count, QPoint(x, y))) continue;
    painter.drawText(x, y + ascent, RowText(ti, row, range.firstColumn, count));
  }
}

// Selected cells are shown inverted, like the caret.
void TerminalView::paintSelection(QPainter& painter, const tw::TerminalInfo& ti) {
  if (!selection_.active) return;
  const tw::CellPos a = selection_.first(), b = selection_.last();
  const bool xorPaint = painter.paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
  if (xorPaint) painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  for (int row = a.row; row <= b.row; ++row) {
    const int first = row == a.row ? a.column : 0;
    const int last = row == b.row ? b.column : tw::SCREEN_COLUMNS - 1;
    const QRect cells(first * ti.charWidth - ti.scrollX, row * ti.charHeight - ti.scrollY,
                      (last - first + 1) * ti.charWidth, ti.charHeight);
    if (xorPaint) {
      painter.fillRect(cells, Qt::white);
    } else {
      painter.fillRect(cells, palette().color(QPalette::Highlight));
    }
  }
  if (xorPaint) painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
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
  if (holds_ > 0) {
    updateDue_ = true;
    return;
  }
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

void TerminalView::holdUpdates(bool hold) {
  holds_ = std::max(0, holds_ + (hold ? 1 : -1));
  if (holds_ == 0 && updateDue_) {
    updateDue_ = false;
    updateNow();
  }
}

// The rightmost pixel column that may differ from the background anywhere
// on the screen as shown: the last cell with a glyph in any row, and two
// cells more for glyphs that lean into their neighbours. Lines through
// blanks reach every cell.
int TerminalView::inkRight(const tw::TerminalInfo& ti) const {
  if (font_.underline() || font_.strikeOut()) {
    return std::numeric_limits<int>::max();
  }
  int last = -1;
  for (int row = 0; row < tw::SCREEN_ROWS; ++row) {
    for (int column = tw::SCREEN_COLUMNS - 1; column > last; --column) {
      if (tw::HasInk(static_cast<unsigned char>(ti.cell(row, column)))) {
        last = column;
        break;
      }
    }
  }
  if (last < 0) return std::numeric_limits<int>::min();
  return (last + 3) * ti.charWidth - ti.scrollX - 1;
}

// A new line at the bottom moves every row up. The pixels already shown
// move with it, so only the row that comes in at the bottom (and whatever
// was waiting to be painted) is drawn again. Right of the last ink on the
// screen every row is background before and after, so only the part up to
// it moves: most lines are shorter than the screen is wide.
void TerminalView::screenScrolledUp() {
  const tw::TerminalInfo* ti = record();
  if (!ti) {
    invalidateAll(false);
    return;
  }
  const int h = ti->charHeight;
  const QRect screen(-ti->scrollX, -ti->scrollY, tw::SCREEN_COLUMNS * ti->charWidth,
                     tw::SCREEN_ROWS * h);
  // The selection stays on its text whether or not any of it is in view;
  // its inverted cells reach across the whole width.
  const bool selected = selection_.active;
  if (selected) selection_.ScrollUp();
  QRect area = screen & viewport()->rect();
  if (area.isEmpty()) return;
  // What waits to be painted right of that is drawn in place afterwards,
  // from the rows as they will be, and nothing there moves.
  if (!selected) area.setRight(std::min(area.right(), inkRight(*ti)));
  if (area.isEmpty()) {
    scrollCaretUp(h);
    return;
  }
  // Qt moves its own pending repaints with the pixels; the ones noted here
  // for updateNow move the same way.
  const QRegion waiting = dirty_ & area;
  dirty_ -= waiting;
  dirty_ += waiting.translated(0, -h) & area;
  viewport()->scroll(0, -h, area);
  if (selected) updateSelectionRows();  // its start may have been cut at the top
  const QRect exposed(area.left(), std::max(area.top(), area.bottom() + 1 - h), area.width(),
                      std::min(h, area.height()));
  dirty_ += exposed;
  viewport()->update(exposed);
  scrollCaretUp(h);
}

// The caret's inverted cell may have moved up with the pixels; both places
// are drawn again.
void TerminalView::scrollCaretUp(int h) {
  if (!caretVisible()) return;
  for (const QRect& r : {caretRect_.translated(0, -h), caretRect_}) {
    dirty_ += r;
    viewport()->update(r);
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

// ------------------------------------------------------------ copying

QString TerminalView::selectedText() const {
  const tw::TerminalInfo* ti = record();
  return ti ? QString::fromLatin1(tw::SelectionText(*ti, selection_)) : QString();
}

void TerminalView::copySelection() {
  const QString text = selectedText();
  if (!text.isEmpty()) QGuiApplication::clipboard()->setText(text);
}

void TerminalView::copyAll() {
  if (const tw::TerminalInfo* ti = record()) {
    QGuiApplication::clipboard()->setText(QString::fromLatin1(tw::ScreenText(*ti)));
  }
}

// The rows the selection covers are drawn again (with or without it).
void TerminalView::updateSelectionRows() {
  const tw::TerminalInfo* ti = record();
  if (!ti) return;
  const tw::CellPos a = selection_.first(), b = selection_.last();
  const QRect rows(-ti->scrollX, a.row * ti->charHeight - ti->scrollY,
                   tw::SCREEN_COLUMNS * ti->charWidth, (b.row - a.row + 1) * ti->charHeight);
  dirty_ += rows;
  viewport()->update(rows);
}

void TerminalView::mousePressEvent(QMouseEvent* event) {
  const tw::TerminalInfo* ti = record();
  if (!ti || event->button() != Qt::LeftButton) {
    QAbstractScrollArea::mousePressEvent(event);
    return;
  }
  if (selection_.active) updateSelectionRows();
  // A click alone selects nothing; dragging to another cell does.
  selection_.active = false;
  selection_.anchor = selection_.end = tw::CellAt(*ti, event->pos().x(), event->pos().y());
  selecting_ = true;
}

void TerminalView::mouseMoveEvent(QMouseEvent* event) {
  const tw::TerminalInfo* ti = record();
  if (!ti || !selecting_) return;
  const tw::CellPos cell = tw::CellAt(*ti, event->pos().x(), event->pos().y());
  if (cell == selection_.end && selection_.active) return;
  if (selection_.active) updateSelectionRows();
  selection_.end = cell;
  selection_.active = selection_.active || !(cell == selection_.anchor);
  if (selection_.active) updateSelectionRows();
}

void TerminalView::mouseReleaseEvent(QMouseEvent* event) {
  if (!selecting_ || event->button() != Qt::LeftButton) return;
  selecting_ = false;
  // Where the desktop has a selection clipboard (X11), it gets the text too.
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (selection_.active && clipboard->supportsSelection()) {
    clipboard->setText(selectedText(), QClipboard::Selection);
  }
}

void TerminalView::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  QAction* copy = menu.addAction(tr("Copy"), this, &TerminalView::copySelection);
  copy->setEnabled(!selectedText().isEmpty());
  menu.addAction(tr("Copy All"), this, &TerminalView::copyAll);
  menu.exec(event->globalPos());
}

// Typed characters go nowhere (the window only beeps); keys without text
// keep their scroll-bar meaning. Ctrl+Shift+C copies the selection.
void TerminalView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_C &&
      (event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier)) ==
          (Qt::ControlModifier | Qt::ShiftModifier)) {
    copySelection();
    event->accept();
    return;
  }
  if (!event->text().isEmpty()) {
    emit characterTyped();
    event->accept();
    return;
  }
  QAbstractScrollArea::keyPressEvent(event);
}

}  // namespace tw

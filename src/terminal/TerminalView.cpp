#include "terminal/TerminalView.h"

#include <QApplication>
#include <QKeyEvent>

#include "terminal/TerminalFont.h"
#include "terminal/terminal_screen.h"

namespace tw {

TerminalView::TerminalView(tw::Terminal* terminal, QWidget* parent)
    : QAbstractScrollArea(parent), terminal_(terminal) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled, false);
  connectScrollBar(true);
  connectScrollBar(false);
  systemPalette_ = viewport()->palette();
}

void TerminalView::setTerminal(tw::Terminal* terminal) {
  terminal_ = terminal;
  viewport()->update();
}

tw::TerminalInfo* TerminalView::record() const { return terminal_ ? terminal_->info() : nullptr; }

// ------------------------------------------------------------ font

tw::CellSize TerminalView::applyFont(const tw::LogFont& lf, int32_t color) {
  const TerminalFont chosen = MakeTerminalFont(lf);
  font_ = chosen.font;
  textColor_ = color;
  glyphCells_.setFont(font_, QSize(chosen.cell.width, chosen.cell.height),
                      QFontMetrics(font_).ascent(), TextQColor(color), backgroundColor());
  updateGeometry();
  viewport()->update();
  return chosen.cell;
}

bool TerminalView::chooseFont(tw::LogFont& lf, int32_t& textColor) {
  int32_t back = tw::BACKGROUND_SYSTEM;
  return chooseFont(lf, textColor, back);
}

bool TerminalView::chooseFont(tw::LogFont& lf, int32_t& textColor, int32_t& backColor) {
  return ChooseTerminalFont(this, font_, lf, textColor, backColor,
                            systemPalette_.color(QPalette::Base));
}

// The background is the viewport's Base colour, which also fills the area
// beside the screen; the glyph cells are drawn anew on it.
void TerminalView::applyBackground(int32_t back) {
  QPalette palette = systemPalette_;
  if (back != tw::BACKGROUND_SYSTEM) palette.setColor(QPalette::Base, TextQColor(back));
  viewport()->setPalette(palette);
  glyphCells_.setBackground(backgroundColor());
  viewport()->update();
}

// The text background is the colour of a window's client area, which Qt
// calls Base (its Window role is the grey of dialogs).
QColor TerminalView::backgroundColor() const { return viewport()->palette().color(QPalette::Base); }

void TerminalView::beep() { QApplication::beep(); }

// ------------------------------------------------------------ caret

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
// keep their scroll-bar meaning. Ctrl+Shift+C copies the selection; the
// history's keys (historyKey) scroll back and find.
void TerminalView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_C &&
      (event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier)) ==
          (Qt::ControlModifier | Qt::ShiftModifier)) {
    copySelection();
    event->accept();
    return;
  }
  if (historyKey(event)) {
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

// TerminalView's selection with the mouse and copying to the clipboard.
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <algorithm>

#include "terminal/TerminalView.h"
#include "terminal/terminal_screen.h"
#include "terminal/terminal_scrollback.h"

namespace tw {

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
  const int64_t top = tw::ShownRow(*ti, 0);
  const int64_t a = std::clamp<int64_t>(selection_.first().row - top, -1, tw::SCREEN_ROWS);
  const int64_t b = std::clamp<int64_t>(selection_.last().row - top, -1, tw::SCREEN_ROWS);
  const QRect rows(-ti->scrollX, static_cast<int>(a) * ti->charHeight - ti->scrollY,
                   tw::SCREEN_COLUMNS * ti->charWidth,
                   static_cast<int>(b - a + 1) * ti->charHeight);
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
  menu.addSeparator();
  menu.addAction(tr("Find..."), this, &TerminalView::askFind);
  menu.exec(event->globalPos());
}

}  // namespace tw

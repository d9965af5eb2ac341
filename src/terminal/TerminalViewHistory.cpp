// TerminalView over the history: the keys that scroll it, the mark that
// counts the lines that came in meanwhile, and finding text in it.
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <optional>

#include "terminal/TerminalFont.h"
#include "terminal/TerminalView.h"
#include "terminal/terminal_screen.h"
#include "terminal/terminal_scrollback.h"

namespace tw {

void TerminalView::scrollHistory(int code) {
  if (!terminal_) return;
  terminal_->OnScroll(true, code, 0);
  syncVerticalBar();
}

// PgUp and PgDn (also with Shift, as in a console), Home and End (also with
// Ctrl), Ctrl+F and F3 / Shift+F3. Answers whether the key was one of them.
bool TerminalView::historyKey(QKeyEvent* event) {
  const Qt::KeyboardModifiers mods =
      event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
  const bool plain = mods == Qt::NoModifier;
  switch (event->key()) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
      if (!plain && mods != Qt::ShiftModifier) return false;
      scrollHistory(event->key() == Qt::Key_PageUp ? tw::SB_PAGEUP : tw::SB_PAGEDOWN);
      return true;
    case Qt::Key_Home:
    case Qt::Key_End:
      if (!plain && mods != Qt::ControlModifier) return false;
      scrollHistory(event->key() == Qt::Key_Home ? tw::SB_TOP : tw::SB_BOTTOM);
      return true;
    case Qt::Key_F:
      if (mods != Qt::ControlModifier) return false;
      askFind();
      return true;
    case Qt::Key_F3:
      if (lastFind_.isEmpty()) {
        askFind();
      } else if (!findText(lastFind_, mods != Qt::ShiftModifier)) {
        beep();
      }
      return true;
    default:
      return false;
  }
}

bool TerminalView::findText(const QString& text, bool backwards) {
  tw::TerminalInfo* ti = record();
  if (!ti || text.isEmpty()) return false;
  lastFind_ = text;
  tw::CellPos from = backwards ? tw::CellPos{ti->history.pushed() + tw::SCREEN_ROWS, 0}
                               : tw::CellPos{ti->history.first() - 1, 0};
  if (selection_.active) from = selection_.first();
  const QByteArray needle = text.toLatin1();
  const std::optional<tw::CellPos> found =
      tw::FindText(*ti, std::string_view(needle.constData(), needle.size()), from, backwards);
  if (!found) return false;
  if (selection_.active) updateSelectionRows();
  selection_.active = true;
  selection_.anchor = *found;
  selection_.end = {found->row, std::min(tw::SCREEN_COLUMNS - 1,
                                         found->column + static_cast<int>(needle.size()) - 1)};
  tw::RevealRow(*ti, *this, found->row);
  updateSelectionRows();
  syncVerticalBar();
  return true;
}

void TerminalView::askFind() {
  bool ok = false;
  const QString text = QInputDialog::getText(this, tr("Find"), tr("Find text in the history:"),
                                             QLineEdit::Normal, lastFind_, &ok);
  if (!ok || text.isEmpty()) return;
  if (!findText(text, true)) {
    QMessageBox::information(this, tr("Find"), tr("\"%1\" was not found.").arg(text));
  }
}

// While scrolled back, a mark at the bottom right says so, counts the lines
// that came in, and names the key that returns.
void TerminalView::paintMark(QPainter& painter, const tw::TerminalInfo& ti) {
  if (ti.history.back == 0) return;
  const int lines = ti.history.unseen;
  QString text = tr("%1 new lines - End returns").arg(lines);
  if (lines == 0) text = tr("History - End returns");
  if (lines == 1) text = tr("1 new line - End returns");
  const QFontMetrics metrics(font_);
  const QRect box = metrics.boundingRect(text).adjusted(-6, -3, 6, 3);
  const QRect shown(viewport()->width() - box.width() - 4, viewport()->height() - box.height() - 4,
                    box.width(), box.height());
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter.fillRect(shown, TextQColor(textColor_));
  painter.setPen(backgroundColor());
  painter.drawText(shown, Qt::AlignCenter, text);
}

}  // namespace tw

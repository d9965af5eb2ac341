// The main window's character screen on Qt: paints the record's cells, owns
// the scroll bars and the caret, hands size, focus and scroll events to the
// terminal and tells the window when a character is typed. Its parts live by
// job: TerminalView.cpp (font, caret, input), TerminalViewPaint.cpp,
// TerminalViewUpdates.cpp (repaint requests and scrolling the pixels),
// TerminalViewScrollBars.cpp, TerminalViewCopy.cpp (selection, clipboard)
// and TerminalViewHistory.cpp (keys over the history, the mark, finding);
// the font itself and its dialog are TerminalFont.
#pragma once

#include <QAbstractScrollArea>
#include <QFont>
#include <QRect>
#include <QRegion>

#include "terminal/GlyphCells.h"
#include "terminal/terminal.h"
#include "terminal/terminal_info.h"
#include "terminal/terminal_selection.h"
#include "terminal/terminal_surface.h"

namespace tw {

class TerminalView : public QAbstractScrollArea, public tw::TerminalSurface {
  Q_OBJECT

 public:
  // The terminal may be given later (it is built with this view as its
  // surface); until then the view shows nothing and forwards nothing.
  explicit TerminalView(tw::Terminal* terminal = nullptr, QWidget* parent = nullptr);

  void setTerminal(tw::Terminal* terminal);
  tw::Terminal* terminal() const { return terminal_; }

  // The font dialog (ChooseTerminalFont) from the font shown now. True after
  // OK, with the font and colour updated; Cancel leaves both alone.
  bool chooseFont(tw::LogFont& font, int32_t& textColor);
  bool chooseFont(tw::LogFont& font, int32_t& textColor, int32_t& backColor);

  const QFont& terminalFont() const { return font_; }
  const GlyphCells& glyphCells() const { return glyphCells_; }
  bool caretVisible() const { return caretCreated_ && caretShown_; }
  QRect caretRect() const { return caretRect_; }

  // Copying from the screen: what the mouse has selected, and the clipboard
  // commands of the context menu and Ctrl+Shift+C.
  const tw::TerminalSelection& selection() const { return selection_; }
  QString selectedText() const;
  void copySelection();
  void copyAll();

  // The history: scrolling by a scroll code (SB_PAGEUP, SB_BOTTOM...), and
  // finding text (selected and shown when found; false when not there).
  // Searching backwards starts before the selection, or at the bottom.
  void scrollHistory(int code);
  bool findText(const QString& text, bool backwards);
  // Ctrl+F: asks for the text and finds it backwards; F3 goes on.
  void askFind();

  // tw::TerminalSurface
  void invalidateRect(int x, int y, int width, int height) override;
  void invalidateAll(bool erase) override;
  void updateNow() override;
  void beep() override;
  void setScrollRange(bool vertical, int maximum) override;
  void setScrollPosition(bool vertical, int position) override;
  void scrollContents(int dx, int dy) override;
  void screenScrolledUp() override;
  void historyChanged() override;
  void holdUpdates(bool hold) override;
  void createCaret(int width, int height) override;
  void showCaret() override;
  void destroyCaret() override;
  void setCaretPosition(int x, int y) override;
  // Rebuilds the font, keeps the colour and measures a cell.
  tw::CellSize applyFont(const tw::LogFont& font, int32_t color) override;
  void applyBackground(int32_t back) override;

 signals:
  // A key with text was typed; the screen takes no input.
  void characterTyped();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  QSize viewportSizeHint() const override;

 private:
  tw::TerminalInfo* record() const;
  QColor backgroundColor() const;
  QScrollBar* scrollBar(bool vertical) const;
  void connectScrollBar(bool vertical);
  void onScrollAction(bool vertical, int action);
  void paintCells(QPainter& painter, const tw::TerminalInfo& ti, const QRect& area);
  void paintCaret(QPainter& painter, const QRect& area);
  void paintSelection(QPainter& painter, const tw::TerminalInfo& ti);
  void paintMark(QPainter& painter, const tw::TerminalInfo& ti);
  bool historyKey(QKeyEvent* event);
  void syncVerticalBar();
  void updateSelectionRows();
  int inkRight(const tw::TerminalInfo& ti) const;
  void scrollCaretUp(int h);

  tw::Terminal* terminal_ = nullptr;
  QFont font_;
  GlyphCells glyphCells_;
  int32_t textColor_ = 0;
  // Where the model has asked for a repaint that has not happened yet, so
  // updateNow repaints only that.
  QRegion dirty_;
  // holdUpdates nesting, and whether updateNow was asked for meanwhile.
  int holds_ = 0;
  bool updateDue_ = false;
  bool caretCreated_ = false;
  bool caretShown_ = false;
  QRect caretRect_;
  tw::TerminalSelection selection_;
  bool selecting_ = false;
  QString lastFind_;
  // The viewport's palette as the desktop gave it, for BACKGROUND_SYSTEM.
  QPalette systemPalette_;
};

}  // namespace tw

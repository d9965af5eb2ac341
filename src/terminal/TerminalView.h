// The main window's character screen on Qt: paints the record's cells, owns
// the scroll bars and the caret, and hands size, focus, scroll and key
// events to the program.
#pragma once

#include <QAbstractScrollArea>
#include <QFont>
#include <QRect>
#include <QRegion>

#include "terminal/terminal_info.h"
#include "terminal/terminal_surface.h"

namespace tw {

class Program;

class TerminalView : public QAbstractScrollArea, public tw::TerminalSurface {
  Q_OBJECT

 public:
  // The program may be given later (it is built with this view as its
  // surface); until then the view shows nothing and forwards nothing.
  explicit TerminalView(tw::Program* program = nullptr, QWidget* parent = nullptr);

  void setProgram(tw::Program* program);
  tw::Program* program() const { return program_; }

  // Rebuilds the font from the record's logFont, measures a cell, stores
  // the cell size in the record and lays the screen out again.
  void applyFont(tw::TerminalInfo& ti);
  // The font dialog (fixed-pitch fonts, effects and colour). True after OK,
  // with logFont and textColor updated; Cancel leaves the record alone.
  bool chooseFont(tw::TerminalInfo& ti);

  const QFont& terminalFont() const { return font_; }
  bool caretVisible() const { return caretCreated_ && caretShown_; }
  QRect caretRect() const { return caretRect_; }

  // tw::TerminalSurface
  void invalidateRect(int x, int y, int width, int height) override;
  void invalidateAll(bool erase) override;
  void updateNow() override;
  void beep() override;
  void setScrollRange(bool vertical, int maximum) override;
  void setScrollPosition(bool vertical, int position) override;
  void scrollContents(int dx, int dy) override;
  void createCaret(int width, int height) override;
  void showCaret() override;
  void destroyCaret() override;
  void setCaretPosition(int x, int y) override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  QSize viewportSizeHint() const override;

 private:
  tw::TerminalInfo* record() const;
  void connectScrollBar(bool vertical);
  void onScrollAction(bool vertical, int action);
  void paintCells(QPainter& painter, const tw::TerminalInfo& ti, const QRect& area);
  void paintCaret(QPainter& painter, const QRect& area);
  void relayout(tw::TerminalInfo& ti);

  tw::Program* program_ = nullptr;
  QFont font_;
  // Where the model has asked for a repaint that has not happened yet, so
  // updateNow repaints only that.
  QRegion dirty_;
  bool caretCreated_ = false;
  bool caretShown_ = false;
  QRect caretRect_;
};

}  // namespace tw

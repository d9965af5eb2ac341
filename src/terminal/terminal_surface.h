// What the screen model asks of the window that shows it: repaint requests,
// scroll bars, the caret and the bell. The Qt view implements it; headless
// runs and tests use NullSurface or a recording fake.
#pragma once

#include <cstdint>

#include "core/settings.h"

namespace tw {

// One character cell in pixels.
struct CellSize {
  int width = 8;
  int height = 14;
};

class TerminalSurface {
 public:
  virtual ~TerminalSurface() = default;
  // Pixel rectangle in client coordinates; repainted later without erase.
  virtual void invalidateRect(int x, int y, int width, int height) = 0;
  // The whole client area; `erase` clears the background first.
  virtual void invalidateAll(bool erase) = 0;
  // Repaint what is invalid now, before returning.
  virtual void updateNow() = 0;
  virtual void beep() = 0;
  virtual void setScrollRange(bool vertical, int maximum) = 0;
  virtual void setScrollPosition(bool vertical, int position) = 0;
  // Moves the shown contents by dx, dy pixels.
  virtual void scrollContents(int dx, int dy) = 0;
  // Every row of the screen is about to move up by one (the top row goes,
  // the bottom row is new); the record still holds the rows as they were.
  // A surface that cannot move what it shows repaints it all.
  virtual void screenScrolledUp() { invalidateAll(false); }
  // A row has gone into the history (the screen has already moved up): a
  // scroll bar over the history grows.
  virtual void historyChanged() {}
  // While held, updateNow only notes that a repaint is due; releasing the
  // hold makes that one repaint. Lets a burst of lines cost one repaint.
  virtual void holdUpdates(bool) {}
  virtual void createCaret(int width, int height) = 0;
  virtual void showCaret() = 0;
  virtual void destroyCaret() = 0;
  virtual void setCaretPosition(int x, int y) = 0;
  // Draws from now on with this font and text colour (0x00BBGGRR) and
  // answers the size of one cell in it.
  virtual CellSize applyFont(const LogFont& font, int32_t color) = 0;
  // Draws from now on on this background (0x00BBGGRR, or BACKGROUND_SYSTEM).
  virtual void applyBackground(int32_t) {}
};

class NullSurface : public TerminalSurface {
 public:
  void invalidateRect(int, int, int, int) override {}
  void invalidateAll(bool) override {}
  void updateNow() override {}
  void beep() override {}
  void setScrollRange(bool, int) override {}
  void setScrollPosition(bool, int) override {}
  void scrollContents(int, int) override {}
  void createCaret(int, int) override {}
  void showCaret() override {}
  void destroyCaret() override {}
  void setCaretPosition(int, int) override {}
  CellSize applyFont(const LogFont&, int32_t) override { return {}; }
};

}  // namespace tw

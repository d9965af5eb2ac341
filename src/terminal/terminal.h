// The main window's terminal: the record and its screen, printing lines with
// their time stamp, and the window's size, focus and scroll events.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/settings.h"
#include "core/text_out.h"
#include "terminal/terminal_info.h"
#include "terminal/terminal_surface.h"

namespace tw {

class Terminal : public TextOut {
 public:
  Terminal(const Clock& clock, TerminalSurface& surface) : clock_(clock), surface_(surface) {}

  // The record exists from the window's creation step to its destruction;
  // without it nothing is printed and events are ignored.
  void Open() { info_ = std::make_unique<TerminalInfo>(); }
  void Close() { info_.reset(); }
  TerminalInfo* info() { return info_.get(); }
  const TerminalInfo* info() const { return info_.get(); }
  TerminalSurface& surface() { return surface_; }

  // "[hh:mm:ss] text" on the screen, repainted at once; listeners get the
  // same line without its CR LF.
  void PrintLine(const std::string& text) override;
  // The rows go on the screen, each with its time stamp; listeners (standard
  // output, transcripts) get the line whole, as they have no width.
  void PrintWrapped(const std::string& text) override;
  void AddLineListener(std::function<void(const std::string&)> listener) {
    lineListeners_.push_back(std::move(listener));
  }

  // The surface takes the font and colours; the screen is laid out again
  // for the new cell size.
  void ApplyFont(const LogFont& font, int32_t color, int32_t back = BACKGROUND_SYSTEM);

  void OnSize(int height, int width);
  void OnSetFocus();
  void OnKillFocus();
  int OnScroll(bool vertical, int code, int position);

 private:
  const Clock& clock_;
  TerminalSurface& surface_;
  void Show(const std::string& line);
  void Tell(const std::string& line);

  std::unique_ptr<TerminalInfo> info_;
  std::vector<std::function<void(const std::string&)>> lineListeners_;
};

}  // namespace tw

#include "terminal/terminal.h"

#include "terminal/terminal_screen.h"

namespace tw {

void Terminal::PrintLine(const std::string& text) {
  if (!info_) return;
  const std::string line = FormatPrintLine(clock_.localTime(), text);
  WriteScreen(*info_, surface_, line.data(), line.size());
  surface_.updateNow();
  if (!lineListeners_.empty()) {
    const std::string shown = line.substr(0, line.size() - 2);  // without CR LF
    for (auto& listener : lineListeners_) listener(shown);
  }
}

void Terminal::ApplyFont(const LogFont& font, int32_t color) {
  if (!info_) return;
  const CellSize cell = surface_.applyFont(font, color);
  info_->charWidth = cell.width;
  info_->charHeight = cell.height;
  SizeTerminal(*info_, surface_, info_->clientHeight, info_->clientWidth);
}

void Terminal::OnSize(int height, int width) {
  if (info_) SizeTerminal(*info_, surface_, height, width);
}

void Terminal::OnSetFocus() {
  if (info_) ShowTerminalCaret(*info_, surface_);
}

void Terminal::OnKillFocus() {
  if (info_) HideTerminalCaret(*info_, surface_);
}

int Terminal::OnScroll(bool vertical, int code, int position) {
  if (!info_) return 0;
  return vertical ? ScrollTerminalVert(*info_, surface_, code, position)
                  : ScrollTerminalHorz(*info_, surface_, code, position);
}

}  // namespace tw

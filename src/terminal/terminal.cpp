#include "terminal/terminal.h"

#include "terminal/line_wrap.h"
#include "terminal/terminal_screen.h"
#include "terminal/terminal_scrollback.h"

namespace tw {

void Terminal::PrintLine(const std::string& text) {
  if (!info_) return;
  const std::string line = FormatPrintLine(clock_.localTime(), text);
  // While the operator reads the history, the mark counts what came in.
  if (info_->history.back > 0) ++info_->history.unseen;
  Show(line);
  surface_.updateNow();
  Tell(line);
}

void Terminal::PrintWrapped(const std::string& text) {
  if (!info_) return;
  const LocalTime time = clock_.localTime();
  if (info_->history.back > 0) ++info_->history.unseen;
  for (const std::string& row : WrapComposedLine(text)) Show(FormatPrintLine(time, row));
  surface_.updateNow();
  Tell(FormatPrintLine(time, text));
}

void Terminal::Show(const std::string& line) {
  WriteScreen(*info_, surface_, line.data(), line.size());
}

void Terminal::Tell(const std::string& line) {
  if (lineListeners_.empty()) return;
  const std::string shown = line.substr(0, line.size() - 2);  // without CR LF
  for (auto& listener : lineListeners_) listener(shown);
}

void Terminal::ApplyFont(const LogFont& font, int32_t color, int32_t back) {
  if (!info_) return;
  surface_.applyBackground(back);
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
  return vertical ? ScrollHistory(*info_, surface_, code, position)
                  : ScrollTerminalHorz(*info_, surface_, code, position);
}

}  // namespace tw

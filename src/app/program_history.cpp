// The terminal's history saved to a file, and the night view.
#include "app/program.h"
#include "config/config_io.h"
#include "core/fixed_format.h"
#include "core/paths.h"
#include "terminal/terminal_selection.h"

namespace tw {

// "Save History As...": the history and the screen as text, written whole
// or not at all (a new file takes the old one's place in one step).
void Program::SaveHistory() {
  const TerminalInfo* ti = terminal_.info();
  if (!ti) return;
  const std::string path =
      files_.ChooseFileToSave(FileRequest{"Save History As",
                                          PathToUtf8(dataRoot_),
                                          {{"Text Files", "*.txt"}, {"All Files", "*"}},
                                          "txt"});
  if (path.empty()) return;
  // Taken before the report below is printed: the file ends where the
  // operator chose to save.
  const std::string text = HistoryText(*ti);
  std::string why;
  if (!ReplaceFile(PathFromUtf8(path), text, why)) {
    terminal_.PrintWrapped(
        FixedFormat("Error: History not saved to \"%s\": %s.", path.c_str(), why.c_str()));
    return;
  }
  terminal_.PrintWrapped(FixedFormat("History saved to \"%s\".", path.c_str()));
}

void Program::ToggleNightView() {
  ToggleOption(settings_.nightView);
  SetTerminalFont();
}

}  // namespace tw

// The operator's choices from one run to the next, and the places outside
// Settings that follow them while the program runs.
#include "app/program.h"
#include "config/remembered_choices.h"
#include "core/fixed_format.h"
#include "core/paths.h"

namespace tw {

void Program::RememberChoices(const std::filesystem::path& file, bool load, bool save) {
  choicesFile_ = file;
  saveChoices_ = save;
  if (load) {
    const RememberedLoad loaded = LoadRememberedChoices(file, settings_, config_.devices());
    if (!loaded.line.empty()) terminal_.PrintWrapped(loaded.line);
    saveChoices_ = save && loaded.mayReplace;
  }
  // Everything may differ from the start-up values now.
  StartTimer(TIMER_TEST, settings_.testInterval);
  SetTerminalFont();
  FollowSessionChoices();
  RefreshMenu();
}

void Program::FollowSessionChoices() {
  if (TerminalInfo* ti = terminal_.info()) {
    ti->autoWrap = settings_.autoWrap;
    ti->newLine = settings_.newLine;
    ti->localEcho = settings_.localEcho;
  }
  SetReconnect(settings_.reconnect != 0);  // the modem's port and the GPS port
  NotifyHotKey();
}

// The port dialog sets the options on the terminal record it is shown.
void Program::KeepTerminalOptions() {
  if (const TerminalInfo* ti = terminal_.info()) {
    settings_.autoWrap = ti->autoWrap;
    settings_.newLine = ti->newLine;
    settings_.localEcho = ti->localEcho;
  }
}

void Program::NotifyHotKey() {
  if (hotKeyListener_) hotKeyListener_(settings_.hotKeyEverywhere != 0);
}

// A box with no owner: the window is on its way out. Without a desktop its
// text goes to standard error.
void Program::SaveRememberedChoices() {
  if (!saveChoices_) return;
  saveChoices_ = false;  // once, whichever way the window goes
  std::string why;
  if (!tw::SaveRememberedChoices(choicesFile_, settings_, config_.devices(), why)) {
    ui_.UnownedErrorBox(FixedFormat("The choices of this run were not saved to \"%s\": %s.",
                                    PathToUtf8(choicesFile_).c_str(), why.c_str()),
                        state_.windowTitle);
  }
}

}  // namespace tw

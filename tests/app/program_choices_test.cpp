// Choices made in one run are there in the next: the terminal record, the
// reconnect, the F1 choice and the check marks follow the remembered file;
// the file dialogs open where the last file was; --defaults starts over.
#include <gtest/gtest.h>

#include <filesystem>

#include "config/remembered_choices.h"
#include "core/commands.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

namespace fs = std::filesystem;

class ProgramChoices : public ProgramTest {
 protected:
  // The next run on the same data root, as the window starts it.
  std::unique_ptr<Program> NextRun(bool load) {
    auto next = std::make_unique<Program>(clock, ports, ui, nextSurface, root.path());
    next->SetDialogs(dialogs.all());
    next->Start();
    next->SetHotKeyListener([this](bool everywhere) { hotKeyEverywhere = everywhere; });
    next->RememberChoices(RememberedChoicesFile(root.path()), load);
    return next;
  }
  RecordingSurface nextSurface;
  bool hotKeyEverywhere = true;
};

TEST_F(ProgramChoices, ChoicesMadeInOneRunAreThereInTheNext) {
  program->RememberChoices(RememberedChoicesFile(root.path()), true);  // a first run
  program->SetHotKeyListener([this](bool everywhere) { hotKeyEverywhere = everywhere; });
  dialogs.onOpen = [this](const std::string& name) {
    if (name != "port settings") return;
    dialogs.portRequest->terminal.autoWrap = 1;
    dialogs.portRequest->terminal.localEcho = 1;
    dialogs.portRequest->reconnect = true;
  };
  program->OnCommand(cmd::PORT_SETTINGS);
  program->OnCommand(cmd::SHOW_NMEA_INCOMING);
  program->OnCommand(cmd::HOTKEY_EVERYWHERE);
  EXPECT_FALSE(hotKeyEverywhere);  // the window lets go of F1 at once
  fs::create_directories(root.path() / "cruise");
  ui.fileToSave = (root.path() / "cruise" / "a.twc").string();
  program->OnCommand(cmd::SAVE_CONFIGURATION);
  program->OnDestroy();

  hotKeyEverywhere = true;
  auto next = NextRun(true);
  const TerminalInfo& ti = *next->terminal().info();
  EXPECT_EQ(ti.autoWrap, 1);
  EXPECT_EQ(ti.localEcho, 1);
  EXPECT_TRUE(next->reconnect());
  EXPECT_FALSE(hotKeyEverywhere);
  EXPECT_TRUE(next->menu().IsChecked(cmd::SHOW_NMEA_INCOMING));
  EXPECT_FALSE(next->menu().IsChecked(cmd::HOTKEY_EVERYWHERE));
  next->OnCommand(cmd::LOAD_CONFIGURATION);
  ASSERT_FALSE(ui.openRequests.empty());
  EXPECT_EQ(fs::path(ui.openRequests.back().folder), root.path() / "cruise");
  next->OnDestroy();

  auto fresh = NextRun(false);  // --defaults
  EXPECT_EQ(fresh->terminal().info()->autoWrap, 0);
  EXPECT_FALSE(fresh->reconnect());
  EXPECT_TRUE(hotKeyEverywhere);
  EXPECT_FALSE(fresh->menu().IsChecked(cmd::SHOW_NMEA_INCOMING));
}

}  // namespace
}  // namespace tw::test

// The settings table against the records and the menu it drives.
#include "core/settings_table.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "app/command_table.h"
#include "core/commands.h"
#include "support/program_fixture.h"

namespace tw {
namespace {

TEST(SettingsTable, NamesAndCommandsAreUniqueAndEveryCommandIsInTheMenu) {
  std::set<std::string> names;
  std::set<int> ids;
  std::set<int> menuIds;
  for (const MenuEntry& e : MainMenuTable()) {
    if (e.kind == MenuKind::Item) menuIds.insert(e.id);
  }
  for (const SettingEntry& entry : SettingsTable()) {
    EXPECT_TRUE(names.insert(entry.name).second) << "twice: " << entry.name;
    const bool needsCommand =
        entry.kind == SettingKind::Toggle || entry.kind == SettingKind::Choice;
    EXPECT_EQ(needsCommand, entry.commandId != 0) << entry.name;
    if (entry.commandId == 0) continue;
    EXPECT_TRUE(ids.insert(entry.commandId).second) << "command twice: " << entry.commandId;
    EXPECT_TRUE(menuIds.count(entry.commandId)) << entry.name << " has no menu item";
    EXPECT_EQ(FindSettingByCommand(entry.commandId), &entry);
  }
  EXPECT_EQ(FindSettingByCommand(0), nullptr);
  EXPECT_EQ(FindSettingByCommand(cmd::ABOUT), nullptr);
}

// Each entry must reach a field of its own: two entries on one field would
// make stored choices depend on the order they are read back in.
TEST(SettingsTable, EveryEntryReachesItsOwnField) {
  Settings s;
  std::set<const void*> fields;
  for (const SettingEntry& entry : SettingsTable()) {
    const void* field = entry.kind == SettingKind::Text
                            ? static_cast<const void*>(&entry.text(s))
                            : static_cast<const void*>(&entry.number(s));
    EXPECT_TRUE(fields.insert(field).second) << entry.name;
  }
}

TEST(SettingsTable, FreshRecordHoldsTheTableDefaultsAndInitDefaultsRestoresThem) {
  Settings s;
  EXPECT_EQ(s.testInterval, 10000);
  EXPECT_EQ(s.showHeartbeat, 1);
  EXPECT_EQ(s.modemPort.baudRate, 19200);
  EXPECT_EQ(s.gpsPort.portNumber, 4);
  EXPECT_EQ(s.terminalFont.faceName, "Lucida Console");
  EXPECT_EQ(s.textColor, RGB(0, 0, 128));
  EXPECT_EQ(s.nodes[15].showData, 1);

  for (const SettingEntry& entry : SettingsTable()) {
    if (entry.kind == SettingKind::Text) {
      entry.text(s) = "changed";
    } else {
      entry.number(s) = entry.defaultNumber + 7;
    }
  }
  s.uplinkEnabled[0] = 1;  // a slot no menu item reaches
  s.InitDefaults();
  for (const SettingEntry& entry : SettingsTable()) {
    if (entry.kind == SettingKind::Text) {
      EXPECT_EQ(entry.text(s), entry.defaultText) << entry.name;
    } else {
      EXPECT_EQ(SettingNumber(entry, s), entry.defaultNumber) << entry.name;
    }
  }
  EXPECT_EQ(s.uplinkEnabled[0], 0);
}

using SettingCommands = test::ProgramTest;

// Every toggle flips exactly its own flag and check mark, and back.
TEST_F(SettingCommands, EveryToggleFlipsItsFlagAndItsCheckMarkOnly) {
  for (const SettingEntry& entry : SettingsTable()) {
    if (entry.kind != SettingKind::Toggle) continue;
    if (!program->menu().IsEnabled(entry.commandId)) continue;  // the map's switches
    const Settings before = program->settings();
    program->OnCommand(entry.commandId);
    EXPECT_NE(SettingNumber(entry, program->settings()), SettingNumber(entry, before))
        << entry.name;
    EXPECT_EQ(program->menu().IsChecked(entry.commandId),
              SettingNumber(entry, program->settings()) != 0)
        << entry.name;
    for (const SettingEntry& other : SettingsTable()) {
      if (&other == &entry || other.kind == SettingKind::Text) continue;
      EXPECT_EQ(SettingNumber(other, program->settings()), SettingNumber(other, before))
          << entry.name << " changed " << other.name;
    }
    program->OnCommand(entry.commandId);
    EXPECT_EQ(SettingNumber(entry, program->settings()), SettingNumber(entry, before));
  }
}

TEST_F(SettingCommands, TransmitSourcesExcludeEachOtherWhateverTheOrder) {
  std::vector<const SettingEntry*> sources;
  for (const SettingEntry& entry : SettingsTable()) {
    if (entry.kind == SettingKind::Choice) sources.push_back(&entry);
  }
  ASSERT_EQ(sources.size(), 4u);
  for (const SettingEntry* first : sources) {
    for (const SettingEntry* second : sources) {
      program->OnCommand(first->commandId);
      program->OnCommand(second->commandId);
      // Choosing the same one twice clears it; another one replaces it.
      for (const SettingEntry* s : sources) {
        const bool on = first != second && s == second;
        EXPECT_EQ(SettingNumber(*s, program->settings()), on ? 1 : 0)
            << first->name << " then " << second->name << ": " << s->name;
        EXPECT_EQ(program->menu().IsChecked(s->commandId), on) << s->name;
      }
      if (first != second) program->OnCommand(second->commandId);  // back to none
    }
  }
}

}  // namespace
}  // namespace tw

// How the command table is written: a writer that collects rows in menu
// order, and the friend of Program whose functions write each menu with
// actions that reach Program's handlers. Only the command table's files
// include this.
#pragma once

#include <string>
#include <vector>

#include "app/command_table.h"
#include "core/settings_table.h"

namespace tw {

class MenuWriter {
 public:
  void Popup(std::string caption, bool grayed = false);
  void End();
  void Separator();
  // A command, placed where it is written.
  void Item(std::string caption, int id, CommandAction action, MenuRule enabled = {},
            MenuRule checked = {});
  // A command that does nothing and stays grayed.
  void Grayed(std::string caption, int id);
  // A command that does nothing (its item is there, its work is not).
  void Inert(std::string caption, int id);
  // A further place of the command `id`, written above.
  void Also(int id);
  // The command of a choice in the settings table: a toggle flips its flag,
  // a transmit source is chosen by its rule; checked while the flag is set.
  void Setting(std::string caption, int id, MenuRule enabled = {});

  std::vector<CommandRow> Take() { return std::move(rows_); }

 private:
  std::vector<CommandRow> rows_;
};

// When an item is enabled; one small rule each, so the log controls and the
// connection can answer them in one place.
namespace menu_rule {
bool Never(const MenuInputs&);
bool Connected(const MenuInputs& in);
bool NotConnected(const MenuInputs& in);
bool GpsConnected(const MenuInputs& in);
bool NmeaLogStartable(const MenuInputs& in);
bool NmeaLogOpen(const MenuInputs& in);
bool DataLogStartable(const MenuInputs& in);
bool DataLogOpen(const MenuInputs& in);
bool LoopTesting(const MenuInputs& in);
bool MapAvailable(const MenuInputs& in);
bool NotReplaying(const MenuInputs& in);
}  // namespace menu_rule

// Program's friend: each function writes one menu, its actions calling
// Program's handlers.
struct MenuCommands {
  static void ProgramMenu(MenuWriter& m);
  static void ModemMenu(MenuWriter& m);
  static void TestMenu(MenuWriter& m);
  static void CommunicationsMenu(MenuWriter& m);
  static void DataMenu(MenuWriter& m);
  static void ViewMenu(MenuWriter& m);
  static void MapMenu(MenuWriter& m);
  static void GpsMenu(MenuWriter& m);
  static void UdpMenu(MenuWriter& m);
  // The action of a settings-table choice.
  static CommandAction SettingAction(const SettingEntry& entry);
  // Sends the modem command `id` of the modem command table.
  static CommandAction SendsSentence(int id);
};

}  // namespace tw

// The main menu's one command table: a row per command, written in menu
// order, with its caption (its place is where the row stands: inside the
// popups above it), its identifier, its action and when it is enabled and
// checked, as functions of what the program holds. The menu folder's entries
// and model are built from it; Program runs the actions and, after every
// command and state change, sets every item's gray and check state from the
// rules (Program::RefreshMenu), so no subsystem switches an item itself.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/settings.h"
#include "logging/log_controls.h"
#include "menu/menu_table.h"

namespace tw {

class Program;

// What the menu's gray and check states are made from.
struct MenuInputs {
  const Settings& settings;
  const RunState& state;
  bool modemConnected = false;
  // The data log is offered from the modem's first connect on, and stays
  // offered after a disconnect.
  bool modemConnectedOnce = false;
  // What the log controls allow now, log by log.
  LogCommands nmeaLog = {}, dataLog = {};
  bool gpsConnected = false;
  bool replaying = false;  // a replay of an NMEA log runs
};

using MenuRule = std::function<bool(const MenuInputs&)>;
using CommandAction = std::function<void(Program&)>;

struct CommandRow {
  MenuKind kind = MenuKind::Item;
  std::string caption;  // exact text: '&' marks the mnemonic, '\b' right-aligns the rest
  int id = 0;           // the command of an Item
  CommandAction action;
  MenuRule enabled;  // empty: always enabled
  MenuRule checked;  // empty: never checked
  bool popupGrayed = false;
  // A further place of a command whose row stands earlier in the table; the
  // action and the rules are that row's.
  bool alsoHere = false;
};

// The whole main menu: eight top-level Popups with their contents.
const std::vector<CommandRow>& MainCommandTable();

// The rows that carry a command (Items, without their further places).
const std::vector<const CommandRow*>& CommandItems();

// The menu as the menu folder builds its bar and model from it, each item
// in the state the rules give a freshly started program.
const std::vector<MenuEntry>& MainMenuTable();

// Every item's enabled and check state under `inputs`.
template <typename Set>
void ForEachMenuState(const MenuInputs& inputs, Set set) {
  for (const CommandRow* row : CommandItems()) {
    set(row->id, !row->enabled || row->enabled(inputs), row->checked && row->checked(inputs));
  }
}

}  // namespace tw

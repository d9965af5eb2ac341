// A menu as one data table, in the order it is shown: what the menu bar and
// the menu model are built from. Popup entries open a submenu that runs to
// its matching End entry. The main menu's table is made from the command
// table (app/command_table.h), the emulator window's from its own.
#pragma once

#include <vector>

namespace tw {

enum class MenuKind { Item, Separator, Popup, End };

struct MenuEntry {
  MenuKind kind;
  // Exact caption: '&' marks the mnemonic, '\b' right-aligns the rest.
  const char* caption;
  int id;        // command identifier of an Item; 0 otherwise
  bool grayed;   // the start state
  bool checked;  // the start state
};

}  // namespace tw

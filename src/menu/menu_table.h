// The main menu as one data table, in the order it is shown. Popup entries
// open a submenu that runs to its matching End entry.
#pragma once

#include <vector>

namespace tw {

enum class MenuKind { Item, Separator, Popup, End };

struct MenuEntry {
  MenuKind kind;
  // Exact caption: '&' marks the mnemonic, '\b' right-aligns the rest.
  const char* caption;
  int id;  // command identifier of an Item; 0 otherwise
  bool grayed;
  bool checked;
};

// The whole main menu bar: eight top-level Popups with their contents.
const std::vector<MenuEntry>& MainMenuTable();

}  // namespace tw

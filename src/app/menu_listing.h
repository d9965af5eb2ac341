// `tidewire --list-menu`: every command of the main menu with its place in
// the menu and how it starts, for writing --menu command lines.
#pragma once

#include <string>
#include <vector>

#include "app/command_table.h"
#include "menu/menu_model.h"
#include "menu/menu_table.h"

namespace tw {

// A caption as the operator reads it: mnemonic marks taken out ("&&" stays
// one '&'), the right-aligned part set off by a blank.
std::string PlainCaption(const char* caption);

// The menu's states once the program has started, before any command: the
// main menu's table holds them, made by the command table's rules from the
// start-up choices, with nothing connected, no log open and no map
// program's library.
MenuModel StartMenuStates(const std::vector<MenuEntry>& table);

// One line per menu item, in menu order: the command identifier, its state
// in `states` ("enabled", "grayed" or "checked"; "grayed" also for an item
// inside a grayed submenu) and its menu path, "View > Performance...". A
// command that sits in several places has a line for each.
std::string MenuListingText(const std::vector<MenuEntry>& table, const MenuModel& states);

}  // namespace tw

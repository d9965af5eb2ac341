#include "app/menu_listing.h"

#include "core/fixed_format.h"

namespace tw {

std::string PlainCaption(const char* caption) {
  std::string text;
  for (const char* c = caption; *c != '\0'; ++c) {
    if (*c == '&') {
      if (c[1] == '&') text += *++c;  // a literal ampersand
      continue;
    }
    text += *c == '\b' ? ' ' : *c;
  }
  return text;
}

MenuModel StartMenuStates(const std::vector<MenuEntry>& table) { return MenuModel(table); }

std::string MenuListingText(const std::vector<MenuEntry>& table, const MenuModel& states) {
  struct Open {
    std::string caption;
    bool grayed;
  };
  std::vector<Open> path;
  std::string out;
  for (const MenuEntry& e : table) {
    switch (e.kind) {
      case MenuKind::Popup:
        path.push_back({PlainCaption(e.caption), e.grayed});
        break;
      case MenuKind::End:
        if (!path.empty()) path.pop_back();
        break;
      case MenuKind::Separator:
        break;
      case MenuKind::Item: {
        bool grayed = !states.IsEnabled(e.id);
        std::string where;
        for (const Open& p : path) {
          grayed = grayed || p.grayed;
          where += p.caption + " > ";
        }
        where += PlainCaption(e.caption);
        const char* state = grayed ? "grayed" : states.IsChecked(e.id) ? "checked" : "enabled";
        out += FixedFormat("%5d  %-7s  %s\n", e.id, state, where.c_str());
        break;
      }
    }
  }
  return out;
}

}  // namespace tw

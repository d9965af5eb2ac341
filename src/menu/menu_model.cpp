#include "menu/menu_model.h"

namespace tw {

MenuModel::MenuModel(const std::vector<MenuEntry>& table) {
  for (const MenuEntry& e : table) {
    if (e.kind != MenuKind::Item) continue;
    states_[e.id] = State{!e.grayed, e.checked};
  }
}

void MenuModel::Enable(int id, bool enabled) {
  State& s = states_[id];
  if (s.enabled == enabled) return;
  s.enabled = enabled;
  Changed(id);
}

void MenuModel::Check(int id, bool checked) {
  State& s = states_[id];
  if (s.checked == checked) return;
  s.checked = checked;
  Changed(id);
}

bool MenuModel::IsEnabled(int id) const {
  auto it = states_.find(id);
  return it != states_.end() && it->second.enabled;
}

bool MenuModel::IsChecked(int id) const {
  auto it = states_.find(id);
  return it != states_.end() && it->second.checked;
}

void MenuModel::Changed(int id) {
  if (listener_) listener_(id, states_[id]);
}

}  // namespace tw

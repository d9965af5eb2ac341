// Enabled and check-mark state of every command of the main menu, kept
// apart from any widget so the logic can be driven without a display. The
// Qt menu bar mirrors it through the change listener.
#pragma once

#include <functional>
#include <map>
#include <vector>

#include "menu/menu_table.h"

namespace tw {

class MenuModel {
 public:
  struct State {
    bool enabled = true;
    bool checked = false;
  };
  using Listener = std::function<void(int id, const State& state)>;

  MenuModel() = default;
  // Start states from a menu table.
  explicit MenuModel(const std::vector<MenuEntry>& table);

  void Enable(int id, bool enabled);
  void Check(int id, bool checked);
  bool IsEnabled(int id) const;
  bool IsChecked(int id) const;
  bool Has(int id) const { return states_.count(id) != 0; }
  void SetListener(Listener listener) { listener_ = std::move(listener); }

 private:
  void Changed(int id);

  std::map<int, State> states_;
  Listener listener_;
};

}  // namespace tw

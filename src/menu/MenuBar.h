// The main window's menu bar, built from the menu table. It shows the
// MenuModel's state and nothing else: enabled and check-mark state live in
// the model, and every change there is mirrored onto the actions.
#pragma once

#include <QMenuBar>
#include <functional>
#include <map>
#include <vector>

#include "menu/menu_model.h"
#include "menu/menu_table.h"

class QAction;

namespace tw {

class MenuBar : public QMenuBar {
 public:
  using CommandHandler = std::function<void(int id)>;

  // Builds the bar from `table` and takes over the model's change listener.
  // Either may be destroyed first: the bar leaves the model alone when it
  // goes, and the listener it leaves behind does nothing once it is gone.
  MenuBar(MenuModel& model, CommandHandler onCommand, const std::vector<MenuEntry>& table,
          QWidget* parent = nullptr);
  ~MenuBar() override;
  MenuBar(const MenuBar&) = delete;
  MenuBar& operator=(const MenuBar&) = delete;

  // Every action of a command, in menu order (a command may sit in two or
  // three places); empty for an unknown identifier.
  std::vector<QAction*> ActionsFor(int id) const;

 private:
  QAction* AddItem(QWidget* where, const MenuEntry& entry);
  void Triggered(int id);
  // Puts the model's state of `id` onto all its actions.
  void Sync(int id);

  MenuModel& model_;
  CommandHandler onCommand_;
  std::map<int, std::vector<QAction*>> actions_;
};

}  // namespace tw

#include "menu/MenuBar.h"

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QString>
#include <algorithm>
#include <string>
#include <utility>

namespace tw {
namespace {

// The table marks the right-aligned part of a caption with '\b'; Qt shows
// the text after a tab right-aligned in the shortcut column.
QString ActionText(const char* caption) {
  std::string text = caption;
  std::replace(text.begin(), text.end(), '\b', '\t');
  return QString::fromLatin1(text.c_str());
}

}  // namespace

MenuBar::MenuBar(MenuModel& model, CommandHandler onCommand, const std::vector<MenuEntry>& table,
                 QWidget* parent)
    : QMenuBar(parent), model_(model), onCommand_(std::move(onCommand)) {
  std::vector<QMenu*> open;  // popups being filled, innermost last
  for (const MenuEntry& e : table) {
    switch (e.kind) {
      case MenuKind::Popup: {
        const QString title = QString::fromLatin1(e.caption);
        QMenu* menu = open.empty() ? addMenu(title) : open.back()->addMenu(title);
        if (e.grayed) {
          // A grayed popup cannot be opened; its items keep their own state.
          menu->setEnabled(false);
          menu->menuAction()->setEnabled(false);
        }
        open.push_back(menu);
        break;
      }
      case MenuKind::End:
        if (!open.empty()) open.pop_back();
        break;
      case MenuKind::Separator:
        if (!open.empty()) open.back()->addSeparator();
        break;
      case MenuKind::Item:
        AddItem(open.empty() ? static_cast<QWidget*>(this) : open.back(), e);
        break;
    }
  }

  // A model that has not been given the table yet learns the start states
  // from it, so the bar and the model agree from the first moment.
  for (const MenuEntry& e : table) {
    if (e.kind != MenuKind::Item || model_.Has(e.id)) continue;
    model_.Enable(e.id, !e.grayed);
    model_.Check(e.id, e.checked);
  }
  for (const auto& entry : actions_) Sync(entry.first);
  // The listener stays with the model after the bar is gone, and the bar may
  // also outlive the model (a main window destroys its members before its
  // child widgets), so neither side reaches into the other once it is gone.
  QPointer<MenuBar> alive(this);
  model_.SetListener([alive](int id, const MenuModel::State&) {
    if (alive) alive->Sync(id);
  });
}

MenuBar::~MenuBar() { actions_.clear(); }

std::vector<QAction*> MenuBar::ActionsFor(int id) const {
  auto it = actions_.find(id);
  return it == actions_.end() ? std::vector<QAction*>{} : it->second;
}

QAction* MenuBar::AddItem(QWidget* where, const MenuEntry& entry) {
  auto* action = new QAction(ActionText(entry.caption), where);
  action->setData(entry.id);
  // Whether the item shows a check mark is the model's call (see Sync).
  where->addAction(action);
  const int id = entry.id;
  connect(action, &QAction::triggered, this, [this, id] { Triggered(id); });
  actions_[id].push_back(action);
  return action;
}

void MenuBar::Triggered(int id) {
  // Qt has already flipped the check mark of a checkable action; the command
  // decides through the model, so put the model's state back afterwards.
  QPointer<MenuBar> alive(this);
  if (onCommand_) onCommand_(id);
  if (alive) Sync(id);
}

void MenuBar::Sync(int id) {
  auto it = actions_.find(id);
  if (it == actions_.end()) return;
  const bool enabled = model_.IsEnabled(id);
  const bool checked = model_.IsChecked(id);
  for (QAction* action : it->second) {
    action->setEnabled(enabled);
    // Only a checked item is checkable, so unchecked items show no empty
    // check box beside them, as menus without marks look on every desktop.
    action->setCheckable(checked);
    action->setChecked(checked);
  }
}

}  // namespace tw

// The Qt menu bar built from the main menu's table: its shape, its start states,
// and that it only ever shows what the MenuModel says.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "app/command_table.h"
#include "core/commands.h"
#include "menu/MenuBar.h"

namespace tw {
namespace {

// The action at a path of captions, from the top-level menu down.
QAction* Find(QWidget* from, const QStringList& path) {
  QAction* found = nullptr;
  for (const QString& caption : path) {
    if (from == nullptr) return nullptr;
    found = nullptr;
    for (QAction* a : from->actions()) {
      const QString text = a->menu() ? a->menu()->title() : a->text();
      if (text == caption) {
        found = a;
        break;
      }
    }
    if (found == nullptr) return nullptr;
    from = found->menu();
  }
  return found;
}

QMenu* FindMenu(QWidget* from, const QStringList& path) {
  QAction* a = Find(from, path);
  return a ? a->menu() : nullptr;
}

int Separators(QMenu* menu) {
  int n = 0;
  for (QAction* a : menu->actions()) n += a->isSeparator() ? 1 : 0;
  return n;
}

// Every command action under `from`, depth first.
void Commands(QWidget* from, std::vector<QAction*>& out) {
  for (QAction* a : from->actions()) {
    if (a->menu()) {
      Commands(a->menu(), out);
    } else if (!a->isSeparator()) {
      out.push_back(a);
    }
  }
}

class MenuBarTest : public ::testing::Test {
 protected:
  MenuModel model{MainMenuTable()};
  std::vector<int> ran;
  std::function<void(int)> onCommand;  // extra work a command does
  MenuBar bar{model,
              [this](int id) {
                ran.push_back(id);
                if (onCommand) onCommand(id);
              },
              MainMenuTable()};

  // Flips the model's check mark, as a toggled option does.
  void ToggleInModel(int id) { model.Check(id, !model.IsChecked(id)); }
};

TEST_F(MenuBarTest, ShapeFollowsTheTable) {
  QStringList titles;
  for (QAction* a : bar.actions()) titles << a->menu()->title();
  EXPECT_EQ(titles,
            (QStringList{"T&idewire", "&Modem", "&Test", "&Data", "&View", "Ma&p", "GPS", "UDP"}));

  struct Deep {
    QStringList path;
    int id;
  };
  for (const Deep& d : std::vector<Deep>{
           {{"&Test", "&Communications", "&Uplink", "Do Uplink from 5"}, cmd::UPLINK_FROM[5]},
           {{"&Data", "ACP", "Send File", "to Node 9"}, cmd::SEND_FILE_TO[9]},
           {{"&Test", "&Communications", "Commands", "Reboot", "Node 15"}, cmd::REBOOT_FIRST + 15},
           {{"&Test", "&Test Once\tF1"}, cmd::TEST_ONCE},
           {{"&Test", "&Other Messages", "Receiver Noise Diagnostic\t[100 ms]"},
            cmd::NOISE_DIAGNOSTIC[0]},
       }) {
    QAction* a = Find(&bar, d.path);
    ASSERT_NE(a, nullptr) << d.path.join(" / ").toStdString();
    EXPECT_EQ(a->data().toInt(), d.id) << d.path.join(" / ").toStdString();
  }

  EXPECT_EQ(Separators(FindMenu(&bar, {"T&idewire"})), 5);
  EXPECT_EQ(Separators(FindMenu(&bar, {"&Modem", "Set Modem Address"})), 1);
  EXPECT_EQ(Separators(FindMenu(&bar, {"&Test", "&Communications", "Commands"})), 2);
  EXPECT_EQ(Separators(FindMenu(&bar, {"&Test", "&Other Messages"})), 3);

  std::vector<QAction*> all;
  Commands(&bar, all);
  // With the chart, replay, F1, "Cancel File Sending", "Night View" and "Save History As...".
  EXPECT_EQ(all.size(), 292u);
  EXPECT_EQ(bar.ActionsFor(cmd::CONFIGURE_CUSTOM_STRING).size(), 3u);
  EXPECT_EQ(bar.ActionsFor(cmd::SHOW_GPS_MESSAGES).size(), 2u);
}

TEST_F(MenuBarTest, StartStatesShowOnTheActions) {
  std::vector<QAction*> all;
  Commands(&bar, all);
  QStringList checked;
  for (QAction* a : all) {
    // A check box is drawn only where there is a mark.
    EXPECT_EQ(a->isCheckable(), a->isChecked()) << a->text().toStdString();
    if (a->isChecked()) checked << a->text();
  }
  EXPECT_EQ(checked, (QStringList{"F1 Works in Every Program", "10 seconds", "80 bps: FSK Standard",
                                  "Show Modem Heartbeat"}));

  EXPECT_FALSE(Find(&bar, {"T&idewire", "Disconnect"})->isEnabled());
  EXPECT_TRUE(Find(&bar, {"T&idewire", "&Connect to Modem"})->isEnabled());
  EXPECT_FALSE(Find(&bar, {"GPS", "Disconnect"})->isEnabled());

  QAction* commands = Find(&bar, {"&Test", "&Communications", "Commands"});
  ASSERT_NE(commands, nullptr);
  EXPECT_FALSE(commands->isEnabled());
  EXPECT_FALSE(commands->menu()->isEnabled());
  EXPECT_TRUE(Find(&bar, {"&Test", "&Communications", "Data &Rates"})->isEnabled());
}

TEST_F(MenuBarTest, ModelChangesReachEveryPlaceOfACommand) {
  model.Enable(cmd::CONFIGURE_CUSTOM_STRING, false);
  for (QAction* a : bar.ActionsFor(cmd::CONFIGURE_CUSTOM_STRING)) EXPECT_FALSE(a->isEnabled());

  model.Check(cmd::SHOW_GPS_MESSAGES, true);
  EXPECT_TRUE(Find(&bar, {"&View", "Show GPS Messages"})->isChecked());
  EXPECT_TRUE(Find(&bar, {"GPS", "Show GPS Messages"})->isChecked());

  model.Check(cmd::SHOW_GPS_MESSAGES, false);
  model.Enable(cmd::DISCONNECT, true);
  for (QAction* a : bar.ActionsFor(cmd::SHOW_GPS_MESSAGES)) EXPECT_FALSE(a->isChecked());
  EXPECT_TRUE(Find(&bar, {"T&idewire", "Disconnect"})->isEnabled());
  EXPECT_FALSE(Find(&bar, {"GPS", "Disconnect"})->isEnabled());
}

TEST_F(MenuBarTest, TriggerRunsTheCommandButLeavesTheCheckMarkToTheModel) {
  QAction* incoming = Find(&bar, {"&View", "Show NMEA &Incoming"});
  QAction* tenSeconds = Find(&bar, {"&Test", "Test &Interval", "10 seconds"});
  incoming->trigger();
  tenSeconds->trigger();
  EXPECT_EQ(ran, (std::vector<int>{cmd::SHOW_NMEA_INCOMING, cmd::TEST_INTERVALS[5].id}));
  EXPECT_FALSE(incoming->isChecked());
  EXPECT_TRUE(tenSeconds->isChecked());

  // A command that toggles its option: the mark follows, in both places.
  onCommand = [this](int id) { ToggleInModel(id); };
  QAction* gpsInGps = Find(&bar, {"GPS", "Show GPS Messages"});
  QAction* gpsInView = Find(&bar, {"&View", "Show GPS Messages"});
  gpsInGps->trigger();
  EXPECT_TRUE(gpsInGps->isChecked());
  EXPECT_TRUE(gpsInView->isChecked());
  gpsInView->trigger();
  EXPECT_FALSE(gpsInGps->isChecked());
  EXPECT_FALSE(gpsInView->isChecked());
  EXPECT_EQ(ran.back(), cmd::SHOW_GPS_MESSAGES);
}

TEST_F(MenuBarTest, GrayedItemDoesNotRunItsCommand) {
  Find(&bar, {"T&idewire", "Disconnect"})->trigger();
  EXPECT_TRUE(ran.empty());
  model.Enable(cmd::DISCONNECT, true);
  Find(&bar, {"T&idewire", "Disconnect"})->trigger();
  EXPECT_EQ(ran, std::vector<int>{cmd::DISCONNECT});
}

TEST(MenuBarModel, EmptyModelLearnsTheStartStatesAndTheBarLetsGoOfIt) {
  MenuModel model;
  {
    MenuBar bar(
        model, [](int) {}, MainMenuTable());
    EXPECT_TRUE(model.IsChecked(cmd::SHOW_HEARTBEAT));
    EXPECT_FALSE(model.IsEnabled(cmd::DISCONNECT));
    EXPECT_TRUE(model.IsEnabled(cmd::CONNECT));
    EXPECT_TRUE(bar.ActionsFor(cmd::SHOW_HEARTBEAT).front()->isChecked());
  }
  // The bar is gone; a later change must not reach into it.
  model.Check(cmd::SHOW_HEARTBEAT, false);
  EXPECT_FALSE(model.IsChecked(cmd::SHOW_HEARTBEAT));
}

TEST(MenuBarModel, ModelMayGoBeforeTheBar) {
  // A main window destroys its members (the model) before its child widgets.
  auto model = std::make_unique<MenuModel>(MainMenuTable());
  auto bar = std::make_unique<MenuBar>(
      *model, [](int) {}, MainMenuTable());
  model.reset();
  QAction* heartbeat = bar->ActionsFor(cmd::SHOW_HEARTBEAT).front();
  EXPECT_TRUE(heartbeat->isChecked());
  bar.reset();
}

}  // namespace
}  // namespace tw

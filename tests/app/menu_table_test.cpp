// Structure, identifiers and start states of the main menu as the command
// table makes it. The identifier rules below are written out independently
// of commands.h, so a slip in either place shows up here.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/command_table.h"
#include "core/commands.h"

namespace tw {
namespace {

// An item with the captions of the popups above it, joined by '/'.
struct Placed {
  std::string path;
  std::string caption;
  int id;
  bool grayed;
  bool checked;
};

std::vector<Placed> Flatten(const std::vector<MenuEntry>& table) {
  std::vector<Placed> items;
  std::vector<std::string> path;
  auto joined = [&path] {
    std::string s;
    for (const std::string& p : path) s += (s.empty() ? "" : "/") + p;
    return s;
  };
  for (const MenuEntry& e : table) {
    if (e.kind == MenuKind::Popup) path.push_back(e.caption);
    if (e.kind == MenuKind::End && !path.empty()) path.pop_back();
    if (e.kind == MenuKind::Item) items.push_back({joined(), e.caption, e.id, e.grayed, e.checked});
  }
  return items;
}

// Items directly in the submenu at `path`, in order.
std::vector<Placed> ItemsIn(const std::string& path) {
  std::vector<Placed> out;
  for (const Placed& p : Flatten(MainMenuTable())) {
    if (p.path == path) out.push_back(p);
  }
  return out;
}

// The number a numbered caption ends with ("Ping Unit 13 " -> 13).
int TrailingNumber(std::string caption) {
  while (!caption.empty() && caption.back() == ' ') caption.pop_back();
  std::size_t start = caption.find_last_not_of("0123456789") + 1;
  return std::stoi(caption.substr(start));
}

// Checks a numbered submenu: numbers `first`..15 in order, each with the
// identifier `expected` gives for its number.
template <typename Rule>
void ExpectNumberedRun(const std::string& path, int first, Rule expected) {
  SCOPED_TRACE(path);
  std::vector<Placed> items = ItemsIn(path);
  ASSERT_EQ(items.size(), static_cast<std::size_t>(16 - first));
  for (std::size_t i = 0; i < items.size(); ++i) {
    int n = TrailingNumber(items[i].caption);
    EXPECT_EQ(n, first + static_cast<int>(i)) << items[i].caption;
    EXPECT_EQ(items[i].id, expected(n)) << items[i].caption;
  }
}

TEST(MenuTable, PopupsAreBalancedAndOnlyItemsCarryIdentifiers) {
  int depth = 0;
  for (const MenuEntry& e : MainMenuTable()) {
    ASSERT_NE(e.caption, nullptr);
    if (e.kind == MenuKind::Popup) ++depth;
    if (e.kind == MenuKind::End) --depth;
    ASSERT_GE(depth, 0) << "End without a Popup";
    if (e.kind == MenuKind::Item) {
      EXPECT_GT(e.id, 0) << e.caption;
      EXPECT_NE(std::string(e.caption), "") << e.id;
      EXPECT_GE(depth, 1) << "item outside any menu: " << e.caption;
    } else {
      EXPECT_EQ(e.id, 0) << e.caption;
      EXPECT_FALSE(e.checked) << e.caption;
    }
  }
  EXPECT_EQ(depth, 0);
}

TEST(MenuTable, EightTopLevelMenusInOrderWithAllTheirItems) {
  std::vector<std::string> titles;
  std::map<std::string, int> itemCount;
  int depth = 0;
  for (const MenuEntry& e : MainMenuTable()) {
    if (e.kind == MenuKind::Popup && depth++ == 0) titles.push_back(e.caption);
    if (e.kind == MenuKind::End) --depth;
    if (e.kind == MenuKind::Item) {
      ASSERT_FALSE(titles.empty());
      ++itemCount[titles.back()];
    }
  }
  EXPECT_EQ(titles, (std::vector<std::string>{"T&idewire", "&Modem", "&Test", "&Data", "&View",
                                              "Ma&p", "GPS", "UDP"}));
  // Tidewire with "Replay NMEA Log..." and "Save History As..."
  EXPECT_EQ(itemCount, (std::map<std::string, int>{{"T&idewire", 18},
                                                   {"&Modem", 35},
                                                   // with "F1 Works in Every Program"
                                                   {"&Test", 192},
                                                   {"&Data", 27},  // with "Cancel File Sending"
                                                   // with "Noise Spectrum &Chart..." and "Night View"
                                                   {"&View", 9},
                                                   {"Ma&p", 3},
                                                   {"GPS", 4},
                                                   {"UDP", 4}}));
}

TEST(MenuTable, CaptionsKeepTheirExactText) {
  std::set<std::string> captions;
  for (const Placed& p : Flatten(MainMenuTable())) {
    captions.insert(p.caption);
    EXPECT_EQ(p.caption.find('\\'), std::string::npos) << "escape written out: " << p.caption;
  }
  for (const char* c : {"Ping Unit 13 ", "&Test Once\bF1", "Minipacket  Commands...",
                        "Unsolicited  ACP Status\b[ACK]", "Average   [100ms]"}) {
    EXPECT_EQ(captions.count(c), 1u) << c;
  }
  EXPECT_EQ(captions.count("Ping Unit 12 "), 0u);
  EXPECT_EQ(ItemsIn("&Modem/&SELKA Commands ").size(), 4u);
  EXPECT_EQ(ItemsIn("&Test/Test &Interval").size(), 25u);
}

TEST(MenuTable, NumberedRunsMapEachNumberToItsIdentifier) {
  ExpectNumberedRun("&Modem/Set Modem Address", 0, [](int n) {
    if (n == 0) return 40039;
    if (n == 1) return 40091;
    if (n <= 5) return 40061 + n;
    if (n <= 7) return 40034 + n;
    return 40059 + n;
  });
  ExpectNumberedRun("&Test/&Communications/&Uplink", 1, [](int n) {
    if (n <= 5) return 40090 - n;
    if (n <= 11) return 40037 + n;
    if (n == 12) return 40062;
    return 40036 + n;
  });
  ExpectNumberedRun("&Test/&Communications/&Downlink", 1,
                    [](int n) { return n <= 5 ? 40082 - n : 40046 + n; });
  ExpectNumberedRun("&Test/&Networking", 0, [](int n) { return 40093 + n; });
  ExpectNumberedRun("&Data/ACP/Send File", 0, [](int n) {
    if (n == 8) return 40364;
    if (n == 9) return 40363;
    return 40355 + n;
  });
  ExpectNumberedRun("&Test/&Communications/Commands/Hibernate", 0, [](int n) { return 40234 + n; });
  ExpectNumberedRun("&Test/&Communications/Commands/Reboot", 0, [](int n) { return 40218 + n; });
}

TEST(MenuTable, ExtselSubmenusUseDistinctIdentifiersOfTheirRange) {
  std::set<int> ids;
  for (const char* sub : {"EXTSEL1 [0]", "EXTSEL1 [1]", "EXTSEL2 [0]", "EXTSEL2 [1]"}) {
    std::string path = std::string("&Test/&Communications/Commands/") + sub;
    std::vector<Placed> items = ItemsIn(path);
    ASSERT_EQ(items.size(), 16u) << path;
    for (std::size_t n = 0; n < items.size(); ++n) {
      EXPECT_EQ(items[n].caption, "Node " + std::to_string(n)) << path;
      EXPECT_GE(items[n].id, 40151) << path;
      EXPECT_LE(items[n].id, 40215) << path;
      ids.insert(items[n].id);
    }
  }
  EXPECT_EQ(ids.size(), 64u);
}

TEST(MenuTable, OnlyTheStartUpChoicesCarryCheckMarks) {
  std::set<std::string> checked;
  for (const Placed& p : Flatten(MainMenuTable())) {
    if (p.checked) checked.insert(p.path + "/" + p.caption);
  }
  EXPECT_EQ(checked,
            (std::set<std::string>{"&Test/Test &Interval/10 seconds",
                                   "&Test/&Communications/Data &Rates/80 bps: FSK Standard",
                                   "&View/Show Modem Heartbeat",
                                   // F1 runs Test Once in every program unless told not to
                                   "&Test/F1 Works in Every Program"}));
}

TEST(MenuTable, ExactlyTheListedItemsStartGrayed) {
  std::set<int> grayed;
  for (const Placed& p : Flatten(MainMenuTable())) {
    if (p.grayed) grayed.insert(p.id);
  }
  const std::set<int> expected = {
      cmd::DISCONNECT, cmd::NMEA_LOG_START, cmd::NMEA_LOG_RESTART, cmd::NMEA_LOG_STOP,
      cmd::DATA_LOG_START, cmd::DATA_LOG_RESTART, cmd::DATA_LOG_STOP, cmd::LOAD_NEW_EXECUTABLE,
      cmd::MINIPACKET_COMMANDS, cmd::TEST_ONCE, cmd::LOOP_TESTING, cmd::CONFIGURE_LBL,
      cmd::ACP_SEND_COMMAND, cmd::CCL_SEND_ABORT,
      cmd::CCL_REDIRECT, cmd::NOISE_SPECTRUM, cmd::GPS_DISCONNECT,
      // as a started program has them, without the map program's library
      cmd::SEND_COMMS_TO_MAP, cmd::SEND_GPS_TO_MAP};
  EXPECT_EQ(grayed, expected);

  std::vector<std::string> grayedPopups;
  for (const MenuEntry& e : MainMenuTable()) {
    if (e.kind == MenuKind::Popup && e.grayed) grayedPopups.push_back(e.caption);
  }
  EXPECT_EQ(grayedPopups, std::vector<std::string>{"Commands"});
}

TEST(MenuTable, OnlyTheSharedCommandsAppearTwice) {
  std::map<int, std::set<std::string>> captionsById;
  std::map<int, std::vector<std::string>> placesById;
  for (const Placed& p : Flatten(MainMenuTable())) {
    captionsById[p.id].insert(p.caption);
    placesById[p.id].push_back(p.path);
  }
  for (const auto& [id, captions] : captionsById) {
    EXPECT_EQ(captions.size(), 1u) << "identifier " << id << " has several captions";
  }
  std::map<int, std::vector<std::string>> repeated;
  for (const auto& [id, places] : placesById) {
    if (places.size() > 1) repeated[id] = places;
  }
  EXPECT_EQ(repeated, (std::map<int, std::vector<std::string>>{
                          {cmd::CONFIGURE_CUSTOM_STRING,
                           {"T&idewire", "&Test/&Other Messages", "&Data/Transmit Data"}},
                          {cmd::SHOW_GPS_MESSAGES, {"&View", "GPS"}}}));
}

}  // namespace
}  // namespace tw

// `--list-menu`: every menu command with its start state and its path.
#include "app/menu_listing.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/options.h"
#include "core/commands.h"

namespace tw::test {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string Listing() {
  const auto& table = MainMenuTable();
  return MenuListingText(table, StartMenuStates(table));
}

TEST(PlainCaption, DropsMnemonicsAndSetsOffTheRightPart) {
  EXPECT_EQ(PlainCaption("&Performance..."), "Performance...");
  EXPECT_EQ(PlainCaption("&Test Once\bF1"), "Test Once F1");
  EXPECT_EQ(PlainCaption("Salt && Pepper"), "Salt & Pepper");
  EXPECT_EQ(PlainCaption("T&idewire"), "Tidewire");
  EXPECT_EQ(PlainCaption(""), "");
}

TEST(MenuListing, OneLinePerItemAndEveryCommandIdentifierListed) {
  const auto lines = Lines(Listing());
  size_t items = 0;
  std::set<int> ids;
  for (const MenuEntry& e : MainMenuTable()) {
    if (e.kind != MenuKind::Item) continue;
    ++items;
    ids.insert(e.id);
  }
  EXPECT_EQ(lines.size(), items);
  std::set<int> listed;
  for (const std::string& line : lines) listed.insert(std::stoi(line));
  EXPECT_EQ(listed, ids);
}

TEST(MenuListing, PathsAndStartStatesAsTheProgramStarts) {
  const std::string text = Listing();
  for (const char* line : {
           "40031  enabled  View > Performance...\n",
           "40345  checked  View > Show Modem Heartbeat\n",
           "  257  grayed   Tidewire > Disconnect\n",
           "  256  enabled  Tidewire > Connect to Modem\n",
           "40308  grayed   Test > Test Once F1\n",
           "40128  checked  Test > Test Interval > 10 seconds\n",
           "40120  checked  Test > Communications > Data Rates > 80 bps: FSK Standard\n",
           "40282  grayed   View > Noise Spectrum\n",
           "40390  enabled  View > Noise Spectrum Chart...\n",
           // Inside the grayed "Commands" submenu every item is out of reach.
           "40151  grayed   Test > Communications > Commands > EXTSEL1 [0] > Node 0\n",
           // Without the map program's library.
           "40346  grayed   Map > Send GPS Fixes to Map\n",
           "40313  grayed   Map > Send Comms Data to Ozi Explorer\n",
       }) {
    EXPECT_NE(text.find(line), std::string::npos) << line;
  }
  // A command in three places has three lines.
  size_t count = 0;
  for (const std::string& l : Lines(text)) count += std::stoi(l) == cmd::CONFIGURE_CUSTOM_STRING;
  EXPECT_EQ(count, 3u);
}

TEST(MenuListing, IsAnOptionWithoutValue) {
  auto parsed = ParseOptions({"--list-menu"});
  ASSERT_TRUE(parsed.options);
  EXPECT_TRUE(parsed.options->listMenu);
  EXPECT_FALSE(ParseOptions({"--list-menu=yes"}).options);
  EXPECT_NE(UsageText().find("--list-menu"), std::string::npos);
}

}  // namespace
}  // namespace tw::test

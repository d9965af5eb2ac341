// Loading the map program's library: every name looked up in order, the
// three answers and what they leave behind, and the one call ever made.
#include "map/map_library.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "map/fake_map_library.h"

namespace tw::test {
namespace {

class MapLibraryTest : public ::testing::Test {
 protected:
  FakeSharedLibrary library;
  RunState state;
  MapLibrary map{library, state};
};

TEST_F(MapLibraryTest, LoadsAndLooksUpAllThirtyNineNamesInOrder) {
  EXPECT_EQ(map.MapLibraryLoad(), MAP_LOADED);
  EXPECT_EQ(state.mapAvailable, 1);
  EXPECT_TRUE(map.loaded());
  EXPECT_EQ(library.unloads, 0);
  ASSERT_EQ(library.lookups.size(), 39u);
  EXPECT_EQ(library.lookups.front(), "oziGetExePath");
  EXPECT_EQ(library.lookups[4], "oziCenterMapAtPositionWithMark");
  EXPECT_EQ(library.lookups[13], "oziClearTRK");
  EXPECT_EQ(library.lookups[36], "oziStartMMapi");
  EXPECT_EQ(library.lookups[37], "oziSendMMstring");
  EXPECT_EQ(library.lookups.back(), "oziStopMM");
  EXPECT_EQ(std::set<std::string>(library.lookups.begin(), library.lookups.end()).size(), 39u);
  EXPECT_EQ(FakeMapCalls().otherCalls, 0);  // looked up, never called
}

TEST_F(MapLibraryTest, MissingLibraryAnswersMinusOneAndLooksUpNothing) {
  library.present = false;
  state.mapAvailable = 1;  // whatever it was, the load decides
  EXPECT_EQ(map.MapLibraryLoad(), MAP_NO_LIBRARY);
  EXPECT_EQ(state.mapAvailable, 0);
  EXPECT_TRUE(library.lookups.empty());
  EXPECT_FALSE(map.loaded());
  map.SendMMString("$GPRMC,1\r");
  EXPECT_TRUE(FakeMapCalls().received.empty());
}

TEST_F(MapLibraryTest, MissingNameUnloadsTheLibraryAndKeepsNoAddress) {
  for (const char* name : {"oziGetExePath", "oziMTSendPosition", "oziStopMM"}) {
    SCOPED_TRACE(name);
    library.missing = {name};
    library.lookups.clear();
    library.unloads = 0;
    EXPECT_EQ(map.MapLibraryLoad(), MAP_NAME_MISSING);
    EXPECT_EQ(state.mapAvailable, 0);
    EXPECT_EQ(library.unloads, 1);
    EXPECT_FALSE(library.loaded);
    EXPECT_EQ(library.lookups.back(), name);  // the search stops at the gap
    EXPECT_FALSE(map.loaded());
    map.SendMMString("$GPRMC,1\r");
    EXPECT_TRUE(FakeMapCalls().received.empty());
  }
  // A later load of a whole library makes it available again.
  library.missing.clear();
  EXPECT_EQ(map.MapLibraryLoad(), MAP_LOADED);
  EXPECT_EQ(state.mapAvailable, 1);
}

TEST_F(MapLibraryTest, SendsTheSentenceThroughAPointerToACopy) {
  ASSERT_EQ(map.MapLibraryLoad(), MAP_LOADED);
  const std::string sentence = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,,*6A\r";
  map.SendMMString(sentence);
  map.SendMMString("");
  EXPECT_EQ(FakeMapCalls().received, (std::vector<std::string>{sentence, ""}));
  EXPECT_EQ(FakeMapCalls().otherCalls, 0);
}

// The Map menu's items follow `mapAvailable` (the command table's rules).
TEST_F(MapLibraryTest, EachLoadSaysWhetherTheLibraryIsThere) {
  for (bool present : {true, false}) {
    library.present = present;
    library.loaded = false;
    map.MapLibraryLoad();
    EXPECT_EQ(state.mapAvailable, present ? 1 : 0);
  }
}

}  // namespace
}  // namespace tw::test

// Loading real shared libraries through QLibrary: the stand-in built by the
// tests with all 39 names, the same without one, none at all, and a file that
// is no library.
#include <gtest/gtest.h>

#include <QtGlobal>
#include <fstream>
#include <string>
#include <vector>

#include "map/QtSharedLibrary.h"
#include "map/StandinProbe.h"
#include "map/map_library.h"
#include "support/program_fixture.h"

#ifdef Q_OS_UNIX
#include <dlfcn.h>
#endif

namespace tw::test {
namespace {

// Whether the process has the library at `path` mapped.
bool Mapped(const char* path) {
#ifdef Q_OS_UNIX
  void* handle = dlopen(path, RTLD_LAZY | RTLD_NOLOAD);
  if (handle != nullptr) dlclose(handle);
  return handle != nullptr;
#else
  (void)path;
  return false;
#endif
}

TEST(MapLibraryLoadTest, StandInWithEveryNameIsAvailableAndGetsTheSentence) {
  QtSharedLibrary library(TW_MAP_STANDIN);
  RunState state;
  MapLibrary map(library, state);
  ASSERT_EQ(map.MapLibraryLoad(), MAP_LOADED) << library.errorString().toStdString();
  EXPECT_EQ(state.mapAvailable, 1);
  EXPECT_TRUE(Mapped(TW_MAP_STANDIN));

  StandinProbe probe(TW_MAP_STANDIN);
  ASSERT_TRUE(probe.ok());
  probe.reset();
  const std::string sentence =
      "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r";
  map.SendMMString(sentence);
  map.SendMMString(sentence.substr(0, 20));
  EXPECT_EQ(probe.received(), (std::vector<std::string>{sentence, sentence.substr(0, 20)}));
  EXPECT_EQ(probe.otherCalls(), 0);
  EXPECT_EQ(probe.nullArguments(), 0);
}

TEST(MapLibraryLoadTest, StandInWithoutOneNameIsUnloadedAgain) {
  ASSERT_FALSE(Mapped(TW_MAP_STANDIN_PARTIAL));
  QtSharedLibrary library(TW_MAP_STANDIN_PARTIAL);
  RunState state;
  state.mapAvailable = 1;
  MapLibrary map(library, state);
  EXPECT_EQ(map.MapLibraryLoad(), MAP_NAME_MISSING);
  EXPECT_EQ(state.mapAvailable, 0);
  EXPECT_FALSE(map.loaded());
#ifdef Q_OS_UNIX
  EXPECT_FALSE(Mapped(TW_MAP_STANDIN_PARTIAL));
#endif
}

TEST(MapLibraryLoadTest, NoLibraryOrNoLibraryFileAnswersMinusOne) {
  TempDir folder;
  const std::string absent = (folder.path() / "liboziapi.so").string();
  const std::string garbage = (folder.path() / "garbage" / "liboziapi.so").string();
  std::filesystem::create_directories(folder.path() / "garbage");
  std::ofstream(garbage) << "not a library\n";
  for (const std::string& path : {absent, garbage}) {
    SCOPED_TRACE(path);
    QtSharedLibrary library(path);
    RunState state;
    MapLibrary map(library, state);
    EXPECT_EQ(map.MapLibraryLoad(), MAP_NO_LIBRARY);
    EXPECT_EQ(state.mapAvailable, 0);
    map.SendMMString("$GPRMC,1\r");  // nothing to call: must not crash
  }
}

}  // namespace
}  // namespace tw::test

// Entry point of the Qt tests: an offscreen QApplication, set up here
// because test discovery runs this binary outside CTest's environment.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

// Qt and the font libraries keep caches until exit on purpose; leak reports
// about them would drown real ones, so leak checking is for the logic tests.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }

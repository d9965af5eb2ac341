#include "core/cformat.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/posix.h"
#include "support/program_fixture.h"

namespace tw {
namespace {

TEST(CFormat, KeepsTheFormatExactlyWhateverTheLength) {
  EXPECT_EQ(cformat("[%02d:%02d:%02d] %s", 9, 5, 7, "x"), "[09:05:07] x");
  EXPECT_EQ(cformat("%s", ""), "");
  const std::string long_text(5000, 'a');
  EXPECT_EQ(cformat("%s!", long_text.c_str()).size(), 5001u);
}

// The operator's locale may use a decimal comma; the program's lines and
// sentences must not. A German locale is compiled into a temporary folder
// so the test does not depend on what the machine has installed.
TEST(CFormat, DecimalPointIsAPointUnderACommaLocale) {
  test::TempDir dir;
  const std::string out = (dir.path() / "de_DE.UTF-8").string();
  const std::string cmd = "localedef -i de_DE -f UTF-8 " + out + " >/dev/null 2>&1";
  if (std::system(cmd.c_str()) != 0 || !std::filesystem::exists(out)) {
    GTEST_SKIP() << "localedef cannot build de_DE here";
  }
  // Put back even when an assertion below returns early, so no later test
  // runs under the comma locale.
  struct Restore {
    std::string locale = std::setlocale(LC_NUMERIC, nullptr);
    const char* oldLocPath = std::getenv("LOCPATH");
    std::string locPath = oldLocPath ? oldLocPath : "";
    ~Restore() {
      std::setlocale(LC_NUMERIC, locale.c_str());
      if (oldLocPath) {
        setenv("LOCPATH", locPath.c_str(), 1);
      } else {
        unsetenv("LOCPATH");
      }
    }
  } restore;
  setenv("LOCPATH", dir.path().string().c_str(), 1);
  ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr);
  char probe[16];
  std::snprintf(probe, sizeof probe, "%3.1f", 1.5);
  ASSERT_STREQ(probe, "1,5");  // the locale really is a comma locale

  EXPECT_EQ(cformat("Ping: [%02d]=>[%02d]: %3.1f meters.", 1, 2, 1500.0),
            "Ping: [01]=>[02]: 1500.0 meters.");
  EXPECT_EQ(cformat("%5.1f", 75.0), " 75.0");
}

}  // namespace
}  // namespace tw

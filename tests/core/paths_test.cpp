// Paths from UTF-8 texts and back, the data root and the mapping of the
// program's Windows file names under it. The same cases run in the Linux
// build and, as a Windows program, under Wine.
#include "core/paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/program_fixture.h"

namespace tw {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
constexpr bool WINDOWS = true;
#else
constexpr bool WINDOWS = false;
#endif

// Names with two-, three- and four-byte UTF-8 characters.
const std::vector<std::pair<std::string, fs::path>> NAMES = {
    {"Meßdaten-é", fs::path(u8"Meßdaten-é")},
    {"Überfahrt 2007.CSV", fs::path(u8"Überfahrt 2007.CSV")},
    {"水深", fs::path(u8"水深")},
    {"buoy-\xF0\x9F\x8C\x8A.bin", fs::path(u8"buoy-\U0001F30A.bin")},
};

TEST(Utf8Paths, NamesMeanTheirCharactersBothWays) {
  for (const auto& [text, path] : NAMES) {
    SCOPED_TRACE(text);
    EXPECT_EQ(PathFromUtf8(text), path);
    EXPECT_EQ(PathFromUtf8(text).native(), path.native());
    EXPECT_EQ(PathToUtf8(path), text);
  }
  EXPECT_EQ(PathToUtf8(PathFromUtf8("a") / PathFromUtf8("ü")),
            WINDOWS ? std::string("a\\ü") : std::string("a/ü"));
}

TEST(Utf8Paths, FilesWithSuchNamesAreMadeFoundAndRead) {
  test::TempDir dir;
  const fs::path folder = dir.path() / PathFromUtf8("Daten-Ωmega");
  fs::create_directories(folder);
  for (const auto& [text, path] : NAMES) {
    SCOPED_TRACE(text);
    std::FILE* file = OpenFile(folder / PathFromUtf8(text), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs(text.c_str(), file);
    std::fclose(file);
    EXPECT_EQ(test::ReadFile(folder / path), text);
  }
  std::vector<std::string> listed;
  for (const auto& entry : fs::directory_iterator(folder)) {
    listed.push_back(PathToUtf8(entry.path().filename()));
  }
  std::sort(listed.begin(), listed.end());
  std::vector<std::string> expected;
  for (const auto& [text, path] : NAMES) expected.push_back(text);
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(listed, expected);
  EXPECT_EQ(OpenFile(folder / "missing" / "x", "rb"), nullptr);
}

// A node may send a title in Latin-1 or plain garbage: it must never throw,
// and the same bytes give the same name.
TEST(Utf8Paths, BytesThatAreNotUtf8NeverFail) {
  const std::vector<std::string> texts = {
      "caf\xE9",           // Latin-1
      "\xC3",              // cut short
      "\xC0\xAF",          // overlong "/"
      "\xED\xA0\x80",      // a surrogate
      "\xF4\x90\x80\x80",  // past U+10FFFF
      "\xFF\xFE",
  };
  for (const std::string& text : texts) {
    SCOPED_TRACE(testing::PrintToString(text));
    fs::path path;
    ASSERT_NO_THROW(path = PathFromUtf8(text));
    EXPECT_EQ(PathFromUtf8(text), path);
    EXPECT_NO_THROW(PathToUtf8(path));
    EXPECT_EQ(path.filename(), path) << "no byte may become a separator";
  }
  if (WINDOWS) {
    // Each stray byte stands for the Latin-1 character of its value.
    EXPECT_EQ(PathFromUtf8("caf\xE9"), fs::path(u8"café"));
    EXPECT_EQ(PathToUtf8(PathFromUtf8("caf\xE9")), "café");
    EXPECT_EQ(PathFromUtf8("\xC0\xAF"), fs::path(u8"À¯"));
  } else {
    // Names are bytes: kept as they came.
    EXPECT_EQ(PathToUtf8(PathFromUtf8("caf\xE9")), "caf\xE9");
  }
  test::TempDir dir;
  std::FILE* file = OpenFile(dir.path() / PathFromUtf8("caf\xE9"), "wb");
  ASSERT_NE(file, nullptr);
  std::fclose(file);
  EXPECT_TRUE(fs::exists(dir.path() / PathFromUtf8("caf\xE9")));
}

#ifdef _WIN32
// Windows names are UTF-16 and may hold a surrogate without its pair.
TEST(Utf8Paths, WindowsNamesWithABrokenSurrogateShowAsReplacement) {
  EXPECT_EQ(PathToUtf8(fs::path(std::wstring{L'a', wchar_t(0xD800), L'b'})),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(PathToUtf8(fs::path(std::wstring{wchar_t(0xDC00)})), "\xEF\xBF\xBD");
  EXPECT_EQ(PathToUtf8(fs::path(std::wstring{wchar_t(0xD83C), wchar_t(0xDF0A)})),
            "\xF0\x9F\x8C\x8A");
}
#endif

TEST(DataRootMapping, WindowsNamesMoveUnderTheRootNameByName) {
  const fs::path root = PathFromUtf8("Wörk") / "Tidewire";
  EXPECT_EQ(UnderDataRoot(root, "C:\\Tidewire\\Logs\\port1\\NMEA-2007-03-03-14-05-09.CSV"),
            root / "Logs" / "port1" / "NMEA-2007-03-03-14-05-09.CSV");
  EXPECT_EQ(UnderDataRoot(root, "C:\\Tidewire\\notes.txt"), root / "notes.txt");
  EXPECT_EQ(UnderDataRoot(root, "C:\\Tidewire\\"), root);
  EXPECT_EQ(UnderDataRoot(root, "C:\\Tidewire\\Logs\\Überfahrt\\x"),
            root / "Logs" / fs::path(u8"Überfahrt") / "x");
}

TEST(DataRootMapping, OnWindowsTheRootIsCTidewireAndNamesAreThemselves) {
  if (!WINDOWS) GTEST_SKIP() << "the data root is C:\\Tidewire on Windows only";
  const fs::path root = DefaultDataRoot();
  EXPECT_EQ(root, fs::path("C:\\Tidewire"));
  EXPECT_EQ(root / "Logs", fs::path("C:\\Tidewire\\Logs"));
  for (const char* name :
       {"C:\\Tidewire\\Logs\\port1\\NMEA-2007-03-03-14-05-09.CSV",
        "C:\\Tidewire\\Logs\\port16\\DATA-2026-12-31-23-59-59.BIN", "C:\\Tidewire\\received.txt"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(UnderDataRoot(root, name), fs::path(name));
    EXPECT_EQ(PathToUtf8(UnderDataRoot(root, name)), name);
  }
}

}  // namespace
}  // namespace tw

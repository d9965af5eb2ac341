// Configuration files whose text is not what the program reads: refused with
// one line that says why and where, and no setting taken from them.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "config/config_files.h"
#include "config/config_test_support.h"
#include "core/fixed_format.h"
#include "core/visible_text.h"
#include "support/fakes.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

TEST(ConfigTextTest, TextsThatAreNotUtf8XmlAreRefusedWithTheirReason) {
  // Each has a value the program would take, so a partial load would show.
  const std::string good = "<testInterval>3000</testInterval>";
  const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
  std::string utf16 = "\xFF\xFE";
  for (const char ch : ConfigDoc(good)) utf16 += std::string{ch, '\0'};
  const std::vector<std::pair<std::string, std::string>> cases = {
      {ConfigDoc(good + "<customString>$A&#0;B</customString>"),
       "the character reference \"&#0;\" in <customString> at byte 109 (line 3) stands for U+0000, "
       "which XML does not allow"},
      {ConfigDoc(good + "<customString>&#x1F;</customString>"),
       "\"&#x1F;\" in <customString> at byte 109 (line 3) stands for U+001F"},
      {ConfigDoc(good + "<customString>&#99999999999;</customString>"),
       "stands for U+110000, which"},
      {ConfigDoc(good + "<customString>&#x;</customString>"),
       "the character reference \"&#x;\" in <customString> at byte 109 (line 3) is not a valid "
       "one"},
      {ConfigDoc(good + "<customString>a\xE9</customString>"),
       "invalid UTF-8 at byte 110 (line 3)"},
      {ConfigDoc(good + "<customString>\xED\xA0\x80</customString>"), "invalid UTF-8 at byte"},
      {ConfigDoc(good + "\x01"), "character U+0001 at byte 95 (line 3) is one XML does not allow"},
      {ConfigDoc(good) + '\0', "character U+0000 at byte"},
      {utf16,
       "the file is not UTF-8 (it starts with the byte order mark of UTF-16); configuration "
       "files are read as UTF-8 only"},
      {"\xFE\xFF" + ConfigDoc(good), "byte order mark of UTF-16"},
      {std::string("<\0?\0x\0", 6), "NUL bytes at its start, as UTF-16 and UTF-32 files have"},
      {ConfigDoc(good).replace(30, 5, "ISO-8859-1"),
       "the file is not UTF-8 (it declares the encoding \"ISO-8859-1\")"},
      {ConfigDoc(good + "<x\xC3\x97y>1</x\xC3\x97y>"),
       "the element name <x\xC3\x97y> at byte 96 (line 3) is not an XML name"},
      {ConfigDoc(good + "<a\xE2\x80\xAE>1</a\xE2\x80\xAE>"),
       "<a\\xE2\\x80\\xAE> at byte 96 (line 3) is not an XML name"},
  };
  // The file as loaded from a temporary folder: the lines and the choices.
  const auto load = [](const std::string& text) {
    TempDir dir;
    FakeUi ui;
    RecordingTextOut out;
    Settings settings;
    ConfigFiles files(ui, out, settings, dir.path(), ConfigPorts{});
    std::ofstream(dir.path() / "bad.twc", std::ios::binary) << text;
    files.ConfigLoadFile(dir.path() / "bad.twc");
    return std::pair{out.lines, settings};
  };
  ASSERT_EQ(ConfigDoc(good).substr(0, declaration.size()), declaration);
  ASSERT_EQ(
      load("\xEF\xBB\xBF" + ConfigDoc(good + "<x\xC3\xA9>&#xE9;</x\xC3\xA9>")).second.testInterval,
      3000);
  for (const auto& [text, why] : cases) {
    SCOPED_TRACE(VisibleControls(text.substr(0, 80)));
    const auto [lines, settings] = load(text);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find(why), std::string::npos) << lines[0];
    EXPECT_TRUE(lines[0].ends_with("; no setting changed.")) << lines[0];
    ExpectSameChoices(settings, Settings{});
  }
}

}  // namespace
}  // namespace tw::test

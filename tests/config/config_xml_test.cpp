// The configuration format: one element per choice, the text escapes, and the
// values and documents a file may not hold (the round trip through a file is
// in config_files_test).
#include "config/config_xml.h"

#include <gtest/gtest.h>

#include <string>

#include "config/config_rules.h"
#include "config/config_test_support.h"
#include "core/settings_table.h"

namespace tw::test {
namespace {

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(ConfigXmlTest, FileHasRootVersionAndOneElementPerChoice) {
  Settings s;
  s.customString = AWKWARD_CUSTOM;
  const std::string xml = ConfigToXml(s);
  EXPECT_EQ(xml.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tidewire version=\"1\">\n", 0),
            0u);
  for (const SettingEntry& e : SettingsTable()) {
    EXPECT_EQ(Count(xml, "<" + e.name + ">"), 1u) << e.name;
  }
  EXPECT_NE(xml.find("<testInterval>10000</testInterval>"), std::string::npos);
  EXPECT_NE(xml.find("<customString>$CCTXD,1,2,0,&lt;&amp;&gt;\"'\\\\ \\t\\x01\\xE9 end\\r\\n"
                     "</customString>"),
            std::string::npos);
  // Plain ASCII throughout: no editor or line-ending change can alter a value.
  for (unsigned char c : xml) {
    EXPECT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7F)) << static_cast<int>(c);
  }
}

TEST(ConfigXmlTest, TextEscapesGoBothWays) {
  const std::string text = "a\\b\r\n\t\x01\x7F\xE9<";
  const std::string escaped = EscapeConfigText(text);
  EXPECT_EQ(escaped, "a\\\\b\\r\\n\\t\\x01\\x7F\\xE9<");
  std::string back, why;
  ASSERT_TRUE(UnescapeConfigText(escaped, back, why)) << why;
  EXPECT_EQ(back, text);
  ASSERT_TRUE(UnescapeConfigText("\\x4a\\x4A", back, why));
  EXPECT_EQ(back, "JJ");
  for (const char* bad : {"\\q", "ab\\", "\\x4", "\\x4G", "\\X41"}) {
    EXPECT_FALSE(UnescapeConfigText(bad, back, why)) << bad;
    EXPECT_NE(why.find("is no escape"), std::string::npos) << why;
  }
}

TEST(ConfigXmlTest, ChoicesTheFileDoesNotNameKeepTheirValue) {
  Settings current;
  current.showNmeaIncoming = 1;
  current.gpsPort.baudRate = 9600;
  const ConfigParse p =
      ConfigFromXml(ConfigDoc("<showHeartbeat>0</showHeartbeat>\n<testInterval> 300 "
                              "</testInterval><customString/>"),
                    current);
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_EQ(p.settings.showHeartbeat, 0);
  EXPECT_EQ(p.settings.testInterval, 300);
  EXPECT_EQ(p.settings.showNmeaIncoming, 1);
  EXPECT_EQ(p.settings.gpsPort.baudRate, 9600);
  EXPECT_EQ(p.settings.customString, "");
}

struct Refusal {
  const char* what;
  std::string body;  // inside the root element
  const char* why;   // part of the reason given
};

// Each file starts with a valid change, so taking part of a file would show.
const std::string VALID_START = "<showHeartbeat>0</showHeartbeat><lblPing>1</lblPing>";

TEST(ConfigXmlTest, ValuesOutsideWhatTheProgramCanSetAreRefused) {
  const Refusal refusals[] = {
      {"not a number", "<showGpsMessages>yes</showGpsMessages>", "is not a whole number"},
      {"number and junk", "<modemPortNumber>3x</modemPortNumber>", "is not a whole number"},
      {"empty number", "<modemPortNumber></modemPortNumber>", "is not a whole number"},
      {"beyond 32 bits", "<textColor>99999999999</textColor>", "is not a whole number"},
      {"flag 2", "<sendCustomString>2</sendCustomString>", "2 is not 0 or 1"},
      {"node flag", "<node3.logRaw>-1</node3.logRaw>", "-1 is not 0 or 1"},
      {"interval", "<testInterval>1234</testInterval>", "test intervals"},
      {"port 0", "<modemPortNumber>0</modemPortNumber>", "0 is outside 1..16"},
      {"port 17", "<gpsPortNumber>17</gpsPortNumber>", "17 is outside 1..16"},
      {"baud", "<modemBaudRate>1234</modemBaudRate>", "baud rates"},
      {"data bits", "<gpsByteSize>9</gpsByteSize>", "9 is outside 5..8"},
      {"parity", "<modemParity>5</modemParity>", "parities"},
      {"stop bits", "<modemStopBits>2</modemStopBits>", "stop bits"},
      {"frame kind", "<node0.protocol>99</node0.protocol>", "frame kind"},
      {"unlisted kind", "<node15.protocol>123</node15.protocol>", "frame kind"},
      {"colour", "<textColor>16777216</textColor>", "outside 0..16777215"},
      {"font height", "<fontHeight>5000</fontHeight>", "outside -1000..1000"},
      {"face name", "<fontFaceName>" + std::string(32, 'F') + "</fontFaceName>", "more than 31"},
      {"face control", "<fontFaceName>Mono\\n</fontFaceName>", "control characters"},
      {"no CR LF", "<customString>$CCCFQ,ALL</customString>", "ends in CR LF"},
      {"LF only", "<customString>$CCCFQ,ALL\\n</customString>", "ends in CR LF"},
      {"long custom", "<customString>" + std::string(1022, 'C') + "\\r\\n</customString>",
       "1024 characters are more than 1023"},
      {"bad escape", "<customString>\\q\\r\\n</customString>", "is no escape"},
      {"two sources", "<useCustomString>1</useCustomString><useNodeProtocol>1</useNodeProtocol>",
       "more than one source"},
      {"twice", "<lblPing>0</lblPing>", "<lblPing> appears twice"},
      {"nested value", "<showHeartbeat2><x/></showHeartbeat2><fontWidth><b>1</b></fontWidth>",
       "<fontWidth> holds elements"},
      {"stray text", "loose words", "text stands between"},
  };
  for (const Refusal& r : refusals) {
    SCOPED_TRACE(r.what);
    const ConfigParse p = ConfigFromXml(ConfigDoc(VALID_START + r.body), Settings{});
    EXPECT_FALSE(p.ok);
    EXPECT_NE(p.error.find(r.why), std::string::npos) << p.error;
  }
}

TEST(ConfigXmlTest, DocumentsThatAreNotAConfigurationAreRefused) {
  std::string deep;
  for (int k = 0; k < 17; ++k) deep += "<n>";
  for (int k = 0; k < 17; ++k) deep += "</n>";
  std::string hostileDepth;
  for (int k = 0; k < 30000; ++k) hostileDepth += "<n>";
  for (int k = 0; k < 30000; ++k) hostileDepth += "</n>";
  const struct {
    const char* what;
    std::string text;
    const char* why;
  } refusals[] = {
      {"empty", "", "not well-formed"},
      {"not XML", "showHeartbeat=0\n", "not well-formed"},
      {"unclosed", ConfigDoc("<showHeartbeat>0</showHeartbeat><lblPing>1"), "not well-formed"},
      {"wrong root", "<settings version=\"1\"><lblPing>1</lblPing></settings>",
       "root element is <settings>"},
      {"two roots", ConfigDoc(VALID_START) + "<tidewire version=\"1\"/>", "one root element"},
      {"no version", "<tidewire><lblPing>1</lblPing></tidewire>", "no format version"},
      {"newer version", ConfigDoc(VALID_START, "2"), "format version \"2\" is not supported"},
      {"odd version", ConfigDoc(VALID_START, "1.5"), "format version \"1.5\""},
      {"too deep", ConfigDoc(VALID_START + deep), "nested deeper than 16 levels"},
      {"far too deep", ConfigDoc(VALID_START + hostileDepth), ""},
      {"internal entity",
       "<?xml version=\"1.0\"?>\n<!DOCTYPE tidewire [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b "
       "\"&a;&a;&a;&a;&a;&a;&a;&a;\">]>\n<tidewire version=\"1\"><fontFaceName>&b;</"
       "fontFaceName></tidewire>",
       "document type"},
      {"external entity",
       "<!DOCTYPE tidewire [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
       "<tidewire version=\"1\"><fontFaceName>&x;</fontFaceName></tidewire>",
       "document type"},
      {"bare doctype", "<!DOCTYPE tidewire>" + ConfigDoc(VALID_START), "document type"},
      {"huge", ConfigDoc(VALID_START + "<!--" + std::string(CONFIG_FILE_MAX, 'x') + "-->"),
       "larger than 262144 bytes"},
  };
  for (const auto& r : refusals) {
    SCOPED_TRACE(r.what);
    const ConfigParse p = ConfigFromXml(r.text, Settings{});
    EXPECT_FALSE(p.ok);
    EXPECT_FALSE(p.error.empty());
    EXPECT_NE(p.error.find(r.why), std::string::npos) << p.error;
  }
}

// Every declaration's default passes its own rule, or the program's own
// file of start-up values would not load whole; texts have a text rule,
// flags of the menu the flag rule.
TEST(ConfigXmlTest, EveryDeclaredDefaultPassesItsOwnRule) {
  for (const SettingEntry& e : SettingsTable()) {
    EXPECT_EQ(e.kind == SettingKind::Text, e.rule.kind == SettingRule::Text) << e.name;
    if (e.kind == SettingKind::Toggle || e.kind == SettingKind::Choice) {
      EXPECT_EQ(e.rule.kind, SettingRule::Flag) << e.name;
    }
    if (e.kind == SettingKind::Text) {
      EXPECT_EQ(CheckSettingText(e, e.defaultText), "") << e.name;
    } else {
      EXPECT_EQ(CheckSettingNumber(e, e.defaultNumber), "") << e.name;
    }
  }
}

}  // namespace
}  // namespace tw::test

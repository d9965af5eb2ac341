// The configuration-parameter table and the band table: what has to hold for
// the reader, the interpreter's lines and the settings list to be drawn from
// them safely.
#include "protocol/config_params.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "protocol/nmea.h"

namespace tw {
namespace {

// Conversions in a C format: "%d" gives "d"; "%%" is no conversion.
std::string Conversions(const char* format) {
  std::string found;
  for (const char* c = format; *c; ++c) {
    if (*c != '%') continue;
    ++c;
    if (*c == '%') continue;
    while (*c && std::string_view("-+ #0123456789.").find(*c) != std::string_view::npos) ++c;
    found += *c;
    if (!*c) break;
  }
  return found;
}

TEST(ConfigParams, MnemonicsAreThreeCharactersAndCodesAndMnemonicsUnique) {
  std::set<std::string_view> mnemonics;
  std::set<int> codes;
  for (const ConfigParam& param : ConfigParams()) {
    EXPECT_EQ(param.mnemonic.size(), 3u) << param.mnemonic;
    EXPECT_TRUE(mnemonics.insert(param.mnemonic).second) << param.mnemonic;
    EXPECT_TRUE(codes.insert(param.code).second) << param.mnemonic;
    EXPECT_NE(param.code, CFG_MISSING) << param.mnemonic;
    EXPECT_NE(param.code, CFG_UNKNOWN) << param.mnemonic;
  }
}

// The reader takes the first entry whose mnemonic starts field 1; an entry
// after one that is a prefix of it could never be found.
TEST(ConfigParams, NoEntryIsHiddenByAnEarlierPrefix) {
  const auto& params = ConfigParams();
  for (size_t later = 0; later < params.size(); ++later) {
    for (size_t earlier = 0; earlier < later; ++earlier) {
      EXPECT_FALSE(params[later].mnemonic.starts_with(params[earlier].mnemonic))
          << params[earlier].mnemonic << " hides " << params[later].mnemonic;
    }
  }
}

TEST(ConfigParams, TheReaderNamesEveryParameterByItsCode) {
  for (const ConfigParam& param : ConfigParams()) {
    const std::string name(param.mnemonic);
    EXPECT_EQ(NMEAConfigParam("$CACFG," + name + ",1\r"), param.code) << name;
    EXPECT_EQ(NMEAConfigParam("$CACFG," + name + "*3A"), param.code) << name;
    EXPECT_EQ(FindConfigParam(name), &param) << name;
    EXPECT_EQ(FindConfigParamByCode(param.code), &param) << name;
  }
  EXPECT_EQ(FindConfigParam("SR"), nullptr);
  EXPECT_EQ(FindConfigParam("XYZ"), nullptr);
  EXPECT_EQ(FindConfigParamByCode(CFG_UNKNOWN), nullptr);
  EXPECT_EQ(FindConfigParamByCode(CFG_MISSING), nullptr);
  // A longer field is named by the mnemonic it starts with.
  EXPECT_EQ(NMEAConfigParam("$CACFG,SRCX,1"), CFG_SRC);
}

// Each kind of report takes exactly the arguments it is given; a format
// with another conversion would read what was never passed.
TEST(ConfigParams, ReportTextsFitTheirKind) {
  for (const ConfigParam& param : ConfigParams()) {
    SCOPED_TRACE(std::string(param.mnemonic));
    switch (param.report) {
      case ConfigReport::kSentence:
        EXPECT_EQ(param.text, nullptr);
        EXPECT_EQ(param.otherText, nullptr);
        continue;
      case ConfigReport::kUnit:
      case ConfigReport::kValue:
      case ConfigReport::kBaud:
        ASSERT_NE(param.text, nullptr);
        EXPECT_EQ(Conversions(param.text), "d");
        EXPECT_EQ(param.otherText, nullptr);
        break;
      case ConfigReport::kBand:
        ASSERT_NE(param.text, nullptr);
        ASSERT_NE(param.otherText, nullptr);
        EXPECT_EQ(Conversions(param.text), "cd");
        EXPECT_EQ(Conversions(param.otherText), "");
        break;
      case ConfigReport::kOnOff:
        ASSERT_NE(param.text, nullptr);
        ASSERT_NE(param.otherText, nullptr);
        EXPECT_EQ(Conversions(param.text), "");
        EXPECT_EQ(Conversions(param.otherText), "");
        EXPECT_STRNE(param.text, param.otherText);
        break;
    }
    // Every line names its parameter first, but the profile line.
    if (param.code != CFG_ALL) {
      EXPECT_TRUE(std::string_view(param.text).starts_with(std::string(param.mnemonic) + ":"));
      if (param.otherText) {
        EXPECT_TRUE(
            std::string_view(param.otherText).starts_with(std::string(param.mnemonic) + ":"));
      }
    }
  }
}

// The exceptions are written out here: KDL, CSD and DST are the only
// parameters without a line of their own, SRC is quiet for an address outside
// the 16 nodes.
TEST(ConfigParams, EveryParameterButTheExceptionsHasALine) {
  const std::set<std::string_view> noLine = {"KDL", "CSD", "DST"};
  for (const ConfigParam& param : ConfigParams()) {
    const std::optional<std::string> line = ConfigReportLine(param, 1);
    EXPECT_EQ(line.has_value(), !noLine.contains(param.mnemonic)) << param.mnemonic;
  }
  const ConfigParam& source = *FindConfigParamByCode(CFG_SRC);
  EXPECT_EQ(ConfigReportLine(source, 15), "SRC:Modem is Unit 15");
  EXPECT_EQ(ConfigReportLine(source, 16), std::nullopt);
  EXPECT_EQ(ConfigReportLine(source, -1), std::nullopt);
}

TEST(ConfigParams, LinesOfEachKind) {
  EXPECT_EQ(ConfigReportLine(*FindConfigParam("AGC"), 0), "AGC:Modem AGC disabled.");
  EXPECT_EQ(ConfigReportLine(*FindConfigParam("AGC"), -3), "AGC:Modem AGC enabled.");
  EXPECT_EQ(ConfigReportLine(*FindConfigParam("BR1"), 3), "BR1:Modem port 1 baud = 19200");
  EXPECT_EQ(ConfigReportLine(*FindConfigParam("BR2"), 8), "BR2:Modem port 2 baud = 0");
  EXPECT_EQ(ConfigReportLine(*FindConfigParam("PSV"), -7), "PSV:Modem power-save mode = -7");
  EXPECT_EQ(ConfigReportLine(*FindConfigParam("BND"), 1), "BND:Modem uses Band A, fc = 9760 Hz");
  EXPECT_EQ(ConfigReportLine(*FindConfigParam("BND"), 9), "BND:Modem uses unknown band.");
  EXPECT_EQ(ConfigReportLine(*FindConfigParam("CSD"), 1500), std::nullopt);
}

// What the settings dialog lets out is what each row's text gives in
// parentheses: "(0:255)" a range, "(1,2,3)" a list, no numbers nothing.
TEST(ConfigParams, ValuesAgreeWithTheParenthesesOfEachRow) {
  for (const ConfigParam& p : ConfigParams()) {
    if (!p.listText) continue;
    const std::string text = p.listText;
    const size_t open = text.rfind('(');
    const std::string inside =
        open == std::string::npos ? "" : text.substr(open + 1, text.rfind(')') - open - 1);
    std::string expected;
    if (p.values.kind == ParamValues::kRange) {
      expected = std::to_string(p.values.low) + ":" + std::to_string(p.values.high);
    } else if (p.values.kind == ParamValues::kList) {
      for (int32_t v = p.values.low; v <= p.values.high; ++v) {
        expected += (v > p.values.low ? "," : "") + std::to_string(v);
      }
    } else {
      EXPECT_EQ(inside.find_first_of("0123456789"), std::string::npos) << text;
      continue;
    }
    EXPECT_EQ(inside, expected) << text;
  }
}

}  // namespace
}  // namespace tw

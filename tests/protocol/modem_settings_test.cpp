// "Change Modem Settings": the parameter list drawn from the parameter table
// and the "$CCCFG" sentences Apply sends.
#include "protocol/modem_settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "core/commands.h"
#include "support/fakes.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

TEST(ModemSettings, ListHasThirtyNineRowsInAlphabeticalOrder) {
  const std::vector<const ConfigParam*>& rows = ModemSettingRows();
  ASSERT_EQ(rows.size(), 39u);
  for (size_t i = 1; i < rows.size(); ++i) {
    EXPECT_LT(rows[i - 1]->mnemonic, rows[i]->mnemonic) << "row " << i;
  }
  // The list keeps the rows the operator has always picked by position.
  EXPECT_EQ(rows.front()->mnemonic, "AGC");
  EXPECT_EQ(rows[22]->mnemonic, "NRV");
  EXPECT_EQ(rows.back()->mnemonic, "TXP");
}

TEST(ModemSettings, EveryRowShowsItsMnemonicFirst) {
  for (const ConfigParam* row : ModemSettingRows()) {
    ASSERT_NE(row->listText, nullptr) << row->mnemonic;
    EXPECT_TRUE(std::string_view(row->listText).starts_with(std::string(row->mnemonic) + ": "))
        << row->listText;
  }
}

// Texts that look like slips are the list's own, kept letter for letter.
TEST(ModemSettings, QuirkyRowTextsAreKept) {
  std::set<std::string> texts;
  for (const ConfigParam* row : ModemSettingRows()) texts.insert(row->listText);
  EXPECT_TRUE(texts.contains("PTO: Packet Timoeut (sec)"));
  EXPECT_TRUE(texts.contains("NRV: Number of Cycles to Revert "));
  EXPECT_TRUE(texts.contains("TXF: TXF Message off/on (0:1)"));
  EXPECT_TRUE(texts.contains("SRC: Source (this modem) address (0:15)"));
}

// Every parameter the modem takes a value for has its row; KDL and ALL are
// only ever reported.
TEST(ModemSettings, EveryParameterButKdlAndAllHasOneRow) {
  std::set<std::string_view> listed;
  for (const ConfigParam* row : ModemSettingRows()) {
    EXPECT_TRUE(listed.insert(row->mnemonic).second) << row->mnemonic;
  }
  for (const ConfigParam& param : ConfigParams()) {
    const bool reportOnly = param.mnemonic == "KDL" || param.mnemonic == "ALL";
    EXPECT_EQ(listed.contains(param.mnemonic), !reportOnly) << param.mnemonic;
  }
}

TEST(ModemSettings, SentenceCarriesTheValueAsTypedUpToThirtyNineCharacters) {
  EXPECT_EQ(ModemSettingSentence("NRV", "5"), "$CCCFG,NRV,5\r\n");
  EXPECT_EQ(ModemSettingSentence("AGC", ""), "$CCCFG,AGC,\r\n");
  EXPECT_EQ(ModemSettingSentence("CSD", " 1500.5 x"), "$CCCFG,CSD, 1500.5 x\r\n");
  const std::string value39(39, '7');
  EXPECT_EQ(ModemSettingSentence("DTO", value39), "$CCCFG,DTO," + value39 + "\r\n");
  EXPECT_EQ(ModemSettingSentence("DTO", value39 + "89"), "$CCCFG,DTO," + value39 + "\r\n");
}

TEST(ModemSettings, ApplySendsTheSelectedRowEachTimeAndNothingWithoutARow) {
  RecordingTextOut out;
  RecordingSink sink(&out);
  EXPECT_TRUE(ModemSettingApply(sink, 22, "5"));
  EXPECT_TRUE(ModemSettingApply(sink, 22, "5"));
  EXPECT_TRUE(ModemSettingApply(sink, 0, "1"));
  EXPECT_TRUE(ModemSettingApply(sink, 38, "0"));
  EXPECT_FALSE(ModemSettingApply(sink, -1, "1"));
  EXPECT_FALSE(ModemSettingApply(sink, 39, "1"));
  EXPECT_EQ(sink.sent, (std::vector<std::string>{"$CCCFG,NRV,5\r\n", "$CCCFG,NRV,5\r\n",
                                                 "$CCCFG,AGC,1\r\n", "$CCCFG,TXP,0\r\n"}));
  EXPECT_TRUE(out.lines.empty());
}

// A value outside the range or list its row gives, or one that would end or
// split the sentence, is refused with one line and nothing goes out.
TEST(ModemSettings, ApplyRefusesValuesTheRowDoesNotAllow) {
  const std::tuple<const char*, std::string, const char*> cases[] = {
      // parameter, value, the sentence sent or the refusal
      {"AGC", "abc", "AGC takes 0 or 1; \"abc\" was not sent."},
      {"AGC", "1", "$CCCFG,AGC,1\r\n"},
      {"BND", "4", "BND takes 1, 2 or 3; \"4\" was not sent."},
      {"AGN", " 255 ", "$CCCFG,AGN,255\r\n"},
      {"AGN", "256", "AGN takes a whole number from 0 to 255; \"256\" was not sent."},
      {"SRC", "1.5", "SRC takes a whole number from 0 to 15; \"1.5\" was not sent."},
      {"TXF", "99999999999", "TXF takes a whole number from 0 to 1; \"99999999999\" was not sent."},
      {"CSD", "1500.5", "$CCCFG,CSD,1500.5\r\n"},  // no range given: as typed
      {"NRV", "", "$CCCFG,NRV,\r\n"},
      {"CRL", "5,ALL",
       "CRL: \"5,ALL\" was not sent: a value holds no comma, '*', '$' or control character."},
      {"DTO", "1\r\n$CCCFG",
       "DTO: \"1\\x0D\\x0A$CCCFG\" was not sent: a value holds no comma, '*', '$' or control "
       "character."},
  };
  const auto& rows = ModemSettingRows();
  for (const auto& [mnemonic, value, outcome] : cases) {
    const auto row = std::find_if(rows.begin(), rows.end(),
                                  [&](const ConfigParam* p) { return p->mnemonic == mnemonic; });
    RecordingSink sink;
    std::string refusal;
    ModemSettingApply(sink, static_cast<int>(row - rows.begin()), value, &refusal);
    EXPECT_EQ(sink.sent.empty() ? refusal : sink.sent.front(), outcome) << mnemonic << value;
    EXPECT_LE(sink.sent.size() + !refusal.empty(), 1u);
  }
}

// Through the program's own sender, which refuses while the port is closed.
class ModemSettingsInProgram : public ProgramTest {};

TEST_F(ModemSettingsInProgram, ApplyGoesOutOnThePortOrTheOperatorIsTold) {
  TakeLines();
  EXPECT_TRUE(ModemSettingApply(program->sender(), 0, "1"));
  EXPECT_EQ(TakeLines(), std::vector<std::string>{"Error: Not Connected!"});

  auto port = Connect();
  TakeLines();
  EXPECT_TRUE(ModemSettingApply(program->sender(), 3, "2"));
  EXPECT_EQ(port->written, "$CCCFG,BND,2\r\n");
  EXPECT_TRUE(TakeLines().empty());
}

// The dialog is handed what the modem last reported, which a closed port
// forgets; factory defaults go out only after OK.
TEST_F(ModemSettingsInProgram, ConfigureShowsReportsAndFactoryDefaultsAskFirst) {
  auto port = Connect();
  const std::string reports = "$CACFG,AGC,1\r\n$CACFG,BND,2*3A\r\n$CACFG,XYZ,7\r\n";
  auto report = [&] {
    port->incoming.insert(port->incoming.end(), reports.begin(), reports.end());
    program->CommPoll();
  };
  report();
  program->OnCommand(cmd::CONFIGURE_MODEM);
  ASSERT_NE(dialogs.reportedConfig, nullptr);
  const ReportedConfig& reported = *dialogs.reportedConfig;
  EXPECT_EQ(ReportedValueLine(reported, *FindConfigParam("BND")), "Modem's value: \"2\"");
  EXPECT_EQ(reported.Last("AGN"), std::nullopt);

  port->written.clear();
  for (const bool ok : {false, true}) {
    dialogs.factoryDefaultsAnswer = ok;
    TakeLines();
    program->OnCommand(cmd::USE_FACTORY_DEFAULTS);
    EXPECT_EQ(port->written, ok ? "$CCCFG,ALL,0\r\n" : "");
    EXPECT_EQ(TakeLines().size(), ok ? 1u : 0u);
    EXPECT_EQ(reported.Last("AGC"), ok ? std::nullopt : std::optional<std::string>("1"));
  }
  report();
  program->OnCommand(cmd::DISCONNECT);
  EXPECT_EQ(reported.Last("AGC"), std::nullopt);
  EXPECT_EQ(std::count(dialogs.opened.begin(), dialogs.opened.end(), "factory defaults?"), 2);
}

}  // namespace
}  // namespace tw::test

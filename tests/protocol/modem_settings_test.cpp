// "Change Modem Settings": the parameter list drawn from the parameter table
// and the "$CCCFG" sentences Apply sends.
#include "protocol/modem_settings.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>
#include <vector>

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
  EXPECT_TRUE(ModemSettingApply(sink, 38, ""));
  EXPECT_FALSE(ModemSettingApply(sink, -1, "1"));
  EXPECT_FALSE(ModemSettingApply(sink, 39, "1"));
  EXPECT_EQ(sink.sent, (std::vector<std::string>{"$CCCFG,NRV,5\r\n", "$CCCFG,NRV,5\r\n",
                                                 "$CCCFG,AGC,1\r\n", "$CCCFG,TXP,\r\n"}));
  EXPECT_TRUE(out.lines.empty());
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

}  // namespace
}  // namespace tw::test

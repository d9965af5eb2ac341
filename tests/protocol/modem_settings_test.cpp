// "Change Modem Settings": the parameter list and the "$CCCFG" sentences
// Apply sends.
#include "protocol/modem_settings.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/program_fixture.h"

namespace tw::test {
namespace {

TEST(ModemSettings, ListIsAlphabeticalAndEachTextNamesItsMnemonic) {
  ASSERT_EQ(MODEM_SETTINGS.size(), 39u);
  for (size_t i = 0; i < MODEM_SETTINGS.size(); ++i) {
    const std::string mnemonic = MODEM_SETTINGS[i].mnemonic;
    EXPECT_EQ(std::string(MODEM_SETTINGS[i].listText).rfind(mnemonic + ": ", 0), 0u) << i;
    if (i > 0) {
      EXPECT_LT(std::strcmp(MODEM_SETTINGS[i - 1].mnemonic, mnemonic.c_str()), 0) << i;
    }
  }
  EXPECT_STREQ(MODEM_SETTINGS[22].listText, "NRV: Number of Cycles to Revert ");
  EXPECT_STREQ(MODEM_SETTINGS[38].listText, "TXP: TXP Message off/on (0:1)");
}

TEST(ModemSettings, SentenceCarriesTheValueAsTypedUpToThirtyNineCharacters) {
  EXPECT_EQ(ModemSettingSentence("NRV", "5"), "$CCCFG,NRV,5\r\n");
  EXPECT_EQ(ModemSettingSentence("AGC", ""), "$CCCFG,AGC,\r\n");
  EXPECT_EQ(ModemSettingSentence("CSD", " 1500.5 x"), "$CCCFG,CSD, 1500.5 x\r\n");
  const std::string value39(39, '7');
  EXPECT_EQ(ModemSettingSentence("DTO", value39), "$CCCFG,DTO," + value39 + "\r\n");
  EXPECT_EQ(ModemSettingSentence("DTO", value39 + "89"), "$CCCFG,DTO," + value39 + "\r\n");
}

class ModemSettingsApply : public ProgramTest {};

TEST_F(ModemSettingsApply, SendsTheSelectedRowEachTimeAndNothingWithoutARow) {
  auto port = Connect();
  TakeLines();
  EXPECT_TRUE(ModemSettingApply(*program, 22, "5"));
  EXPECT_TRUE(ModemSettingApply(*program, 22, "5"));
  EXPECT_TRUE(ModemSettingApply(*program, 38, ""));
  EXPECT_FALSE(ModemSettingApply(*program, -1, "1"));
  EXPECT_FALSE(ModemSettingApply(*program, 39, "1"));
  EXPECT_EQ(port->written, "$CCCFG,NRV,5\r\n$CCCFG,NRV,5\r\n$CCCFG,TXP,\r\n");
  EXPECT_TRUE(TakeLines().empty());
}

TEST_F(ModemSettingsApply, WithoutAPortTheOperatorIsTold) {
  TakeLines();
  ModemSettingApply(*program, 0, "1");
  EXPECT_EQ(TakeLines(), std::vector<std::string>{"Error: Not Connected!"});
}

}  // namespace
}  // namespace tw::test

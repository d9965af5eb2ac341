// "Change Modem Settings": the parameter list and the "$CCCFG" sentences
// Apply sends.
#include "protocol/modem_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/program_fixture.h"

namespace tw::test {
namespace {

TEST(ModemSettings, ListShowsEveryParameterInOrder) {
  // Letter for letter, the misspelt "Timoeut" and the space after NRV's text included.
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"AGC", "AGC: AGC on/off (0,1)"},
      {"AGN", "AGN: Analog Gain (0:255)"},
      {"ASD", "ASD: Always Send Data (0,1)"},
      {"BND", "BND: Comms Band (1,2,3)"},
      {"BR1", "BR1: Baud for port 1 (0:7)"},
      {"BR2", "BR2: Baud for port 2 (0:7)"},
      {"CLK", "CLK: CLK Message off/on (0,1)"},
      {"CRL", "CRL: CI Reverb Lockout (msec)"},
      {"CSD", "CSD: Soundspeed (m/s)"},
      {"CTO", "CTO: CI Timeout (sec)"},
      {"DBG", "DBG: Debug messages off/on (0,1)"},
      {"DOP", "DOP: Doppler message off/on (0,1)"},
      {"DQF", "DQF: DQF message off/on (0,1)"},
      {"DST", "DST: Dest. Address (0:15)"},
      {"DTH", "DTH: COMMS Detect Threshold"},
      {"DTO", "DTO: Data Timeout (sec)"},
      {"ECD", "ECD: End of Cycle Delay (sec)"},
      {"MFC", "MFC: MFD Calibration (bb samples)"},
      {"MFD", "MFD: MFD Message off/on (0,1)"},
      {"NDT", "NDT: Nav Det Threshold"},
      {"NPT", "NPT: Nav Power Thresh"},
      {"NRL", "NRL: NAV Reverb Lockout (ms)"},
      {"NRV", "NRV: Number of Cycles to Revert "},
      {"NTO", "NTO: NAV Reply Timeout (sec)"},
      {"PRL", "PRL: Packet Reverb Lockout (msec)"},
      {"PSV", "PSV: Power Save Mode"},
      {"PTH", "PTH: Comms Power Threshold"},
      {"PTO", "PTO: Packet Timoeut (sec)"},
      {"REV", "REV: REV Message off/on (0,1)"},
      {"RHC", "RHC: Receiver hopping code (1:7)"},
      {"RXA", "RXA: RXA Message off/on (0,1)"},
      {"RXD", "RXD: RXD Message off/on (0,1)"},
      {"SHF", "SHF: SHF Message off/on (0,1)"},
      {"SRC", "SRC: Source (this modem) address (0:15)"},
      {"TAT", "TAT: Ping Turn Around Time (msec)"},
      {"THC", "THC: Transmit Hopping Code (1:7)"},
      {"TXD", "TXD: Transmit Delay (msec)"},
      {"TXF", "TXF: TXF Message off/on (0:1)"},
      {"TXP", "TXP: TXP Message off/on (0:1)"},
  };
  std::vector<std::pair<std::string, std::string>> actual;
  for (const ModemSetting& row : MODEM_SETTINGS) actual.emplace_back(row.mnemonic, row.listText);
  EXPECT_EQ(actual, expected);
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

#include "protocol/modem_settings.h"

#include "app/program.h"

namespace tw {

const std::array<ModemSetting, MODEM_SETTING_COUNT> MODEM_SETTINGS = {{
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
}};

std::string ModemSettingSentence(const std::string& mnemonic, const std::string& value) {
  // Judging the value is the modem's business; its reply shows what it made
  // of it.
  return "$CCCFG," + mnemonic + "," + value.substr(0, MODEM_SETTING_VALUE_MAX) + "\r\n";
}

bool ModemSettingApply(Program& program, int index, const std::string& value) {
  if (index < 0 || index >= MODEM_SETTING_COUNT) return false;
  program.SendSentence(
      ModemSettingSentence(MODEM_SETTINGS[static_cast<size_t>(index)].mnemonic, value));
  return true;
}

}  // namespace tw

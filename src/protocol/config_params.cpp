#include "protocol/config_params.h"

#include <algorithm>

#include "core/fixed_format.h"
#include "core/settings.h"

namespace tw {

namespace {

using enum ConfigReport;

constexpr ParamValues Any() { return {}; }
constexpr ParamValues Range(int32_t low, int32_t high) { return {ParamValues::kRange, low, high}; }
constexpr ParamValues List(int32_t low, int32_t high) { return {ParamValues::kList, low, high}; }

// Reader order. The list texts are shown letter for letter, the misspelt
// "Timoeut" and the space after NRV's text included; the values are those
// each text gives in parentheses.
constexpr std::array<ConfigParam, CONFIG_PARAM_COUNT> CONFIG_PARAMS{{
    {"SRC", CFG_SRC, kUnit, "SRC:Modem is Unit %d", nullptr,
     "SRC: Source (this modem) address (0:15)", Range(0, 15)},
    {"DST", CFG_DST, kSentence, nullptr, nullptr, "DST: Dest. Address (0:15)", Range(0, 15)},
    {"BND", CFG_BND, kBand, "BND:Modem uses Band %c, fc = %d Hz", "BND:Modem uses unknown band.",
     "BND: Comms Band (1,2,3)", List(1, 3)},
    {"RHC", CFG_RHC, kValue, "RHC:Modem receiver hopping code = %d", nullptr,
     "RHC: Receiver hopping code (1:7)", Range(1, 7)},
    {"THC", CFG_THC, kValue, "THC:Modem transmitter hopping code = %d", nullptr,
     "THC: Transmit Hopping Code (1:7)", Range(1, 7)},
    {"BR1", CFG_BR1, kBaud, "BR1:Modem port 1 baud = %d", nullptr, "BR1: Baud for port 1 (0:7)",
     Range(0, 7)},
    {"BR2", CFG_BR2, kBaud, "BR2:Modem port 2 baud = %d", nullptr, "BR2: Baud for port 2 (0:7)",
     Range(0, 7)},
    {"PTH", CFG_PTH, kValue, "PTH:Modem COMMS power threshold = %d", nullptr,
     "PTH: Comms Power Threshold", Any()},
    {"DTH", CFG_DTH, kValue, "DTH:Modem COMMS detect threshold = %d", nullptr,
     "DTH: COMMS Detect Threshold", Any()},
    {"NPT", CFG_NPT, kValue, "NPT:Modem NAV power threshold = %d", nullptr, "NPT: Nav Power Thresh",
     Any()},
    {"NDT", CFG_NDT, kValue, "NDT:Modem NAV detect threshold = %d", nullptr,
     "NDT: Nav Det Threshold", Any()},
    {"NTO", CFG_NTO, kValue, "NTO:Modem NAV timeout = %d sec", nullptr,
     "NTO: NAV Reply Timeout (sec)", Any()},
    {"KDL", CFG_KDL, kSentence, nullptr, nullptr, nullptr, Any()},
    {"CSD", CFG_CSD, kSentence, nullptr, nullptr, "CSD: Soundspeed (m/s)", Any()},
    {"AGC", CFG_AGC, kOnOff, "AGC:Modem AGC enabled.", "AGC:Modem AGC disabled.",
     "AGC: AGC on/off (0,1)", List(0, 1)},
    {"AGN", CFG_AGN, kValue, "AGN:Modem analog gain = %d", nullptr, "AGN: Analog Gain (0:255)",
     Range(0, 255)},
    {"ASD", CFG_ASD, kOnOff, "ASD:Modem always sends data.", "ASD:Modem only sends user data.",
     "ASD: Always Send Data (0,1)", List(0, 1)},
    {"CLK", CFG_CLK, kOnOff, "CLK:Modem clock message enabled.",
     "CLK:Modem clock message disabled.", "CLK: CLK Message off/on (0,1)", List(0, 1)},
    {"CRL", CFG_CRL, kValue, "CRL:Modem CI reverb lockout = %d ms", nullptr,
     "CRL: CI Reverb Lockout (msec)", Any()},
    {"CTO", CFG_CTO, kValue, "CTO:Modem CI timeout = %d sec", nullptr, "CTO: CI Timeout (sec)",
     Any()},
    {"DBG", CFG_DBG, kOnOff, "DBG:Modem debug messages enabled.",
     "DBG:Modem debug messages disabled.", "DBG: Debug messages off/on (0,1)", List(0, 1)},
    {"DOP", CFG_DOP, kOnOff, "DOP:Modem doppler messages enabled.",
     "DOP:Modem doppler messages disabled.", "DOP: Doppler message off/on (0,1)", List(0, 1)},
    {"DQF", CFG_DQF, kOnOff, "DQF:Modem quality factor messages enabled.",
     "DQF:Modem quality factor messages disabled.", "DQF: DQF message off/on (0,1)", List(0, 1)},
    {"DTO", CFG_DTO, kValue, "DTO:Modem serial data timeout = %d sec", nullptr,
     "DTO: Data Timeout (sec)", Any()},
    {"ECD", CFG_ECD, kValue, "ECD:Modem end-of-cycle delay = %d ms", nullptr,
     "ECD: End of Cycle Delay (sec)", Any()},
    {"MFC", CFG_MFC, kValue, "MFC:Modem detect timing calibration = %d bb samples", nullptr,
     "MFC: MFD Calibration (bb samples)", Any()},
    {"MFD", CFG_MFD, kOnOff, "MFD:Modem detector messages enabled.",
     "MFD:Modem detector messages disabled.", "MFD: MFD Message off/on (0,1)", List(0, 1)},
    {"NRL", CFG_NRL, kValue, "NRL:Modem NAV reverb lockout = %d ms", nullptr,
     "NRL: NAV Reverb Lockout (ms)", Any()},
    {"NRV", CFG_NRV, kValue, "NRV:Modem maximum REV messages = %d", nullptr,
     "NRV: Number of Cycles to Revert ", Any()},
    {"PRL", CFG_PRL, kValue, "PRL:Modem PKT reverb lockout = %d ms", nullptr,
     "PRL: Packet Reverb Lockout (msec)", Any()},
    {"PSV", CFG_PSV, kValue, "PSV:Modem power-save mode = %d", nullptr, "PSV: Power Save Mode",
     Any()},
    {"PTO", CFG_PTO, kValue, "PTO:Modem packet timeout = %d sec", nullptr,
     "PTO: Packet Timoeut (sec)", Any()},
    {"REV", CFG_REV, kOnOff, "REV:Modem revision messages enabled.",
     "REV:Modem revision messages disabled.", "REV: REV Message off/on (0,1)", List(0, 1)},
    {"RXA", CFG_RXA, kOnOff, "RXA:Modem ascii data messages enabled.",
     "RXA:Modem ascii data messages disabled.", "RXA: RXA Message off/on (0,1)", List(0, 1)},
    {"RXD", CFG_RXD, kOnOff, "RXD:Modem binary data messages enabled.",
     "RXD:Modem binary data messages disabled.", "RXD: RXD Message off/on (0,1)", List(0, 1)},
    {"SHF", CFG_SHF, kOnOff, "SHF:Modem shift messages enabled.",
     "SHF:Modem shift messages disabled.", "SHF: SHF Message off/on (0,1)", List(0, 1)},
    {"TAT", CFG_TAT, kValue, "TAT:Modem xponder turn-around time = %d msec", nullptr,
     "TAT: Ping Turn Around Time (msec)", Any()},
    {"TXD", CFG_TXD, kValue, "TXD:Modem transmit delay = %d ms", nullptr,
     "TXD: Transmit Delay (msec)", Any()},
    {"TXP", CFG_TXP, kOnOff, "TXP:Modem TX Start messages enabled.",
     "TXP:Modem TX Start messages disabled.", "TXP: TXP Message off/on (0:1)", Range(0, 1)},
    {"TXF", CFG_TXF, kOnOff, "TXF:Modem TX Finished messages enabled.",
     "TXF:Modem TX Finished messages disabled.", "TXF: TXF Message off/on (0:1)", Range(0, 1)},
    {"ALL", CFG_ALL, kValue, "Modem Using Config Profile [%d]", nullptr, nullptr, Any()},
}};

// Baud rates of the "BR1" and "BR2" codes 0..7; any other code is 0.
constexpr std::array<int32_t, 8> BAUD_RATES = {2400,  4800,  9600,   19200,
                                               38400, 57600, 115200, 230400};

int32_t BaudRateOfCode(int32_t code) {
  if (code < 0 || code >= static_cast<int32_t>(BAUD_RATES.size())) return 0;
  return BAUD_RATES[static_cast<size_t>(code)];
}

}  // namespace

const std::array<ConfigParam, CONFIG_PARAM_COUNT>& ConfigParams() { return CONFIG_PARAMS; }

const ConfigParam* FindConfigParam(std::string_view field) {
  const auto match =
      std::find_if(CONFIG_PARAMS.begin(), CONFIG_PARAMS.end(),
                   [&](const ConfigParam& p) { return field.starts_with(p.mnemonic); });
  return match == CONFIG_PARAMS.end() ? nullptr : &*match;
}

const ConfigParam* FindConfigParamByCode(int code) {
  const auto match = std::find_if(CONFIG_PARAMS.begin(), CONFIG_PARAMS.end(),
                                  [code](const ConfigParam& p) { return p.code == code; });
  return match == CONFIG_PARAMS.end() ? nullptr : &*match;
}

// The formats with a value take exactly one %d; the band's takes %c and %d.
std::optional<std::string> ConfigReportLine(const ConfigParam& param, int32_t value) {
  switch (param.report) {
    case kSentence:
      return std::nullopt;
    case kUnit:
      if (value < 0 || value >= NODE_COUNT) return std::nullopt;
      return FixedFormat(RuntimeFormat{param.text}, value);
    case kBand:
      if (const ModemBand* band = FindModemBand(value)) {
        return FixedFormat(RuntimeFormat{param.text}, band->letter, band->centreHz);
      }
      return param.otherText;
    case kValue:
      return FixedFormat(RuntimeFormat{param.text}, value);
    case kOnOff:
      return value != 0 ? param.text : param.otherText;
    case kBaud:
      return FixedFormat(RuntimeFormat{param.text}, BaudRateOfCode(value));
  }
  return std::nullopt;
}

}  // namespace tw

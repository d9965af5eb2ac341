// The modem's configuration parameters, once: the mnemonic a "$CACFG" report
// and a "$CCCFG" command carry, the code the sentence reader names it by, the
// line the interpreter shows for a report, and the text of its row in the
// "Change Modem Settings" list. Also the modem's frequency bands, which the
// "BND" parameter selects.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tw {

// ---------------------------------------------------------------------------
// Codes of the parameters, as NMEAConfigParam returns them. 1310 and 1319 are
// not used.

constexpr int CFG_MISSING = 1024;  // no field 1
constexpr int CFG_UNKNOWN = 1279;
constexpr int CFG_SRC = 1281;
constexpr int CFG_DST = 1282;
constexpr int CFG_BND = 1283;
constexpr int CFG_RHC = 1284;
constexpr int CFG_THC = 1285;
constexpr int CFG_BR1 = 1286;
constexpr int CFG_BR2 = 1287;
constexpr int CFG_PTH = 1288;
constexpr int CFG_DTH = 1289;
constexpr int CFG_NPT = 1290;
constexpr int CFG_NDT = 1291;
constexpr int CFG_NTO = 1292;
constexpr int CFG_KDL = 1293;
constexpr int CFG_CSD = 1294;
constexpr int CFG_AGC = 1295;
constexpr int CFG_AGN = 1296;
constexpr int CFG_ASD = 1297;
constexpr int CFG_CLK = 1298;
constexpr int CFG_CRL = 1299;
constexpr int CFG_CTO = 1300;
constexpr int CFG_DBG = 1301;
constexpr int CFG_DOP = 1302;
constexpr int CFG_DQF = 1303;
constexpr int CFG_DTO = 1304;
constexpr int CFG_ECD = 1305;
constexpr int CFG_MFC = 1306;
constexpr int CFG_MFD = 1307;
constexpr int CFG_NRL = 1308;
constexpr int CFG_NRV = 1309;
constexpr int CFG_PRL = 1311;
constexpr int CFG_PSV = 1312;
constexpr int CFG_PTO = 1313;
constexpr int CFG_REV = 1314;
constexpr int CFG_RXA = 1315;
constexpr int CFG_RXD = 1316;
constexpr int CFG_SHF = 1317;
constexpr int CFG_TAT = 1318;
constexpr int CFG_TXD = 1320;
constexpr int CFG_TXP = 1321;
constexpr int CFG_TXF = 1322;
constexpr int CFG_ALL = 1323;

// How the interpreter reports a parameter.
enum class ConfigReport {
  kSentence,  // no line of its own: the sentence is shown as it came
  kUnit,      // the modem's own address: `text` takes it; none outside 0..15
  kBand,      // the modem's band: `text` takes its letter and centre frequency,
              // `otherText` is shown for a band not in MODEM_BANDS
  kValue,     // `text` takes the value
  kOnOff,     // `text` when the value is not 0, `otherText` when it is
  kBaud,      // `text` takes the baud rate of the value's code
};

// The values a parameter's row gives it, where it gives any: a range
// "(0:255)", or a list of whole numbers "(0,1)", "(1,2,3)" from `low` to
// `high`.
struct ParamValues {
  enum Kind { kAny, kRange, kList } kind = kAny;
  int32_t low = 0;
  int32_t high = 0;
};

struct ConfigParam {
  std::string_view mnemonic;  // three characters
  int code;
  ConfigReport report;
  const char* text;       // C format or fixed line, as `report` says; null for kSentence
  const char* otherText;  // second line of kOnOff and kBand; null otherwise
  const char* listText;   // row of the settings list, ranges included; null: no row
  ParamValues values;     // what "Change Modem Settings" may send
};

constexpr size_t CONFIG_PARAM_COUNT = 41;

// Every parameter, in the order the reader tries them against field 1.
const std::array<ConfigParam, CONFIG_PARAM_COUNT>& ConfigParams();

// The first parameter whose mnemonic starts `field` (so "SRCX" is SRC), or
// null when none does.
const ConfigParam* FindConfigParam(std::string_view field);

// The parameter with code `code`, or null (CFG_MISSING, CFG_UNKNOWN, ...).
const ConfigParam* FindConfigParamByCode(int code);

// The interpreter's line for a report of `param` with `value`; none for a
// kSentence parameter and for an address outside 0..15.
std::optional<std::string> ConfigReportLine(const ConfigParam& param, int32_t value);

// ---------------------------------------------------------------------------
// Frequency bands, by the number "BND" reports.

struct ModemBand {
  int number;
  char letter;
  int centreHz;
};

inline constexpr std::array<ModemBand, 3> MODEM_BANDS{{
    {1, 'A', 9760},
    {2, 'B', 14880},
    {3, 'C', 25120},
}};

// The band numbered `number`, or null when there is none.
constexpr const ModemBand* FindModemBand(int32_t number) {
  for (const ModemBand& band : MODEM_BANDS) {
    if (band.number == number) return &band;
  }
  return nullptr;
}

}  // namespace tw

#include "app/modem_commands.h"

#include "core/commands.h"
#include "core/fixed_format.h"

namespace tw {

namespace {

std::string ClockSentence(const LocalTime& t, int) {
  return FixedFormat("$CCCLK,%04d,%02d,%02d,%02d,%02d,%02d\r\n", t.year, t.month, t.day, t.hour,
                     t.minute, t.second);
}

std::string RevertSentence(const LocalTime&, int unit) {
  return FixedFormat("$CCMSC,%d,%d,0\r\n", unit, unit);
}

std::vector<ModemCommand> BuildTable() {
  std::vector<ModemCommand> table;
  for (int address = 0; address < 16; ++address) {
    table.push_back({cmd::SET_ADDRESS[static_cast<size_t>(address)], nullptr, false, nullptr,
                     FixedFormat("$CCCFG,SRC,%d\r\n", address)});
  }
  table.push_back({cmd::SYNCHRONIZE_CLOCK, nullptr, false, ClockSentence, ""});
  table.push_back({cmd::SHOW_MODEM_SETTINGS, "=========Modem Settings=========", false, nullptr,
                   "$CCCFQ,ALL\r\n"});
  table.push_back({cmd::USE_FACTORY_DEFAULTS, "Setting Modem to Factory Defaults", true, nullptr,
                   "$CCCFG,ALL,0\r\n"});
  table.push_back({cmd::MEASURE_NOISE[0], "Measuring Receiver Noise [100 ms]", true, nullptr,
                   "$CCCFR,100\r\n"});
  table.push_back({cmd::MEASURE_NOISE[1], "Measuring Receiver Noise [300 ms]", true, nullptr,
                   "$CCCFR,300\r\n"});
  table.push_back({cmd::MEASURE_NOISE[2], "Measuring Receiver Noise  [1 sec]", true, nullptr,
                   "$CCCFR,1000\r\n"});
  table.push_back({cmd::MEASURE_NOISE[3], "Measuring Receiver Noise  [3 sec]", true, nullptr,
                   "$CCCFR,3000\r\n"});
  table.push_back({cmd::COMMAND_REVERT, "Commanding Modem Revert", true, RevertSentence, ""});
  for (int ch = 0; ch < 4; ++ch) {
    table.push_back({cmd::PING_SELKA[static_cast<size_t>(ch)], nullptr, false, nullptr,
                     FixedFormat("$CCPDT,1,%d,0,0,2500,1,1,1,1\r\n", ch + 1)});
  }
  table.push_back({cmd::OBS_WAKEUP_1, nullptr, false, nullptr, "$CCMEC,0,2,1,1,1\r\n"});
  table.push_back({cmd::OBS_WAKEUP_2, nullptr, false, nullptr, "$CCMEC,0,2,1,1,0\r\n"});
  return table;
}

}  // namespace

const std::vector<ModemCommand>& ModemCommandTable() {
  static const std::vector<ModemCommand> table = BuildTable();
  return table;
}

const ModemCommand* FindModemCommand(int id) {
  for (const ModemCommand& c : ModemCommandTable()) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

}  // namespace tw

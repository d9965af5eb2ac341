#include "app/modem_commands.h"

#include <array>

#include "core/commands.h"
#include "protocol/nmea.h"
#include "protocol/sentence_table.h"

namespace tw {

namespace {

std::string ClockSentence(const LocalTime& t, int) {
  return BuildSentenceLine(
      MSG_CCCLK, {ZeroPadded(t.year, 4), ZeroPadded(t.month, 2), ZeroPadded(t.day, 2),
                  ZeroPadded(t.hour, 2), ZeroPadded(t.minute, 2), ZeroPadded(t.second, 2)});
}

std::string RevertSentence(const LocalTime&, int unit) {
  return BuildSentenceLine(MSG_CCMSC, {unit, unit, 0});
}

// The FIFO commands name the modem's own unit, as it last reported it.
std::string FifoFlushSentence(const LocalTime&, int unit) {
  return BuildSentenceLine(MSG_CCFFL, {unit});
}

std::string FifoStatusSentence(const LocalTime&, int unit) {
  return BuildSentenceLine(MSG_CCFST, {unit});
}

std::vector<ModemCommand> BuildTable() {
  std::vector<ModemCommand> table;
  for (int address = 0; address < 16; ++address) {
    table.push_back({cmd::SET_ADDRESS[static_cast<size_t>(address)], nullptr, false, nullptr,
                     BuildSentenceLine(MSG_CCCFG, {"SRC", address})});
  }
  table.push_back({cmd::SYNCHRONIZE_CLOCK, nullptr, false, ClockSentence, ""});
  table.push_back({cmd::SHOW_MODEM_SETTINGS, "=========Modem Settings=========", false, nullptr,
                   BuildSentenceLine(MSG_CCCFQ, {"ALL"})});
  table.push_back({cmd::USE_FACTORY_DEFAULTS, "Setting Modem to Factory Defaults", true, nullptr,
                   BuildSentenceLine(MSG_CCCFG, {"ALL", 0})});
  static constexpr std::array<const char*, 4> NOISE_STATUS = {
      "Measuring Receiver Noise [100 ms]", "Measuring Receiver Noise [300 ms]",
      "Measuring Receiver Noise  [1 sec]", "Measuring Receiver Noise  [3 sec]"};
  for (size_t k = 0; k < NOISE_WINDOWS_MS.size(); ++k) {
    table.push_back({cmd::MEASURE_NOISE[k], NOISE_STATUS[k], true, nullptr,
                     BuildSentenceLine(MSG_CCCFR, {NOISE_WINDOWS_MS[k]})});
  }
  table.push_back({cmd::COMMAND_REVERT, "Commanding Modem Revert", true, RevertSentence, ""});
  for (int ch = 0; ch < 4; ++ch) {
    table.push_back({cmd::PING_SELKA[static_cast<size_t>(ch)], nullptr, false, nullptr,
                     BuildSentenceLine(MSG_CCPDT, {1, ch + 1, 0, 0, 2500, 1, 1, 1, 1})});
  }
  table.push_back(
      {cmd::OBS_WAKEUP_1, nullptr, false, nullptr, BuildSentenceLine(MSG_CCMEC, {0, 2, 1, 1, 1})});
  table.push_back(
      {cmd::OBS_WAKEUP_2, nullptr, false, nullptr, BuildSentenceLine(MSG_CCMEC, {0, 2, 1, 1, 0})});
  table.push_back({cmd::FIFO_FLUSH, nullptr, false, FifoFlushSentence, ""});
  table.push_back({cmd::FIFO_STATUS, nullptr, false, FifoStatusSentence, ""});
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

// The emulator window's menu, top to bottom, with what each item does: a
// toggle inverts its flag (its check mark follows), the log items act on the
// program's logs, the three greyed items stay greyed and do nothing.
#include "emulator/emulator.h"
#include "emulator/emulator_ids.h"

namespace tw {
namespace {

constexpr MenuEntry Popup(const char* caption) {
  return {MenuKind::Popup, caption, 0, false, false};
}
constexpr MenuEntry End() { return {MenuKind::End, "", 0, false, false}; }
constexpr MenuEntry Item(const char* caption, int id) {
  return {MenuKind::Item, caption, id, false, false};
}
constexpr MenuEntry Checked(const char* caption, int id) {
  return {MenuKind::Item, caption, id, false, true};
}
constexpr MenuEntry Grayed(const char* caption, int id) {
  return {MenuKind::Item, caption, id, true, false};
}

}  // namespace

const std::vector<EmulatorMenuRow>& EmulatorMenuRows() {
  using E = Emulator;
  using S = EMUState;
  static const std::vector<EmulatorMenuRow> rows = {
      {Popup("&Emulator"), nullptr, nullptr},
      {Item("&Quit Emulator", emu::QUIT), nullptr, &E::Quit},
      {End(), nullptr, nullptr},
      {Popup("&Test Messages "), nullptr, nullptr},
      {Checked("Heartbeat ", emu::HEARTBEAT), &S::heartbeat, nullptr},
      {Item("Data &Request [32 bytes]", emu::DATA_REQUEST_32), &S::dataRequest32, nullptr},
      {Item("Data Request [256 bytes]", emu::DATA_REQUEST_256), &S::dataRequest256, nullptr},
      {Grayed("&Uplink Cycle", emu::UPLINK_CYCLE), nullptr, nullptr},
      {Grayed("&Downlink Cycle", emu::DOWNLINK_CYCLE), nullptr, nullptr},
      {End(), nullptr, nullptr},
      {Popup("&Log"), nullptr, nullptr},
      {Item("Start &NMEA Logging", emu::NMEA_LOG_START), nullptr, &E::NmeaLogStart},
      {Item("R&estart NMEA Logging", emu::NMEA_LOG_RESTART), nullptr, &E::NmeaLogRestart},
      {Item("&Stop NMEA Logging", emu::NMEA_LOG_STOP), nullptr, &E::NmeaLogStop},
      {Item("Start RAW Logging", emu::RAW_LOG_START), nullptr, &E::RawLogStart},
      {Item("Restart RAW Logging", emu::RAW_LOG_RESTART), nullptr, &E::RawLogRestart},
      {Item("S&top RAW Logging", emu::RAW_LOG_STOP), nullptr, &E::RawLogStop},
      {End(), nullptr, nullptr},
      {Popup("&View"), nullptr, nullptr},
      {Checked("User Commands", emu::SHOW_HOST), &S::showHost, nullptr},
      {Checked("Emulator Output", emu::SHOW_OUTPUT), &S::showOutput, nullptr},
      {Checked("Parser Messages", emu::SHOW_PARSER), &S::showParser, nullptr},
      {Grayed("Messages as HEX", emu::MESSAGES_AS_HEX), nullptr, nullptr},
      {End(), nullptr, nullptr},
  };
  return rows;
}

const std::vector<MenuEntry>& EmulatorMenuTable() {
  static const std::vector<MenuEntry> table = [] {
    std::vector<MenuEntry> entries;
    for (const EmulatorMenuRow& row : EmulatorMenuRows()) entries.push_back(row.entry);
    return entries;
  }();
  return table;
}

}  // namespace tw

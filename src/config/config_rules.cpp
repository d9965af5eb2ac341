#include "config/config_rules.h"

#include <functional>
#include <span>

#include "core/commands.h"
#include "core/fixed_format.h"
#include "frames/frame_kinds.h"
#include "protocol/custom_string.h"
#include "serial/serial_dialog.h"

namespace tw {

namespace {

using Rule = std::function<std::string(int32_t)>;

std::string Flag(int32_t value) {
  return value == 0 || value == 1 ? std::string() : FixedFormat("%d is not 0 or 1", value);
}

Rule Range(int32_t low, int32_t high) {
  return [low, high](int32_t value) {
    return value >= low && value <= high ? std::string()
                                         : FixedFormat("%d is outside %d..%d", value, low, high);
  };
}

Rule OneOf(std::span<const ComboItem> items, const char* list) {
  return [items, list](int32_t value) {
    for (const ComboItem& item : items) {
      if (item.value == value) return std::string();
    }
    return FixedFormat("%d is not one of the %s", value, list);
  };
}

std::string Interval(int32_t value) {
  for (const cmd::IntervalItem& item : cmd::TEST_INTERVALS) {
    if (item.periodMs == value) return {};
  }
  return FixedFormat("%d is not one of the menu's test intervals", value);
}

std::string Protocol(int32_t value) {
  return ListPositionFromProtocol(value) >= 0
             ? std::string()
             : FixedFormat("%d is not a frame kind of the protocol list", value);
}

// A record whose fields the table's accessors point into: an entry's field
// is told by its address, so the rules follow the fields, not their names.
Settings& Probe() {
  static Settings probe;
  return probe;
}

Rule PortRule(const int32_t* field, const SerialSettings& port) {
  if (field == &port.portNumber) return Range(1, PORT_NUMBER_MAX);
  if (field == &port.baudRate) return OneOf(BAUD_RATE_ITEMS, "serial dialog's baud rates");
  if (field == &port.byteSize) return Range(FIRST_DATA_BITS, LAST_DATA_BITS);
  if (field == &port.parity) return OneOf(PARITY_ITEMS, "serial dialog's parities");
  if (field == &port.stopBits) return OneOf(STOP_BITS_ITEMS, "serial dialog's stop bits");
  return nullptr;
}

Rule FontRule(const int32_t* field, const LogFont& font) {
  if (field == &font.height) return Range(-FONT_SIZE_MAX, FONT_SIZE_MAX);
  if (field == &font.width) return Range(0, FONT_SIZE_MAX);
  if (field == &font.weight) return Range(0, FONT_WEIGHT_MAX);
  if (field == &font.italic || field == &font.underline || field == &font.strikeOut) return Flag;
  if (field == &font.charSet || field == &font.pitchAndFamily) return Range(0, 255);
  return nullptr;
}

Rule NodeRule(const int32_t* field, const NodeProtocol& node) {
  if (field == &node.protocol) return Protocol;
  if (field == &node.logRaw || field == &node.logCustom || field == &node.showData ||
      field == &node.showRawData) {
    return Flag;
  }
  return nullptr;
}

Rule NumberRule(const SettingEntry& entry) {
  switch (entry.kind) {
    case SettingKind::Toggle:
    case SettingKind::Choice:
      return Flag;
    case SettingKind::Interval:
      return Interval;
    case SettingKind::Text:
      return nullptr;
    case SettingKind::Number:
      break;
  }
  Settings& probe = Probe();
  const int32_t* field = &entry.number(probe);
  for (const SerialSettings* port : {&probe.modemPort, &probe.gpsPort}) {
    if (Rule rule = PortRule(field, *port)) return rule;
  }
  if (Rule rule = FontRule(field, probe.terminalFont)) return rule;
  if (field == &probe.textColor) return Range(0, COLOR_MAX);
  for (const NodeProtocol& node : probe.nodes) {
    if (Rule rule = NodeRule(field, node)) return rule;
  }
  return nullptr;
}

bool HasControlCharacter(const std::string& text) {
  for (unsigned char c : text) {
    if (c < 0x20 || c == 0x7F) return true;
  }
  return false;
}

}  // namespace

std::string CheckSettingNumber(const SettingEntry& entry, int32_t value) {
  const Rule rule = NumberRule(entry);
  if (!rule) return "takes no number";
  return rule(value);
}

std::string CheckSettingText(const SettingEntry& entry, const std::string& value) {
  if (entry.kind != SettingKind::Text) return "takes no text";
  Settings& probe = Probe();
  const std::string* field = &entry.text(probe);
  if (field == &probe.terminalFont.faceName) {
    if (value.size() > FACE_NAME_MAX) {
      return FixedFormat("%zu characters are more than %zu", value.size(), FACE_NAME_MAX);
    }
    if (HasControlCharacter(value)) return "a face name holds no control characters";
    return {};
  }
  if (field == &probe.customString) {
    // The stored string always ends in CR LF, or the modem would never see
    // the end of the command; empty means none is set.
    if (value.size() > CUSTOM_STRING_MAX) {
      return FixedFormat("%zu characters are more than %zu", value.size(), CUSTOM_STRING_MAX);
    }
    if (value.find('\0') != std::string::npos) return "a command holds no NUL character";
    if (!value.empty() && (value.size() < 2 || value.compare(value.size() - 2, 2, "\r\n") != 0)) {
      return "a custom string ends in CR LF (\\r\\n)";
    }
    return {};
  }
  return "takes no text";
}

std::string CheckSettingsRecord(const Settings& settings) {
  std::string chosen;
  int count = 0;
  for (const SettingEntry& entry : SettingsTable()) {
    if (entry.kind != SettingKind::Choice || SettingNumber(entry, settings) == 0) continue;
    chosen += (count++ ? ", " : "") + entry.name;
  }
  if (count > 1) return "more than one source of transmitted data is set (" + chosen + ")";
  return {};
}

}  // namespace tw

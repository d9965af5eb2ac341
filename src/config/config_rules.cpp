#include "config/config_rules.h"

#include <span>

#include "core/commands.h"
#include "core/fixed_format.h"
#include "frames/frame_kinds.h"
#include "protocol/custom_string.h"
#include "serial/serial_dialog.h"
#include "udp/udp_address.h"

namespace tw {

namespace {

std::string OutsideRange(int32_t value, int32_t low, int32_t high) {
  return value >= low && value <= high ? std::string()
                                       : FixedFormat("%d is outside %d..%d", value, low, high);
}

std::string OneOf(std::span<const ComboItem> items, const char* list, int32_t value) {
  for (const ComboItem& item : items) {
    if (item.value == value) return std::string();
  }
  return FixedFormat("%d is not one of the %s", value, list);
}

// The lists the declarations name, as the rooms that own them have them.
std::string CheckListed(ValueList list, int32_t value) {
  switch (list) {
    case ValueList::TestIntervals:
      for (const cmd::IntervalItem& item : cmd::TEST_INTERVALS) {
        if (item.periodMs == value) return {};
      }
      return FixedFormat("%d is not one of the menu's test intervals", value);
    case ValueList::BaudRates:
      return OneOf(BAUD_RATE_ITEMS, "serial dialog's baud rates", value);
    case ValueList::DataBits:
      return OutsideRange(value, FIRST_DATA_BITS, LAST_DATA_BITS);
    case ValueList::Parities:
      return OneOf(PARITY_ITEMS, "serial dialog's parities", value);
    case ValueList::StopBits:
      return OneOf(STOP_BITS_ITEMS, "serial dialog's stop bits", value);
    case ValueList::FrameKinds:
      return ListPositionFromProtocol(value) >= 0
                 ? std::string()
                 : FixedFormat("%d is not a frame kind of the protocol list", value);
    case ValueList::None:
      break;
  }
  return "takes no number";
}

bool HasControlCharacter(const std::string& text) {
  for (unsigned char c : text) {
    if (c < 0x20 || c == 0x7F) return true;
  }
  return false;
}

std::string TooLong(const std::string& value, size_t most) {
  return value.size() > most ? FixedFormat("%zu characters are more than %zu", value.size(), most)
                             : std::string();
}

}  // namespace

std::string CheckSettingNumber(const SettingEntry& entry, int32_t value) {
  switch (entry.rule.kind) {
    case SettingRule::Flag:
      return value == 0 || value == 1 ? std::string() : FixedFormat("%d is not 0 or 1", value);
    case SettingRule::Range:
      return OutsideRange(value, entry.rule.low, entry.rule.high);
    case SettingRule::OneOf:
      return CheckListed(entry.rule.list, value);
    case SettingRule::Text:
      break;
  }
  return "takes no number";
}

std::string CheckSettingText(const SettingEntry& entry, const std::string& value) {
  if (entry.kind != SettingKind::Text || entry.rule.kind != SettingRule::Text) {
    return "takes no text";
  }
  switch (entry.rule.form) {
    case TextForm::FaceName:
      if (std::string why = TooLong(value, FACE_NAME_MAX); !why.empty()) return why;
      if (HasControlCharacter(value)) return "a face name holds no control characters";
      return {};
    case TextForm::Command:
      // The stored string always ends in CR LF, or the modem would never see
      // the end of the command; empty means none is set.
      if (std::string why = TooLong(value, CUSTOM_STRING_MAX); !why.empty()) return why;
      if (value.find('\0') != std::string::npos) return "a command holds no NUL character";
      if (!value.empty() && (value.size() < 2 || value.compare(value.size() - 2, 2, "\r\n") != 0)) {
        return "a custom string ends in CR LF (\\r\\n)";
      }
      return {};
    case TextForm::Folder:
      if (std::string why = TooLong(value, FOLDER_MAX); !why.empty()) return why;
      if (HasControlCharacter(value)) return "a folder holds no control characters";
      return {};
    case TextForm::Address:
      return CheckUdpAddress(value);
    case TextForm::None:
      break;
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

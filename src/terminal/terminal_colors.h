// The colours the terminal is drawn in: the operator's text and background,
// or under Night View dark red on black, which keeps the eyes used to the
// dark on a bridge at night.
#pragma once

#include <cstdint>

#include "core/settings.h"

namespace tw {

constexpr int32_t NIGHT_TEXT = RGB(192, 0, 0);
constexpr int32_t NIGHT_BACK = RGB(0, 0, 0);

struct TerminalColors {
  int32_t text;
  int32_t back;  // BACKGROUND_SYSTEM: the desktop's window colour
};

constexpr TerminalColors ShownColors(const Settings& s) {
  return s.nightView ? TerminalColors{NIGHT_TEXT, NIGHT_BACK}
                     : TerminalColors{s.textColor, s.backColor};
}

}  // namespace tw

// Helpers of the configuration tests: a record with every choice moved off
// its start-up value, and a comparison of every choice by name.
#pragma once

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "config/config_rules.h"
#include "core/settings.h"
#include "core/settings_table.h"

namespace tw::test {

// A custom string with everything the file must carry byte for byte:
// markup characters, a backslash, a tab, a control byte, a Latin-1 byte.
inline const std::string AWKWARD_CUSTOM = "$CCTXD,1,2,0,<&>\"'\\ \t\x01\xE9 end\r\n";

// Every choice set to a value other than its start-up one that the file
// rules accept, chosen through the table. `unchanged` gets the names that
// have no such value (a group of which one is set, one-valued lists).
inline Settings AlternativeSettings(std::set<std::string>* unchanged = nullptr) {
  Settings s;
  const int32_t numbers[] = {1, 0, 2, 5, 9600, 300, -20, 0x123456};
  const std::string texts[] = {"DejaVu Sans Mono", AWKWARD_CUSTOM, "192.168.1.255"};
  const SettingEntry* lastChoice = nullptr;
  for (const SettingEntry& e : SettingsTable()) {
    bool changed = false;
    if (e.kind == SettingKind::Choice) {
      lastChoice = &e;
      continue;
    }
    if (e.kind == SettingKind::Text) {
      for (const std::string& t : texts) {
        if (t != e.defaultText && CheckSettingText(e, t).empty()) {
          e.text(s) = t;
          changed = true;
          break;
        }
      }
    } else {
      for (int32_t n : numbers) {
        if (n != e.defaultNumber && CheckSettingNumber(e, n).empty()) {
          e.number(s) = n;
          changed = true;
          break;
        }
      }
    }
    if (!changed && unchanged) unchanged->insert(e.name);
  }
  for (const SettingEntry& e : SettingsTable()) {
    if (e.kind != SettingKind::Choice || &e == lastChoice) continue;
    if (unchanged) unchanged->insert(e.name);
  }
  if (lastChoice) lastChoice->number(s) = 1;
  return s;
}

inline std::string ValueOf(const SettingEntry& e, const Settings& s) {
  if (e.kind == SettingKind::Text) return e.text(const_cast<Settings&>(s));
  return std::to_string(SettingNumber(e, s));
}

// Every choice of `actual` equals that of `expected`, each failure by name.
inline void ExpectSameChoices(const Settings& actual, const Settings& expected) {
  for (const SettingEntry& e : SettingsTable()) {
    EXPECT_EQ(ValueOf(e, actual), ValueOf(e, expected)) << e.name;
  }
}

inline bool SameChoices(const Settings& a, const Settings& b) {
  for (const SettingEntry& e : SettingsTable()) {
    if (ValueOf(e, a) != ValueOf(e, b)) return false;
  }
  return true;
}

// A configuration document around `body`.
inline std::string ConfigDoc(const std::string& body, const std::string& version = "1") {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tidewire version=\"" + version + "\">\n" +
         body + "\n</tidewire>\n";
}

}  // namespace tw::test

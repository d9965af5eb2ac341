// The time-stamped terminal line is built piece by piece rather than through
// printf; it must stay byte for byte what "[%02d:%02d:%02d] %s\r\n" makes.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "terminal/terminal_screen.h"

namespace tw {
namespace {

std::string Reference(const LocalTime& t, const std::string& text) {
  char buffer[1024];
  const std::string shown = text.substr(0, PRINT_TEXT_MAX);
  const int n = std::snprintf(buffer, sizeof buffer, "[%02d:%02d:%02d] %s\r\n", t.hour, t.minute,
                              t.second, shown.c_str());
  return std::string(buffer, static_cast<size_t>(n));
}

TEST(PrintLineFormat, EveryTimeOfDayAsSnprintfWritesIt) {
  LocalTime t;
  for (t.hour = 0; t.hour < 24; ++t.hour) {
    for (t.minute = 0; t.minute < 60; ++t.minute) {
      t.second = (t.hour * 7 + t.minute) % 60;
      ASSERT_EQ(FormatPrintLine(t, "Waiting for Packet.       [AGC=12]"),
                Reference(t, "Waiting for Packet.       [AGC=12]"));
    }
  }
}

// A clock that goes wrong must not garble the line differently from before.
TEST(PrintLineFormat, OutOfRangeTimeFieldsAsSnprintfWritesThem) {
  for (int v : {-1, -10, 100, 999, 12345, 2147483647, -2147483647 - 1}) {
    LocalTime t;
    t.hour = v;
    t.minute = 5;
    t.second = v;
    ASSERT_EQ(FormatPrintLine(t, "x"), Reference(t, "x")) << v;
  }
}

TEST(PrintLineFormat, TextsOfEveryLengthAndWithNulAsSnprintf) {
  LocalTime t;
  t.hour = 23;
  t.minute = 59;
  t.second = 58;
  std::vector<std::string> texts = {"", "a", std::string("ab\0cd", 5), std::string(1, '\0'),
                                    "100% [%d] %s", "\r", "tab\there"};
  for (size_t n : {15u, 16u, 17u, 255u, 256u, 625u, 626u, 627u, 640u, 2000u}) {
    texts.push_back(std::string(n, 'q'));
  }
  std::string with_late_nul(700, 'z');
  with_late_nul[630] = '\0';  // beyond the cut: the cut decides
  texts.push_back(with_late_nul);
  with_late_nul[300] = '\0';
  texts.push_back(with_late_nul);
  for (const std::string& text : texts) {
    ASSERT_EQ(FormatPrintLine(t, text), Reference(t, text)) << text.size();
  }
}

}  // namespace
}  // namespace tw

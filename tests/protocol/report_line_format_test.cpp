// The interpreter's configuration report lines come from C formats in the
// parameter table; formatted without stdio they must read exactly as snprintf
// writes them, for every parameter and the values a modem can report.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>

#include "protocol/config_params.h"

namespace tw {
namespace {

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
std::string Snprintf1(const char* format, int value) {
  char buffer[512];
  const int n = std::snprintf(buffer, sizeof buffer, format, value);
  return std::string(buffer, static_cast<size_t>(n));
}

std::string Snprintf2(const char* format, char letter, int value) {
  char buffer[512];
  const int n = std::snprintf(buffer, sizeof buffer, format, letter, value);
  return std::string(buffer, static_cast<size_t>(n));
}
#pragma GCC diagnostic pop

TEST(ReportLineFormat, EveryParameterLineAsSnprintf) {
  const int values[] = {0, 1, 2, 3, 5, 9, 10, 15, 16, 99, 100, 255, 1000, 65535, -1, -100,
                        2147483647, -2147483647 - 1};
  int checked = 0;
  for (const ConfigParam& param : ConfigParams()) {
    for (const int value : values) {
      const std::optional<std::string> line = ConfigReportLine(param, value);
      switch (param.report) {
        case ConfigReport::kUnit:
          if (value < 0 || value >= 16) {
            EXPECT_FALSE(line) << param.mnemonic;
            continue;
          }
          ASSERT_TRUE(line);
          EXPECT_EQ(*line, Snprintf1(param.text, value)) << param.mnemonic;
          break;
        case ConfigReport::kValue:
          ASSERT_TRUE(line);
          EXPECT_EQ(*line, Snprintf1(param.text, value)) << param.mnemonic << " " << value;
          break;
        case ConfigReport::kBand:
          ASSERT_TRUE(line);
          if (const ModemBand* band = FindModemBand(value)) {
            EXPECT_EQ(*line, Snprintf2(param.text, band->letter, band->centreHz));
          }
          break;
        default:
          continue;
      }
      ++checked;
    }
  }
  EXPECT_GT(checked, 100);  // the table really has formatted lines
}

}  // namespace
}  // namespace tw

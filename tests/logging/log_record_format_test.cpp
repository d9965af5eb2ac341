// NMEA log records are built piece by piece rather than through printf; every
// record must stay byte for byte what "%d,%02d/%02d/%04d,%02d:%02d:%02d,0x0,%s"
// and CR LF make of the same port, time and line.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/visible_text.h"
#include "logging/logs.h"
#include "support/program_fixture.h"

namespace tw {
namespace {

// The line as a record holds it: at most LOG_LINE_MAX characters, without
// trailing CR and LF, control bytes inside written as "\xHH".
std::string Kept(std::string text) {
  text = text.substr(0, LOG_LINE_MAX);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
  return VisibleControls(text);
}

std::string Reference(int port, const LocalTime& t, const std::string& text) {
  std::vector<char> buffer(4096);
  const int n =
      std::snprintf(buffer.data(), buffer.size(), "%d,%02d/%02d/%04d,%02d:%02d:%02d,0x0,%s", port,
                    t.month, t.day, t.year, t.hour, t.minute, t.second, Kept(text).c_str());
  return std::string(buffer.data(), static_cast<size_t>(n)) + "\r\n";
}

class LogRecordFormat : public ::testing::Test {
 protected:
  LogRecordFormat() {
    clock.now = {2007, 3, 3, 14, 5, 9};
    clock.ticks = 1000;
    logs.LogsInit(3600);
    logs.NMEALogOpen(1);
  }

  // Writes one record and expects it, alone, at the end of the file.
  void Check(int port, const LocalTime& t, const std::string& text) {
    clock.now = t;
    const size_t before = test::ReadFile(logs.nmeaPath()).size();
    logs.NMEALogLine(port, text);
    const std::string written = test::ReadFile(logs.nmeaPath()).substr(before);
    ASSERT_EQ(written, Reference(port, t, text))
        << "port " << port << ", text size " << text.size();
  }

  test::TempDir dir;
  ManualClock clock;
  Logs logs{clock, dir.path(), nullptr};
};

TEST_F(LogRecordFormat, PortsAndTimesAsSnprintfWritesThem) {
  ASSERT_TRUE(logs.nmeaOpen());
  const std::vector<int> ports = {0, 1, 4, 9, 10, 16, 99, 100, -1, 123456};
  for (int k = 0; k < 200; ++k) {
    LocalTime t{1990 + k % 40, 1 + k % 12, 1 + k % 31, k % 24, (k * 7) % 60, (k * 13) % 60};
    Check(ports[static_cast<size_t>(k) % ports.size()], t, "$CAAGC,123*5B\r\n");
  }
  // Fields a broken clock could give: widths are minimums, signs stay in front.
  Check(2, {99, 0, -3, 100, -1, 12345}, "$CAREV");
  Check(3, {12345, 123, 7, 9, 9, 9}, "x");
  Check(-2147483647 - 1, {-2147483647 - 1, 2147483647, 0, 0, 0, 0}, "y");
}

TEST_F(LogRecordFormat, LinesAreCutTrimmedAndEscaped) {
  LocalTime t{2026, 12, 7, 15, 4, 59};
  std::string with_nul("$CATXD,1,2,3\0hidden\r\n", 21);
  std::string long_line(LOG_LINE_MAX + 40, 'L');
  std::string cr_at_cut(LOG_LINE_MAX, 'c');
  cr_at_cut[LOG_LINE_MAX - 1] = '\r';
  cr_at_cut += "tail";
  for (const std::string& text :
       {std::string(), std::string("\r\n"), std::string("$CADRQ,120000,3,2,1,32\r\n"),
        std::string("100% %s %d"), with_nul, long_line, cr_at_cut, std::string(LOG_LINE_MAX, 'e'),
        // Every byte escaped: the record is four times the line and still whole.
        std::string(LOG_LINE_MAX + 1, '\0')}) {
    Check(1, t, text);
  }
}

}  // namespace
}  // namespace tw

// One replay of NMEA logs while it runs: the log reader, the pace, where the
// records go, and what has been played.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "app/replay_feed.h"
#include "logging/nmea_log_records.h"
#include "logging/nmea_log_replay.h"

namespace tw {

// The most records one 20 ms step plays, and the time after which it leaves
// the rest for the next step, so the window stays live at any speed.
constexpr int REPLAY_RECORDS_PER_STEP = 2000;
constexpr uint32_t REPLAY_STEP_BUDGET_MS = 12;

class ReplayRun {
 public:
  ReplayRun(const std::vector<std::filesystem::path>& paths, double speed, uint32_t tick,
            uint32_t recordedTick, ReplayLinks links)
      : reader(paths), pace(speed, tick), feed(std::move(links)), startTick(recordedTick) {}

  // The record read and not yet due is `next`; false at the end of the log.
  bool Peek() {
    if (!havePending) havePending = reader.Next(next);
    return havePending;
  }

  NmeaLogReader reader;
  ReplayPace pace;
  ReplayFeed feed;
  std::string name;  // for the title: the first file or folder named
  uint32_t startTick;
  NmeaLogRecord next;
  bool havePending = false;
  int64_t played = 0;
  LocalTime at;                   // the time of the last record played
  size_t unreadableReported = 0;  // files whose reason has been shown
};

}  // namespace tw

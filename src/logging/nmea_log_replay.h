// Playing NMEA log records back at the pace they were written: the recorded
// clock that time-stamps what a replay shows, and the pace that says which
// records are due on each step of the program's timer.
#pragma once

#include <cstdint>
#include <optional>

#include "core/clock.h"

namespace tw {

// The longest stretch without records that a replay waits through: a log
// that was stopped for the night resumes after this, not hours later.
constexpr int64_t REPLAY_MAX_GAP_MS = 10000;

// The clock of what a replay shows: while a record is being replayed it
// gives that record's recorded time and a tick that advances with the
// recorded times, so the terminal's time stamps and the performance plot's
// samples are those of the recording. Otherwise it is `base`; its tick then
// goes on from the last replayed one, so it never runs backwards.
class ReplayClock : public Clock {
 public:
  explicit ReplayClock(const Clock& base) : base_(base) {}
  LocalTime localTime() const override { return recorded_ ? *recorded_ : base_.localTime(); }
  uint32_t tickCount() const override {
    return recorded_ ? recordedTick_ : base_.tickCount() + shift_;
  }
  // From now on the time is `time` and the tick `tick`, until Release.
  void Hold(const LocalTime& time, uint32_t tick);
  void Release();
  bool holding() const { return recorded_.has_value(); }

 private:
  const Clock& base_;
  std::optional<LocalTime> recorded_;
  uint32_t recordedTick_ = 0;
  uint32_t shift_ = 0;
};

// Which records are due: the recorded time since the first record, with
// each gap cut to REPLAY_MAX_GAP_MS and times that run backwards taken as
// no time at all, against the time played so far, which grows with the
// program's tick times the speed while not paused.
class ReplayPace {
 public:
  // `speed` multiplies the recorded pace; 0 or less plays as fast as the
  // program takes the records.
  ReplayPace(double speed, uint32_t startTick) : speed_(speed), lastTick_(startTick) {}

  // Moves the time played on to `tick`.
  void Advance(uint32_t tick);
  // Whether a record written at `recordedSeconds` (NmeaLogRecord::seconds)
  // is due;
  // when it is, it becomes the last record played.
  bool TakeIfDue(int64_t recordedSeconds);
  // Milliseconds of the recording played so far (up to the last record
  // taken), gaps cut: the replay's tick is the start tick plus this.
  int64_t recordedMs() const { return recordedMs_; }

  void SetPaused(bool paused, uint32_t tick);
  bool paused() const { return paused_; }
  bool asFastAsPossible() const { return speed_ <= 0.0; }

 private:
  double speed_;
  uint32_t lastTick_;
  bool paused_ = false;
  double playedMs_ = 0.0;
  int64_t recordedMs_ = 0;
  std::optional<int64_t> lastSeconds_;
};

}  // namespace tw

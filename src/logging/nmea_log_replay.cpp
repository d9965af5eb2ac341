#include "logging/nmea_log_replay.h"

#include <algorithm>

namespace tw {

void ReplayClock::Hold(const LocalTime& time, uint32_t tick) {
  recorded_ = time;
  recordedTick_ = tick;
}

void ReplayClock::Release() {
  if (!recorded_) return;
  // The base tick goes on from the last recorded one (unsigned, so the
  // difference holds across the counter's wrap).
  shift_ = recordedTick_ - base_.tickCount();
  recorded_.reset();
}

void ReplayPace::Advance(uint32_t tick) {
  const uint32_t elapsed = tick - lastTick_;
  lastTick_ = tick;
  if (paused_ || asFastAsPossible()) return;
  playedMs_ += static_cast<double>(elapsed) * speed_;
  // Time played beyond the last record, more than a gap's worth, would only
  // let a later stretch run through at once.
  playedMs_ = std::min(playedMs_, static_cast<double>(recordedMs_ + REPLAY_MAX_GAP_MS));
}

bool ReplayPace::TakeIfDue(int64_t recordedSeconds) {
  if (paused_) return false;
  int64_t at = recordedMs_;
  if (lastSeconds_) {
    at += std::clamp<int64_t>((recordedSeconds - *lastSeconds_) * 1000, 0, REPLAY_MAX_GAP_MS);
  }
  if (!asFastAsPossible() && static_cast<double>(at) > playedMs_) return false;
  recordedMs_ = at;
  lastSeconds_ = recordedSeconds;
  return true;
}

void ReplayPace::SetPaused(bool paused, uint32_t tick) {
  Advance(tick);
  paused_ = paused;
}

}  // namespace tw

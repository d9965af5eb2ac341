// Replay of NMEA logs: the records of a recorded cruise played back at
// their recorded pace (times a speed) through what shows a live modem's
// sentences, with the recorded times in the time stamps.
//
// A replay and a live port do not share the window: a replay is refused
// while the modem or the GPS port is connected, and a port that connects
// while one runs (Connect, a reconnect, the GPS dialog) ends it with one
// line. So live sentences are never held back behind a long log, nor shown
// among recorded ones, and nothing a modem sends is lost to a replay.
#include "app/program.h"
#include "app/replay_run.h"
#include "core/fixed_format.h"
#include "core/paths.h"
#include "diagnostics/noise_report.h"

namespace tw {

namespace {

// What the title calls a replay: the file or folder named first.
std::string ReplayName(const std::vector<std::filesystem::path>& paths) {
  if (paths.empty()) return {};
  std::filesystem::path first = paths.front();
  if (!first.has_filename()) first = first.parent_path();
  std::string name = PathToUtf8(first.filename());
  if (paths.size() > 1) name += FixedFormat(" +%d", static_cast<int>(paths.size() - 1));
  return name;
}

}  // namespace

bool Program::ReplayStart(const std::vector<std::filesystem::path>& paths, double speed) {
  if (!terminal_.info()) return false;
  if (replay_) {
    terminal_.PrintLine("Replay refused: a replay is running; stop it first.");
    return false;
  }
  if (modem_.connected() || gpsLink_.connected()) {
    const bool modem = modem_.connected();
    terminal_.PrintLine(
        FixedFormat("Replay refused: the %s port COM%d is connected; disconnect it first.",
                    modem ? "modem" : "GPS", modem ? modem_.portNumber() : gpsLink_.portNumber()));
    return false;
  }
  ReplayLinks links{replayClock_,
                    terminal_,
                    settings_,
                    state_,
                    stats_,
                    settings_.nodes,
                    dataRoot_,
                    ui_,
                    ui_,
                    map_,
                    [this](const std::string& line) {
                      if (auto floor = ShowNoiseReport(terminal_, state_, line)) {
                        noiseChart_.Record(state_, *floor);
                      }
                    }};
  // The statistics and their plot show the recording alone.
  StatsReset(stats_);
  replay_ = std::make_unique<ReplayRun>(paths, speed, clock_.tickCount(), replayClock_.tickCount(),
                                        std::move(links));
  replay_->name = ReplayName(paths);
  SetTitle("Tidewire [replay: " + replay_->name + "]");
  ReportStatus();
  RefreshMenu();
  return true;
}

bool Program::replayPaused() const { return replay_ && replay_->pace.paused(); }

void Program::ReplayPause(bool paused) {
  if (!replay_) return;
  replay_->pace.SetPaused(paused, clock_.tickCount());
  ReportStatus();
}

void Program::ReplayStop() {
  if (replay_) ReplayFinish(true);
}

void Program::ReplayChooseLog() {
  if (!terminal_.info() || replay_) return;
  FileRequest request;
  request.caption = "Replay NMEA Log";
  request.folder = PathToUtf8(dataRoot_ / "Logs");
  request.filters = {{"NMEA Logs", "*.CSV *.csv"}, {"All Files", "*"}};
  const std::string chosen = files_.ChooseFileToOpen(request);
  if (!chosen.empty()) ReplayStart({PathFromUtf8(chosen)}, 1.0);
}

// Plays what is due, up to REPLAY_RECORDS_PER_STEP records or
// REPLAY_STEP_BUDGET_MS. Lines shown meanwhile, the replay's own included,
// carry the time of the record being played.
void Program::ReplayStep() {
  ReplayRun& r = *replay_;
  if (modem_.connected() || gpsLink_.connected()) {
    const bool modem = modem_.connected();
    terminal_.PrintLine(FixedFormat("Replay stopped: the %s port COM%d was connected.",
                                    modem ? "modem" : "GPS",
                                    modem ? modem_.portNumber() : gpsLink_.portNumber()));
    ReplayFinish(true);
    return;
  }
  struct Hold {
    TerminalSurface& surface;
    explicit Hold(TerminalSurface& s) : surface(s) { surface.holdUpdates(true); }
    ~Hold() { surface.holdUpdates(false); }
  } hold(terminal_.surface());
  const uint32_t start = clock_.tickCount();
  r.pace.Advance(start);
  r.feed.FollowSettings();
  bool ended = false;
  for (int n = 0; n < REPLAY_RECORDS_PER_STEP; ++n) {
    const bool more = r.Peek();
    // A file that could not be read is named when the reader gets to it.
    const auto& unreadable = r.reader.problems().unreadable;
    for (; r.unreadableReported < unreadable.size(); ++r.unreadableReported) {
      const auto& u = unreadable[r.unreadableReported];
      terminal_.PrintWrapped("Replay: cannot read " + PathToUtf8(u.path) + ": " + u.reason);
    }
    if (!more) {
      ended = true;
      break;
    }
    if (!r.pace.TakeIfDue(r.next.seconds)) break;
    r.havePending = false;
    r.at = r.next.time;
    ++r.played;
    replayClock_.Hold(r.at, r.startTick + static_cast<uint32_t>(r.pace.recordedMs()));
    const std::string sentence(r.next.sentence);
    switch (r.next.kind) {
      case NmeaRecordKind::Sent:
        r.feed.Outgoing(sentence);
        break;
      case NmeaRecordKind::Gps:
        r.feed.Gps(sentence);
        break;
      case NmeaRecordKind::Received:
        r.feed.Modem(sentence);
        break;
    }
    if (clock_.tickCount() - start >= REPLAY_STEP_BUDGET_MS) break;
  }
  if (ended) {
    ReplayFinish(false);
  } else {
    replayClock_.Release();
  }
}

// The end of a replay, at the end of its log or stopped: one line with
// what was played and one on the bad records, the title and menus as the
// ports are, and whoever waits for the end is told.
void Program::ReplayFinish(bool stopped) {
  const std::unique_ptr<ReplayRun> run = std::move(replay_);
  const int64_t played = run->played;
  const std::string badLine = run->reader.BadRecordsLine();
  // The replay's last lines carry the time of its last record.
  if (played > 0) {
    replayClock_.Hold(run->at, run->startTick + static_cast<uint32_t>(run->pace.recordedMs()));
  }
  const long long count = static_cast<long long>(played);
  const char* records = count == 1 ? "record" : "records";
  terminal_.PrintWrapped(
      stopped
          ? FixedFormat("Replay of %s stopped after %lld %s.", run->name.c_str(), count, records)
          : FixedFormat("Replay of %s ended: %lld %s.", run->name.c_str(), count, records));
  if (!badLine.empty()) terminal_.PrintWrapped("Replay: " + badLine);
  replayClock_.Release();
  SetTitle(modem_.connected() ? FixedFormat("Tidewire [COM%d]", modem_.portNumber())
                              : std::string(TITLE_NOT_CONNECTED));
  ReportStatus();
  RefreshMenu();
  if (replayEnded_) replayEnded_(played > 0);
}

// "Replay NAME  03/03/2007 14:05:09  42%", or paused.
std::string Program::ReplayPosition() const {
  if (!replay_) return {};
  const ReplayRun& r = *replay_;
  const uint64_t total = r.reader.bytesTotal();
  const int percent = total == 0 ? 0 : static_cast<int>(r.reader.bytesRead() * 100 / total);
  std::string text = "Replay " + r.name;
  if (r.played > 0) {
    text += FixedFormat("  %02d/%02d/%04d %02d:%02d:%02d", r.at.month, r.at.day, r.at.year,
                        r.at.hour, r.at.minute, r.at.second);
  }
  return text + FixedFormat("  %d%%", percent);
}

}  // namespace tw

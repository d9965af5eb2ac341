// The far end of an acoustic link, played by the emulator when asked
// (`--emulate --simulate-link`, the demo). It answers what a modem in the
// water would answer and a bare emulator cannot: unit pings with a range,
// navigation pings with travel times, noise measurements with a spectrum,
// settings queries with every parameter's value, and transmitted frames with
// acknowledgements; on its own it hears a frame from a node now and then,
// with its quality factor and gain.
//
// Deterministic: time is the emulator's 100 ms step, counted here, and the
// scatter comes from a seeded generator, so the same seed and the same host
// commands give the same sentences at the same steps.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "protocol/config_params.h"
#include "protocol/sentence_fields.h"
#include "protocol/sentence_table.h"

namespace tw {

// Steps (100 ms) between two frames heard from the roaming node, before the
// scatter of up to SIM_FRAME_SCATTER_TICKS more.
constexpr int64_t SIM_FRAME_TICKS = 50;
constexpr int64_t SIM_FRAME_SCATTER_TICKS = 20;
// The node whose frames are heard unasked, and its frame's length.
constexpr int32_t SIM_ROAMING_NODE = 2;
constexpr int32_t SIM_FRAME_BYTES = 32;
// Most sentences waiting for their step: commands sent faster than the far
// end can answer are answered no more (as a busy link would drop them).
constexpr size_t SIM_QUEUE_MAX = 512;
// Sound speed the travel times are worked out with, m/s (the program's
// default, so the ranges shown are the ones simulated).
constexpr double SIM_SOUND_SPEED = 1500.0;

// One node or transponder in the water: its range drifts around `baseM` by
// up to `swingM` over `periodTicks`; `lossPerMille` of its replies are lost.
struct SimulatedPeer {
  int32_t address;  // unit 0..15, or navigation channel 1..4
  double baseM;
  double swingM;
  int64_t periodTicks;
  int lossPerMille;
};

// The units that answer unit pings and the transponders that answer
// navigation pings; others stay silent.
const std::array<SimulatedPeer, 3>& SimulatedUnits();
const std::array<SimulatedPeer, 3>& SimulatedTransponders();

class LinkSimulation {
 public:
  explicit LinkSimulation(uint32_t seed = 1);

  // Host commands the far end answers beyond the emulator's own table (the
  // noise measurement); null for any other type.
  static const EmulatorColumn* ExtraCommand(int type);

  // A host command the emulator has accepted (commas checked), as its
  // message type and fields. Sentences to send at once go to `now`; later
  // ones wait for their step. True when these replace the emulator's own
  // answer (settings, noise), false when they come after it.
  bool Answer(int type, const SentenceFields& body, std::vector<std::string>& now);
  // One 100 ms step: what falls due now, in order, without checksum.
  std::vector<std::string> Step();

  // The settings the far end reports, by mnemonic, for tests.
  int32_t Setting(std::string_view mnemonic) const;
  int64_t ticks() const { return ticks_; }
  size_t waiting() const { return queue_.size(); }

 private:
  void Later(int64_t delayTicks, std::string sentence);
  bool Lost(int perMille);
  // Range of `peer` at the current step, with a metre or so of scatter.
  double RangeNow(const SimulatedPeer& peer);
  void AnswerUnitPing(const SentenceFields& body, std::vector<std::string>& now);
  void AnswerNavigationPing(int echoType, const SentenceFields& body,
                            std::vector<std::string>& now);
  void AnswerNoise(const SentenceFields& body);
  bool AnswerSettings(int type, const SentenceFields& body, std::vector<std::string>& now);
  void AnswerFrame(const SentenceFields& body);
  void HearFrame(int32_t source, int64_t delayTicks, bool announce);

  std::minstd_rand random_;
  int64_t ticks_ = 0;
  int64_t nextFrame_ = SIM_FRAME_TICKS;
  int32_t noisePeakBin_ = 4;
  std::multimap<int64_t, std::string> queue_;
  std::array<int32_t, CONFIG_PARAM_COUNT> settings_{};
};

}  // namespace tw

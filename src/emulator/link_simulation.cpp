#include "emulator/link_simulation.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string_view>

#include "core/fixed_format.h"
#include "core/settings.h"
#include "protocol/nmea.h"

namespace tw {

namespace {

// Three units a few kilometres apart, the farthest one often out of earshot.
constexpr std::array<SimulatedPeer, 3> UNITS{{
    {1, 850.0, 40.0, 3000, 0},
    {2, 1430.0, 90.0, 4200, 100},
    {3, 2210.0, 150.0, 6000, 250},
}};
// Transponders on channels 1 to 3; channel 4 has none, so its time stays
// empty.
constexpr std::array<SimulatedPeer, 3> TRANSPONDERS{{
    {1, 620.0, 25.0, 2400, 0},
    {2, 1180.0, 35.0, 3600, 50},
    {3, 1760.0, 50.0, 5400, 150},
}};

// Replies heard whose timing the modem could not resolve: an acknowledgement
// without a range.
constexpr int UNRANGED_PER_MILLE = 100;
// Frames that arrive damaged and frames whose acknowledgement reports one.
constexpr int BAD_FRAME_PER_MILLE = 125;
constexpr int BAD_ACK_PER_MILLE = 80;
// A unit's turn-around before it answers, in steps.
constexpr int64_t TURNAROUND_TICKS = 1;
// How long the modem takes to send a frame, in steps, before it hears the
// acknowledgement.
constexpr int64_t TRANSMIT_START_TICKS = 5;
constexpr int64_t TRANSMIT_DONE_TICKS = 15;
// Levels of the noise spectrum, dBV: a floor and one tone that wanders.
constexpr int32_t NOISE_FLOOR = -96;
constexpr int32_t NOISE_PEAK = -78;
// The longest noise measurement answered in full, in milliseconds.
constexpr int32_t NOISE_WINDOW_MAX_MS = 60000;

// The values the far end's modem starts with (and returns to on
// factory defaults). Parameters not named here report 0.
struct SettingDefault {
  std::string_view mnemonic;
  int32_t value;
};
constexpr SettingDefault SETTING_DEFAULTS[] = {
    {"SRC", 0},   {"DST", 1},   {"BND", 1},  {"RHC", 1},   {"THC", 1},  {"BR1", 3},    {"BR2", 3},
    {"PTH", 50},  {"DTH", 108}, {"NPT", 50}, {"NDT", 150}, {"NTO", 5},  {"CSD", 1500}, {"AGC", 1},
    {"AGN", 250}, {"ASD", 0},   {"CLK", 0},  {"CRL", 50},  {"CTO", 10}, {"DBG", 0},    {"DOP", 0},
    {"DQF", 1},   {"DTO", 5},   {"ECD", 50}, {"MFC", 0},   {"MFD", 0},  {"NRL", 25},   {"NRV", 150},
    {"PRL", 50},  {"PSV", 1},   {"PTO", 5},  {"REV", 1},   {"RXA", 0},  {"RXD", 1},    {"SHF", 0},
    {"TAT", 50},  {"TXD", 500}, {"TXP", 1},  {"TXF", 1},
};

std::array<int32_t, CONFIG_PARAM_COUNT> DefaultSettings() {
  std::array<int32_t, CONFIG_PARAM_COUNT> values{};
  const auto& params = ConfigParams();
  for (size_t i = 0; i < params.size(); ++i) {
    for (const SettingDefault& d : SETTING_DEFAULTS) {
      if (d.mnemonic == params[i].mnemonic) values[i] = d.value;
    }
  }
  return values;
}

// The parameter named exactly by `text` (three characters), as an index of
// ConfigParams(); -1 for any other text.
int ParamIndex(std::string_view text) {
  const auto& params = ConfigParams();
  for (size_t i = 0; i < params.size(); ++i) {
    if (params[i].mnemonic == text) return static_cast<int>(i);
  }
  return -1;
}

const SimulatedPeer* FindPeer(const std::array<SimulatedPeer, 3>& peers, int32_t address) {
  for (const SimulatedPeer& p : peers) {
    if (p.address == address) return &p;
  }
  return nullptr;
}

// One-way travel time for a range, as the modem writes it.
std::string TravelTime(double rangeM) { return FixedFormat("%.4f", rangeM / SIM_SOUND_SPEED); }

// Steps for a reply to come back from `rangeM` away.
int64_t RoundTripTicks(double rangeM) {
  return static_cast<int64_t>(std::ceil(2.0 * rangeM / SIM_SOUND_SPEED * 10.0)) + TURNAROUND_TICKS;
}

// The fields of a command after its name ("1,1,0,..." of "$CCPDT,1,1,0,...").
std::string_view FieldsAfterName(const SentenceFields& body) {
  const std::string_view s = body.sentence();
  const size_t comma = s.find(',');
  return comma == std::string_view::npos ? std::string_view{} : s.substr(comma + 1);
}

// The name of a sentence type ("$SNPDT"), then ',' and `fields` when given.
std::string Echo(int type, std::string_view fields) {
  std::string s = BuildSentence(type, {});
  if (!fields.empty()) s.append(",").append(fields);
  return s;
}

}  // namespace

const std::array<SimulatedPeer, 3>& SimulatedUnits() { return UNITS; }
const std::array<SimulatedPeer, 3>& SimulatedTransponders() { return TRANSPONDERS; }

LinkSimulation::LinkSimulation(uint32_t seed) : random_(seed), settings_(DefaultSettings()) {}

const EmulatorColumn* LinkSimulation::ExtraCommand(int type) {
  static constexpr EmulatorColumn NOISE{EmulatorAnswer::Accept, "Got Noise Measurement Command", 1,
                                        CommaRule::Exactly};
  return type == MSG_CCCFR ? &NOISE : nullptr;
}

int32_t LinkSimulation::Setting(std::string_view mnemonic) const {
  const int i = ParamIndex(mnemonic);
  return i < 0 ? 0 : settings_[static_cast<size_t>(i)];
}

bool LinkSimulation::Lost(int perMille) { return static_cast<int>(random_() % 1000) < perMille; }

double LinkSimulation::RangeNow(const SimulatedPeer& peer) {
  const double phase = 2.0 * std::numbers::pi * static_cast<double>(ticks_ % peer.periodTicks) /
                       static_cast<double>(peer.periodTicks);
  const double scatter = (static_cast<int>(random_() % 21) - 10) / 10.0;
  return peer.baseM + peer.swingM * std::sin(phase) + scatter;
}

void LinkSimulation::Later(int64_t delayTicks, std::string sentence) {
  if (queue_.size() >= SIM_QUEUE_MAX) return;
  queue_.emplace(ticks_ + std::max<int64_t>(delayTicks, 0), std::move(sentence));
}

std::vector<std::string> LinkSimulation::Step() {
  ++ticks_;
  if (ticks_ >= nextFrame_) {
    HearFrame(SIM_ROAMING_NODE, 0, true);
    nextFrame_ =
        ticks_ + SIM_FRAME_TICKS + static_cast<int64_t>(random_() % (SIM_FRAME_SCATTER_TICKS + 1));
  }
  std::vector<std::string> due;
  while (!queue_.empty() && queue_.begin()->first <= ticks_) {
    due.push_back(std::move(queue_.begin()->second));
    queue_.erase(queue_.begin());
  }
  return due;
}

bool LinkSimulation::Answer(int type, const SentenceFields& body, std::vector<std::string>& now) {
  switch (type) {
    case MSG_CCMPC:
      AnswerUnitPing(body, now);
      return false;
    case MSG_CCPDT:
    case MSG_CCPNT:
      AnswerNavigationPing(type == MSG_CCPDT ? MSG_SNPDT : MSG_SNPNT, body, now);
      return false;
    case MSG_CCCFR:
      AnswerNoise(body);
      return true;
    case MSG_CCCFQ:
    case MSG_CCCFG:
      return AnswerSettings(type, body, now);
    case MSG_CCTXD:
      AnswerFrame(body);
      return false;
    case MSG_CCCYC: {
      // An uplink from a unit in the water to this modem: its frame follows
      // the cycle's echo after the way through the water.
      const SimulatedPeer* from = FindPeer(UNITS, body.Int(2));
      if (from != nullptr && body.Int(3) == Setting("SRC")) {
        HearFrame(from->address, RoundTripTicks(RangeNow(*from)), false);
      }
      return false;
    }
    default:
      return false;
  }
}

// "$CAMPC" at once; from a unit in the water, after the round trip, its
// acknowledgement "$CAMPA" and, when the timing was clear, "$CAMPR" with the
// one-way travel time.
void LinkSimulation::AnswerUnitPing(const SentenceFields& body, std::vector<std::string>& now) {
  const int32_t source = body.Int(1);
  const int32_t destination = body.Int(2);
  now.push_back(BuildSentence(MSG_CAMPC, {source, destination}));
  const SimulatedPeer* unit = FindPeer(UNITS, destination);
  if (unit == nullptr || Lost(unit->lossPerMille)) return;
  const double range = RangeNow(*unit);
  const int64_t delay = RoundTripTicks(range);
  Later(delay, BuildSentence(MSG_CAMPA, {source, destination}));
  if (!Lost(UNRANGED_PER_MILLE)) {
    Later(delay, BuildSentence(MSG_CAMPR, {source, destination, TravelTime(range)}));
  }
}

// The ping's echo at once ("$SNPDT" or "$SNPNT" with the command's fields);
// then "$SNTTA" with a travel time for each transponder that answered, once
// the farthest reply is in (or the command's timeout when none came). A
// digital ping names the channels it asks in fields 6 to 9.
void LinkSimulation::AnswerNavigationPing(int echoType, const SentenceFields& body,
                                          std::vector<std::string>& now) {
  now.push_back(Echo(echoType, FieldsAfterName(body)));
  const bool digital = echoType == MSG_SNPDT;
  const int32_t timeoutMs = body.Int(digital ? 5 : 4);
  std::array<std::string, 4> times;
  int64_t last = 0;
  for (const SimulatedPeer& t : TRANSPONDERS) {
    if (digital && body.Int(5 + t.address) != 1) continue;
    if (Lost(t.lossPerMille)) continue;
    const double range = RangeNow(t);
    const int64_t delay = RoundTripTicks(range);
    if (timeoutMs != MISSING_FIELD && delay * 100 > timeoutMs) continue;
    times[static_cast<size_t>(t.address - 1)] = TravelTime(range);
    last = std::max(last, delay);
  }
  if (last == 0) last = std::clamp<int64_t>(timeoutMs / 100, 1, 600);
  Later(last, BuildSentence(MSG_SNTTA, {times[0], times[1], times[2], times[3]}));
}

// After the listening window, "$SNCFR" with 14 levels: the floor with a dB
// or two of scatter and one tone that moves a bin now and then.
void LinkSimulation::AnswerNoise(const SentenceFields& body) {
  int32_t windowMs = body.Int(1);
  if (windowMs <= 0 || windowMs > NOISE_WINDOW_MAX_MS) windowMs = NOISE_WINDOW_MAX_MS;
  const int32_t step = static_cast<int32_t>(random_() % 3) - 1;
  noisePeakBin_ = std::clamp(noisePeakBin_ + step, 1, NOISE_BINS - 2);
  std::string report = BuildSentence(MSG_SNCFR, {});
  for (int32_t bin = 0; bin < NOISE_BINS; ++bin) {
    const int32_t base = bin == noisePeakBin_ ? NOISE_PEAK : NOISE_FLOOR;
    report += FixedFormat(",%d", base + static_cast<int32_t>(random_() % 5) - 2);
  }
  Later((windowMs + 99) / 100 + 1, std::move(report));
}

// "$CCCFQ,ALL": every parameter of the settings list with its value, after
// the emulator's own answer (the profile);
// "$CCCFQ,XXX": that one. "$CCCFG,XXX,v" keeps the value and reports it;
// "$CCCFG,ALL,0" returns to the defaults. A name the far end does not know,
// and another profile, are left to the emulator's own answer.
bool LinkSimulation::AnswerSettings(int type, const SentenceFields& body,
                                    std::vector<std::string>& now) {
  const std::string_view name = body.Text(1);
  const auto& params = ConfigParams();
  if (name == "ALL") {
    if (type == MSG_CCCFG) {
      if (body.Int(2) != 0) return false;  // only the factory profile is known here
      settings_ = DefaultSettings();
      now.push_back(BuildSentence(MSG_CACFG, {"ALL", 0}));
      return true;
    }
    for (size_t i = 0; i < params.size(); ++i) {
      if (params[i].listText == nullptr) continue;
      now.push_back(BuildSentence(MSG_CACFG, {params[i].mnemonic, settings_[i]}));
    }
    return false;  // after the emulator's own answer, the profile
  }
  const int i = ParamIndex(name);
  if (i < 0 || params[static_cast<size_t>(i)].code == CFG_ALL) return false;
  int32_t& value = settings_[static_cast<size_t>(i)];
  if (type == MSG_CCCFG) value = body.Int(2);
  now.push_back(BuildSentence(MSG_CACFG, {name, value}));
  return true;
}

// A frame the host handed over goes out ("$CATXP,1", "$CATXF,1"); asked
// for, its acknowledgement "$CAACK" comes back, now and then reporting the
// frame bad.
void LinkSimulation::AnswerFrame(const SentenceFields& body) {
  const int32_t source = body.Int(1);
  const int32_t destination = body.Int(2);
  Later(TRANSMIT_START_TICKS, BuildSentence(MSG_CATXP1, {1}));
  Later(TRANSMIT_DONE_TICKS, BuildSentence(MSG_CATXF1, {1}));
  if (body.Int(3) == 0) return;
  const SimulatedPeer* peer = FindPeer(UNITS, destination);
  const double range = peer != nullptr ? RangeNow(*peer) : UNITS[0].baseM;
  const int32_t good = Lost(BAD_ACK_PER_MILLE) ? 0 : 1;
  Later(TRANSMIT_DONE_TICKS + RoundTripTicks(range),
        BuildSentence(MSG_CAACK, {source, destination, 1, good}));
}

// A frame from `source` to this modem: the cycle it announces (unless the
// host's own cycle asked for it, already echoed), the gain
// while waiting, the quality factor (lower the farther the node), then the
// frame (the test pattern), or a bad checksum for a damaged one.
void LinkSimulation::HearFrame(int32_t source, int64_t delayTicks, bool announce) {
  const SimulatedPeer* peer = FindPeer(UNITS, source);
  const double range = peer != nullptr ? RangeNow(*peer) : UNITS[0].baseM;
  const int32_t unit = Setting("SRC");
  const bool bad = Lost(BAD_FRAME_PER_MILLE);
  const double phase = 2.0 * std::numbers::pi * static_cast<double>(ticks_ % 1800) / 1800.0;
  const int32_t agc = 40 + static_cast<int32_t>(std::lround(12.0 * std::sin(phase))) +
                      static_cast<int32_t>(random_() % 7) - 3;
  int32_t quality =
      250 - static_cast<int32_t>(range / 200.0) + static_cast<int32_t>(random_() % 9) - 4;
  if (bad) quality -= 60;
  quality = std::clamp(quality, 0, 254);
  if (announce) Later(delayTicks, BuildSentence(MSG_CACYC, {1, source, unit, 0, 0, 1}));
  Later(delayTicks, BuildSentence(MSG_CAAGC, {agc}));
  Later(delayTicks, BuildSentence(MSG_CADQF, {quality}));
  if (bad) {
    Later(delayTicks, BuildSentence(MSG_CAMSG, {"BAD_CRC"}));
    return;
  }
  std::string hex;
  for (int32_t i = 0; i < SIM_FRAME_BYTES; ++i) hex += FixedFormat("%02x", i % 256);
  Later(delayTicks, BuildSentence(MSG_CARXD, {source, unit, 0, 1, hex}));
}

}  // namespace tw

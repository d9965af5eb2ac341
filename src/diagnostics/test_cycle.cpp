#include "diagnostics/test_cycle.h"

#include <array>
#include <cstdint>
#include <string>

#include "core/fixed_format.h"
#include "protocol/custom_string.h"
#include "protocol/nmea.h"
#include "protocol/sentence_table.h"

namespace tw {

namespace {

struct Links {
  TextOut& out;
  SentenceSink& sink;
  const Settings& settings;
  PingResults* pings;
};

// The schedule is walked by the bits of testCounter: node (0..3), kind (4..7),
// sub (8..10) and the pass number (11..18) that the status frames carry.
constexpr int SLOTS_PER_PASS = 2048;
constexpr int MENU_RATES = 6;  // data rates 0..5 have menu items

constexpr int KIND_UPLINK = 0;
constexpr int KIND_DOWNLINK = 1;
constexpr int KIND_NAV_PING = 2;
constexpr int KIND_UNIT_PING = 3;
constexpr int KIND_CUSTOM = 4;
constexpr int KIND_NOISE = 5;
constexpr int KIND_LBL_PING = 6;
constexpr int KIND_STATUS = 7;

// An unsolicited ACP status frame: 256 bytes, all zero but the header's
// 11 00 00 01 and the pass number at byte 8.
constexpr size_t STATUS_FRAME_BYTES = 256;
constexpr size_t STATUS_SEQUENCE_BYTE = 8;

struct Slot {
  int node;
  int kind;
  int sub;
  int sequence;
};

Slot SplitCounter(int32_t counter) {
  const auto c = static_cast<uint32_t>(counter);
  return {static_cast<int>(c & 0xF), static_cast<int>((c >> 4) & 0xF),
          static_cast<int>((c >> 8) & 0x7), static_cast<int>((c >> 11) & 0xFF)};
}

// One step on; unsigned so a counter that has run for years wraps instead of
// overflowing.
int32_t NextCounter(int32_t counter) {
  return static_cast<int32_t>(static_cast<uint32_t>(counter) + 1u);
}

template <typename Array>
int CountSet(const Array& flags, size_t count) {
  int n = 0;
  for (size_t i = 0; i < count && i < flags.size(); ++i) n += flags[i] ? 1 : 0;
  return n;
}

int CountLinks(const Settings& s) {
  return CountSet(s.uplinkEnabled, NODE_COUNT) + CountSet(s.downlinkEnabled, NODE_COUNT);
}

int CountTests(const Settings& s) {
  return CountSet(s.navPingEnabled, s.navPingEnabled.size()) + (s.lblPing ? 1 : 0) + CountLinks(s) +
         CountSet(s.unitPingEnabled, NODE_COUNT) +
         CountSet(s.noiseDiagnostic, s.noiseDiagnostic.size()) + (s.sendCustomString ? 1 : 0) +
         (s.acpStatusNoAck ? 1 : 0) + (s.acpStatusAck ? 1 : 0);
}

// Why nothing can be sent, or empty when the cycle may go ahead. Links without
// any data rate would never find a slot, so they are refused first.
std::string Refusal(const Settings& s, bool connected) {
  if (CountSet(s.dataRateEnabled, MENU_RATES) == 0 && CountLinks(s) > 0) {
    return "Test Cycle: No Data Rates enabled.";
  }
  if (CountTests(s) == 0) return "Test Cycle: No Tests enabled.";
  if (!connected) return "Test Cycle: Not Connected to Modem.";
  return {};
}

// A status frame from node 2 to node 1, carrying the pass number.
std::string StatusFrameSentence(int ack, int sequence) {
  std::array<uint8_t, STATUS_FRAME_BYTES> frame{};
  frame[0] = 0x11;
  frame[3] = 0x01;
  frame[STATUS_SEQUENCE_BYTE] = static_cast<uint8_t>(sequence);
  return NMEATxdSentence(2, 1, ack, frame.data(), frame.size());
}

void SendStatusFrame(const Links& m, int ack, int sequence) {
  m.out.PrintLine(ack ? FixedFormat("Sending Unsolicited Data. <%03d>    [ACK]", sequence)
                      : FixedFormat("Sending Unsolicited Data. <%03d> [NO ACK]", sequence));
  m.sink.SendSentence(StatusFrameSentence(ack, sequence));
}

bool TryLink(const Links& m, const Slot& slot, bool uplink) {
  const Settings& s = m.settings;
  const auto& nodes = uplink ? s.uplinkEnabled : s.downlinkEnabled;
  if (!s.dataRateEnabled[slot.sub] || !nodes[slot.node]) return false;
  m.sink.SendSentence(uplink ? BuildSentenceLine(MSG_CCCYC, {1, slot.node, 0, slot.sub, 0, 1})
                             : BuildSentenceLine(MSG_CCCYC, {1, 0, slot.node, slot.sub, 0, 1}));
  return true;
}

bool TryNoise(const Links& m, const Slot& slot) {
  static const char* const LINES[] = {
      "Measuring Receiver Noise      [100 ms]", "Measuring Receiver Noise      [300 ms]",
      "Measuring Receiver Noise      [1 sec]", "Measuring Receiver Noise      [3 sec]"};
  const auto& enabled = m.settings.noiseDiagnostic;
  if (slot.node != 0 || slot.sub >= static_cast<int>(enabled.size()) || !enabled[slot.sub]) {
    return false;
  }
  m.out.PrintLine(LINES[slot.sub]);
  m.sink.SendSentence(BuildSentenceLine(MSG_CCCFR, {NOISE_WINDOWS_MS[slot.sub]}));
  return true;
}

// Sends the slot's item if it is ticked; true when something was sent.
bool TrySlot(const Links& m, const Slot& slot) {
  const Settings& s = m.settings;
  switch (slot.kind) {
    case KIND_UPLINK:
      return TryLink(m, slot, true);
    case KIND_DOWNLINK:
      return TryLink(m, slot, false);
    case KIND_NOISE:
      return TryNoise(m, slot);
    default:
      break;
  }
  // Every other kind lives in the first sub of a pass only.
  if (slot.sub != 0) return false;
  switch (slot.kind) {
    case KIND_NAV_PING:
      if (slot.node >= static_cast<int>(s.navPingEnabled.size()) || !s.navPingEnabled[slot.node]) {
        return false;
      }
      m.out.PrintLine(FixedFormat("Pinging SELKA Transponder %d", slot.node + 1));
      m.sink.SendSentence(BuildSentenceLine(MSG_CCPDT, {1, slot.node + 1, 0, 0, 5000, 1, 1, 1, 1}));
      return true;
    case KIND_UNIT_PING:
      if (!s.unitPingEnabled[slot.node]) return false;
      m.out.PrintLine(FixedFormat("Pinging Unit %d", slot.node));
      m.sink.SendSentence(BuildSentenceLine(MSG_CCMPC, {0, slot.node}));
      if (m.pings) m.pings->CountSent(slot.node);
      return true;
    case KIND_CUSTOM:
      if (slot.node != 0 || !s.sendCustomString) return false;
      CustomStringSendStored(m.out, m.sink, s.customString, "Sending Custom String");
      return true;
    case KIND_LBL_PING:
      if (slot.node != 0 || !s.lblPing) return false;
      m.out.PrintLine("Pinging Narrowband LBL Xponder");
      m.sink.SendSentence(BuildSentenceLine(MSG_CCPNT, {26000, 5, 5, 4000, 25000, 0, 0, 0, 1}));
      return true;
    case KIND_STATUS:
      if (slot.node == 0 && s.acpStatusNoAck) {
        SendStatusFrame(m, 0, slot.sequence);
        return true;
      }
      if (slot.node == 1 && s.acpStatusAck) {
        SendStatusFrame(m, 1, slot.sequence);
        return true;
      }
      return false;
    default:
      return false;
  }
}

}  // namespace

void RunTestCycle(TextOut& out, SentenceSink& sink, const Settings& settings, RunState& state,
                  PingResults* pings) {
  const std::string refusal = Refusal(settings, sink.IsConnected());
  if (!refusal.empty()) {
    out.PrintLine(refusal);
    return;
  }
  const Links links{out, sink, settings, pings};
  // The refusals leave at least one sending slot in every pass, so one pass
  // always finds it; the bound only keeps a surprise from freezing the window.
  for (int tried = 0; tried < SLOTS_PER_PASS; ++tried) {
    const Slot slot = SplitCounter(state.testCounter);
    const bool sent = TrySlot(links, slot);
    state.testCounter = NextCounter(state.testCounter);
    if (sent) return;
  }
}

}  // namespace tw

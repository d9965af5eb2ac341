// The program-wide settings and their start-up values. One object per
// program run (tests make their own), so no state leaks between runs.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tw {

constexpr int NODE_COUNT = 16;
constexpr int NOISE_BINS = 14;

// The window title, and the caption of warning boxes, while disconnected.
constexpr const char* TITLE_NOT_CONNECTED = "Tidewire [not connected]";

struct Settings {
  int32_t testInterval = 0;
  int32_t loopTesting = 0;
  std::array<int32_t, 8> dataRateEnabled{};
  std::array<int32_t, 4> navPingEnabled{};
  std::array<int32_t, NODE_COUNT> uplinkEnabled{};
  std::array<int32_t, NODE_COUNT> downlinkEnabled{};
  std::array<int32_t, NODE_COUNT> unitPingEnabled{};

  // Source of data for transmissions: at most one of the four is set.
  int32_t useTestDataNoAck = 0;
  int32_t useTestDataAck = 0;
  int32_t useCustomString = 0;
  int32_t useNodeProtocol = 0;

  int32_t sendCustomString = 0;
  int32_t lblPing = 0;
  int32_t acpStatusNoAck = 0;
  int32_t acpStatusAck = 0;
  std::array<int32_t, 4> noiseDiagnostic{};
  int32_t testCounter = 0;

  int32_t showHeartbeat = 0;
  int32_t showNmeaIncoming = 0;
  int32_t showNmeaOutgoing = 0;
  int32_t showGpsMessages = 0;
  int32_t logGpsMessages = 0;
  int32_t sendGpsToMap = 0;
  int32_t sendCommsToMap = 0;

  int32_t gpsPortNumber = 0;
  int32_t gpsBaudRate = 0;
  int32_t modemUnit = 0;
  float soundSpeed = 0.0f;
  std::array<int32_t, NOISE_BINS> noiseLevel{};
  std::array<int32_t, NOISE_BINS> noiseFrequency{};
  std::array<int32_t, NOISE_BINS> noisePeak{};
  int32_t modemBand = 0;
  int32_t mapAvailable = 0;

  // Global copies of the terminal record's `connected` and `portNumber`.
  int32_t modemConnected = 0;
  int32_t modemPortNumber = 0;

  std::string windowTitle;

  Settings() { InitDefaults(); }
  // Gives every setting its start-up value.
  void InitDefaults();

 private:
  struct Zero {};
  explicit Settings(Zero) {}
};

}  // namespace tw

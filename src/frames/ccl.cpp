#include "frames/ccl.h"

#include <algorithm>
#include <cstddef>

#include "core/fixed_format.h"

namespace tw {

namespace {

constexpr int MDAT_BATHY = 9;
constexpr int MDAT_CTD = 10;
constexpr int MDAT_STATE = 14;
constexpr int MDAT_RANGER = 16;

// MDAT_STATE: type byte, latitude in bytes 1-3, longitude in bytes 4-6.
constexpr int STATE_LATITUDE = 1;
constexpr int STATE_LONGITUDE = 4;
constexpr int STATE_LENGTH = 7;

// 2^23 - 1: the largest 24-bit value maps to exactly 180 degrees.
constexpr double COORDINATE_FULL_SCALE = 8388607.0;

// Type 18 ends the CCL numbering; the MIT-OE family reuses 18 for its own message.
constexpr VehicleMessageType CCL_OWN_TYPES[] = {
    {18, "MDAT_LAST"},
};

std::array<uint8_t, 3> Coordinate(const DataFrame& frame, int offset) {
  return {frame.payload[offset], frame.payload[offset + 1], frame.payload[offset + 2]};
}

void ShowState(const DataFrame& frame, const PrintFn& print) {
  if (ValidLength(frame) < STATE_LENGTH) return PrintVehicleFrameTooShort(frame, "CCL", print);
  print(FixedFormat("CCL: Latitude:  %9.5f",
                    DecodeCompressedCoordinate(Coordinate(frame, STATE_LATITUDE))));
  print(FixedFormat("CCL: Longitude: %9.5f",
                    DecodeCompressedCoordinate(Coordinate(frame, STATE_LONGITUDE))));
}

// Bathymetry, CTD and ranger messages are recognised but their contents are
// not shown yet; these are where that decoding goes.
void DecodeBathy(const DataFrame&, bool, const PrintFn&) {}
void DecodeCtd(const DataFrame&, bool, const PrintFn&) {}
void DecodeRanger(const DataFrame&, bool, const PrintFn&) {}

}  // namespace

const char* VehicleTypeName(int type, std::span<const VehicleMessageType> ownTypes) {
  for (const VehicleMessageType& t : ownTypes) {
    if (t.type == type) return t.name;
  }
  for (const VehicleMessageType& t : SHARED_VEHICLE_TYPES) {
    if (t.type == type) return t.name;
  }
  return nullptr;
}

void PrintVehicleFrameTooShort(const DataFrame& frame, const char* family, const PrintFn& print) {
  print(FixedFormat("%s[%d]: frame too short.", family, frame.source));
}

int AnnounceVehicleFrame(const DataFrame& frame, const char* family,
                         std::span<const VehicleMessageType> ownTypes, const PrintFn& print) {
  if (ValidLength(frame) < 1) {
    // No type byte to name.
    PrintVehicleFrameTooShort(frame, family, print);
    return -1;
  }
  const int type = frame.payload[0];
  const char* name = VehicleTypeName(type, ownTypes);
  if (name == nullptr) {
    print(FixedFormat("%s[%d]: unknown frametype!", family, frame.source));
    return -1;
  }
  print(FixedFormat("%s[%d]: got %s frame.", family, frame.source, name));
  return type;
}

const char* CclTypeName(int type) { return VehicleTypeName(type, CCL_OWN_TYPES); }

int32_t ReadSignedLe(std::span<const uint8_t> bytes) {
  const size_t width = std::min<size_t>(bytes.size(), 4);
  if (width == 0) return 0;
  int64_t value = 0;
  for (size_t i = width; i-- > 0;) value = (value << 8) | bytes[i];
  const int bits = static_cast<int>(8 * width);
  if (value & (int64_t{1} << (bits - 1))) value -= int64_t{1} << bits;
  return static_cast<int32_t>(value);
}

double DecodeCompressedCoordinate(const std::array<uint8_t, 3>& bytes) {
  // Multiply before dividing so the end points come out exact (0x7FFFFF is
  // 180.0, not a rounding step away from it).
  return ReadSignedLe(bytes) * 180.0 / COORDINATE_FULL_SCALE;
}

void DecodeCclFrame(const DataFrame& frame, bool showData, const PrintFn& print) {
  const int type = AnnounceVehicleFrame(frame, "CCL", CCL_OWN_TYPES, print);
  switch (type) {
    case MDAT_STATE:
      if (showData) ShowState(frame, print);
      break;
    case MDAT_BATHY:
      DecodeBathy(frame, showData, print);
      break;
    case MDAT_CTD:
      DecodeCtd(frame, showData, print);
      break;
    case MDAT_RANGER:
      DecodeRanger(frame, showData, print);
      break;
    default:
      break;
  }
}

}  // namespace tw

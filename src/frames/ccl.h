// CCL vehicle messages: the frame type names and the vehicle state position,
// decoded from frames received from a node set to "CCL Frames".
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "frames/data_frame.h"

namespace tw {

// Prints the type announcement with the source node; for MDAT_STATE, and only
// when showData (the source node's flag) is set, the latitude and longitude
// follow. A frame too short for the lines it needs prints one line saying so
// instead; nothing past frame.length is read.
void DecodeCclFrame(const DataFrame& frame, bool showData, const PrintFn& print);

// A compressed coordinate in degrees: 24-bit two's complement, least
// significant byte first, scaled so that 0x7FFFFF is exactly 180.
double DecodeCompressedCoordinate(const std::array<uint8_t, 3>& bytes);

// A two's-complement integer of 1 to 4 bytes, least significant byte first.
// Bytes beyond the fourth are not read; no bytes read as 0.
int32_t ReadSignedLe(std::span<const uint8_t> bytes);

}  // namespace tw

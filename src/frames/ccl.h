// CCL vehicle messages: the frame type names and the vehicle state position,
// decoded from frames received from a node set to "CCL Frames".
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "frames/data_frame.h"

namespace tw {

// One name of the type byte (byte 0) of a vehicle message.
struct VehicleMessageType {
  int type;
  const char* name;
};

// Types 6 to 17, which the CCL and MIT-OE families name alike. Each family
// adds its own types to these (both give 18 a meaning of their own).
inline constexpr std::array<VehicleMessageType, 12> SHARED_VEHICLE_TYPES = {{
    {6, "MDAT_EMPTY"},
    {7, "MDAT_REDIRECT"},
    {8, "MDAT_USBL_POSITION"},
    {9, "MDAT_BATHY"},
    {10, "MDAT_CTD"},
    {11, "MDAT_COMMAND"},
    {12, "MDAT_USBL_DATA"},
    {13, "MDAT_CADCAC_DETECTION"},
    {14, "MDAT_STATE"},
    {15, "MDAT_ERROR"},
    {16, "MDAT_RANGER"},
    {17, "MDAT_MLO_REQUEST"},
}};

// The name of `type` in a family: its own types first, then the shared ones;
// nullptr for a type neither names.
const char* VehicleTypeName(int type, std::span<const VehicleMessageType> ownTypes);

// Announces a vehicle message frame of `family` ("CCL", "MITOE") as "got
// NAME frame." with its source node, and answers its type byte. A frame
// without a type byte, or with one the family does not name, prints one line
// saying so instead and answers -1.
int AnnounceVehicleFrame(const DataFrame& frame, const char* family,
                         std::span<const VehicleMessageType> ownTypes, const PrintFn& print);

// "FAMILY[n]: frame too short." for a frame without room for what it must hold.
void PrintVehicleFrameTooShort(const DataFrame& frame, const char* family, const PrintFn& print);

// The name CCL frames give a type byte; nullptr for one they do not know.
const char* CclTypeName(int type);

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

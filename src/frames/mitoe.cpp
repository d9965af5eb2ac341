#include "frames/mitoe.h"

#include <algorithm>
#include <span>

#include "core/fixed_format.h"
#include "frames/ccl.h"

namespace tw {

namespace {

constexpr int MDAT_STATE2 = 18;
constexpr int MITOE_SONAR = 255;

// MDAT_STATE2: type byte, easting (3 bytes), northing (3 bytes).
constexpr int STATE2_EASTING = 1;
constexpr int STATE2_NORTHING = 4;
constexpr int STATE2_LENGTH = 7;

// SONAR: type byte, command, hours, minutes, seconds, easting (4 bytes),
// northing (4 bytes).
constexpr int SONAR_COMMAND = 1;
constexpr int SONAR_HOURS = 2;
constexpr int SONAR_MINUTES = 3;
constexpr int SONAR_SECONDS = 4;
constexpr int SONAR_EASTING = 5;
constexpr int SONAR_NORTHING = 9;
constexpr int SONAR_LENGTH = 13;

// 18 is this family's second state message, not CCL's MDAT_LAST; 255 is
// this family's alone.
constexpr VehicleMessageType MITOE_OWN_TYPES[] = {
    {MDAT_STATE2, "MDAT_STATE2"},
    {MITOE_SONAR, "SONAR"},
};

int32_t Signed(const DataFrame& frame, int offset, int width) {
  return ReadSignedLe(std::span<const uint8_t>(frame.payload).subspan(offset, width));
}

void ShowState2(const DataFrame& frame, const PrintFn& print) {
  if (ValidLength(frame) < STATE2_LENGTH) return PrintVehicleFrameTooShort(frame, "MITOE", print);
  const double easting = Signed(frame, STATE2_EASTING, 3);
  const double northing = Signed(frame, STATE2_NORTHING, 3);
  print(FixedFormat("STATE2: Northing:  %06.1f meters", northing));
  print(FixedFormat("STATE2: Easting:   %06.1f meters", easting));
}

void ShowSonar(const DataFrame& frame, const PrintFn& print) {
  if (ValidLength(frame) < SONAR_LENGTH) return PrintVehicleFrameTooShort(frame, "MITOE", print);
  const auto& p = frame.payload;
  print(FixedFormat("SONAR: [%02d:%02d:%02d]", p[SONAR_HOURS], p[SONAR_MINUTES], p[SONAR_SECONDS]));
  print(FixedFormat("SONAR: Command:   %d", p[SONAR_COMMAND]));
  print(FixedFormat("SONAR: Northing:  %06.1f meters",
                    static_cast<double>(Signed(frame, SONAR_NORTHING, 4))));
  print(FixedFormat("SONAR: Easting:   %06.1f meters",
                    static_cast<double>(Signed(frame, SONAR_EASTING, 4))));
}

}  // namespace

const char* MitoeTypeName(int type) { return VehicleTypeName(type, MITOE_OWN_TYPES); }

void DecodeMitoeFrame(const DataFrame& frame, bool showData, const PrintFn& print) {
  const int type = AnnounceVehicleFrame(frame, "MITOE", MITOE_OWN_TYPES, print);
  if (!showData) return;
  if (type == MDAT_STATE2) ShowState2(frame, print);
  if (type == MITOE_SONAR) ShowSonar(frame, print);
}

}  // namespace tw

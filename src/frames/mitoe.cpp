#include "frames/mitoe.h"

#include <algorithm>
#include <span>

#include "app/cformat.h"
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

struct MitoeType {
  int type;
  const char* name;
};

// Types 6 to 17 carry the CCL names; 18 is this family's second state message,
// not CCL's MDAT_LAST.
constexpr MitoeType MITOE_TYPES[] = {
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
    {MDAT_STATE2, "MDAT_STATE2"},
    {MITOE_SONAR, "SONAR"},
};

const char* MitoeTypeName(int type) {
  for (const MitoeType& t : MITOE_TYPES) {
    if (t.type == type) return t.name;
  }
  return nullptr;
}

void PrintTooShort(const DataFrame& frame, const PrintFn& print) {
  print(cformat("MITOE[%d]: frame too short.", frame.source));
}

int32_t Signed(const DataFrame& frame, int offset, int width) {
  return ReadSignedLe(std::span<const uint8_t>(frame.payload).subspan(offset, width));
}

void ShowState2(const DataFrame& frame, const PrintFn& print) {
  if (ValidLength(frame) < STATE2_LENGTH) return PrintTooShort(frame, print);
  const double easting = Signed(frame, STATE2_EASTING, 3);
  const double northing = Signed(frame, STATE2_NORTHING, 3);
  print(cformat("STATE2: Northing:  %06.1f meters", northing));
  print(cformat("STATE2: Easting:   %06.1f meters", easting));
}

void ShowSonar(const DataFrame& frame, const PrintFn& print) {
  if (ValidLength(frame) < SONAR_LENGTH) return PrintTooShort(frame, print);
  const auto& p = frame.payload;
  print(cformat("SONAR: [%02d:%02d:%02d]", p[SONAR_HOURS], p[SONAR_MINUTES], p[SONAR_SECONDS]));
  print(cformat("SONAR: Command:   %d", p[SONAR_COMMAND]));
  print(cformat("SONAR: Northing:  %06.1f meters",
                static_cast<double>(Signed(frame, SONAR_NORTHING, 4))));
  print(cformat("SONAR: Easting:   %06.1f meters",
                static_cast<double>(Signed(frame, SONAR_EASTING, 4))));
}

}  // namespace

void DecodeMitoeFrame(const DataFrame& frame, bool showData, const PrintFn& print) {
  if (ValidLength(frame) < 1) return PrintTooShort(frame, print);  // no type byte to name
  const int type = frame.payload[0];
  const char* name = MitoeTypeName(type);
  if (name == nullptr) {
    print(cformat("MITOE[%d]: unknown frametype!", frame.source));
    return;
  }
  print(cformat("MITOE[%d]: got %s frame.", frame.source, name));
  if (!showData) return;
  if (type == MDAT_STATE2) ShowState2(frame, print);
  if (type == MITOE_SONAR) ShowSonar(frame, print);
}

}  // namespace tw

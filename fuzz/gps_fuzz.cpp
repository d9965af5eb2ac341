// The GPS sentence check on any bytes: an accepted fix always has every
// value set and finite.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "gps/gps_sentence.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::optional<tw::GpsFix> fix = tw::GPSCheckSentence(text);
  if (!fix) return 0;
  for (double v : {fix->latitude, fix->longitude, fix->speed, fix->course}) {
    if (!std::isfinite(v) || v == tw::GPS_INVALID) {
      std::fprintf(stderr, "accepted fix with an unset or endless value\n");
      std::abort();
    }
  }
  return 0;
}

#include "app/settings.h"

namespace tw {

void Settings::InitDefaults() {
  *this = Settings(Zero{});
  testInterval = 10000;
  dataRateEnabled[0] = 1;
  showHeartbeat = 1;
  gpsPortNumber = 4;
  gpsBaudRate = 4800;
  soundSpeed = 1500.0f;
  noiseLevel.fill(-96);
  modemBand = -1;
  modemPortNumber = 1;
  windowTitle = TITLE_NOT_CONNECTED;
}

}  // namespace tw

// The emulator's host-command interpreter on any bytes from the host, with
// real logs under a temporary root; its 100 ms step runs in between.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/clock.h"
#include "core/settings.h"
#include "emulator/emulator.h"
#include "emulator/emulator_pane.h"
#include "fuzz/fuzz_support.h"
#include "logging/log_controls.h"
#include "logging/logs.h"
#include "serial/rx_ring.h"
#include "serial/serial_link.h"

namespace {

using namespace tw;
namespace fs = std::filesystem;

class SentenceCheck : public fuzz::CountingSink {
 public:
  void SendSentence(const std::string& sentence) override {
    CountingSink::SendSentence(sentence);
    if (sentence.empty() || sentence[0] != '$' || sentence.size() > 4096) {
      std::fprintf(stderr, "emulator sent %zu bytes not starting with '$'\n", sentence.size());
      std::abort();
    }
  }
};

// The host's port is never opened here: its lines come straight into the ring.
class NoPorts : public SerialPortOpener {
 public:
  std::unique_ptr<SerialPort> open(int) override { return nullptr; }
};

struct World {
  World()
      : root(fuzz::TempRoot() / "emulator"),
        logs(clock, root, [](const std::string&, const std::string&) {}),
        emulator(EmulatorLinks{sink, logs, logControls, clock, link}, pane) {
    fs::create_directories(root);
    clock.now = LocalTime{2007, 3, 3, 14, 5, 9};
    settings.modemPort.portNumber = 2;
    logs.LogsInit(3600);
    emulator.EMUInit();
  }
  ManualClock clock;
  fs::path root;
  Settings settings;
  SentenceCheck sink;
  Logs logs;
  NoPorts opener;
  SerialLink link{opener, settings.modemPort};
  LogControls logControls{logs, [this] { return LogPort{link.connected(), link.portNumber()}; }};
  EmulatorPane pane;
  Emulator emulator;
  unsigned runs = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static World* w = new World;
  fuzz::FileGuard guard(fuzz::TempRoot());
  if (w->runs++ % 512 == 0) {
    w->logs.LogsCloseAll();
    fuzz::ClearFolder(w->root);
    w->logs.NMEALogOpen(2);
    w->logs.DataLogOpen(2);
    w->emulator.EMUInit();
  }
  fuzz::Input in(data, size);
  RxState rx;
  RxInit(rx);
  rx.mode = RX_EMULATOR;
  while (!in.empty()) {
    const std::string bytes = in.Bytes(1 + in.Byte() * 4u);
    RxAppend(rx, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    for (int k = 0; k < 64 && rx.count() > 0; ++k) {
      const uint32_t before = rx.count();
      w->emulator.EMUPoll(rx);
      if (rx.count() == before) break;
    }
    w->clock.ticks += 100;
    w->emulator.EMUTick();
  }
  if (w->pane.text().size() > EMU_PANE_MAX) {
    std::fprintf(stderr, "pane holds %zu characters\n", w->pane.text().size());
    std::abort();
  }
  return 0;
}

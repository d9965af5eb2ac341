// The modem interpreter on any bytes from the port: a fake port behind the
// real serial link (each poll hands over a chunk the input chooses), real
// NMEA and data logs and real data-frame handling under a temporary root.
// Every answer is a whole sentence, and nothing outside the root is touched.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/clock.h"
#include "core/settings.h"
#include "frames/data_frames.h"
#include "fuzz/fuzz_support.h"
#include "logging/logs.h"
#include "protocol/interpreter.h"
#include "protocol/stats.h"
#include "serial/rx_ring.h"
#include "serial/serial_link.h"

namespace {

using namespace tw;
namespace fs = std::filesystem;

class AnswerCheck : public fuzz::CountingSink {
 public:
  void SendSentence(const std::string& sentence) override {
    CountingSink::SendSentence(sentence);
    // A request above the limit is refused, so no answer is ever longer
    // than the longest test-data answer.
    if (sentence.size() > 64 + 2 * static_cast<size_t>(MAX_DATA_REQUEST_BYTES) ||
        sentence.size() < 2 || sentence.compare(sentence.size() - 2, 2, "\r\n") != 0) {
      std::fprintf(stderr, "answer of %zu bytes, or without its line end\n", sentence.size());
      std::abort();
    }
  }
};

// A port whose bytes are the fuzz input: each read hands over the next
// chunk, at most what the link asks for.
class InputPort : public SerialPort {
 public:
  explicit InputPort(fuzz::Input*& in) : in_(in) {}
  bool configure(uint32_t) override { return true; }
  int readAvailable(uint8_t* destination, int max) override {
    if (in_ == nullptr || in_->empty()) return 0;
    const std::string bytes = in_->Bytes(std::min<size_t>(1 + in_->Byte() * 8u, max));
    std::copy(bytes.begin(), bytes.end(), destination);
    return static_cast<int>(bytes.size());
  }
  bool writeAll(const char*, size_t, int) override { return true; }

 private:
  fuzz::Input*& in_;
};

class InputPortOpener : public SerialPortOpener {
 public:
  fuzz::Input* in = nullptr;
  std::unique_ptr<SerialPort> open(int) override { return std::make_unique<InputPort>(in); }
};

struct World {
  World()
      : root(fuzz::TempRoot() / "interpreter"),
        logs(clock, root, [](const std::string&, const std::string&) {}),
        frames(files, out, settings.nodes, root / "received"),
        interpreter(InterpreterLinks{out, sink, logs, settings, link, state, stats, &frames,
                                     [this](const std::string& line) { out.PrintLine(line); }}) {
    fs::create_directories(root);
    clock.now = LocalTime{2007, 3, 3, 14, 5, 9};
    settings.modemPort.portNumber = 1;
    settings.modemPort.baudRate = 19200;
    link.Connect();
    StatsInit(stats);
    logs.LogsInit(3600);
  }

  ManualClock clock;
  fs::path root;
  Settings settings;
  InputPortOpener opener;
  SerialLink link{opener, settings.modemPort};
  RunState state;
  PerformanceStats stats;
  fuzz::NullTextOut out;
  AnswerCheck sink;
  fuzz::NoFiles files;
  Logs logs;
  DataFrames frames;
  ModemInterpreter interpreter;
  unsigned runs = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static World* w = new World;
  fuzz::FileGuard guard(fuzz::TempRoot());
  // Now and then the logs start afresh, so the root does not fill up.
  if (w->runs++ % 512 == 0) {
    w->logs.LogsCloseAll();
    fuzz::ClearFolder(w->root);
    w->logs.NMEALogOpen(1);
    w->logs.DataLogOpen(1);
    w->frames.InitDataFrames();
  }
  fuzz::Input in(data, size);
  // The operator's choices that change what the interpreter does.
  const uint8_t choice = in.Byte();
  w->settings.useTestDataAck = choice & 1;
  w->settings.useTestDataNoAck = (choice >> 1) & 1;
  w->settings.useNodeProtocol = (choice >> 2) & 1;
  w->settings.useCustomString = (choice >> 3) & 1;
  w->settings.customString = "$CCCFQ,ALL\r\n";
  const uint8_t protocols = in.Byte();
  for (int node = 0; node < NODE_COUNT; ++node) {
    static constexpr int32_t KINDS[] = {KIND_GENERIC, KIND_ACP, KIND_CCL, KIND_MITOE,
                                        KIND_RAW,     KIND_SEAGRANT, KIND_ACP, KIND_EMPTY};
    w->settings.nodes[static_cast<size_t>(node)].protocol = KINDS[(protocols + node) % 8];
    w->settings.nodes[static_cast<size_t>(node)].showRawData = node & 1;
  }
  RxInit(w->link.rx);
  w->opener.in = &in;
  while (!in.empty()) {
    // One poll: a chunk into the ring, then one sentence out, as the
    // program's 20 ms timer does; a few extra turns let the ring drain.
    w->link.Poll();
    for (int k = 0; k < 4 && w->link.rx.count() > 0; ++k) {
      w->interpreter.InterpretModemLine(w->link.rx);
    }
  }
  w->opener.in = nullptr;
  return 0;
}

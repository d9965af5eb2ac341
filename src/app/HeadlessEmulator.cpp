#include "app/HeadlessEmulator.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <cstdio>

#include "app/options.h"
#include "app/stdout_writer.h"
#include "core/commands.h"
#include "core/paths.h"
#include "core/safe_file.h"
#include "serial/QtSerialPort.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace tw {

namespace {

// The pane's text as lines of standard output: each ends at its LF, without
// the CR before it. The writer never waits for the reader.
void WritePaneText(std::string_view text) {
  while (!text.empty()) {
    const size_t lf = text.find('\n');
    std::string_view line = text.substr(0, lf);
    text.remove_prefix(lf == std::string_view::npos ? text.size() : lf + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    StandardOutputLines().WriteLine(line);
  }
}

// Why the data root cannot hold the logs: its Logs folder cannot be made, or
// a file cannot be written there. Empty when it can.
std::string LogFolderProblem(const std::filesystem::path& root) {
  namespace fs = std::filesystem;
  const fs::path folder = root / "Logs";
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (!fs::is_directory(folder)) {
    return "cannot keep logs in " + PathToUtf8(folder) + ": " +
           (ec ? ec.message() : std::string("not a folder"));
  }
  // A new file of our own: whatever someone put under the probe's name (a
  // FIFO, a link) is neither waited on nor written through, and only the
  // file this open made is removed again.
  const fs::path probe =
      folder / (".tidewire-write-test-" + std::to_string(QCoreApplication::applicationPid()));
  OpenedFile opened = OpenRegularFileToAppend(probe);
  if (opened.file == nullptr) {
    return "cannot write in " + PathToUtf8(folder) + ": " + opened.Reason();
  }
  std::fclose(opened.file);
  if (opened.created) fs::remove(probe, ec);
  return {};
}

}  // namespace

HeadlessEmulator::HeadlessEmulator(const Clock& clock, SerialPortOpener& ports,
                                   std::filesystem::path dataRoot, EmulatorRunConfig config,
                                   std::function<void(int)> onQuit)
    : config_(config), onQuit_(std::move(onQuit)), ui_(onQuit_) {
  program_ = std::make_unique<Program>(clock, ports, ui_, surface_, std::move(dataRoot));
}

HeadlessEmulator::~HeadlessEmulator() { Stop(); }

bool HeadlessEmulator::Start(std::string& error) {
  Program& p = *program_;
  p.Start();
  if (config_.toStdout) {
    p.terminal().AddLineListener(
        [](const std::string& line) { StandardOutputLines().WriteLine(line); });
    p.emulatorPane().AddListener([](const PaneChange& change) { WritePaneText(change.appended); });
  }
  p.settings().modemPort.portNumber = config_.port;
  if (!p.ModemConnect()) {
    error = "cannot open COM" + std::to_string(config_.port) + " (missing, or in use?)";
    return false;
  }
  // As when the emulator's window opens, then the logs and the requests
  // asked for (opened after EMUInit, which would reopen them at once).
  p.modem().rx.mode = RX_EMULATOR;
  p.emulator().EMUInit();
  if (config_.simulateLink) p.emulator().SimulateLink(config_.seed);
  if (config_.openLogs) {
    p.OnCommand(cmd::NMEA_LOG_START);
    p.OnCommand(cmd::DATA_LOG_START);
  }
  p.emulator().state().dataRequest32 = config_.request32 ? 1 : 0;
  p.emulator().state().dataRequest256 = config_.request256 ? 1 : 0;
  if (config_.heartbeatSoon) {
    int64_t& ticks = p.emulator().state().tickCount;
    ticks += EMU_HEARTBEAT_TICKS - 10 - ticks % EMU_HEARTBEAT_TICKS;
  }
  // A port that goes away ends the run: nobody is there to reconnect it.
  ui_.Attach(&p, [this](int timer) {
    if (timer == TIMER_POLL && !stopped_ && !program_->modem().connected()) onQuit_(1);
  });
  return true;
}

void HeadlessEmulator::Stop() {
  if (stopped_) return;
  stopped_ = true;
  ui_.StopTimers();
  program_->emulator().Quit();
  program_->modem().rx.mode = RX_MODEM;
  program_->OnDestroy();
}

#ifndef _WIN32
namespace {
int signalPipe[2] = {-1, -1};
void OnSignal(int) {
  const int saved = errno;  // the interrupted code may be about to read it
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
  errno = saved;
}
}  // namespace
#endif

void EndEventLoopOnSignals(QCoreApplication& app) {
#ifndef _WIN32
  // A reader of standard output that goes away must not kill the run before
  // the logs are closed: writes then fail instead.
  std::signal(SIGPIPE, SIG_IGN);
  if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
  ::sigaction(SIGHUP, &action, nullptr);  // the terminal that started it closed
  auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
  QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
    char byte = 0;
    [[maybe_unused]] const ssize_t n = ::read(signalPipe[0], &byte, 1);
    QCoreApplication::exit(0);
  });
#else
  (void)app;
#endif
}

int RunEmulatorCommand(const Options& options, int argc, char** argv) {
  QCoreApplication app(argc, argv);
  // SIGINT and SIGTERM end the event loop, so the logs are closed by the
  // same code as any other end of the run.
  EndEventLoopOnSignals(app);
  // Logs are the record of the run: without a place for them it does not
  // start.
  const std::filesystem::path root = DataRoot(options);
  if (const std::string problem = LogFolderProblem(root); !problem.empty()) {
    std::fprintf(stderr, "tidewire: --emulate: %s\n", problem.c_str());
    return 1;
  }
  SystemClock clock;
  PortMap ports = options.ports;
  QtSerialPortOpener opener(ports);
  EmulatorRunConfig config;
  config.port = options.emulatePort();
  config.request32 = options.request32;
  config.request256 = options.request256;
  config.simulateLink = options.simulateLink;
  config.openLogs = true;
  config.toStdout = true;
  HeadlessEmulator emulator(clock, opener, root, config,
                            [](int code) { QCoreApplication::exit(code); });
  std::string error;
  if (!emulator.Start(error)) {
    std::fprintf(stderr, "tidewire: --emulate: %s\n", error.c_str());
    return 1;
  }
  const int code = app.exec();
  emulator.Stop();
  return code;
}

}  // namespace tw

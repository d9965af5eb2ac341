// Tidewire: host program for the Veluna acoustic modem.
#include <QApplication>
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/DemoGps.h"
#include "app/HeadlessEmulator.h"
#include "app/MainWindow.h"
#include "app/demo_startup.h"
#include "app/menu_listing.h"
#include "app/options.h"
#include "config/config_files.h"
#include "core/clock.h"
#include "core/commands.h"
#include "serial/QtSerialPort.h"
#include "serial/device_map.h"
#include "serial/pty_port.h"
#include "summary/summary_text.h"

#ifdef TIDEWIRE_HAVE_XCB
#include <xcb/xcb.h>
#endif
#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <shellapi.h>  // after windows.h, which it needs
#undef TextOut             // a GDI name there; tw::TextOut is ours
#endif

namespace {

// The arguments after the program's name, as UTF-8 like every text of the
// program. On Windows argv holds them in the ANSI code page, which cannot
// carry every character of a folder or file name, so they are read again
// from the wide command line.
std::vector<std::string> Arguments(int argc, char** argv) {
#ifdef Q_OS_WIN
  int count = 0;
  if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i) args.push_back(QString::fromWCharArray(wide[i]).toStdString());
    LocalFree(wide);
    return args;
  }
#endif
  return std::vector<std::string>(argv + 1, argv + argc);
}

// True when Qt has somewhere to put a window. Qt itself aborts with a
// misleading message when the X server named by DISPLAY cannot be reached,
// so that case is tried here first.
bool HaveDisplay() {
#if defined(_WIN32) || defined(__APPLE__)
  return true;
#else
  auto value = [](const char* name) -> std::string {
    const char* v = std::getenv(name);
    return v != nullptr ? v : "";
  };
  const std::string platform = value("QT_QPA_PLATFORM");
  if (!platform.empty() && platform.rfind("xcb", 0) != 0) return true;  // offscreen, wayland...
  if (platform.empty() && value("DISPLAY").empty()) return !value("WAYLAND_DISPLAY").empty();
  if (value("DISPLAY").empty()) return false;
#ifdef TIDEWIRE_HAVE_XCB
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  const bool ok = c != nullptr && xcb_connection_has_error(c) == 0;
  if (c != nullptr) xcb_disconnect(c);
  return ok;
#else
  return true;
#endif
#endif
}

// The demo: an emulated modem on a pseudo-terminal made here, serving one
// side with its heartbeat and both data requests and playing the far end of
// an acoustic link; COM1 opens the other side, connected at once, with test
// data as the answer to data requests. A GPS receiver sends a moving ship's
// position on COM4. It lives and ends with the window.
int RunDemo(tw::Options options, const tw::Clock& clock, QApplication& app) {
  tw::PseudoTerminal pty;
  if (!pty.ok()) {
    std::fprintf(stderr, "tidewire: --demo: cannot make a pseudo-terminal: %s\n",
                 pty.error().c_str());
    return 1;
  }
  tw::PseudoTerminalOpener modemSide(pty);
  tw::EmulatorRunConfig config;
  config.port = 1;
  config.request32 = config.request256 = true;
  config.heartbeatSoon = true;
  config.simulateLink = true;
  tw::HeadlessEmulator modem(clock, modemSide, tw::DataRoot(options), config, [](int) {});
  std::string error;
  if (!modem.Start(error)) {
    std::fprintf(stderr, "tidewire: --demo: %s\n", error.c_str());
    return 1;
  }
  options.ports.set(1, pty.devicePath());
  tw::MainWindow* shown = nullptr;
  tw::DemoGps gps(clock, [&shown] { return shown && shown->program().gpsLink().connected(); });
  if (!gps.Start(error)) {
    std::fprintf(stderr, "tidewire: --demo: %s\n", error.c_str());
    return 1;
  }
  options.ports.set(tw::DEMO_GPS_PORT, gps.devicePath());
  std::vector<int> startup = tw::DemoStartupCommands();
  startup.insert(startup.end(), options.menuCommands.begin(), options.menuCommands.end());
  tw::MainWindow window(options, clock);
  shown = &window;
  window.show();
  window.RunStartupCommands(startup);
  // SIGTERM closes the window's program and the modem as a close would.
  tw::EndEventLoopOnSignals(app);
  const int code = app.exec();
  modem.Stop();
  return code;
}

// Why the file named by --config cannot be loaded, or empty when it can. It
// is read once here, with the same checks as the window's load, so a run
// that cannot have the settings asked for does not start on others.
std::string ConfigProblem(const tw::Options& options) {
  struct NoFiles : tw::FileChooser {
    std::string ChooseFileToOpen(const tw::FileRequest&) override { return {}; }
    std::string ChooseFileToSave(const tw::FileRequest&) override { return {}; }
  } noFiles;
  struct Lines : tw::TextOut {
    std::string text;
    void PrintLine(const std::string& line) override { text += (text.empty() ? "" : "\n") + line; }
  } lines;
  tw::Settings settings;
  settings.InitDefaults();
  tw::ConfigFiles files(noFiles, lines, settings, tw::DataRoot(options));
  if (files.ConfigLoadFile(*options.config).applied) return {};
  return lines.text.empty() ? "cannot be loaded" : lines.text;
}

}  // namespace

int main(int argc, char** argv) {
  tw::ParseResult parsed = tw::ParseOptions(Arguments(argc, argv));
  if (!parsed.options) {
    std::fprintf(stderr, "tidewire: %s\nTry 'tidewire --help'.\n", parsed.error.c_str());
    return 2;
  }
  const tw::Options& options = *parsed.options;
  if (options.help) {
    std::fputs(tw::UsageText().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::fputs(tw::VersionText().c_str(), stdout);
    return 0;
  }
  if (options.listMenu) {
    const auto& table = tw::MainMenuTable();
    std::fputs(tw::MenuListingText(table, tw::StartMenuStates(table)).c_str(), stdout);
    return 0;
  }
  if (options.listPorts) {
    // No window: the device list needs no display.
    int qtArgc = 1;
    QCoreApplication app(qtArgc, argv);
    std::fputs(tw::DeviceListText(tw::FindSerialDevices()).c_str(), stdout);
    return 0;
  }
  if (!options.summary.empty()) {
    // No window: the summary needs no display.
    const tw::SummaryRun run = tw::SummarizeLogs(options.summary);
    std::fputs(run.text.c_str(), stdout);
    return run.exitCode;
  }
  if (options.emulate) return tw::RunEmulatorCommand(options, argc, argv);
  if (!HaveDisplay()) {
    std::fprintf(stderr,
                 "tidewire: no display: DISPLAY and WAYLAND_DISPLAY are not set, or the X\n"
                 "server named by DISPLAY cannot be reached.\n"
                 "Run it on a desktop, or under Xvfb (xvfb-run tidewire ...).\n");
    return 1;
  }

  // Each new line sends the X server one row of pixels. Put through shared
  // memory, that row makes the next paint wait for the server's answer, a
  // round trip for every line; sent inside the request it needs none. A
  // choice made in the environment is kept.
  if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  QApplication::setApplicationName("Tidewire");
  QApplication::setApplicationVersion("3.07");

  if (options.config) {
    if (const std::string problem = ConfigProblem(options); !problem.empty()) {
      std::fprintf(stderr, "tidewire: --config: %s\n", problem.c_str());
      return 2;
    }
  }
  tw::SystemClock clock;
  if (options.demo) return RunDemo(options, clock, app);
  tw::MainWindow window(options, clock);
  window.show();
  window.RunStartupCommands(options.menuCommands);
  // SIGINT, SIGTERM and SIGHUP end the run as Exit does, without the
  // question: the window's program closes its ports and logs, exit code 0.
  tw::EndEventLoopOnSignals(app);
  return app.exec();
}

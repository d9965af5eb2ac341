// Tidewire: host program for the Veluna acoustic modem.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/MainWindow.h"
#include "app/clock.h"
#include "app/options.h"

namespace {

// True when Qt has somewhere to put a window.
bool HaveDisplay() {
#if defined(_WIN32) || defined(__APPLE__)
  return true;
#else
  auto set = [](const char* name) {
    const char* v = std::getenv(name);
    return v != nullptr && *v != '\0';
  };
  return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
#endif
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  tw::ParseResult parsed = tw::ParseOptions(args);
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
  if (!HaveDisplay()) {
    std::fprintf(stderr,
                 "tidewire: no display: neither DISPLAY nor WAYLAND_DISPLAY is set.\n"
                 "Run it on a desktop, or under Xvfb (xvfb-run tidewire ...).\n");
    return 1;
  }

  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  QApplication::setApplicationName("Tidewire");
  QApplication::setApplicationVersion("3.07");

  tw::SystemClock clock;
  tw::MainWindow window(options, clock);
  window.show();
  window.RunStartupCommands(options.menuCommands);
  return app.exec();
}

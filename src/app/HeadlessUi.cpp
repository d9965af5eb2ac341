#include "app/HeadlessUi.h"

#include <QGuiApplication>
#include <cstdio>

#include "app/TimerScheduler.h"
#include "app/program.h"

namespace tw {

HeadlessUi::HeadlessUi(std::function<void(int)> onQuit, QObject* parent)
    : QObject(parent), onQuit_(std::move(onQuit)) {
  timers_ = new TimerScheduler(
      [this](int number) {
        if (!program_) return;
        program_->OnTimer(number);
        if (afterTimer_) afterTimer_(number);
      },
      this);
}

HeadlessUi::~HeadlessUi() { StopTimers(); }

void HeadlessUi::Attach(Program* program, std::function<void(int)> afterTimer) {
  program_ = program;
  afterTimer_ = std::move(afterTimer);
}

void HeadlessUi::StopTimers() {
  timers_->StopAll();
  program_ = nullptr;
}

bool HeadlessUi::NoDesktop() {
  const QString platform = QGuiApplication::platformName();
  return platform == "offscreen" || platform == "minimal";
}

void HeadlessUi::PrintBox(const std::string& text, const std::string& caption) {
  // One line each: a text's own line ends would split it on the terminal.
  std::string shown = text;
  while (!shown.empty() && (shown.back() == '\n' || shown.back() == '\r' || shown.back() == ' ')) {
    shown.pop_back();
  }
  for (char& ch : shown) {
    if (ch == '\n' || ch == '\r') ch = ' ';
  }
  std::fprintf(stderr, "tidewire: %s: %s\n", caption.c_str(), shown.c_str());
  std::fflush(stderr);
}

// Nobody is there to click OK: the text goes where an operator of a run
// without a window looks, and the run goes on.
void HeadlessUi::MessageBox(const std::string& text, const std::string& caption, BoxIcon) {
  PrintBox(text, caption);
}

void HeadlessUi::UnownedErrorBox(const std::string& text, const std::string& caption) {
  MessageBox(text, caption, BoxIcon::Error);
}

void HeadlessUi::PostCommand(int id) {
  QMetaObject::invokeMethod(
      this,
      [this, id] {
        if (program_) program_->OnCommand(id);
      },
      Qt::QueuedConnection);
}

void HeadlessUi::PostClose() { Quit(0); }

void HeadlessUi::SetTimer(int number, int32_t periodMs) { timers_->SetTimer(number, periodMs); }

void HeadlessUi::Quit(int code) {
  if (onQuit_) onQuit_(code);
}

}  // namespace tw

// The desktop of a run without a window: timers on a TimerScheduler, as the
// window's, posted commands on the event loop, message boxes on standard
// error. The headless emulator and the demo's emulated modem run their
// Program on it.
#pragma once

#include <QObject>
#include <functional>

#include "core/ui.h"

namespace tw {

class Program;
class TimerScheduler;

class HeadlessUi : public QObject, public Ui {
  Q_OBJECT
 public:
  // `onQuit` is what the program's Quit does (end the event loop, or
  // nothing when the run belongs to a window).
  explicit HeadlessUi(std::function<void(int)> onQuit, QObject* parent = nullptr);
  ~HeadlessUi() override;

  // The program whose timers and posted commands this runs; set once it
  // exists. `afterTimer` runs after each timer's work.
  void Attach(Program* program, std::function<void(int)> afterTimer = {});
  // Stops every timer: nothing reaches the program afterwards.
  void StopTimers();

  // True when Qt draws nowhere a person could see (the offscreen or minimal
  // platform): a modal box there would wait for a click that never comes.
  static bool NoDesktop();
  // A message box's text and caption as one line on standard error.
  static void PrintBox(const std::string& text, const std::string& caption);

  void MessageBox(const std::string& text, const std::string& caption, BoxIcon icon) override;
  void UnownedErrorBox(const std::string& text, const std::string& caption) override;
  bool ConfirmQuit() override { return true; }
  void Beep() override {}
  bool ChooseFont(LogFont&, int32_t&) override { return false; }
  std::string ChooseFileToOpen(const FileRequest&) override { return {}; }
  std::string ChooseFileToSave(const FileRequest&) override { return {}; }
  void PostCommand(int id) override;
  void PostClose() override;
  void SetTimer(int number, int32_t periodMs) override;
  void Quit(int code) override;
  void SetWindowTitle(const std::string&) override {}
  void SetWaitCursor(bool) override {}

 private:
  std::function<void(int)> onQuit_;
  std::function<void(int)> afterTimer_;
  Program* program_ = nullptr;
  TimerScheduler* timers_ = nullptr;
};

}  // namespace tw

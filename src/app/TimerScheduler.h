// The program's timers on QTimers, for the main window and the run without
// a window alike. A timer whose tick has no work (TimerHasWork) stays in the
// program's timer table but runs nowhere, so an idle program wakes only for
// the timers that do something.
#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <map>

class QTimer;

namespace tw {

class TimerScheduler : public QObject {
  Q_OBJECT
 public:
  // `onTick` gets the number of the timer that fired.
  explicit TimerScheduler(std::function<void(int)> onTick, QObject* parent = nullptr);

  // Starts or restarts timer `number`: its next tick is one period from now.
  void SetTimer(int number, int32_t periodMs);
  // Stops every timer; a later SetTimer starts one again.
  void StopAll();

 private:
  std::function<void(int)> onTick_;
  std::map<int, QTimer*> timers_;
};

}  // namespace tw

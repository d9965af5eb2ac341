#include "app/TimerScheduler.h"

#include <QTimer>

#include "app/program.h"

namespace tw {

TimerScheduler::TimerScheduler(std::function<void(int)> onTick, QObject* parent)
    : QObject(parent), onTick_(std::move(onTick)) {}

void TimerScheduler::SetTimer(int number, int32_t periodMs) {
  // A tick without work would only wake the program 50 times a second while
  // it idles.
  if (!TimerHasWork(number)) return;
  QTimer*& timer = timers_[number];
  if (!timer) {
    timer = new QTimer(this);
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer, &QTimer::timeout, this, [this, number] { onTick_(number); });
  }
  timer->start(periodMs);
}

void TimerScheduler::StopAll() {
  for (auto& [number, timer] : timers_) timer->stop();
}

}  // namespace tw

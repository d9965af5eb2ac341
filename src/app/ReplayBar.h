#pragma once

#include <QWidget>
#include <functional>

class QLabel;
class QToolButton;

namespace tw {

// The replay's part of the status bar: where the replay is in the log, and
// "Pause" (then "Resume") and "Stop". Hidden while no replay runs.
class ReplayBar : public QWidget {
  Q_OBJECT
 public:
  ReplayBar(std::function<void()> pause, std::function<void()> stop, QWidget* parent);
  // `position` empty: no replay, the part hides.
  void showReplay(const QString& position, bool paused);

 private:
  QLabel* position_ = nullptr;
  QToolButton* pause_ = nullptr;
  QToolButton* stop_ = nullptr;
};

}  // namespace tw

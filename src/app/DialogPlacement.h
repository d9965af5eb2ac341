// Windows a command opens over the main window (dialogs, message boxes,
// the Performance and Noise Spectrum windows) appear centred over it, on
// the screen it is on, also when a command from --menu opens them before
// the window manager has placed anything.
#pragma once

#include <QObject>

class QWidget;

namespace tw {

class DialogPlacement : public QObject {
  Q_OBJECT
 public:
  // Watches the application's windows whose parent window is `main`.
  explicit DialogPlacement(QWidget* main);

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* main_;
};

}  // namespace tw

#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <functional>

class QWidget;

namespace tw {

// The F1 hot key. On X11 it is grabbed on the root window, and on Windows
// registered with RegisterHotKey, so it works while another program has the
// focus; where that is not possible (another
// platform, or another client holds F1) it is caught in every window of the
// program, open modal dialogs included.
class HotKey : public QObject, public QAbstractNativeEventFilter {
  Q_OBJECT
 public:
  HotKey(QWidget* window, std::function<void()> fire);
  ~HotKey() override;
  bool systemWide() const { return grabbedKeycode_ != 0; }
  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool GrabX11();
  void UngrabX11();
  bool RegisterWindows(QWidget* window);
  void UnregisterWindows();
  bool WindowsHotKeyMessage(const QByteArray& eventType, void* message) const;

  std::function<void()> fire_;
  unsigned grabbedKeycode_ = 0;
  quintptr hotKeyWindow_ = 0;  // the window F1 is registered for (Windows)
};

}  // namespace tw

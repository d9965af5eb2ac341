#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <functional>

class QWidget;

namespace tw {

// The F1 hot key. Everywhere, it is grabbed on the X11 root window, or on
// Windows registered with RegisterHotKey, so it works while another program
// has the focus; where that is not possible (another platform, or another
// client holds F1), and when the operator wants F1 only in this program, it
// is caught in every window of the program, open modal dialogs included,
// and other programs keep their F1.
class HotKey : public QObject, public QAbstractNativeEventFilter {
  Q_OBJECT
 public:
  HotKey(QWidget* window, std::function<void()> fire, bool everywhere = true);
  ~HotKey() override;
  bool systemWide() const { return grabbedKeycode_ != 0; }
  // Grabs F1 for every program, or lets go of it and keeps it for this
  // program's windows.
  void SetEverywhere(bool everywhere);
  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool GrabX11();
  void UngrabX11();
  bool RegisterWindows(QWidget* window);
  void UnregisterWindows();
  bool WindowsHotKeyMessage(const QByteArray& eventType, void* message) const;
  void Release();

  QWidget* window_;
  bool everywhere_ = false;
  std::function<void()> fire_;
  unsigned grabbedKeycode_ = 0;
  quintptr hotKeyWindow_ = 0;  // the window F1 is registered for (Windows)
};

}  // namespace tw

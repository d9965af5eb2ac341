#include "app/HotKey.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QWidget>

#ifdef TIDEWIRE_HAVE_XCB
#include <xcb/xcb.h>
#endif
#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#ifndef MOD_NOREPEAT
#define MOD_NOREPEAT 0x4000
#endif
#endif

namespace tw {

namespace {
#ifdef TIDEWIRE_HAVE_XCB
constexpr xcb_keysym_t KEYSYM_F1 = 0xFFBE;
// The grab must also hold with Caps Lock and Num Lock on.
constexpr uint16_t LOCK_VARIANTS[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                      XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};

xcb_connection_t* X11Connection() {
  if (QGuiApplication::platformName() != "xcb") return nullptr;
  auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 ? x11->connection() : nullptr;
}

xcb_window_t RootWindow(xcb_connection_t* c) {
  return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

xcb_keycode_t KeycodeOf(xcb_connection_t* c, xcb_keysym_t keysym) {
  const xcb_setup_t* setup = xcb_get_setup(c);
  const int count = setup->max_keycode - setup->min_keycode + 1;
  xcb_get_keyboard_mapping_reply_t* reply = xcb_get_keyboard_mapping_reply(
      c, xcb_get_keyboard_mapping(c, setup->min_keycode, static_cast<uint8_t>(count)), nullptr);
  if (!reply) return 0;
  xcb_keycode_t found = 0;
  const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply);
  const int per = reply->keysyms_per_keycode;
  for (int k = 0; k < count && found == 0; ++k) {
    for (int j = 0; j < per; ++j) {
      if (syms[k * per + j] == keysym) {
        found = static_cast<xcb_keycode_t>(setup->min_keycode + k);
        break;
      }
    }
  }
  free(reply);
  return found;
}
#endif
}  // namespace

HotKey::HotKey(QWidget* window, std::function<void()> fire, bool everywhere)
    : QObject(window), window_(window), fire_(std::move(fire)) {
  // An application shortcut would be blocked while a modal dialog is open;
  // a filter on the application sees F1 in every window of the program.
  qApp->installEventFilter(this);
  SetEverywhere(everywhere);
}

void HotKey::SetEverywhere(bool everywhere) {
  if (everywhere == everywhere_) return;
  everywhere_ = everywhere;
  if (!everywhere) {
    Release();
  } else if (GrabX11() || RegisterWindows(window_)) {
    qApp->installNativeEventFilter(this);
  }
}

void HotKey::Release() {
  if (grabbedKeycode_ == 0) return;
  qApp->removeNativeEventFilter(this);
  UnregisterWindows();
  UngrabX11();
}

bool HotKey::eventFilter(QObject* watched, QEvent* event) {
  // A grabbed F1 comes through the native filter, never as a key press.
  if (event->type() == QEvent::KeyPress && grabbedKeycode_ == 0) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier) {
      if (!key->isAutoRepeat()) fire_();
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

HotKey::~HotKey() {
  qApp->removeEventFilter(this);
  Release();
}

// ---- Windows: F1 registered for the main window with RegisterHotKey ----
#ifdef Q_OS_WIN
namespace {
constexpr int HOTKEY_ID = 1;
}  // namespace

bool HotKey::RegisterWindows(QWidget* window) {
  // WM_HOTKEY goes to the main window's queue, where the native event filter
  // sees it. MOD_NOREPEAT: F1 held down runs one test, as the in-program
  // shortcut does.
  const WId handle = window->winId();
  if (!RegisterHotKey(reinterpret_cast<HWND>(handle), HOTKEY_ID, MOD_NOREPEAT, VK_F1)) {
    return false;  // another program has F1
  }
  hotKeyWindow_ = static_cast<quintptr>(handle);
  grabbedKeycode_ = VK_F1;
  return true;
}

void HotKey::UnregisterWindows() {
  if (hotKeyWindow_ != 0) UnregisterHotKey(reinterpret_cast<HWND>(hotKeyWindow_), HOTKEY_ID);
  hotKeyWindow_ = 0;
  grabbedKeycode_ = 0;
}

bool HotKey::WindowsHotKeyMessage(const QByteArray& eventType, void* message) const {
  if (eventType != "windows_generic_MSG" || hotKeyWindow_ == 0) return false;
  const auto* msg = static_cast<const MSG*>(message);
  return msg->message == WM_HOTKEY && msg->wParam == static_cast<WPARAM>(HOTKEY_ID);
}
#else
bool HotKey::RegisterWindows(QWidget*) { return false; }
void HotKey::UnregisterWindows() {}
bool HotKey::WindowsHotKeyMessage(const QByteArray&, void*) const { return false; }
#endif
// ---- end Windows ----

bool HotKey::GrabX11() {
#ifdef TIDEWIRE_HAVE_XCB
  xcb_connection_t* c = X11Connection();
  if (!c) return false;
  const xcb_keycode_t keycode = KeycodeOf(c, KEYSYM_F1);
  if (keycode == 0) return false;
  const xcb_window_t root = RootWindow(c);
  for (uint16_t mods : LOCK_VARIANTS) {
    xcb_generic_error_t* error = xcb_request_check(
        c,
        xcb_grab_key_checked(c, 1, root, mods, keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    if (error) {
      // Another client holds F1: give back what we took and fall back.
      free(error);
      for (uint16_t m : LOCK_VARIANTS) xcb_ungrab_key(c, keycode, root, m);
      xcb_flush(c);
      return false;
    }
  }
  xcb_flush(c);
  grabbedKeycode_ = keycode;
  return true;
#else
  return false;
#endif
}

void HotKey::UngrabX11() {
#ifdef TIDEWIRE_HAVE_XCB
  if (xcb_connection_t* c = X11Connection()) {
    for (uint16_t m : LOCK_VARIANTS) {
      xcb_ungrab_key(c, static_cast<xcb_keycode_t>(grabbedKeycode_), RootWindow(c), m);
    }
    xcb_flush(c);
  }
#endif
  grabbedKeycode_ = 0;
}

bool HotKey::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (WindowsHotKeyMessage(eventType, message)) {
    fire_();
    return true;
  }
#ifdef TIDEWIRE_HAVE_XCB
  if (eventType != "xcb_generic_event_t" || grabbedKeycode_ == 0) return false;
  auto* event = static_cast<xcb_generic_event_t*>(message);
  if ((event->response_type & 0x7F) != XCB_KEY_PRESS) return false;
  auto* press = static_cast<xcb_key_press_event_t*>(message);
  if (press->detail != grabbedKeycode_) return false;
  fire_();
  return true;
#else
  (void)eventType;
  (void)message;
  return false;
#endif
}

}  // namespace tw

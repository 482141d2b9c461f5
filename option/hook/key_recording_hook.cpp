#include "option/hook/key_recording_hook.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QThread>
#include <QWidget>
#include <QWindow>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "common/desktop_keys.h"
#include "option/hook/key_event_message.h"

#ifdef MT_HOOK_XCB
#include <xcb/xcb.h>
#endif
#ifdef MT_HOOK_XCB_XKB
// The XKB header is C: one of its members is called `explicit`.
#define explicit explicit_member
#include <xcb/xkb.h>
#undef explicit
#endif

namespace mt {

namespace {

// Debug level is off unless the logging rules ask for it.
Q_LOGGING_CATEGORY(key_hook_log, "morvath.option.keyhook", QtWarningMsg)

// The hook's diagnostic lines, written as they are (no category prefix).
__attribute__((format(printf, 1, 2))) void debug_output(const char* format, ...) {
  if (!key_hook_log().isDebugEnabled()) return;
  va_list args;
  va_start(args, format);
  std::vfprintf(stderr, format, args);
  va_end(args);
  std::fflush(stderr);
}

uint32_t next_handle() {
  static uint32_t last = 0;
  if (++last == 0) ++last;
  return last;
}

// Only X11 lets a client take the whole keyboard; Wayland, offscreen and the
// rest answer every grab request with "no".
bool platform_can_grab() { return QGuiApplication::platformName() == u"xcb"; }

#ifdef MT_HOOK_XCB
// The toolkit's own X connection: the grab, the ungrab and the client flags
// below belong to the client that receives the keys.
xcb_connection_t* toolkit_connection() {
  if (qGuiApp == nullptr || !platform_can_grab()) return nullptr;
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 ? x11->connection() : nullptr;
}
#endif

// An ungrab is only a queued request until the toolkit flushes its
// connection on the next round of the event loop, and the caller may not get
// there soon (quitting, a long save). One round trip makes sure the server
// has let go of the keyboard when uninstall() returns.
void sync_display() {
#ifdef MT_HOOK_XCB
  if (xcb_connection_t* c = toolkit_connection()) std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
#endif
}

// A held key: by default the server sends a release before every repeated
// press, and the toolkit only marks it as a repeat when the press behind it
// is already queued, which under load it is not; such a release would be
// recorded as a real one. With XKB's "detectable auto-repeat" the server
// sends none. It is set for our connection while the hook is installed (no
// widget sees a key meanwhile) and put back afterwards. Gives the state
// before the change, -1 when the server could not tell.
int set_detectable_auto_repeat(bool on) {
#ifdef MT_HOOK_XCB_XKB
  xcb_connection_t* c = toolkit_connection();
  if (c == nullptr) return -1;
  const xcb_query_extension_reply_t* xkb = xcb_get_extension_data(c, &xcb_xkb_id);
  if (xkb == nullptr || !xkb->present) return -1;
  constexpr uint32_t flag = XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT;
  // A request that changes nothing reads the state first.
  auto* before = xcb_xkb_per_client_flags_reply(
      c, xcb_xkb_per_client_flags(c, XCB_XKB_ID_USE_CORE_KBD, 0, 0, 0, 0, 0), nullptr);
  if (before == nullptr) return -1;
  const int was = (before->value & flag) != 0;
  const bool supported = (before->supported & flag) != 0;
  std::free(before);
  if (supported && was != static_cast<int>(on))
    std::free(xcb_xkb_per_client_flags_reply(
        c, xcb_xkb_per_client_flags(c, XCB_XKB_ID_USE_CORE_KBD, flag, on ? flag : 0, 0, 0, 0), nullptr));
  return supported ? was : -1;
#else
  (void)on;
  return -1;
#endif
}

}  // namespace

KeyRecordingHook::KeyRecordingHook(QObject* parent) : QObject(parent) {
  if (QCoreApplication* app = QCoreApplication::instance())
    connect(app, &QCoreApplication::aboutToQuit, this, [this] {
      if (installed()) uninstall();
    });
}

KeyRecordingHook::~KeyRecordingHook() {
  if (installed()) drop();
}

KeyRecordingHook::Grab KeyRecordingHook::install(QWidget* target, KeyHandler on_key) {
  QCoreApplication* app = QCoreApplication::instance();
  if (target == nullptr || !on_key || app == nullptr || QThread::currentThread() != app->thread() ||
      QThread::currentThread() != thread()) {
    debug_output("Hhook: %x\r\n", 0u);
    return Grab::none;
  }

  if (installed()) {
    disconnect(destroyed_);
  } else {
    app->installEventFilter(this);
    auto_repeat_before_ = set_detectable_auto_repeat(true);
  }
  handle_ = next_handle();
  target_ = target;
  top_ = target->window();
  handler_ = std::move(on_key);
  destroyed_ = connect(target, &QObject::destroyed, this, [this] { uninstall(); });

  // Moving from another window: a grab on the new one replaces the old one
  // in the server; without it the old one must go.
  const Grab grab = try_grab();
  if (grab != Grab::taken) release_grab();
  grab_ = grab;
  debug_output("Hhook: %x\r\n", handle_);
  return grab_;
}

bool KeyRecordingHook::uninstall() {
  debug_output("Hhook: %x\r\n", handle_);
  if (!installed()) {
    debug_output("UnHhook: Fail \r\n");
    return false;
  }
  drop();
  debug_output("UnHhook: Success \r\n");
  emit grab_changed(Grab::none);
  return true;
}

QWidget* KeyRecordingHook::target() const { return target_.data(); }

KeyRecordingHook::Grab KeyRecordingHook::try_grab() {
  if (!platform_can_grab()) return Grab::refused;
  QWindow* window = top_ ? top_->windowHandle() : nullptr;
  // A grab needs a window the server shows (X: "viewable").
  if (window == nullptr || window->handle() == nullptr || !window->isExposed()) return Grab::pending;
  if (!window->setKeyboardGrabEnabled(true)) return Grab::refused;
  grab_window_ = window;
  return Grab::taken;
}

void KeyRecordingHook::set_grab(Grab grab) {
  if (grab == grab_) return;
  grab_ = grab;
  emit grab_changed(grab);
}

void KeyRecordingHook::regrab() {
  if (!installed() || (grab_ != Grab::taken && grab_ != Grab::pending)) return;
  const Grab grab = try_grab();
  if (grab == Grab::refused) grab_window_ = nullptr;
  set_grab(grab);
}

void KeyRecordingHook::release_grab() {
  // A window that is gone took its grab with it.
  if (grab_ == Grab::taken && grab_window_) {
    grab_window_->setKeyboardGrabEnabled(false);
    sync_display();
  }
  grab_window_ = nullptr;
}

void KeyRecordingHook::drop() {
  release_grab();
  if (auto_repeat_before_ == 0) set_detectable_auto_repeat(false);
  auto_repeat_before_ = -1;
  if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
  disconnect(destroyed_);
  target_ = nullptr;
  top_ = nullptr;
  handler_ = nullptr;
  handle_ = 0;
  grab_ = Grab::none;
}

void KeyRecordingHook::deliver(uint32_t vk, uint32_t flags) {
  if (!target_ || !handler_) return;
  // Posted, as a window message would be: the handler runs from the event
  // loop, and the call is dropped with the target.
  QMetaObject::invokeMethod(
      target_.data(), [handler = handler_, vk, flags] { handler(vk, flags); }, Qt::QueuedConnection);
}

bool KeyRecordingHook::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      // Every keystroke stops here, whichever window it was meant for.
      // Accepting it keeps the application from offering it to the parents.
      auto* key = static_cast<QKeyEvent*>(event);
      key->accept();
      // Only keys the user typed are recorded, not events a program made.
      if (!key->spontaneous()) return true;
      // A key being held: the presses go on, a release in between is not one.
      if (key->isAutoRepeat() && event->type() == QEvent::KeyRelease) return true;
      if (auto m = key_message_of(*key, platform_has_xkb_keycodes(QGuiApplication::platformName()))) {
        debug_output("vkcode=%x,scancode=%x\n", m->vk, desktop_keyboard_layout().scan_code_of(m->vk));
        deliver(m->vk, m->flags);
      }
      return true;
    }
    case QEvent::ShortcutOverride:
      // Claimed, so no shortcut of Option fires on the keystroke either.
      event->accept();
      return true;
    case QEvent::Expose:
      if (top_ && watched == top_->windowHandle()) {
        if (top_->windowHandle()->isExposed())
          regrab();
        else if (grab_ == Grab::taken)
          set_grab(Grab::pending);  // unmapped: the server has dropped the grab
      }
      return false;
    case QEvent::Hide:
      if (watched == top_ && !event->spontaneous()) {
        uninstall();  // closed or hidden: the capture is over
      } else if (grab_ == Grab::taken && watched->isWidgetType() &&
                 static_cast<QWidget*>(watched)->windowType() == Qt::Popup && !regrab_queued_) {
        // A closing popup (menu, list) ends whatever keyboard grab the
        // process holds; take ours back once the toolkit is done with it.
        regrab_queued_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
              regrab_queued_ = false;
              if (QApplication::activePopupWidget() == nullptr) regrab();
            },
            Qt::QueuedConnection);
      }
      return false;
    default:
      return false;
  }
}

KeyRecordingHook& key_recording_hook() {
  static QPointer<KeyRecordingHook> hook;
  if (!hook) hook = new KeyRecordingHook(QCoreApplication::instance());
  return *hook;
}

}  // namespace mt

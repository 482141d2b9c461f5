// Option's key recording hook: while it is installed every keystroke of the
// session comes to one target window as (virtual-key code, flags) and reaches
// no window at all, the target included. The macro manager installs it for a
// recording, the two key-capture dialogs for as long as they are open; only
// one of them can be open at a time (they are modal), so there is one hook
// and one target per process.
//
// On X11 this is an active keyboard grab of the target's top-level window:
// X sends every key event of the display to us and to no other client. Next
// to it an application-wide event filter takes every KeyPress and KeyRelease
// (and the shortcut look-ups before them) that Option receives, from any of
// its windows, converts it by the physical key (option/hook/key_event_message.h)
// and posts the pair to the target: the handler runs later from the event
// loop, in the target's thread, and never once the target is gone.
//
// Without a grab (Wayland, the offscreen platform, another program holding
// one) the filter still works: keys typed into Option's own windows are
// recorded, other windows receive theirs. install() says which case it is,
// so the dialog can tell the user.
//
//   // CMacroManager : MacroEditorView
//   bool start_key_capture() override {
//     auto grab = key_recording_hook().install(this, [this](uint32_t vk, uint32_t flags) {
//       editor_.key_message(vk, flags);
//     });
//     return grab == KeyRecordingHook::Grab::taken || grab == KeyRecordingHook::Grab::pending;
//   }
//   void stop_key_capture() override { key_recording_hook().uninstall(); }
//
//   // CShortCutDlg / CSingleKeyDlg, while opening (the window need not be shown yet):
//   KeyRecordingHook& hook = key_recording_hook();
//   connect(&hook, &KeyRecordingHook::grab_changed, this, [this](KeyRecordingHook::Grab g) {
//     show_capture_note(g == KeyRecordingHook::Grab::refused);  // "other windows still receive keys"
//   });
//   show_capture_note(hook.install(this, [this](uint32_t vk, uint32_t flags) {
//     capture_.key_message(vk, flags);
//     field_->setText(QString::fromStdU16String(capture_.key_text()));
//   }) == KeyRecordingHook::Grab::refused);
//   // closing needs nothing: the hook goes when the dialog is hidden or destroyed.
//
// The hook also goes, releasing the grab, on uninstall(), when the target is
// destroyed, when its top-level window is hidden (closed), when the
// application is about to quit and with the hook itself; X drops the grab if
// the process dies. A window that is unmapped while the hook stays (minimised)
// loses the grab to X and takes it again when it is shown.
//
// Auto-repeat: a held key gives repeated presses, delivered as presses (the
// models drop a pair equal to the previous one) and one release at the end;
// the releases an X server puts between repeated presses are not delivered.
//
// Diagnostics (the hook handle, each key, the removal) go to stderr only with
// the logging category "morvath.option.keyhook" at debug level, e.g.
// QT_LOGGING_RULES="morvath.option.keyhook.debug=true".
//
// User-interface thread only.
#pragma once

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <cstdint>
#include <functional>

class QWidget;
class QWindow;

namespace mt {

// What the design posts to the target for each keystroke: wParam = virtual-key
// code, lParam = the hook's flags & 0x81 (0x01 extended, 0x80 released). Here
// it is the call of the target's KeyHandler with the same two values.
constexpr uint32_t kRecordedKeyMessage = 1034;  // WM_USER+10

class KeyRecordingHook final : public QObject {
  Q_OBJECT

 public:
  enum class Grab {
    none,     // not installed (no target, no application, or not the UI thread)
    taken,    // every keystroke of the session comes to the target
    pending,  // the target's window is not on screen yet: the grab is taken when it is (grab_changed)
    refused,  // no grab to be had: only keys typed into Option's own windows come to the target
  };
  Q_ENUM(Grab)

  using KeyHandler = std::function<void(uint32_t vk, uint32_t flags)>;

  explicit KeyRecordingHook(QObject* parent = nullptr);
  ~KeyRecordingHook() override;
  KeyRecordingHook(const KeyRecordingHook&) = delete;
  KeyRecordingHook& operator=(const KeyRecordingHook&) = delete;

  // Starts capturing for `target` (its top-level window holds the grab).
  // Installing again while installed moves the hook to the new target and
  // handler. Pairs already posted still reach the target they were posted to.
  Grab install(QWidget* target, KeyHandler on_key);
  // Releases the grab and stops capturing. False when nothing was installed.
  bool uninstall();

  bool installed() const { return handle_ != 0; }
  Grab grab() const { return grab_; }
  QWidget* target() const;
  // Non-zero while installed, new for every install (the "hook handle").
  uint32_t handle() const { return handle_; }

 signals:
  // grab() changed after install() returned: a pending grab was taken or
  // refused, a lost grab was taken again or could not be, or the hook went
  // (none).
  void grab_changed(mt::KeyRecordingHook::Grab grab);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Grab try_grab();
  void set_grab(Grab grab);
  void regrab();
  void release_grab();
  void drop();
  void deliver(uint32_t vk, uint32_t flags);

  QPointer<QWidget> target_;
  QPointer<QWidget> top_;          // the target's top-level widget
  QPointer<QWindow> grab_window_;  // the window the grab was taken for
  KeyHandler handler_;
  QMetaObject::Connection destroyed_;
  uint32_t handle_ = 0;
  Grab grab_ = Grab::none;
  bool regrab_queued_ = false;
  int auto_repeat_before_ = -1;  // the connection's detectable auto-repeat before install, -1 unknown
};

// The process's hook, made on first use and owned by the application object
// (which must exist).
KeyRecordingHook& key_recording_hook();

}  // namespace mt

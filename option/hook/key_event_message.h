// A Qt key event as the (virtual-key code, flags) pair the macro recorder and
// the key-capture dialogs take (flags: 0x01 extended key, 0x80 released).
//
// The pair comes from the physical key wherever the platform tells us which
// key it was: on X11 (xcb) and Wayland a key event's native scan code is the
// XKB keycode, evdev code + 8, and common/desktop_keys.h's table turns it into
// the pair, whatever the layout prints on the cap.
//
// Where the platform gives no keycode (offscreen, minimal, events made by a
// program) the pair is guessed from the event's Qt key and modifiers, as a US
// layout would have produced it:
//   - letters, digits and the US punctuation keys, shifted or not (Key_Exclam
//     is the '1' key, Key_Colon the ';' key);
//   - with Qt::KeypadModifier the keypad's own keys (Num_0..Num_9, Num_.,
//     operators, keypad Enter extended), also for the navigation keys that the
//     keypad gives without Num Lock, as the physical table records them;
//   - Shift, Ctrl, Alt and the Windows keys on the left, unless the native
//     virtual key (the X keysym on xcb and Wayland) names the right one
//     (Shift_R, Control_R, Alt_R, ISO_Level3_Shift, Super_R, Meta_R);
//   - navigation, editing, lock and function keys F1..F24, and the volume and
//     media keys (which the device's key table does not know: the recorder
//     and the dialogs take them as key code 0).
// Any other key (Key_unknown, letters outside A..Z, dead keys, ...) gives
// nothing. On an XKB platform a keycode outside the physical table (a
// Japanese or Brazilian extra key, a media key) is only guessed from its Qt
// key when that key is a function, volume or media key: a text key there is
// not a key of a PC keyboard, and naming it after its symbol would record a
// different key than the one pressed.
//
//   if (auto m = key_message_of(*key_event, platform_has_xkb_keycodes(QGuiApplication::platformName())))
//     deliver(m->vk, m->flags);
#pragma once

#include <QtCore/qnamespace.h>
#include <QStringView>
#include <cstdint>
#include <optional>

#include "common/desktop_keys.h"

class QKeyEvent;

namespace mt {

// True for the platforms whose native scan code is an XKB keycode.
bool platform_has_xkb_keycodes(QStringView platform_name);

// How much of the Qt-key guess to use.
enum class QtKeyGuess {
  all_keys,       // no physical key known at all
  function_keys,  // the keycode was there but not in the table: only F-keys, volume and media keys
};

// The pair guessed from a Qt key (Qt::Key), its modifiers and the native
// virtual key (an X keysym, 0 when there is none). Nothing for a key with no
// known virtual key.
std::optional<KeyMessage> key_message_from_qt_key(int key, Qt::KeyboardModifiers modifiers,
                                                  uint32_t native_virtual_key, bool released,
                                                  QtKeyGuess guess = QtKeyGuess::all_keys);

// One KeyPress or KeyRelease event (anything else gives nothing).
// `xkb_keycodes`: the event's native scan code may be trusted as an XKB keycode.
std::optional<KeyMessage> key_message_of(const QKeyEvent& event, bool xkb_keycodes);

}  // namespace mt

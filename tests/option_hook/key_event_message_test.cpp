#include "option/hook/key_event_message.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <optional>
#include <string>

namespace mt {
namespace {

std::string text(const std::optional<KeyMessage>& m) {
  if (!m) return "none";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02X/%02X", m->vk, m->flags);
  return buf;
}

constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;
constexpr Qt::KeyboardModifiers kPad = Qt::KeypadModifier;

TEST(QtKeyGuess, KeysWithoutAKeycodeAsAUsLayoutTypesThem) {
  struct Case {
    int key;
    Qt::KeyboardModifiers modifiers;
    uint32_t keysym;
    bool released;
    const char* pair;
  };
  const Case cases[] = {
      {Qt::Key_A, kNone, 0, false, "41/00"},
      {Qt::Key_Z, Qt::ShiftModifier, 0, true, "5A/80"},
      {Qt::Key_7, kNone, 0, false, "37/00"},
      {Qt::Key_Exclam, Qt::ShiftModifier, 0, false, "31/00"},  // Shift+1
      {Qt::Key_ParenRight, Qt::ShiftModifier, 0, false, "30/00"},
      {Qt::Key_Colon, Qt::ShiftModifier, 0, false, "BA/00"},
      {Qt::Key_Question, Qt::ShiftModifier, 0, true, "BF/80"},
      {Qt::Key_QuoteLeft, kNone, 0, false, "C0/00"},
      {Qt::Key_Space, kNone, 0, false, "20/00"},
      {Qt::Key_Backtab, Qt::ShiftModifier, 0, false, "09/00"},
      {Qt::Key_Return, kNone, 0, false, "0D/00"},
      // The side of a modifier comes from its keysym; left without one.
      {Qt::Key_Shift, kNone, 0, false, "A0/00"},
      {Qt::Key_Shift, kNone, 0xFFE2, true, "A1/80"},
      {Qt::Key_Control, kNone, 0xFFE3, false, "A2/00"},
      {Qt::Key_Control, kNone, 0xFFE4, false, "A3/01"},
      {Qt::Key_Alt, kNone, 0, false, "A4/00"},
      {Qt::Key_Alt, kNone, 0xFFEA, false, "A5/01"},
      {Qt::Key_AltGr, kNone, 0xFE03, false, "A5/01"},
      {Qt::Key_Super_L, kNone, 0, false, "5B/01"},
      {Qt::Key_Super_R, kNone, 0, false, "5C/01"},
      {Qt::Key_Meta, kNone, 0xFFE8, false, "5C/01"},
      {Qt::Key_Menu, kNone, 0, false, "5D/01"},
      // Grey navigation keys are extended; the keypad's are keypad keys.
      {Qt::Key_Left, kNone, 0, false, "25/01"},
      {Qt::Key_Left, kNone, 0, true, "25/81"},
      {Qt::Key_PageDown, kNone, 0, false, "22/01"},
      {Qt::Key_Delete, kNone, 0, false, "2E/01"},
      {Qt::Key_Home, kPad, 0, false, "67/00"},
      {Qt::Key_Delete, kPad, 0, false, "6E/00"},
      {Qt::Key_4, kPad, 0, false, "64/00"},
      {Qt::Key_Asterisk, kPad, 0, false, "6A/00"},
      {Qt::Key_Slash, kPad, 0, false, "6F/01"},
      {Qt::Key_Enter, kPad, 0, false, "0D/01"},
      {Qt::Key_NumLock, kNone, 0, false, "90/01"},
      {Qt::Key_CapsLock, kNone, 0, false, "14/00"},
      {Qt::Key_Print, kNone, 0, false, "2C/01"},
      {Qt::Key_Pause, kNone, 0, false, "13/00"},
      {Qt::Key_F1, kNone, 0, false, "70/00"},
      {Qt::Key_F12, kNone, 0, true, "7B/80"},
      {Qt::Key_F24, kNone, 0, false, "87/00"},
      {Qt::Key_VolumeMute, kNone, 0, false, "AD/01"},
      {Qt::Key_MediaTogglePlayPause, kNone, 0, false, "B3/01"},
      // Nothing for what no key of a US PC keyboard types.
      {Qt::Key_unknown, kNone, 0, false, "none"},
      {0, kNone, 0, false, "none"},
      {Qt::Key_Adiaeresis, kNone, 0, false, "none"},
      {Qt::Key_Dead_Acute, kNone, 0, false, "none"},
      {Qt::Key_Launch0, kNone, 0, false, "none"},
      {Qt::Key_F25, kNone, 0, false, "none"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(text(key_message_from_qt_key(c.key, c.modifiers, c.keysym, c.released)), c.pair)
        << "key 0x" << std::hex << c.key << " modifiers 0x" << c.modifiers.toInt() << " keysym 0x" << c.keysym;
}

TEST(KeyEventMessage, ThePhysicalKeyWinsWhereThePlatformNamesIt) {
  struct Case {
    QEvent::Type type;
    int key;
    quint32 scan;  // native scan code: X keycode on xcb and Wayland
    quint32 keysym;
    bool xkb;
    const char* pair;
  };
  const Case cases[] = {
      // The key right of Tab is Q, whatever the layout prints on it.
      {QEvent::KeyPress, Qt::Key_A, 24, 0x61, true, "51/00"},
      {QEvent::KeyRelease, Qt::Key_Left, 113, 0xFF51, true, "25/81"},
      {QEvent::KeyPress, Qt::Key_Control, 105, 0xFFE4, true, "A3/01"},
      {QEvent::KeyPress, Qt::Key_Shift, 62, 0xFFE2, true, "A1/00"},
      // A keycode outside the table: function and media keys by their Qt
      // key; a text key there is some other key than its symbol says.
      {QEvent::KeyPress, Qt::Key_VolumeMute, 121, 0x1008FF12, true, "AD/01"},
      {QEvent::KeyPress, Qt::Key_F13, 191, 0xFFCA, true, "7C/00"},
      {QEvent::KeyPress, Qt::Key_Backslash, 97, 0x5C, true, "none"},  // the Japanese Ro key
      // No keycode (a program's event): the Qt key.
      {QEvent::KeyPress, Qt::Key_B, 0, 0, true, "42/00"},
      // A platform whose scan codes mean nothing to us.
      {QEvent::KeyPress, Qt::Key_B, 38, 0, false, "42/00"},
      {QEvent::KeyPress, Qt::Key_unknown, 38, 0, false, "none"},
      {QEvent::ShortcutOverride, Qt::Key_A, 38, 0x61, true, "none"},
  };
  for (const Case& c : cases) {
    QKeyEvent event(c.type, c.key, Qt::NoModifier, c.scan, c.keysym, 0);
    EXPECT_EQ(text(key_message_of(event, c.xkb)), c.pair) << "key 0x" << std::hex << c.key << " scan " << std::dec
                                                           << c.scan << (c.xkb ? " xkb" : "");
  }

  EXPECT_TRUE(platform_has_xkb_keycodes(u"xcb"));
  EXPECT_TRUE(platform_has_xkb_keycodes(u"wayland"));
  EXPECT_TRUE(platform_has_xkb_keycodes(u"wayland-egl"));
  EXPECT_FALSE(platform_has_xkb_keycodes(u"offscreen"));
  EXPECT_FALSE(platform_has_xkb_keycodes(u"minimal"));
  EXPECT_FALSE(platform_has_xkb_keycodes(u""));
}

}  // namespace
}  // namespace mt

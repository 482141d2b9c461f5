#include "option/logic/key_capture.h"

#include <gtest/gtest.h>

namespace mt {
namespace {

std::string toggles(const KeyCapture& c) {
  std::string s;
  for (int i = 0; i < 5; ++i) s += std::string(c.toggle_on(i) ? "1" : "0") + (c.toggle_enabled(i) ? "" : "x") + " ";
  return s;
}

TEST(KeyCapture, TheLastKeystrokeWins) {
  KeyCapture c(4);
  EXPECT_EQ(c.key_text(), u"A");
  c.key_message(0xA2, 0x00);  // Ctrl down
  c.key_message(0x41, 0x00);  // A down
  c.key_message(0x41, 0x80);
  c.key_message(0xA2, 0x80);  // Ctrl let go last
  EXPECT_EQ(c.key_code(), 224);
  EXPECT_EQ(c.key_text(), u"Left Ctrl");
  c.key_message(0xA1, 0x00);
  c.key_message(0xA1, 0x80);
  EXPECT_EQ(c.key_code(), 229);
  EXPECT_EQ(c.key_text(), u"Right Shift");
  c.key_message(0x1B, 0x00);  // Esc is a key like any other
  EXPECT_EQ(c.key_code(), 41);
  c.key_message(0x29, 0x00);  // named, but not in the key table
  EXPECT_EQ(c.key_code(), 0);
  EXPECT_EQ(c.key_text(), u"Select");

  // OK without a key keeps the slot's key, even one the table lacks.
  EXPECT_EQ(KeyCapture(69).key_code(), 69);
  EXPECT_EQ(KeyCapture(50).key_code(), 50);
  EXPECT_EQ(KeyCapture(50).key_text(), u"");
}

TEST(KeyCapture, KeyAloneDisablesTheOthersWhichKeepTheirStates) {
  KeyCapture alone(4, 0x01);
  EXPECT_EQ(toggles(alone), "1 0x 0x 0x 0x ");
  EXPECT_EQ(alone.modifier_byte(), 0x01);

  KeyCapture c(4, 0x06);
  EXPECT_EQ(toggles(c), "0 1 1 0 0 ");
  c.set_toggle(kToggleShift, false);
  c.set_toggle(kToggleWin, true);
  EXPECT_EQ(c.modifier_byte(), 0x12);
  c.set_toggle(kToggleKeyAlone, true);
  EXPECT_EQ(toggles(c), "1 1x 0x 0x 1x ");
  EXPECT_EQ(c.modifier_byte(), 0x01);  // Ctrl and Win are remembered, not stored
  c.set_toggle(kToggleAlt, true);      // disabled: takes no clicks
  c.set_toggle(kToggleKeyAlone, false);
  EXPECT_EQ(toggles(c), "0 1 0 0 1 ");
  EXPECT_EQ(c.modifier_byte(), 0x12);
  c.set_toggle(5, true);
  c.set_toggle(-1, true);
  EXPECT_EQ(c.modifier_byte(), 0x12);
}

}  // namespace
}  // namespace mt

#include "common/desktop_keys.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace mt {
namespace {

// Physical keys (evdev codes) in the hook's terms, and the device code the
// recorder stores for them.
TEST(DesktopKeys, PhysicalKeysAsTheHookReportsThem) {
  const struct {
    uint32_t evdev;
    uint32_t vk;
    uint32_t flags;  // of the press
    int code;        // device key code; -1: not in the key table
    std::u16string_view name;
  } cases[] = {
      {30, 0x41, 0x00, 4, u"A"},            {44, 0x5A, 0x00, 29, u"Z"},  // by position, not by cap
      {16, 0x51, 0x00, 20, u"Q"},           {11, 0x30, 0x00, 39, u"0"},
      {1, 0x1B, 0x00, 41, u"Esc"},          {28, 0x0D, 0x00, 40, u"Enter"},
      {96, 0x0D, 0x01, 40, u"Enter"},       // keypad Enter: extended Enter, as the hook has it
      {42, 0xA0, 0x00, 225, u"Left Shift"}, {54, 0xA1, 0x00, 229, u"Right Shift"},  // not extended
      {29, 0xA2, 0x00, 224, u"Left Ctrl"},  {97, 0xA3, 0x01, 228, u"Right Ctrl"},
      {56, 0xA4, 0x00, 226, u"Left Alt"},   {100, 0xA5, 0x01, 230, u"Right Alt"},
      {125, 0x5B, 0x01, 227, u"L_WIN"},     {126, 0x5C, 0x01, 231, u"R_WIN"},
      {127, 0x5D, 0x01, 101, u"APP"},
      {103, 0x26, 0x01, 82, u"Up"},         {105, 0x25, 0x01, 80, u"Left"},
      {106, 0x27, 0x01, 79, u"Right"},      {108, 0x28, 0x01, 81, u"Down"},
      {110, 0x2D, 0x01, 73, u"Insert"},     {111, 0x2E, 0x01, 76, u"Delete"},
      {102, 0x24, 0x01, 74, u"Home"},       {107, 0x23, 0x01, 77, u"End"},
      {104, 0x21, 0x01, 75, u"Page UP"},    {109, 0x22, 0x01, 78, u"Page Down"},
      {98, 0x6F, 0x01, 84, u"Num_/"},       {55, 0x6A, 0x00, 85, u"Num_*"},
      {69, 0x90, 0x01, 83, u"Number Lock"}, {119, 0x13, 0x00, 72, u"Pause"},
      {99, 0x2C, 0x01, 70, u"Print Screen"}, {70, 0x91, 0x00, 71, u"Scroll Lock"},
      {71, 0x67, 0x00, 95, u"Num_7"},       {77, 0x66, 0x00, 94, u"Num_6"},  // whatever Num Lock says
      {83, 0x6E, 0x00, 99, u"Num_."},       {82, 0x60, 0x00, 98, u"Num_0"},
      {87, 0x7A, 0x00, 68, u"F11"},         {88, 0x7B, 0x00, 69, u"F12"},
      {43, 0xDC, 0x00, 49, u"\\"},          {41, 0xC0, 0x00, 53, u"`"},
      {86, 0xE2, 0x00, -1, u""},            // the ISO key: the mouse has no code for it
  };
  set_current_keyboard_layout(&desktop_keyboard_layout());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.evdev);
    const auto press = key_message(c.evdev, false);
    ASSERT_TRUE(press);
    EXPECT_EQ(press->vk, c.vk);
    EXPECT_EQ(press->flags, c.flags);
    const auto release = key_message_from_x11(c.evdev + 8, true);
    ASSERT_TRUE(release);
    EXPECT_EQ(release->vk, c.vk);
    EXPECT_EQ(release->flags, c.flags | 0x80);

    const DeviceCodeLookup code = virtual_key_to_device_code(c.vk);
    EXPECT_EQ(code.found, c.code >= 0);
    EXPECT_EQ(code.code, c.code >= 0 ? c.code : 0);
    EXPECT_EQ(key_name(c.vk), c.name);
  }
  set_current_keyboard_layout(nullptr);

  for (uint32_t evdev : {0u, 84u, 85u, 101u, 113u, 240u, 0x1000u}) EXPECT_FALSE(key_message(evdev, false)) << evdev;
  for (uint32_t keycode : {0u, 7u}) EXPECT_FALSE(key_message_from_x11(keycode, false)) << keycode;
}

// Every key of the key table that a PC keyboard has comes from some physical
// key, and every physical key goes vk -> device code -> vk -> name and back to
// itself through the desktop layout.
TEST(DesktopKeys, KeyTableReachableAndRoundTrips) {
  const KeyboardLayout& desk = desktop_keyboard_layout();
  std::set<uint32_t> evdevs;
  std::set<std::pair<uint32_t, bool>> pairs;
  std::set<uint32_t> vks;
  for (const PhysicalKey& k : physical_keys()) {
    EXPECT_TRUE(evdevs.insert(k.evdev).second) << k.evdev;
    EXPECT_TRUE(pairs.insert({k.vk, k.extended}).second) << k.evdev;
    vks.insert(k.vk);

    const DeviceCodeLookup code = virtual_key_to_device_code(k.vk, desk);
    if (!code.found) continue;
    SCOPED_TRACE(k.evdev);
    const VirtualKeyLookup back = device_code_to_virtual_key(code.code, desk);
    EXPECT_TRUE(back.found);
    EXPECT_EQ(back.vk, k.vk);
    EXPECT_FALSE(key_name(back.vk).empty());
  }
  int unreachable = 0;
  for (const KeyRow& row : key_table()) {
    const bool pc_key = row.vk != 0x6C && !(row.vk >= 0xF0 && row.vk <= 0xF4);  // keypad separator, mouse
    EXPECT_EQ(vks.count(row.vk) == 1, pc_key) << int(row.vk);
    unreachable += !pc_key;
  }
  EXPECT_EQ(unreachable, 6);

  // The layout answers from the same table: the positional rows' scan codes
  // both ways, extended keys only with their prefix, nothing for unknowns.
  for (const KeyRow& row : key_table()) {
    if (row.scan == 0) continue;
    EXPECT_EQ(desk.scan_code_of(row.vk), row.scan) << int(row.vk);
    EXPECT_EQ(desk.virtual_key_of(row.scan), row.vk) << int(row.vk);
  }
  EXPECT_EQ(desk.virtual_key_of(0x1D), 0xA2u);
  EXPECT_EQ(desk.virtual_key_of(0xE01D), 0xA3u);
  EXPECT_EQ(desk.virtual_key_of(0xE01C), 0x0Du);
  EXPECT_EQ(desk.virtual_key_of(0x45), 0x13u);
  EXPECT_EQ(desk.virtual_key_of(0xE045), 0x90u);
  EXPECT_EQ(desk.virtual_key_of(0xE01E), 0u);
  EXPECT_EQ(desk.virtual_key_of(0x1C1E), 0u);
  EXPECT_EQ(desk.virtual_key_of(0), 0u);
  EXPECT_EQ(desk.scan_code_of(0x10), 0x2Au);
  EXPECT_EQ(desk.scan_code_of(0xA3), 0x1Du);
  EXPECT_EQ(desk.scan_code_of(0xF0), 0u);
}

}  // namespace
}  // namespace mt

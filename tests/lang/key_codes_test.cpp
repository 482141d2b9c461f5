#include "common/key_codes.h"

#include <gtest/gtest.h>

#include <set>

namespace mt {
namespace {

TEST(KeyCodes, EdgeCasesOnTheUsLayout) {
  const struct {
    uint32_t vk;
    bool found;
    uint8_t code;
    std::u16string name;
  } to_code[] = {
      {0x41, true, 4, u"A"},         {0x5A, true, 29, u"Z"},
      {0x30, true, 39, u"0"},        {0x6C, true, 88, u"Num_ "},  // trailing space is part of it
      {0x10, false, 0, u""},         {0x11, false, 0, u""},
      {0x7B, true, 69, u"F12"},      {0xDC, true, 49, u"\\"},
      {0x25, true, 80, u"Left"},     {0xF0, true, 240, u"Left"},
      {0xF4, true, 244, u"Backward"}, {0xA3, true, 228, u"Right Ctrl"},
      {0x00, false, 0, u""},         {0xFF, false, 0, u""},
  };
  for (const auto& c : to_code) {
    SCOPED_TRACE(c.vk);
    const DeviceCodeLookup r = virtual_key_to_device_code(c.vk);
    EXPECT_EQ(r.found, c.found);
    EXPECT_EQ(r.code, c.code);
    EXPECT_EQ(key_name(c.vk), c.name);
  }

  const struct {
    uint32_t code;
    bool found;
    uint32_t vk;
  } to_vk[] = {{4, true, 0x41}, {240, true, 0xF0}, {94, true, 0x66}, {95, true, 0x67},
               {50, false, 0},  {100, false, 0},   {0, false, 0},    {3, false, 0},
               {245, false, 0}, {1000, false, 0}};
  for (const auto& c : to_vk) {
    SCOPED_TRACE(c.code);
    const VirtualKeyLookup r = device_code_to_virtual_key(c.code);
    EXPECT_EQ(r.found, c.found);
    EXPECT_EQ(r.vk, c.vk);
  }
  EXPECT_EQ(key_name(device_code_to_virtual_key(240).vk), u"Left");
}

TEST(KeyCodes, EveryRowRoundTripsOnTheUsLayout) {
  std::set<uint32_t> vks, codes;
  for (const KeyRow& row : key_table()) {
    SCOPED_TRACE(int(row.vk));
    EXPECT_TRUE(vks.insert(row.vk).second);
    EXPECT_TRUE(codes.insert(row.code).second);
    EXPECT_EQ(row.scan != 0, row.code >= 4 && row.code <= 69);
    const DeviceCodeLookup c = virtual_key_to_device_code(row.vk, us_keyboard_layout());
    EXPECT_TRUE(c.found);
    EXPECT_EQ(c.code, row.code);
    const VirtualKeyLookup v = device_code_to_virtual_key(row.code, us_keyboard_layout());
    EXPECT_TRUE(v.found);
    EXPECT_EQ(v.vk, row.vk);
  }
  EXPECT_EQ(key_table().size(), 109u);
}

TEST(KeyCodes, KeyNamesOfTheNamedRanges) {
  const struct {
    uint32_t vk;
    std::u16string name;
  } cases[] = {{0x08, u"BackSpace"},    {0x21, u"Page UP"},   {0x2A, u""},          {0x2F, u"Help"},
               {0x5B, u"L_WIN"},        {0x5D, u"APP"},       {0x5E, u""},          {0x60, u"Num_0"},
               {0x69, u"Num_9"},        {0x6A, u"Num_*"},     {0x6B, u"Num_+"},     {0x6F, u"Num_/"},
               {0x70, u"F1"},           {0x79, u"F10"},       {0x7C, u""},          {0x90, u"Number Lock"},
               {0xA0, u"Left Shift"},   {0xA5, u"Right Alt"}, {0xBA, u";"},         {0xC0, u"`"},
               {0xC1, u""},             {0xDB, u"["},         {0xDE, u"'"},         {0xF2, u"Wheel"},
               {0xF5, u""},             {0x1000, u""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.vk);
    EXPECT_EQ(key_name(c.vk), c.name);
  }
}

// A layout on which the keys capped Z and Y have traded places, as on a
// German keyboard.
class SwappedZyLayout final : public KeyboardLayout {
 public:
  uint32_t scan_code_of(uint32_t vk) const override {
    if (vk == 'Z') return 0x15;
    if (vk == 'Y') return 0x2C;
    return us_keyboard_layout().scan_code_of(vk);
  }
  uint32_t virtual_key_of(uint32_t scan) const override {
    if (scan == 0x15) return 'Z';
    if (scan == 0x2C) return 'Y';
    return us_keyboard_layout().virtual_key_of(scan);
  }
};

// A layout that knows none of the keys.
class EmptyLayout final : public KeyboardLayout {
 public:
  uint32_t scan_code_of(uint32_t) const override { return 0; }
  uint32_t virtual_key_of(uint32_t) const override { return 0; }
};

TEST(KeyCodes, KeysAreCodedByPosition) {
  const SwappedZyLayout layout;
  EXPECT_EQ(virtual_key_to_device_code('Z', layout).code, 28);  // sits where Y sits on US keyboards
  EXPECT_EQ(virtual_key_to_device_code('Y', layout).code, 29);
  EXPECT_EQ(device_code_to_virtual_key(28, layout).vk, uint32_t('Z'));
  EXPECT_EQ(device_code_to_virtual_key(29, layout).vk, uint32_t('Y'));
  EXPECT_EQ(virtual_key_to_device_code('A', layout).code, 4);
  EXPECT_EQ(virtual_key_to_device_code(0xA2, layout).code, 224);

  // The default layout is the installed one.
  set_current_keyboard_layout(&layout);
  EXPECT_EQ(virtual_key_to_device_code('Z').code, 28);
  EXPECT_EQ(device_code_to_virtual_key(28).vk, uint32_t('Z'));
  set_current_keyboard_layout(nullptr);
  EXPECT_EQ(virtual_key_to_device_code('Z').code, 29);
}

TEST(KeyCodes, KeyMissingFromTheLayoutKeepsItsOwnCode) {
  // Rows without a scan code carry 0; an unknown key must not match them and
  // turn into Print Screen (70), and no lookup may answer "found, key 0".
  const EmptyLayout layout;
  EXPECT_EQ(virtual_key_to_device_code('Q', layout).code, 20);
  EXPECT_EQ(virtual_key_to_device_code(0x7B, layout).code, 69);
  const VirtualKeyLookup v = device_code_to_virtual_key(20, layout);
  EXPECT_TRUE(v.found);
  EXPECT_EQ(v.vk, uint32_t('Q'));
}

}  // namespace
}  // namespace mt

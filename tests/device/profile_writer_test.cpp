#include "monitor/device/profile_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fake_device.h"
#include "monitor/device/device_reports.h"

namespace mt {
namespace {

using test::Step;

std::unique_ptr<ProfileRecord> profile_with_macros(int macro_buttons) {
  auto p = std::make_unique<ProfileRecord>();
  std::memset(p.get(), 0, sizeof *p);
  set_profile_defaults(*p, 0);
  const uint8_t functions[] = {48, kFnMacro, 85, 56};
  for (int i = 0; i < macro_buttons; ++i) {
    ButtonRecord& b = p->MacroKeyInfo[i + 1];
    b.function = functions[i % 4];
    b.repeat_count = 2;
    b.event_count = 2;
    b.events[0] = {0x04, 1, 120};
    b.events[1] = {0x04, 2, 1500};
  }
  return p;
}

std::vector<Step> record_write(const ProfileRecord& p) {
  std::vector<Step> log;
  test::RecordingTransport transport(log);
  test::RecordingSleeper sleeper(log);
  write_profile_to_device(p, transport, sleeper);
  return log;
}

TEST(WriteProfileToDevice, SequenceWithThreeMacroButtons) {
  auto p = profile_with_macros(3);
  std::vector<Step> log = record_write(*p);
  EXPECT_EQ(test::shapes(log), test::write_shape(3));
  EXPECT_EQ(test::total_sleep_ms(log), 1600 + 3 * 400);

  // The bytes are the encoders' own, in their parts.
  ButtonTables tables = button_tables(*p);
  std::vector<std::vector<uint8_t>> features, data;
  for (const Step& s : log) {
    if (s.kind == Step::kFeature) features.push_back(s.bytes);
    if (s.kind == Step::kData) data.push_back(s.bytes);
  }
  ASSERT_EQ(features.size(), 11u);
  EXPECT_EQ(test::hex(features[0]), test::hex(rate_command(*p)));
  EXPECT_EQ(test::hex(features[1]), test::hex(fixed_command()));
  EXPECT_EQ(test::hex(features[6]), test::hex(select_level_command(*p)));
  EXPECT_EQ(test::hex(features[7]), "12014000000000AC");
  for (int k = 1; k <= 3; ++k) EXPECT_EQ(test::hex(features[7 + k]), test::hex(macro_block_command(k)));

  ASSERT_EQ(data.size(), 2u + 2u + 3u * 4u);
  EXPECT_EQ(test::hex(data[0]), test::hex(colour_table(*p).data));
  EXPECT_EQ(test::hex(data[1]), test::hex(level_table(*p).data));
  EXPECT_EQ(test::hex(data[2]) + test::hex(data[3]), test::hex(tables.table));
  for (int k = 0; k < 3; ++k) {
    std::string joined;
    for (int part = 0; part < 4; ++part) joined += test::hex(data[4 + 4 * k + part]);
    EXPECT_EQ(joined, test::hex(tables.blocks[k])) << "block " << k + 1;
  }
  // Block 2 is the user macro: repeat 2, a 120 ms press, a 1500 ms release.
  EXPECT_EQ(test::hex(data[8]).substr(0, 16), "00020D0481041E02");
}

TEST(WriteProfileToDevice, WithoutMacrosNoBlockCommand) {
  std::vector<Step> log = record_write(*profile_with_macros(0));
  EXPECT_EQ(test::shapes(log), test::write_shape(0));
  EXPECT_EQ(test::total_sleep_ms(log), 1600);
}

TEST(WriteProfileToDevice, ElevenBlocksAtMost) {
  std::vector<Step> log = record_write(*profile_with_macros(13));
  EXPECT_EQ(test::shapes(log), test::write_shape(11));
  EXPECT_EQ(test::total_sleep_ms(log), 1600 + 11 * 400);
}

TEST(SelectProfileOnDevice, CommandThenPause) {
  std::vector<Step> log;
  test::RecordingTransport transport(log);
  test::RecordingSleeper sleeper(log);
  select_profile_on_device(2, transport, sleeper);
  ASSERT_EQ(test::shapes(log), (std::vector<std::string>{"F02", "S200"}));
  EXPECT_EQ(test::hex(log[0].bytes), "02020000000000FB");
}

}  // namespace
}  // namespace mt

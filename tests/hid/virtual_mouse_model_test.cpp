// The virtual mouse's protocol check and decoding, driven directly.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/settings_record.h"
#include "monitor/device/profile_writer.h"
#include "tools/virtual-mouse/mouse_commands.h"
#include "tools/virtual-mouse/mouse_model.h"
#include "tools/virtual-mouse/transfer_log.h"

namespace {

using Bytes = std::vector<uint8_t>;
using vmouse::MouseModel;

// A feature command with its check byte.
Bytes cmd(std::initializer_list<uint8_t> head) {
  Bytes c(head);
  c.resize(8, 0);
  unsigned sum = 0;
  for (int i = 0; i < 7; ++i) sum += c[i];
  c[7] = static_cast<uint8_t>(0xFF - (sum & 0xFF));
  return c;
}

// A step of a transfer sequence: a feature command or a data report.
struct Step {
  bool feature;
  Bytes bytes;
};
Step F(Bytes b) { return {true, std::move(b)}; }
Step D(size_t n, uint8_t fill = 0) { return {false, Bytes(n, fill)}; }

std::vector<std::string> run(MouseModel& m, const std::vector<Step>& steps) {
  std::vector<std::string> errors;
  for (const auto& s : steps) {
    auto e = s.feature ? m.feature(s.bytes.data(), s.bytes.size()) : m.data(s.bytes.data(), s.bytes.size());
    for (auto& x : e) errors.push_back(x.message);
  }
  return errors;
}

TEST(VirtualMouseCheck, WorkedCheckBytesPass) {
  MouseModel m;
  const Bytes worked[] = {{0x03, 0x00, 0x0F, 0xD8, 0x40, 0x00, 0x00, 0xD5},
                          {0x02, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFB}};
  for (const auto& w : worked) EXPECT_TRUE(m.feature(w.data(), w.size()).empty());
  const Bytes button_table = {0x12, 0x01, 0x40, 0x00, 0x00, 0x00, 0x00, 0xAC};
  EXPECT_TRUE(m.feature(button_table.data(), 8).empty());
  EXPECT_EQ(m.state().profile, 2);
  EXPECT_TRUE(m.state().fixed_seen);
}

struct SequenceCase {
  const char* name;
  std::vector<Step> steps;
  size_t errors;
  const char* first_error;  // substring of the first message, or ""
};

TEST(VirtualMouseCheck, FlagsEveryBrokenSequenceAndGoesOn) {
  const SequenceCase cases[] = {
      {"whole profile",
       {F(cmd({0x01, 2})), F(cmd({0x03, 0x00, 0x0F, 0xD8, 0x40})), F(cmd({0x0C, 0xFF})), F(cmd({0x0D, 1, 0x0A, 1})),
        F(cmd({0x10, 0x02, 0x04})), D(24), F(cmd({0x11, 0x05, 0x08})), D(8), F(cmd({0x0B, 3, 0x08})),
        F(cmd({0x12, 0x01, 0x40})), D(32), D(32), F(cmd({0x13, 1, 0x80})), D(32), D(32), D(32), D(32)},
       0, ""},
      {"bad check byte", {F({0x01, 0x02, 0, 0, 0, 0, 0, 0x00})}, 1, "bad check byte 00"},
      {"seven bytes", {F({0x01, 0x02, 0, 0, 0, 0, 0xFC})}, 1, "feature command of 7 bytes"},
      {"unknown command", {F(cmd({0x42}))}, 1, "unknown command 0x42"},
      {"data without command", {D(32)}, 1, "no command announced"},
      {"missing second button report", {F(cmd({0x12, 0x01, 0x40})), D(32), F(cmd({0x0B, 1, 0x08}))}, 1,
       "announced 2 data report(s) of 32 bytes, 1 arrived"},
      {"wrong length", {F(cmd({0x11, 0x05, 0x08})), D(32)}, 1, "data report of 32 bytes, command 0x11 announced 8"},
      {"extra report after table", {F(cmd({0x11, 0x05, 0x08})), D(8), D(8)}, 1, "no command announced"},
      {"macro number 12", {F(cmd({0x13, 12, 0x80})), D(32), D(32), D(32), D(32)}, 1, "number outside 1-11"},
      {"report interval 3 ms", {F(cmd({0x01, 3}))}, 1, "rate"},
      {"profile 5", {F(cmd({0x02, 5}))}, 1, "profile outside 0-4"},
      {"stray parameter byte", {F(cmd({0x0C, 1, 2, 3, 4}))}, 1, "colour command"},
      {"fixed command altered", {F(cmd({0x03, 0x00, 0x0F, 0xD8, 0x41}))}, 1, "fixed command"},
      {"light effect 0", {F(cmd({0x0D, 2, 0, 5}))}, 1, "light-mode"},
      // The mouse goes on: after the fault a good sequence is taken.
      {"recovers after a fault", {F(cmd({0x12, 0x01, 0x40})), F(cmd({0x11, 0x05, 0x08})), D(8)}, 1, "0x12 announced"},
  };
  for (const auto& c : cases) {
    MouseModel m;
    auto errors = run(m, c.steps);
    ASSERT_EQ(errors.size(), c.errors) << c.name << (errors.empty() ? "" : ": " + errors[0]);
    if (c.errors) {
      EXPECT_NE(errors[0].find(c.first_error), std::string::npos) << c.name << ": " << errors[0];
    }
  }
}

TEST(VirtualMouseCheck, FaultyTransfersChangeNothing) {
  MouseModel m;
  run(m, {F(cmd({0x02, 1})), F(cmd({0x11, 0x05, 0x08})), D(8, 0x04)});
  ASSERT_TRUE(m.state().levels.has_value());
  // Bad check byte, bad parameters, torn table: the held state stays.
  Bytes bad = cmd({0x02, 3});
  bad[7] ^= 1;
  EXPECT_EQ(run(m, {F(bad), F(cmd({0x02, 9})), F(cmd({0x11, 0x05, 0x08})), D(24, 0x06)}).size(), 3u);
  EXPECT_EQ(m.state().profile, 1);
  EXPECT_EQ((*m.state().levels)[0], 0x04);
  // A faulty command's data is taken but not applied, and is no new fault.
  EXPECT_EQ(run(m, {F(cmd({0x13, 0, 0x80})), D(32), D(32), D(32), D(32)}).size(), 1u);
  EXPECT_TRUE(m.state().macros.empty());
}

TEST(VirtualMouseCheck, InterruptReportsDataStillOwed) {
  MouseModel m;
  EXPECT_TRUE(m.interrupt().empty());
  run(m, {F(cmd({0x13, 2, 0x80})), D(32), D(32)});
  auto errors = m.interrupt();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].message.find("4 data report(s) of 32 bytes, 2 arrived"), std::string::npos);
  EXPECT_EQ(errors[0].bytes, cmd({0x13, 2, 0x80}));
  // The half block is gone; the next stream starts clean.
  EXPECT_TRUE(run(m, {F(cmd({0x01, 2}))}).empty());
  EXPECT_TRUE(m.state().macros.empty());
}

TEST(VirtualMouseDecode, LevelCodes) {
  const struct {
    uint8_t code;
    int cpi;
  } cases[] = {{0x01, 250}, {0x04, 1000}, {0x08, 2000}, {0x25, 2500}, {0x26, 3000}, {0x28, 4000},
               {0x06, 1500}, {0x84, 1000}, {0xA6, 3000}, {0x00, 0},   {0x09, 0},    {0x29, 0}};
  for (const auto& c : cases) EXPECT_EQ(vmouse::level_code_cpi(c.code), c.cpi) << int(c.code);
}

TEST(VirtualMouseDecode, MacroBlockEvents) {
  std::array<uint8_t, 128> block{};
  // repeat 258; press E0 (0 ms), press 06 after 120 ms (t=12 -> 0x0D),
  // long press of 04 after 1500 ms, release 06 short, release E0 long.
  const uint8_t head[] = {0x01, 0x02, 0x01, 0xE0, 0x0D, 0x06, 0x01, 0x04, 30, 0x02, 0x81, 0x06, 0x81, 0xE0, 200, 0x02};
  std::copy(std::begin(head), std::end(head), block.begin());
  auto info = vmouse::decode_macro_block(block);
  EXPECT_EQ(info.repeat, 258);
  EXPECT_FALSE(info.malformed);
  ASSERT_EQ(info.events.size(), 5u);
  EXPECT_TRUE(info.events[0].press);
  EXPECT_EQ(info.events[0].key, 0xE0);
  EXPECT_EQ(info.events[1].delay_ms, 120);
  EXPECT_FALSE(info.events[1].long_form);
  EXPECT_TRUE(info.events[2].long_form);
  EXPECT_EQ(info.events[2].delay_ms, 1500);
  EXPECT_FALSE(info.events[3].press);
  EXPECT_EQ(info.events[4].delay_ms, 10000);

  std::array<uint8_t, 128> odd{};
  odd[2] = 0x02;  // an even first byte is no event
  EXPECT_TRUE(vmouse::decode_macro_block(odd).malformed);
  std::array<uint8_t, 128> tail{};
  tail[2] = 0x01;
  tail[3] = 0x04;
  tail[100] = 0x55;  // bytes after the end must be zero
  EXPECT_TRUE(vmouse::decode_macro_block(tail).malformed);
}

TEST(VirtualMouseDecode, ButtonRecords) {
  const struct {
    Bytes record;
    const char* expect;
  } cases[] = {
      {{0x01, 0x00, 0xF0, 0x00}, "\"type\":\"mouse\",\"key\":\"0xF0\",\"name\":\"Left\""},
      {{0x00, 0x00, 0x00, 0x00}, "\"type\":\"none\""},
      {{0x00, 0x03, 0x06, 0x00}, "\"type\":\"key\",\"modifiers\":[\"Ctrl\",\"Shift\"],\"key\":\"0x06\""},
      {{0x00, 0x08, 0x00, 0x00}, "\"modifiers\":[\"Win\"],\"key\":\"0x00\""},
      {{0x03, 0x00, 0x83, 0x01}, "\"type\":\"consumer\",\"usage\":\"0x0183\""},
      {{0x06, 0x00, 0x0A, 0x05}, "\"type\":\"event\",\"event_type\":\"0x000A\",\"value\":5"},
      {{0x06, 0x00, 0xA0, 0x00}, "\"event_type\":\"0x00A0\""},
      {{0x09, 0x00, 0x03, 0x04}, "\"type\":\"macro\",\"macro\":3"},
      {{0x0A, 0x00, 0x19, 0x19}, "\"type\":\"device\",\"code\":\"0x0A\""},
      {{0x7F, 0x01, 0x02, 0x03}, "\"type\":\"unknown\""},
  };
  for (const auto& c : cases) {
    std::string json = vmouse::button_json(4, c.record.data());
    EXPECT_NE(json.find(c.expect), std::string::npos) << json;
    EXPECT_NE(json.find("\"button\":4"), std::string::npos) << json;
  }
}

TEST(VirtualMouseDecode, DumpShowsMeanings) {
  MouseModel m;
  EXPECT_NE(m.state_json(true, false).find("\"profile\":null"), std::string::npos);
  Bytes levels = {0x04, 0x84, 0x26, 0x06, 0x28, 0x80, 0x80, 0x80};
  Bytes table(24, 0);
  table[0] = 0x12, table[1] = 0x34, table[2] = 0x56;
  auto errors = run(m, {F(cmd({0x01, 1})), F(cmd({0x0C, 0xFF, 0x80, 0x00})), F(cmd({0x0D, 2, 4, 5})),
                        F(cmd({0x10, 0x02, 0x04})), {false, table}, F(cmd({0x11, 0x05, 0x08})), {false, levels},
                        F(cmd({0x0B, 2, 0x08}))});
  ASSERT_TRUE(errors.empty()) << errors[0];
  std::string json = m.state_json(true, true);
  for (const char* part : {"\"rate_ms\":1", "\"colour\":\"#FF8000\"",
                           "\"light\":{\"mode\":\"effect\",\"effect\":4,\"colours\":\"palette\"}",
                           "\"colour_table\":{\"kind\":\"single\",\"colour\":\"#123456\"}",
                           "{\"level\":2,\"code\":\"0x84\",\"enabled\":false,\"cpi\":1000}",
                           "{\"level\":3,\"code\":\"0x26\",\"enabled\":true,\"cpi\":3000}", "\"level\":2,",
                           "\"attached\":true,\"connected\":true"}) {
    EXPECT_NE(json.find(part), std::string::npos) << part << " in " << json;
  }
}

TEST(VirtualMouseOwnChanges, TheMouseHoldsWhatItReports) {
  struct Case {
    uint16_t type, value;
    int profile, level, rate_ms;  // held afterwards
  } cases[] = {
      {0x0803, 3, 3, 2, 4},  {0x08FF, 0, 0, 2, 4},  {0x0805, 5, 1, 2, 4},  // no profile 5
      {0x0704, 4, 1, 4, 4},  {0x0706, 6, 1, 2, 4},  {0x0700, 0, 1, 2, 4},  // levels 1-5 only
      {0xD000, 1, 1, 2, 8},  {0xD000, 4, 1, 2, 1},  {0xD000, 5, 1, 2, 4},  // intervals 8/4/2/1
      {0xC000, 0x0505, 1, 2, 4}, {0x0B00, 2, 1, 2, 4}, {0x000A, 1, 1, 2, 4},
  };
  for (const Case& c : cases) {
    MouseModel m;
    ASSERT_TRUE(run(m, {F(cmd({0x02, 1})), F(cmd({0x0B, 2, 0x08})), F(cmd({0x01, 4}))}).empty());
    m.report_event(c.type, c.value);
    EXPECT_EQ(m.state().profile, c.profile) << std::hex << c.type << " " << c.value;
    EXPECT_EQ(m.state().level, c.level) << std::hex << c.type << " " << c.value;
    EXPECT_EQ(m.state().rate_ms, c.rate_ms) << std::hex << c.type << " " << c.value;
  }
}

// Feeds what the suite writes to the mouse into a model.
class ModelTransport final : public mt::HidTransport {
 public:
  explicit ModelTransport(MouseModel& m) : m_(m) {}
  int set_feature(const uint8_t* data, int length) override {
    for (auto& e : m_.feature(data, static_cast<size_t>(length))) errors.push_back(e.message);
    return length;
  }
  int write_usb(const uint8_t* data, int length) override {
    for (auto& e : m_.data(data, static_cast<size_t>(length))) errors.push_back(e.message);
    return length;
  }
  std::vector<std::string> errors;

 private:
  MouseModel& m_;
};

class NoPause final : public mt::Sleeper {
 public:
  void sleep_ms(int) override {}
};

TEST(VirtualMouseOwnChanges, AFactoryResetHoldsTheSuitesFactoryProfile) {
  // What the suite writes for factory profile 0 ...
  auto record = std::make_unique<mt::SettingsRecord>();
  mt::clear(*record);
  mt::set_factory_defaults(*record);
  MouseModel written;
  ModelTransport transport(written);
  NoPause no_pause;
  mt::write_profile_to_device(record->profiles[0], transport, no_pause);
  mt::select_profile_on_device(0, transport, no_pause);
  ASSERT_TRUE(transport.errors.empty()) << transport.errors[0];

  // ... is what a mouse holds after its own reset, whatever it held before.
  MouseModel reset;
  Bytes block(32, 0x11);
  ASSERT_TRUE(run(reset, {F(cmd({0x03, 0x00, 0x0F, 0xD8, 0x40})), F(cmd({0x02, 4})), F(cmd({0x0C, 1, 2, 3})),
                          F(cmd({0x13, 1, 0x80})), {false, block}, {false, block}, {false, block}, {false, block}})
                  .empty());
  ASSERT_EQ(reset.state().macros.size(), 1u);
  reset.report_event(0x0B00, 3);
  EXPECT_EQ(reset.state_json(true, true), written.state_json(true, true));
  EXPECT_TRUE(reset.state().macros.empty());
}

TEST(VirtualMouseCommands, ParsesLines) {
  const struct {
    const char* line;
    vmouse::Command::Kind kind;
    uint16_t type, value;
  } cases[] = {
      {"event 0x000A 5", vmouse::Command::kEvent, 0x000A, 5},
      {"  event   0XB100 0x2010  ", vmouse::Command::kEvent, 0xB100, 0x2010},
      {"event 65535 0xffff", vmouse::Command::kEvent, 0xFFFF, 0xFFFF},
      {"event 010 1", vmouse::Command::kEvent, 10, 1},  // decimal, not octal
      {"event 0x10000 1", vmouse::Command::kBad, 0, 0},
      {"event -1 1", vmouse::Command::kBad, 0, 0},
      {"event 0x 1", vmouse::Command::kBad, 0, 0},
      {"event 12abc 1", vmouse::Command::kBad, 0, 0},
      {"event 1", vmouse::Command::kBad, 0, 0},
      {"event 1 2 3", vmouse::Command::kBad, 0, 0},
      {"unplug", vmouse::Command::kUnplug, 0, 0},
      {"plug", vmouse::Command::kPlug, 0, 0},
      {"dump", vmouse::Command::kDump, 0, 0},
      {"quit", vmouse::Command::kQuit, 0, 0},
      {"quit now", vmouse::Command::kBad, 0, 0},
      {"explode", vmouse::Command::kBad, 0, 0},
      {"", vmouse::Command::kNone, 0, 0},
      {"   ", vmouse::Command::kNone, 0, 0},
  };
  for (const auto& c : cases) {
    auto cmd = vmouse::parse_command(c.line);
    EXPECT_EQ(cmd.kind, c.kind) << c.line;
    if (c.kind == vmouse::Command::kEvent) {
      EXPECT_EQ(cmd.type, c.type) << c.line;
      EXPECT_EQ(cmd.value, c.value) << c.line;
    }
    if (c.kind == vmouse::Command::kBad) {
      EXPECT_FALSE(cmd.error.empty()) << c.line;
    }
  }
}

TEST(VirtualMouseLog, LinesAreJson) {
  EXPECT_EQ(vmouse::log_line(1.5, "feature", {0x03, 0x0F}), R"({"ms":1.500,"kind":"feature","hex":"03 0F"})");
  EXPECT_EQ(vmouse::log_line(0, "error", {}, "bad \"x\"\n"),
            R"({"ms":0.000,"kind":"error","hex":"","message":"bad \"x\"\n"})");
}

}  // namespace

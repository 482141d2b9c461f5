// What the virtual mouse makes of the transfers it receives: every feature
// command and data report is checked against the device protocol, and the
// settings a real mouse would hold afterwards are kept and decoded back into
// their meanings for `dump`.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vmouse {

struct ProtocolError {
  std::string message;
  std::vector<uint8_t> bytes;  // the offending transfer, or the command owed data
};

// Settings the mouse holds, as last received; empty until first set.
struct MouseState {
  std::optional<int> profile;    // select profile, 0..4
  std::optional<int> rate_ms;  // report interval: 8, 4, 2 or 1
  bool fixed_seen = false;       // the fixed command arrived at least once
  std::optional<std::array<uint8_t, 3>> colour;  // red, green, blue
  std::optional<std::array<uint8_t, 3>> light;   // light-mode bytes 1-3
  std::optional<bool> colour_table_palette;
  std::array<uint8_t, 24> colour_table{};
  std::optional<std::array<uint8_t, 8>> levels;
  std::optional<int> level;  // selected level, 1..5
  std::optional<std::array<uint8_t, 64>> buttons;
  std::map<int, std::array<uint8_t, 128>> macros;  // by macro number 1..11
};

class MouseModel {
 public:
  // Each returns the protocol errors the transfer shows; a transfer with an
  // error changes nothing, and the mouse goes on with the next one.
  std::vector<ProtocolError> feature(const uint8_t* data, size_t length);
  std::vector<ProtocolError> data(const uint8_t* data, size_t length);
  // The stream ended (plug-in gone, mouse unplugged, program ending): data
  // still owed to a command is missing, and a new stream starts afresh.
  std::vector<ProtocolError> interrupt();

  // The mouse reports a change it made itself (an event word's type and
  // value): it holds the change from then on, as a real mouse does. Profile
  // (0x08xx, 0-4), level (0x07xx, 1-5), report rate (0xD000, 1-4 for
  // 8/4/2/1 ms) and factory reset (0x0B00, 3); other events change nothing.
  void report_event(uint16_t type, uint16_t value);
  // What the mouse holds after a factory reset: the suite's factory profile
  // 0 (profile 0, level 3, 2 ms, red, palette effect 1, levels 1000-4000
  // counts per inch, the factory buttons, no macros).
  void factory_reset();

  const MouseState& state() const { return state_; }
  // One JSON object; `attached` and `connected` are the program's to tell.
  std::string state_json(bool attached, bool connected) const;

 private:
  struct Pending {
    std::array<uint8_t, 8> command;
    size_t report_length;
    int reports_wanted;
    int reports_got;
    std::vector<uint8_t> collected;
    bool apply;  // false when the command itself was faulty
  };

  std::optional<ProtocolError> check_command(const uint8_t* c);
  void expect(const uint8_t* c, size_t report_length, int reports, bool apply);
  void complete(const Pending& p);
  ProtocolError missing(const Pending& p) const;

  MouseState state_;
  std::optional<Pending> pending_;
};

// Decoders, also used by the tests.

// Counts per inch of a level code (the enable bit 0x80 ignored); 0 when the
// code names no known step.
int level_code_cpi(uint8_t code);

struct MacroEventInfo {
  bool press;
  uint8_t key;
  int delay_ms;  // short form to 20 ms (the press bit shares t's low bit)
  bool long_form;
};

struct MacroBlockInfo {
  int repeat = 0;
  std::vector<MacroEventInfo> events;
  bool malformed = false;  // an event that is neither form, or cut off
};

MacroBlockInfo decode_macro_block(const std::array<uint8_t, 128>& block);

// The button record as a JSON object ({"type": ..., and its parameters}).
std::string button_json(int index, const uint8_t* record);

// "03 00 0F" — upper-case bytes separated by spaces.
std::string hex_bytes(const uint8_t* data, size_t length);
std::string json_string(const std::string& text);

}  // namespace vmouse

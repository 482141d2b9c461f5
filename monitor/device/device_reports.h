// The bytes Monitor sends to the mouse, built from one profile record.
//
// Two kinds of transfer exist: 8-byte feature commands (code, six parameter
// bytes, check byte) and data reports of 8, 24 or 32 bytes that follow the
// feature command announcing them. Every function here is pure: it reads the
// profile it is given and returns the bytes by value; the profile writer
// (profile_writer.h) sends them in order.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "common/macro_block.h"
#include "common/settings_record.h"

namespace mt {

using FeatureCommand = std::array<uint8_t, 8>;

// Command codes (byte 0 of a feature command).
enum CommandCode : uint8_t {
  kCmdRate = 0x01,
  kCmdSelectProfile = 0x02,
  kCmdFixed = 0x03,
  kCmdSelectLevel = 0x0B,
  kCmdColour = 0x0C,
  kCmdLightMode = 0x0D,
  kCmdColourTable = 0x10,
  kCmdLevelTable = 0x11,
  kCmdButtonTable = 0x12,
  kCmdMacroBlock = 0x13,
};

constexpr int kMaxMacroBlocks = 11;
constexpr int kMacroBlockSize = kMacroBlockBytes;
constexpr int kButtonTableSize = 64;
constexpr int kDataPartSize = 32;  // button tables and macro blocks go out in 32-byte parts

// 0xFF minus the sum of bytes 0-6, so that all eight bytes add up to 0xFF.
uint8_t check_byte(const FeatureCommand& command);
// A feature command with its check byte filled in.
FeatureCommand make_feature(uint8_t code, uint8_t b1 = 0, uint8_t b2 = 0, uint8_t b3 = 0,
                            uint8_t b4 = 0, uint8_t b5 = 0, uint8_t b6 = 0);

// Report interval in ms for PollingRate 0..3 (125..1000 reports/s); 2 otherwise.
uint8_t rate_code(int32_t polling_rate);
FeatureCommand rate_command(const ProfileRecord& profile);
FeatureCommand select_profile_command(int index);
FeatureCommand fixed_command();
FeatureCommand colour_command(const ProfileRecord& profile);
FeatureCommand light_mode_command(const ProfileRecord& profile);
FeatureCommand select_level_command(const ProfileRecord& profile);

struct ColourTable {
  FeatureCommand command;
  std::array<uint8_t, 24> data;
};
// Palette (LightSwitch 1) or the single colour of LightColor.
ColourTable colour_table(const ProfileRecord& profile);

// Device code of a CpiLevel_X value: 1-8 as is, 9-12 -> 0x25-0x28, else 0x06.
uint8_t level_code(int32_t cpi_level);

struct LevelTable {
  FeatureCommand command;
  std::array<uint8_t, 8> data;
};
// Levels 1-5 from dpiStepFlag and CpiLevel_X, then three 0x80 bytes. A
// disabled level is 0x80 with the step bits of the level before it; a
// disabled first level, having none before it, takes its own.
LevelTable level_table(const ProfileRecord& profile);

using MacroBlock = std::array<uint8_t, kMacroBlockSize>;

// The 4-byte button record of one button, before macro numbering: the
// translation of its function code with the parameters of codes 5, 17 and 22
// filled in. Unknown codes give 00 00 00 00.
std::array<uint8_t, 4> button_record(const ButtonRecord& button, int button_index,
                                     int32_t otg_speed);

// A user macro (function 16) as a 128-byte block: repeat count high byte
// first, then the events in short or long form. Events that no longer fit
// whole are dropped with everything after them (macro_block_fit, shared with
// the macro editor), so the block never overruns; at most 60 events are read
// whatever the event count says.
MacroBlock encode_user_macro(const ButtonRecord& button);
// The fixed block of a built-in shortcut (48-58, 64-70, 84, 85); false for
// any other function code.
bool shortcut_block(uint8_t function, MacroBlock& block);

// The button table and the macro blocks, built in one pass over the 16
// buttons: macro buttons (record type 0x09) are numbered 1..11 in button
// order; later ones keep 0 and get no block.
struct ButtonTables {
  FeatureCommand command;                        // 0x12
  std::array<uint8_t, kButtonTableSize> table;   // sent as two 32-byte parts
  int block_count = 0;                           // 0..11
  std::array<MacroBlock, kMaxMacroBlocks> blocks;  // block k (1-based) at [k - 1]
};
ButtonTables button_tables(const ProfileRecord& profile);
// 0x13 announcing macro block k (1..11).
FeatureCommand macro_block_command(int k);

}  // namespace mt

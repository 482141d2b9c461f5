// The commands the virtual mouse reads on standard input, one per line.
#pragma once

#include <cstdint>
#include <string>

namespace vmouse {

struct Command {
  enum Kind { kNone, kEvent, kUnplug, kPlug, kDump, kQuit, kBad } kind = kNone;
  uint16_t type = 0;   // kEvent
  uint16_t value = 0;  // kEvent
  std::string error;   // kBad: what is wrong with the line
};

// "event <type> <value>" (numbers as 0x hex or decimal, 0..0xFFFF), "unplug",
// "plug", "dump", "quit"; an empty line is kNone.
Command parse_command(const std::string& line);

// A number as 0x hex or plain decimal; no sign, no octal, nothing after it.
bool parse_number(const std::string& text, uint32_t max, uint32_t* out);

}  // namespace vmouse

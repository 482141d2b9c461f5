#include "tools/virtual-mouse/mouse_commands.h"

#include <sstream>
#include <vector>

namespace vmouse {

bool parse_number(const std::string& text, uint32_t max, uint32_t* out) {
  size_t pos = 0;
  unsigned base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    pos = 2;
  }
  if (pos == text.size()) return false;
  uint64_t value = 0;
  for (; pos < text.size(); ++pos) {
    const char c = text[pos];
    unsigned digit;
    if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
    else if (base == 16 && c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
    else if (base == 16 && c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
    else return false;
    value = value * base + digit;
    if (value > max) return false;
  }
  *out = static_cast<uint32_t>(value);
  return true;
}

Command parse_command(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  Command cmd;
  if (words.empty()) return cmd;
  auto bad = [&](const std::string& why) {
    cmd.kind = Command::kBad;
    cmd.error = why;
    return cmd;
  };
  const std::string& verb = words[0];
  if (verb == "event") {
    if (words.size() != 3) return bad("usage: event <type> <value>");
    uint32_t type, value;
    if (!parse_number(words[1], 0xFFFF, &type)) return bad("event type is not a number 0..0xFFFF: " + words[1]);
    if (!parse_number(words[2], 0xFFFF, &value)) return bad("event value is not a number 0..0xFFFF: " + words[2]);
    cmd.kind = Command::kEvent;
    cmd.type = static_cast<uint16_t>(type);
    cmd.value = static_cast<uint16_t>(value);
    return cmd;
  }
  Command::Kind kind;
  if (verb == "unplug") kind = Command::kUnplug;
  else if (verb == "plug") kind = Command::kPlug;
  else if (verb == "dump") kind = Command::kDump;
  else if (verb == "quit") kind = Command::kQuit;
  else return bad("unknown command: " + verb);
  if (words.size() != 1) return bad(verb + " takes no arguments");
  cmd.kind = kind;
  return cmd;
}

}  // namespace vmouse

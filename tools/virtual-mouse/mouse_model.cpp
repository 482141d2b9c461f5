#include "tools/virtual-mouse/mouse_model.h"

#include <cstdio>
#include <cstring>

namespace vmouse {

namespace {

std::string hex2(unsigned v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "0x%02X", v & 0xFF);
  return buf;
}

std::string hex4(unsigned v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "0x%04X", v & 0xFFFF);
  return buf;
}

std::string colour_text(const uint8_t* rgb) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%02X%02X%02X", rgb[0], rgb[1], rgb[2]);
  return json_string(buf);
}

bool zero_from(const uint8_t* c, int first) {
  for (int i = first; i <= 6; ++i)
    if (c[i] != 0) return false;
  return true;
}

std::vector<uint8_t> bytes_of(const uint8_t* data, size_t length) { return {data, data + length}; }

// Names of the mouse-button key codes 0xF0..0xF4.
const char* mouse_key_name(uint8_t key) {
  static const char* const kNames[] = {"Left", "Right", "Wheel", "Forward", "Backward"};
  return key >= 0xF0 && key <= 0xF4 ? kNames[key - 0xF0] : nullptr;
}

}  // namespace

std::string hex_bytes(const uint8_t* data, size_t length) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(length * 3);
  for (size_t i = 0; i < length; ++i) {
    if (i) out += ' ';
    out += kDigits[data[i] >> 4];
    out += kDigits[data[i] & 0x0F];
  }
  return out;
}

std::string json_string(const std::string& text) {
  std::string out = "\"";
  for (unsigned char ch : text) {
    switch (ch) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (ch < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04X", ch);
          out += buf;
        } else {
          out += static_cast<char>(ch);
        }
    }
  }
  return out + "\"";
}

int level_code_cpi(uint8_t code) {
  const uint8_t c = code & 0x7F;
  if (c >= 1 && c <= 8) return 250 * c;
  if (c >= 0x25 && c <= 0x28) return 2500 + 500 * (c - 0x25);
  return 0;
}

MacroBlockInfo decode_macro_block(const std::array<uint8_t, 128>& b) {
  MacroBlockInfo info;
  info.repeat = (b[0] << 8) | b[1];
  size_t pos = 2;
  while (pos < b.size()) {
    const uint8_t first = b[pos];
    if (first == 0) {
      // The events end at the first zero; the rest of the block must be zero.
      for (size_t i = pos; i < b.size(); ++i)
        if (b[i] != 0) info.malformed = true;
      break;
    }
    // Every event's first byte is odd, so 0x02 four bytes on can only be the
    // end marker of a long-form event.
    if ((first == 0x01 || first == 0x81) && pos + 3 < b.size() && b[pos + 3] == 0x02) {
      info.events.push_back({first == 0x01, b[pos + 1], b[pos + 2] * 50, true});
      pos += 4;
      continue;
    }
    if ((first & 0x01) == 0 || pos + 1 >= b.size()) {
      info.malformed = true;
      break;
    }
    info.events.push_back({(first & 0x80) == 0, b[pos + 1], (first & 0x7E) * 10, false});
    pos += 2;
  }
  return info;
}

std::string button_json(int index, const uint8_t* r) {
  std::string out = "{\"button\":" + std::to_string(index) + ",\"hex\":" + json_string(hex_bytes(r, 4));
  switch (r[0]) {
    case 0x00:
      if (r[1] == 0 && r[2] == 0 && r[3] == 0) {
        out += ",\"type\":\"none\"";
      } else {
        static const char* const kMods[] = {"Ctrl", "Shift", "Alt", "Win"};
        out += ",\"type\":\"key\",\"modifiers\":[";
        bool first = true;
        for (int bit = 0; bit < 4; ++bit) {
          if (!(r[1] & (1 << bit))) continue;
          if (!first) out += ',';
          out += json_string(kMods[bit]);
          first = false;
        }
        out += "],\"key\":" + json_string(hex2(r[2]));
      }
      break;
    case 0x01: {
      out += ",\"type\":\"mouse\",\"key\":" + json_string(hex2(r[2]));
      const char* name = mouse_key_name(r[2]);
      if (name) out += ",\"name\":" + json_string(name);
      break;
    }
    case 0x03:
      out += ",\"type\":\"consumer\",\"usage\":" + json_string(hex4(r[2] | (r[3] << 8)));
      break;
    case 0x06:
      out += ",\"type\":\"event\",\"event_type\":" + json_string(hex4(r[2])) + ",\"value\":" + std::to_string(r[3]);
      break;
    case 0x09:
      out += ",\"type\":\"macro\",\"macro\":" + std::to_string(r[2]);
      break;
    case 0x04: case 0x05: case 0x07: case 0x08: case 0x0A: case 0x0B:
      out += ",\"type\":\"device\",\"code\":" + json_string(hex2(r[0]));
      break;
    default:
      out += ",\"type\":\"unknown\"";
  }
  return out + "}";
}

std::optional<ProtocolError> MouseModel::check_command(const uint8_t* c) {
  auto fault = [&](const std::string& what) { return ProtocolError{what, bytes_of(c, 8)}; };
  switch (c[0]) {
    case 0x01:
      // Byte 1 is the report interval in milliseconds.
      if ((c[1] != 1 && c[1] != 2 && c[1] != 4 && c[1] != 8) || !zero_from(c, 2))
        return fault("rate command with an unknown report interval or parameters");
      return std::nullopt;
    case 0x02:
      if (c[1] > 4 || !zero_from(c, 2)) return fault("select-profile command with a profile outside 0-4");
      return std::nullopt;
    case 0x03: {
      static const uint8_t kFixed[6] = {0x00, 0x0F, 0xD8, 0x40, 0x00, 0x00};
      if (std::memcmp(c + 1, kFixed, 6) != 0) return fault("fixed command with other bytes than 00 0F D8 40");
      return std::nullopt;
    }
    case 0x0B:
      if (c[1] < 1 || c[1] > 5 || c[2] != 0x08 || !zero_from(c, 3))
        return fault("select-level command with a level outside 1-5 or unknown parameters");
      return std::nullopt;
    case 0x0C:
      if (!zero_from(c, 4)) return fault("colour command with unknown parameters");
      return std::nullopt;
    case 0x0D: {
      bool ok = zero_from(c, 4);
      if (c[1] == 0x01) ok = ok && (c[2] == 0x0A || c[2] == 0x05 || c[2] == 0x01) && c[3] == 0x01;
      else if (c[1] == 0x02) ok = ok && c[2] >= 1 && c[2] <= 5 && (c[3] == 0x05 || c[3] == 0x01);
      else ok = ok && c[1] == 0 && c[2] == 0 && c[3] == 0;
      if (!ok) return fault("light-mode command with an unknown mode, brightness or effect");
      return std::nullopt;
    }
    case 0x10:
      if (!((c[1] == 0x00 && c[2] == 0x18) || (c[1] == 0x02 && c[2] == 0x04)) || !zero_from(c, 3))
        return fault("colour-table command with unknown parameters");
      return std::nullopt;
    case 0x11:
      if (c[1] != 0x05 || c[2] != 0x08 || !zero_from(c, 3)) return fault("level-table command with unknown parameters");
      return std::nullopt;
    case 0x12:
      if (c[1] != 0x01 || c[2] != 0x40 || !zero_from(c, 3)) return fault("button-table command with unknown parameters");
      return std::nullopt;
    case 0x13:
      if (c[1] < 1 || c[1] > 11 || c[2] != 0x80 || !zero_from(c, 3))
        return fault("macro-block command with a number outside 1-11 or unknown parameters");
      return std::nullopt;
    default:
      return fault("unknown command " + hex2(c[0]));
  }
}

void MouseModel::expect(const uint8_t* c, size_t report_length, int reports, bool apply) {
  Pending p;
  std::memcpy(p.command.data(), c, 8);
  p.report_length = report_length;
  p.reports_wanted = reports;
  p.reports_got = 0;
  p.apply = apply;
  pending_ = std::move(p);
}

ProtocolError MouseModel::missing(const Pending& p) const {
  return {"command " + hex2(p.command[0]) + " announced " + std::to_string(p.reports_wanted) + " data report(s) of " +
              std::to_string(p.report_length) + " bytes, " + std::to_string(p.reports_got) + " arrived",
          bytes_of(p.command.data(), 8)};
}

std::vector<ProtocolError> MouseModel::feature(const uint8_t* data, size_t length) {
  std::vector<ProtocolError> errors;
  if (pending_) {
    errors.push_back(missing(*pending_));
    pending_.reset();
  }
  if (length != 8) {
    errors.push_back({"feature command of " + std::to_string(length) + " bytes, not 8", bytes_of(data, length)});
    return errors;
  }
  unsigned sum = 0;
  for (size_t i = 0; i < 8; ++i) sum += data[i];
  if ((sum & 0xFF) != 0xFF) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "bad check byte %02X: the bytes add up to %02X, not FF (check byte should be %02X)",
                  data[7], sum & 0xFF, (0xFF - (sum - data[7])) & 0xFF);
    errors.push_back({buf, bytes_of(data, 8)});
    return errors;
  }
  auto fault = check_command(data);
  if (fault) errors.push_back(*fault);
  const bool ok = !fault;
  switch (data[0]) {
    case 0x01: if (ok) state_.rate_ms = data[1]; break;
    case 0x02: if (ok) state_.profile = data[1]; break;
    case 0x03: if (ok) state_.fixed_seen = true; break;
    case 0x0B: if (ok) state_.level = data[1]; break;
    case 0x0C: if (ok) state_.colour = std::array<uint8_t, 3>{data[1], data[2], data[3]}; break;
    case 0x0D: if (ok) state_.light = std::array<uint8_t, 3>{data[1], data[2], data[3]}; break;
    // A faulty command that announces data still takes its data, so that one
    // fault is reported once and not again for every report after it.
    case 0x10: expect(data, 24, 1, ok); break;
    case 0x11: expect(data, 8, 1, ok); break;
    case 0x12: expect(data, 32, 2, ok); break;
    case 0x13: expect(data, 32, 4, ok); break;
    default: break;
  }
  return errors;
}

std::vector<ProtocolError> MouseModel::data(const uint8_t* data, size_t length) {
  std::vector<ProtocolError> errors;
  if (!pending_) {
    errors.push_back({"data report of " + std::to_string(length) + " bytes that no command announced",
                      bytes_of(data, length)});
    return errors;
  }
  if (length != pending_->report_length) {
    errors.push_back({"data report of " + std::to_string(length) + " bytes, command " + hex2(pending_->command[0]) +
                          " announced " + std::to_string(pending_->report_length) + "-byte reports",
                      bytes_of(data, length)});
    pending_.reset();  // the table is torn: none of it is taken
    return errors;
  }
  pending_->collected.insert(pending_->collected.end(), data, data + length);
  if (++pending_->reports_got == pending_->reports_wanted) {
    if (pending_->apply) complete(*pending_);
    pending_.reset();
  }
  return errors;
}

std::vector<ProtocolError> MouseModel::interrupt() {
  std::vector<ProtocolError> errors;
  if (pending_) errors.push_back(missing(*pending_));
  pending_.reset();
  return errors;
}

void MouseModel::report_event(uint16_t type, uint16_t value) {
  if ((type & 0xFF00) == 0x0800 && value <= 4) {
    state_.profile = value;
  } else if ((type & 0xFF00) == 0x0700 && value >= 1 && value <= 5) {
    state_.level = value;
  } else if (type == 0xD000 && value >= 1 && value <= 4) {
    static const int kIntervals[] = {8, 4, 2, 1};
    state_.rate_ms = kIntervals[value - 1];
  } else if (type == 0x0B00 && value == 3) {
    factory_reset();
  }
}

void MouseModel::factory_reset() {
  const bool fixed_seen = state_.fixed_seen;  // what has arrived, not a setting
  state_ = MouseState{};
  state_.fixed_seen = fixed_seen;
  state_.profile = 0;
  state_.rate_ms = 2;
  state_.colour = std::array<uint8_t, 3>{0xFF, 0x00, 0x00};
  state_.light = std::array<uint8_t, 3>{0x02, 0x01, 0x05};
  state_.colour_table_palette = true;
  state_.colour_table = {0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00,
                         0xFF, 0x00, 0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00};
  state_.levels = std::array<uint8_t, 8>{0x04, 0x06, 0x08, 0x26, 0x28, 0x80, 0x80, 0x80};
  state_.level = 3;
  // Left, right, wheel, forward, backward, the two profile buttons; slots
  // 7-13 unused; the two level buttons.
  static const uint8_t kButtons[16][4] = {
      {0x01, 0x00, 0xF0, 0x00}, {0x01, 0x00, 0xF1, 0x00}, {0x01, 0x00, 0xF2, 0x00}, {0x01, 0x00, 0xF4, 0x00},
      {0x01, 0x00, 0xF3, 0x00}, {0x07, 0x00, 0x01, 0x00}, {0x07, 0x00, 0x02, 0x00}, {},
      {},                       {},                       {},                       {},
      {},                       {},                       {0x04, 0x00, 0x01, 0x00}, {0x04, 0x00, 0x02, 0x00},
  };
  std::array<uint8_t, 64> buttons;
  std::memcpy(buttons.data(), kButtons, sizeof kButtons);
  state_.buttons = buttons;
}

void MouseModel::complete(const Pending& p) {
  const uint8_t* d = p.collected.data();
  switch (p.command[0]) {
    case 0x10:
      state_.colour_table_palette = p.command[1] == 0x00;
      std::memcpy(state_.colour_table.data(), d, 24);
      break;
    case 0x11: {
      std::array<uint8_t, 8> t;
      std::memcpy(t.data(), d, 8);
      state_.levels = t;
      break;
    }
    case 0x12: {
      std::array<uint8_t, 64> t;
      std::memcpy(t.data(), d, 64);
      state_.buttons = t;
      break;
    }
    case 0x13: {
      std::array<uint8_t, 128> t;
      std::memcpy(t.data(), d, 128);
      state_.macros[p.command[1]] = t;
      break;
    }
    default:
      break;
  }
}

std::string MouseModel::state_json(bool attached, bool connected) const {
  const MouseState& s = state_;
  auto opt_int = [](const std::optional<int>& v) { return v ? std::to_string(*v) : std::string("null"); };
  std::string out = "{";
  out += "\"attached\":" + std::string(attached ? "true" : "false");
  out += ",\"connected\":" + std::string(connected ? "true" : "false");
  out += ",\"profile\":" + opt_int(s.profile);
  out += ",\"rate_ms\":" + (s.rate_ms ? std::to_string(*s.rate_ms) : std::string("null"));
  out += ",\"fixed\":" + std::string(s.fixed_seen ? "true" : "false");
  out += ",\"colour\":" + (s.colour ? colour_text(s.colour->data()) : std::string("null"));

  out += ",\"light\":";
  if (!s.light) {
    out += "null";
  } else {
    const auto& l = *s.light;
    if (l[0] == 0x01) {
      const int brightness = l[1] == 0x0A ? 0 : l[1] == 0x05 ? 1 : 2;
      out += "{\"mode\":\"steady\",\"brightness\":" + std::to_string(brightness) + "}";
    } else if (l[0] == 0x02) {
      out += "{\"mode\":\"effect\",\"effect\":" + std::to_string(l[1]) + ",\"colours\":" +
             (l[2] == 0x05 ? "\"palette\"" : "\"single\"") + "}";
    } else {
      out += "{\"mode\":\"off\"}";
    }
  }

  out += ",\"colour_table\":";
  if (!s.colour_table_palette) {
    out += "null";
  } else if (*s.colour_table_palette) {
    out += "{\"kind\":\"palette\",\"colours\":[";
    for (int i = 0; i < 8; ++i) out += (i ? "," : "") + colour_text(s.colour_table.data() + 3 * i);
    out += "]}";
  } else {
    out += "{\"kind\":\"single\",\"colour\":" + colour_text(s.colour_table.data()) + "}";
  }

  out += ",\"levels\":";
  if (!s.levels) {
    out += "null";
  } else {
    out += "[";
    for (int i = 0; i < 5; ++i) {
      const uint8_t code = (*s.levels)[i];
      const int cpi = level_code_cpi(code);
      out += std::string(i ? "," : "") + "{\"level\":" + std::to_string(i + 1) + ",\"code\":" +
             json_string(hex2(code)) + ",\"enabled\":" + ((code & 0x80) ? "false" : "true") +
             ",\"cpi\":" + (cpi ? std::to_string(cpi) : std::string("null")) + "}";
    }
    out += "]";
  }
  out += ",\"level\":" + opt_int(s.level);

  out += ",\"buttons\":";
  if (!s.buttons) {
    out += "null";
  } else {
    out += "[";
    for (int i = 0; i < 16; ++i) {
      if (i) out += ",";
      out += button_json(i, s.buttons->data() + 4 * i);
    }
    out += "]";
  }

  out += ",\"macros\":[";
  bool first = true;
  for (const auto& [number, block] : s.macros) {
    MacroBlockInfo info = decode_macro_block(block);
    out += std::string(first ? "" : ",") + "{\"macro\":" + std::to_string(number) +
           ",\"repeat\":" + std::to_string(info.repeat) + ",\"events\":[";
    for (size_t i = 0; i < info.events.size(); ++i) {
      const auto& e = info.events[i];
      out += std::string(i ? "," : "") + "{\"action\":" + (e.press ? "\"press\"" : "\"release\"") +
             ",\"key\":" + json_string(hex2(e.key)) + ",\"delay_ms\":" + std::to_string(e.delay_ms) + "}";
    }
    out += "],\"malformed\":" + std::string(info.malformed ? "true" : "false") + "}";
    first = false;
  }
  out += "]}";
  return out;
}

}  // namespace vmouse

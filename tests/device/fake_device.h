// A transport and a sleeper that record what the writer does, in one log, so
// tests can compare whole sequences of transfers and pauses.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "monitor/device/hid_transport.h"
#include "monitor/device/profile_writer.h"

namespace mt::test {

struct Step {
  enum Kind { kFeature, kData, kSleep, kNote } kind;
  std::vector<uint8_t> bytes;  // kFeature, kData
  int ms = 0;                  // kSleep
  std::string note;            // kNote: callbacks and the like

  bool operator==(const Step&) const = default;
};

// "F01" / "D24" / "S100" / the note: the shape of a sequence at a glance.
inline std::string shape(const Step& s) {
  char buf[16];
  switch (s.kind) {
    case Step::kFeature: std::snprintf(buf, sizeof buf, "F%02X", s.bytes.empty() ? 0 : s.bytes[0]); return buf;
    case Step::kData: return "D" + std::to_string(s.bytes.size());
    case Step::kSleep: return "S" + std::to_string(s.ms);
    case Step::kNote: return s.note;
  }
  return "?";
}

inline std::vector<std::string> shapes(const std::vector<Step>& log) {
  std::vector<std::string> out;
  for (const Step& s : log) out.push_back(shape(s));
  return out;
}

class RecordingTransport final : public HidTransport {
 public:
  explicit RecordingTransport(std::vector<Step>& log) : log_(log) {}
  int set_feature(const uint8_t* data, int length) override {
    log_.push_back({Step::kFeature, {data, data + length}, 0, {}});
    return 1;
  }
  int write_usb(const uint8_t* data, int length) override {
    log_.push_back({Step::kData, {data, data + length}, 0, {}});
    return length;
  }

 private:
  std::vector<Step>& log_;
};

// Returns at once. on_sleep, when set, runs inside the n-th pause (0-based),
// on whatever thread the writer runs.
class RecordingSleeper final : public Sleeper {
 public:
  explicit RecordingSleeper(std::vector<Step>& log) : log_(log) {}
  void sleep_ms(int ms) override {
    log_.push_back({Step::kSleep, {}, ms, {}});
    if (on_sleep) on_sleep(calls_);
    ++calls_;
  }
  std::function<void(int)> on_sleep;

 private:
  std::vector<Step>& log_;
  int calls_ = 0;
};

// Upper-case hex without spaces, the way the bytes are written down.
template <class Bytes>
std::string hex(const Bytes& bytes) {
  std::string out;
  char buf[3];
  for (uint8_t b : bytes) {
    std::snprintf(buf, sizeof buf, "%02X", b);
    out += buf;
  }
  return out;
}

inline int total_sleep_ms(const std::vector<Step>& log) {
  int sum = 0;
  for (const Step& s : log)
    if (s.kind == Step::kSleep) sum += s.ms;
  return sum;
}

// The shape of a whole profile write with the given number of macro blocks.
inline std::vector<std::string> write_shape(int blocks) {
  std::vector<std::string> s = {
      "F01", "S100", "F03", "S100", "F0C", "S100", "F0D", "S100",  // rate, fixed, colour, light mode
      "F10", "D24", "S150", "S100",                                // colour table
      "F11", "S50", "D8", "S50", "S100",                           // level table
      "F0B", "S100",                                               // level
      "F12", "S150", "D32", "S100", "D32", "S100", "S200",         // button table
  };
  for (int k = 0; k < blocks; ++k) {
    for (const char* x : {"F13", "S150", "D32", "S50", "D32", "S50", "D32", "S50", "D32", "S50", "S50"})
      s.push_back(x);
  }
  s.push_back("S100");
  return s;
}

}  // namespace mt::test

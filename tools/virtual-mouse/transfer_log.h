// The virtual mouse's log: one JSON object per line for every transfer it
// received and every protocol error it found, stamped on receipt.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace vmouse {

// {"ms": 12.345, "kind": "feature", "hex": "01 02 ..."} and, for errors, a
// "message". `ms` counts from the program's start.
std::string log_line(double ms, const char* kind, const std::vector<uint8_t>& bytes, const std::string& message = "");

class TransferLog {
 public:
  ~TransferLog();
  bool open(const std::string& path);
  // Written and flushed at once, so a reader sees every line that happened.
  void write(double ms, const char* kind, const std::vector<uint8_t>& bytes, const std::string& message = "");

 private:
  FILE* file_ = nullptr;
};

}  // namespace vmouse

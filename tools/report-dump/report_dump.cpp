// report-dump <profile-file>
//
// Reads one profile file the way Monitor loads it and prints the complete
// write sequence for that profile, one step a line:
//   feature <HEX>   an 8-byte feature command
//   data <HEX>      a data report (8, 24 or 32 bytes)
//   sleep <ms>      a pause
// Hex is upper case without spaces. Nothing is sent anywhere and nothing
// waits. Exit code 0; 1 when the file cannot be read; 2 on wrong usage.
#include <cstdio>
#include <cstring>
#include <memory>

#include "common/settings_files.h"
#include "common/settings_record.h"
#include "monitor/device/hid_transport.h"
#include "monitor/device/profile_writer.h"

namespace {

void print_hex(const char* kind, const uint8_t* data, int length) {
  std::printf("%s ", kind);
  for (int i = 0; i < length; ++i) std::printf("%02X", data[i]);
  std::printf("\n");
}

class PrintingTransport final : public mt::HidTransport {
 public:
  int set_feature(const uint8_t* data, int length) override {
    print_hex("feature", data, length);
    return 1;
  }
  int write_usb(const uint8_t* data, int length) override {
    print_hex("data", data, length);
    return length;
  }
};

class PrintingSleeper final : public mt::Sleeper {
 public:
  void sleep_ms(int ms) override { std::printf("sleep %d\n", ms); }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: report-dump <profile-file>\n");
    return 2;
  }
  // Monitor clears its record before loading: every byte not in the file is 0.
  auto profile = std::make_unique<mt::ProfileRecord>();
  std::memset(profile.get(), 0, sizeof *profile);
  if (!mt::read_profile_file(*profile, argv[1])) {
    std::fprintf(stderr, "report-dump: cannot read profile file %s\n", argv[1]);
    return 1;
  }
  PrintingTransport transport;
  PrintingSleeper sleeper;
  mt::write_profile_to_device(*profile, transport, sleeper);
  return std::fflush(stdout) == 0 ? 0 : 1;
}

// How closely a real-time profile write keeps its fixed pauses.
//
// A profile with three macro buttons is written with the real writer and
// sleeper through the simulated plug-in (loaded from a program folder) to the
// virtual mouse, which stamps every transfer on receipt. For each write it
// prints the total time, the sum of the fixed pauses (1600 ms + 400 ms per
// macro block), and the largest and smallest gap, where a gap is the time
// between two transfers minus the fixed pause before the second.
//
//   write_timing [runs]     (default 3)
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/settings_record.h"
#include "monitor/device/hid_library.h"
#include "monitor/device/profile_writer.h"
#include "tools/virtual-mouse/mouse_process.h"

namespace {

namespace fs = std::filesystem;

struct Transfer {
  double ms;
  bool feature;
  int code;  // first byte of a feature command
};

std::vector<Transfer> read_log(const std::string& path) {
  std::vector<Transfer> out;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    auto kind_at = line.find("\"kind\":\"");
    auto hex_at = line.find("\"hex\":\"");
    if (kind_at == std::string::npos || hex_at == std::string::npos) continue;
    const std::string kind = line.substr(kind_at + 8, line.find('"', kind_at + 8) - kind_at - 8);
    if (kind == "error") {
      std::fprintf(stderr, "mouse reported: %s\n", line.c_str());
      continue;
    }
    Transfer t;
    t.ms = std::strtod(line.c_str() + line.find("\"ms\":") + 5, nullptr);
    t.feature = kind == "feature";
    t.code = static_cast<int>(std::strtol(line.substr(hex_at + 7, 2).c_str(), nullptr, 16));
    out.push_back(t);
  }
  return out;
}

// The fixed pause after each transfer of one profile write, from the order
// the writer keeps: commands 0x01, 0x03, 0x0C, 0x0D, 0x0B take 100 ms; 0x10
// is followed at once by its table and then 150 + 100 ms; 0x11, 50 ms, its
// table, 50 + 100 ms; 0x12, 150 ms, two reports 100 ms apart, then 200 ms;
// each 0x13, 150 ms, four reports 50 ms apart and 50 ms more; and 100 ms
// after the last block (or the button table when there is none).
std::vector<int> fixed_pauses(const std::vector<Transfer>& run) {
  std::vector<int> pause(run.size(), 0);
  int command = 0, data_index = 0;
  for (size_t i = 0; i < run.size(); ++i) {
    if (run[i].feature) {
      command = run[i].code;
      data_index = 0;
      switch (command) {
        case 0x10: pause[i] = 0; break;
        case 0x11: pause[i] = 50; break;
        case 0x12:
        case 0x13: pause[i] = 150; break;
        default: pause[i] = 100; break;
      }
      continue;
    }
    ++data_index;
    switch (command) {
      case 0x10: pause[i] = 250; break;
      case 0x11: pause[i] = 150; break;
      case 0x12: pause[i] = data_index == 1 ? 100 : 300; break;
      case 0x13: pause[i] = data_index < 4 ? 50 : 100; break;
      default: break;
    }
  }
  if (!run.empty()) pause.back() += 100;
  return pause;
}

void add_macro_buttons(mt::ProfileRecord& p) {
  p.MacroKeyInfo[3].function = 48;  // Ctrl+C
  p.MacroKeyInfo[5].function = 64;  // Alt+F4
  mt::ButtonRecord& m = p.MacroKeyInfo[4];
  m.function = mt::kFnMacro;
  m.repeat_count = 2;
  const mt::MacroEvent events[] = {{0x04, 1, 120}, {0x04, 2, 1500}, {0x05, 1, 30}, {0x05, 2, 0}};
  m.event_count = 4;
  std::copy(std::begin(events), std::end(events), m.events);
}

// Stamps every call on the writer's side, so a gap the mouse sees can be
// told apart from receipt jitter: start and return of each transfer.
class TimedTransport : public mt::HidTransport {
 public:
  explicit TimedTransport(mt::HidTransport& inner) : inner_(inner) {}
  int set_feature(const uint8_t* data, int length) override {
    return timed([&] { return inner_.set_feature(data, length); });
  }
  int write_usb(const uint8_t* data, int length) override {
    return timed([&] { return inner_.write_usb(data, length); });
  }
  struct Call {
    double start_ms, end_ms;
  };
  std::vector<Call> calls;

 private:
  template <typename Fn>
  int timed(Fn fn) {
    const double start = now();
    const int r = fn();
    calls.push_back({start, now()});
    return r;
  }
  static double now() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
  }
  mt::HidTransport& inner_;
};

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  char tmpl[] = "/tmp/mt-write-timing-XXXXXX";
  if (!mkdtemp(tmpl)) return 1;
  const std::string root = tmpl;
  setenv("XDG_RUNTIME_DIR", root.c_str(), 1);
  const std::string program = root + "/program/";
  fs::create_directory(program);
  fs::copy_file(MT_BENCH_SIM_PLUGIN, program + "hiddriver.so");
  const std::string log = root + "/mouse.log";

  int status = 1;
  bool per_run_mismatch = false;
  {
    vmouse::MouseProcess mouse;
    mt::HidLibrary lib;
    if (!mouse.start(MT_BENCH_VIRTUAL_MOUSE, {"--log", log})) {
      std::fprintf(stderr, "virtual mouse did not start: %s\n", mouse.error_text().c_str());
    } else if (!lib.load(program)) {
      std::fprintf(stderr, "plug-in did not load: %s\n", lib.load_error().c_str());
    } else {
      lib.set_vid_pid(0x1017, 0x8003);
      lib.open_feature_device();
      if (lib.open_report_device() == 0) {
        std::fprintf(stderr, "the virtual mouse is not attached\n");
      } else {
        auto profile = std::make_unique<mt::ProfileRecord>();
        mt::set_profile_defaults(*profile, 0);
        add_macro_buttons(*profile);
        mt::SteadySleeper sleeper;
        TimedTransport timed(lib);
        std::vector<double> totals;
        for (int r = 0; r < runs; ++r) {
          auto t0 = std::chrono::steady_clock::now();
          mt::write_profile_to_device(*profile, timed, sleeper);
          totals.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
        }
        std::string dump = mouse.dump();  // every transfer is in the log now
        const auto all = read_log(log);
        const size_t per_run = all.size() / static_cast<size_t>(runs);
        if (timed.calls.size() != all.size()) {
          std::fprintf(stderr, "the mouse logged %zu transfers, the writer made %zu\n", all.size(), timed.calls.size());
          per_run_mismatch = true;
        }
        std::printf("profile write with 3 macro buttons, %d run(s), %zu transfers each\n", runs, per_run);
        std::printf("gaps as the mouse stamped them on receipt, and as the writer made them (next call's start\n"
                    "minus the previous call's return minus the fixed pause); call = mean time in one transfer\n");
        std::printf("%-4s %10s %8s %10s %9s %11s %11s %11s %11s %8s\n", "run", "total ms", "fixed", "overhead",
                    "overhead", "mouse max", "mouse min", "writer max", "writer min", "call ms");
        double worst_gap_low = 1e9, worst_gap_high = -1e9, worst_overhead = 0;
        for (int r = 0; r < runs && per_run > 1 && !per_run_mismatch; ++r) {
          std::vector<Transfer> run(all.begin() + static_cast<long>(per_run * r),
                                    all.begin() + static_cast<long>(per_run * (r + 1)));
          auto pause = fixed_pauses(run);
          int fixed = 0;
          for (int p : pause) fixed += p;
          double lo = 1e9, hi = -1e9, wlo = 1e9, whi = -1e9, call_sum = 0;
          const auto* calls = timed.calls.data() + per_run * static_cast<size_t>(r);
          for (size_t i = 0; i < run.size(); ++i) {
            call_sum += calls[i].end_ms - calls[i].start_ms;
            if (i == 0) continue;
            const double gap = run[i].ms - run[i - 1].ms - pause[i - 1];
            lo = std::min(lo, gap);
            hi = std::max(hi, gap);
            const double wgap = calls[i].start_ms - calls[i - 1].end_ms - pause[i - 1];
            wlo = std::min(wlo, wgap);
            whi = std::max(whi, wgap);
          }
          const double overhead = totals[static_cast<size_t>(r)] - fixed;
          std::printf("%-4d %10.3f %8d %10.3f %8.3f%% %11.3f %11.3f %11.3f %11.3f %8.3f\n", r + 1,
                      totals[static_cast<size_t>(r)], fixed, overhead, 100.0 * overhead / fixed, hi, lo, whi, wlo,
                      call_sum / static_cast<double>(run.size()));
          worst_gap_low = std::min(worst_gap_low, lo);
          worst_gap_high = std::max(worst_gap_high, hi);
          worst_overhead = std::max(worst_overhead, 100.0 * overhead / fixed);
        }
        std::printf("all runs: largest gap %.3f ms, smallest gap %.3f ms, largest overhead %.3f%%\n", worst_gap_high,
                    worst_gap_low, worst_overhead);
        std::printf("target: no gap below 0 ms, overhead <= 1%% of the fixed pauses\n");
        if (dump.find("\"errors\":0") == std::string::npos) std::printf("the mouse found protocol errors: %s\n", dump.c_str());
        status = per_run_mismatch ? 1 : 0;
      }
      lib.close_report_device();
      lib.close_feature_device();
      lib.unload();
    }
  }
  std::error_code ec;
  fs::remove_all(root, ec);
  return status;
}

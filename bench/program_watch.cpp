// One tick of the running-program watch with 500 real processes running:
// the median time of a tick, and how many /proc files and links one tick
// reads. For comparison, the time a walk of the whole process list (folder
// names only) takes to reach the same process.
#include <dirent.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "monitor/program_watch.h"
#include "platform/text.h"

extern char** environ;

namespace {

constexpr int kProcesses = 500;
constexpr int kTicks = 5000;

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  return v[static_cast<std::size_t>(p * (v.size() - 1))];
}

// The process list walked from its start to pid, reading entry names only.
bool walk_to(int pid) {
  DIR* dir = opendir("/proc");
  if (!dir) return false;
  bool found = false;
  while (dirent* e = readdir(dir)) {
    if (std::atoi(e->d_name) == pid) {
      found = true;
      break;
    }
  }
  closedir(dir);
  return found;
}

}  // namespace

int main() {
  std::vector<pid_t> children;
  char arg0[] = "sleep", arg1[] = "600";
  char* argv[] = {arg0, arg1, nullptr};
  for (int i = 0; i < kProcesses; ++i) {
    pid_t pid;
    if (posix_spawn(&pid, "/bin/sleep", nullptr, nullptr, argv, environ) != 0) break;
    children.push_back(pid);
  }
  if (children.size() != static_cast<std::size_t>(kProcesses)) {
    std::fprintf(stderr, "could start only %zu processes\n", children.size());
  }

  auto record = std::make_unique<mt::SettingsRecord>();
  mt::clear(*record);
  record->CurrentProfile = 0;
  const char16_t* games[] = {u"C:\\Games\\Quake3\\quake3.exe", u"  D:\\UT\\System\\UT2004.EXE ", u"/usr/games/xonotic",
                             u"hl2.exe", u"C:\\Windows\\System32\\SLEEP"};
  for (int p = 0; p < mt::kProfileCount; ++p) platform::set_fixed_text(record->profiles[p].GameFile, games[p]);

  std::size_t next = 0;
  mt::ProcProcessTable table;
  mt::CProgramWatch watch([&]() -> std::optional<int> { return children[next++ % children.size()]; }, table);

  int matched = 0;
  for (int i = 0; i < 200; ++i) matched += watch.tick(*record) == 4;  // warm up
  std::size_t reads_before = table.reads();
  matched = 0;
  std::vector<double> us;
  us.reserve(kTicks);
  for (int i = 0; i < kTicks; ++i) {
    auto t0 = std::chrono::steady_clock::now();
    matched += watch.tick(*record) == 4;
    auto t1 = std::chrono::steady_clock::now();
    us.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
  }
  double reads_per_tick = static_cast<double>(table.reads() - reads_before) / kTicks;

  std::vector<double> walk_us;
  for (int i = 0; i < 500; ++i) {
    pid_t target = children[static_cast<std::size_t>(i) % children.size()];
    auto t0 = std::chrono::steady_clock::now();
    walk_to(target);
    auto t1 = std::chrono::steady_clock::now();
    walk_us.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
  }

  std::printf("program watch tick, %zu processes running (+ the rest of the system)\n", children.size());
  std::printf("  ticks: %d, switched to the bound profile: %d\n", kTicks, matched);
  std::printf("  median %.1f us, p90 %.1f us, max %.1f us (target <= 2000 us)\n", median(us), percentile(us, 0.9),
              *std::max_element(us.begin(), us.end()));
  std::printf("  /proc files and links read per tick: %.2f (the foreground pid's exe link)\n", reads_per_tick);
  std::printf("  for comparison, walking the process list by name to that pid: median %.1f us\n", median(walk_us));

  for (pid_t pid : children) kill(pid, SIGKILL);
  for (pid_t pid : children) waitpid(pid, nullptr, 0);
  return matched == kTicks ? 0 : 1;
}

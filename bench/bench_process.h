// What the skin and page benchmarks ask of their own process: the CPU time it
// has used (every thread), and the skin of the build's program folder, found
// from the benchmark's own file (<build>/bench/x -> <build>/dist/Skins/).
#pragma once

#include <sys/resource.h>
#include <unistd.h>

#include <string>

namespace bench {

inline double cpu_ms() {
  rusage u;
  getrusage(RUSAGE_SELF, &u);
  return u.ru_utime.tv_sec * 1e3 + u.ru_utime.tv_usec / 1e3 + u.ru_stime.tv_sec * 1e3 + u.ru_stime.tv_usec / 1e3;
}

inline std::string dist_skin_folder() {
  char exe[4096];
  const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  std::string dir = n > 0 ? std::string(exe, static_cast<std::size_t>(n)) : std::string("./x");
  dir.erase(dir.rfind('/') + 1);
  return dir + "../dist/Skins/";
}

}  // namespace bench

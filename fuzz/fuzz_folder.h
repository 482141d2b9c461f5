// A scratch folder of this fuzzing process, on tmpfs when there is one so
// that every run does not wear a disk.
#pragma once

#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {

// Created on first use and removed with its contents when the process exits.
inline std::string process_folder(const char* name) {
  static std::string dir;
  struct stat st;
  const char* base = (stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode)) ? "/dev/shm" : "/tmp";
  dir = std::string(base) + "/mt-fuzz-" + name + "-" + std::to_string(getpid()) + "/";
  if (mkdir(dir.c_str(), 0700) != 0) std::abort();
  std::atexit([] {
    nftw(
        dir.c_str(), [](const char* path, const struct stat*, int, FTW*) { return std::remove(path); }, 16,
        FTW_DEPTH | FTW_PHYS);
  });
  return dir;
}

inline void write_file(const std::string& path, const uint8_t* data, size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (size && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);
}

}  // namespace fuzz

// A private runtime folder per test, and small helpers for waiting on
// conditions with a deadline instead of sleeping.
#pragma once

#include <ftw.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace bus_test {

inline int remove_entry(const char* path, const struct stat*, int, struct FTW*) { return ::remove(path); }

class PrivateRuntimeDir {
 public:
  explicit PrivateRuntimeDir(const std::string& parent = "/tmp") {
    std::string tmpl = parent + "/bus-test-XXXXXX";
    root_ = mkdtemp(tmpl.data()) ? tmpl : std::string();
    const char* old = getenv("XDG_RUNTIME_DIR");
    had_old_ = old != nullptr;
    if (old) old_ = old;
    setenv("XDG_RUNTIME_DIR", root_.c_str(), 1);
  }
  ~PrivateRuntimeDir() {
    if (had_old_) {
      setenv("XDG_RUNTIME_DIR", old_.c_str(), 1);
    } else {
      unsetenv("XDG_RUNTIME_DIR");
    }
    if (!root_.empty()) nftw(root_.c_str(), remove_entry, 16, FTW_DEPTH | FTW_PHYS);
  }
  const std::string& root() const { return root_; }
  // The programs' own folder inside it.
  std::string folder() const { return root_ + "/morvath-t60r/"; }

 private:
  std::string root_;
  std::string old_;
  bool had_old_ = false;
};

// Calls `step` until `done` holds or the deadline passes; returns `done()`.
template <class Step, class Done>
bool until(Step step, Done done, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
  auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    step();
  }
  return true;
}

}  // namespace bus_test

// A private runtime folder and program folder per test, a recording HID
// link, and peers on the window bus that stand in for Option and the
// on-screen displays.
#pragma once

#include <ftw.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "monitor/device_link.h"
#include "platform/window_bus.h"

namespace monitor_test {

inline int remove_entry(const char* path, const struct stat*, int, struct FTW*) { return ::remove(path); }

// A temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder() {
    std::string tmpl = "/tmp/monitor-test-XXXXXX";
    path_ = mkdtemp(tmpl.data()) ? tmpl + "/" : std::string();
  }
  ~TempFolder() {
    if (!path_.empty()) nftw(path_.c_str(), remove_entry, 16, FTW_DEPTH | FTW_PHYS);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  // Ends in "/".
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Named objects and windows of this test only.
class PrivateRuntime {
 public:
  PrivateRuntime() {
    const char* old = getenv("XDG_RUNTIME_DIR");
    had_old_ = old != nullptr;
    if (old) old_ = old;
    setenv("XDG_RUNTIME_DIR", root_.path().c_str(), 1);
  }
  ~PrivateRuntime() {
    if (had_old_)
      setenv("XDG_RUNTIME_DIR", old_.c_str(), 1);
    else
      unsetenv("XDG_RUNTIME_DIR");
  }

 private:
  TempFolder root_;
  std::string old_;
  bool had_old_ = false;
};

// The HID library's calls, in order, as short words: "load", "vidpid 4119 32771",
// "monitor 1325 1326", "open_feature", "open_report", "F01" (feature command
// 0x01), "D32" (a 32-byte data report), "close_report" ...
class RecordingLink final : public mt::DeviceLink {
 public:
  explicit RecordingLink(bool present) : present_(present) {}

  bool load(const std::string&) override { return note("load"), true; }
  void unload() override { note("unload"); }
  int set_vid_pid(int v, int p) override {
    return note("vidpid " + std::to_string(v) + " " + std::to_string(p)), 1;
  }
  int open_dev_monitor(MtWindowHandle* w, unsigned int e, unsigned int c) override {
    {
      std::lock_guard<std::mutex> lock(mu_);
      window_ = w;
    }
    return note("monitor " + std::to_string(e) + " " + std::to_string(c)), 1;
  }
  int close_dev_monitor() override {
    {
      std::lock_guard<std::mutex> lock(mu_);
      window_ = nullptr;
    }
    return note("close_monitor"), 1;
  }
  int open_feature_device() override { return note("open_feature"), 1; }
  int close_feature_device() override { return note("close_feature"), 1; }
  int open_report_device() override { return note("open_report"), present_ ? 1 : 0; }
  int close_report_device() override { return note("close_report"), 1; }
  int set_feature(const uint8_t* data, int length) override {
    char buf[8];
    snprintf(buf, sizeof buf, "F%02X", length > 0 ? data[0] : 0);
    std::lock_guard<std::mutex> lock(mu_);
    calls_.push_back(buf);
    features_.emplace_back(data, data + length);
    return 1;
  }
  int write_usb(const uint8_t*, int length) override { return note("D" + std::to_string(length)), length; }

  // What the library would do from its own thread: post into the window.
  void post_from_library(uint32_t msg, uintptr_t wparam, intptr_t lparam) {
    std::lock_guard<std::mutex> lock(mu_);
    if (window_) window_->post(window_->context, msg, wparam, lparam);
  }

  std::vector<std::string> calls() const {
    std::lock_guard<std::mutex> lock(mu_);
    return calls_;
  }
  std::vector<std::vector<uint8_t>> features() const {
    std::lock_guard<std::mutex> lock(mu_);
    return features_;
  }
  void clear() {
    std::lock_guard<std::mutex> lock(mu_);
    calls_.clear();
    features_.clear();
  }

 private:
  void note(std::string what) {
    std::lock_guard<std::mutex> lock(mu_);
    calls_.push_back(std::move(what));
  }

  bool present_;
  mutable std::mutex mu_;
  MtWindowHandle* window_ = nullptr;
  std::vector<std::string> calls_;
  std::vector<std::vector<uint8_t>> features_;
};

struct Received {
  uint32_t msg;
  uintptr_t wparam;
  intptr_t lparam;
};

// A window of another program, recording what it is sent.
class Peer {
 public:
  static constexpr uint32_t kMarker = 0x7FF0;

  explicit Peer(const std::string& title) : title_(title) {
    endpoint_ = platform::WindowEndpoint::create(title, [this](const platform::WindowMessage& m) {
      if (m.msg == kMarker)
        marked_ = true;
      else
        got_.push_back({m.msg, m.wparam, m.lparam});
      return std::intptr_t{0};
    });
  }
  bool ok() const { return endpoint_ != nullptr; }

  // Everything posted to this window before the call: a marker posted now
  // arrives after it.
  std::vector<Received> collect() {
    marked_ = false;
    platform::post_message(title_, kMarker);
    pump_until([&] { return marked_; });
    return got_;
  }

  // Waits (dispatching, not sleeping) until a message arrives; false after
  // the limit.
  bool wait_for(uint32_t msg, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    return pump_until(
        [&] {
          for (const Received& r : got_)
            if (r.msg == msg) return true;
          return false;
        },
        limit);
  }

  std::vector<Received> messages() const { return got_; }
  void clear() { got_.clear(); }

 private:
  template <class Done>
  bool pump_until(Done done, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      endpoint_->dispatch(50);
    }
    return true;
  }

  std::string title_;
  std::unique_ptr<platform::WindowEndpoint> endpoint_;
  std::vector<Received> got_;
  bool marked_ = false;
};

inline int count(const std::vector<Received>& got, uint32_t msg) {
  int n = 0;
  for (const Received& r : got) n += r.msg == msg;
  return n;
}

}  // namespace monitor_test

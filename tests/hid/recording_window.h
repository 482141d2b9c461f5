// A window handle for the HID plug-in that records what is posted to it and
// lets a test wait for a message (the plug-in posts from its own thread).
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "hiddriver/hiddriver.h"

struct PostedMessage {
  uint32_t msg;
  uintptr_t wparam;
  intptr_t lparam;
  bool operator==(const PostedMessage& o) const { return msg == o.msg && wparam == o.wparam && lparam == o.lparam; }
};

class RecordingWindow {
 public:
  RecordingWindow() {
    handle_.magic = MT_WINDOW_HANDLE_MAGIC;
    handle_.context = this;
    handle_.post = &RecordingWindow::post;
  }

  MtWindowHandle* handle() { return &handle_; }

  // Waits until `count` messages have arrived; false on time-out.
  bool wait_for_count(size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    std::unique_lock<std::mutex> lock(mu_);
    return cv_.wait_for(lock, timeout, [&] { return messages_.size() >= count; });
  }

  std::vector<PostedMessage> messages() {
    std::lock_guard<std::mutex> lock(mu_);
    return messages_;
  }

  size_t count() {
    std::lock_guard<std::mutex> lock(mu_);
    return messages_.size();
  }

 private:
  static void post(void* context, uint32_t msg, uintptr_t wparam, intptr_t lparam) {
    auto* self = static_cast<RecordingWindow*>(context);
    std::lock_guard<std::mutex> lock(self->mu_);
    self->messages_.push_back({msg, wparam, lparam});
    self->cv_.notify_all();
  }

  MtWindowHandle handle_{};
  std::mutex mu_;
  std::condition_variable cv_;
  std::vector<PostedMessage> messages_;
};

// The HID library as Monitor's main window uses it: the open and close calls
// of its channels and its device watch, and the two transfers of the device
// thread. HidLibraryLink is the real one (hiddriver.so in the program folder);
// tests put a recording link in its place.
#pragma once

#include <string>

#include "hiddriver/hiddriver.h"
#include "monitor/device/hid_library.h"
#include "monitor/device/hid_transport.h"

namespace mt {

class DeviceLink : public HidTransport {
 public:
  // False when the library could not be loaded; every call then does nothing
  // and returns 0, which reads as "no mouse".
  virtual bool load(const std::string& folder) = 0;
  virtual void unload() = 0;
  virtual int set_vid_pid(int vendor_id, int product_id) = 0;
  // `window` stays valid until close_dev_monitor() returns.
  virtual int open_dev_monitor(MtWindowHandle* window, unsigned int event_msg, unsigned int connection_msg) = 0;
  virtual int close_dev_monitor() = 0;
  virtual int open_feature_device() = 0;
  virtual int close_feature_device() = 0;
  // Non-zero when the report channel opened: the mouse is there.
  virtual int open_report_device() = 0;
  virtual int close_report_device() = 0;
  // Why load() failed, for the log.
  virtual std::string load_problem() const { return {}; }
};

class HidLibraryLink final : public DeviceLink {
 public:
  bool load(const std::string& folder) override { return library_.load(folder); }
  void unload() override { library_.unload(); }
  int set_vid_pid(int vendor_id, int product_id) override { return library_.set_vid_pid(vendor_id, product_id); }
  int open_dev_monitor(MtWindowHandle* window, unsigned int event_msg, unsigned int connection_msg) override {
    return library_.open_dev_monitor(window, event_msg, connection_msg);
  }
  int close_dev_monitor() override { return library_.close_dev_monitor(); }
  int open_feature_device() override { return library_.open_feature_device(); }
  int close_feature_device() override { return library_.close_feature_device(); }
  int open_report_device() override { return library_.open_report_device(); }
  int close_report_device() override { return library_.close_report_device(); }
  int set_feature(const uint8_t* data, int length) override { return library_.set_feature(data, length); }
  int write_usb(const uint8_t* data, int length) override { return library_.write_usb(data, length); }
  std::string load_problem() const override {
    if (!library_.loaded()) return library_.load_error();
    std::string missing = library_.missing_entry_points();
    return missing.empty() ? std::string() : "missing entry points: " + missing;
  }

 private:
  HidLibrary library_;
};

}  // namespace mt

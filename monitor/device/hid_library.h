// The HID access library as Monitor uses it: hiddriver.so loaded from the
// program folder and its eleven entry points resolved by name. Each call goes
// straight to the library; when the library or an entry point is missing the
// call does nothing and returns 0, so a broken install means "no mouse"
// rather than a crash.
#pragma once

#include <string>

#include "hiddriver/hiddriver.h"
#include "monitor/device/hid_transport.h"

namespace mt {

class HidLibrary : public HidTransport {
 public:
  HidLibrary() = default;
  ~HidLibrary() override;
  HidLibrary(const HidLibrary&) = delete;
  HidLibrary& operator=(const HidLibrary&) = delete;

  // Loads folder + "hiddriver.so" (a "/" is added to a folder without one)
  // and resolves what it finds. True when the library itself loaded, even if
  // some entry points are missing; see missing_entry_points().
  bool load(const std::string& folder);
  // Unloads the library; the caller has closed its channels and the monitor.
  void unload();

  bool loaded() const { return handle_ != nullptr; }
  // Names of the entry points the loaded library lacks, comma-separated.
  std::string missing_entry_points() const;
  // The dlerror() text of the last failed load.
  const std::string& load_error() const { return load_error_; }

  int set_vid_pid(int vendor_id, int product_id);
  int open_dev_monitor(MtWindowHandle* window, unsigned int event_msg, unsigned int connection_msg);
  int close_dev_monitor();
  int open_feature_device();
  int close_feature_device();
  int set_feature(const uint8_t* data, int length) override;
  int get_feature(uint8_t* data, int length);
  int open_report_device();
  int close_report_device();
  int write_usb(const uint8_t* data, int length) override;
  int read_usb(uint8_t* data, int length);

 private:
  void* handle_ = nullptr;
  std::string load_error_;
  Set_VIDPID_fn set_vidpid_ = nullptr;
  Open_DevMonitor_fn open_dev_monitor_ = nullptr;
  Close_DevMonitor_fn close_dev_monitor_ = nullptr;
  Open_FeatureDevice_fn open_feature_device_ = nullptr;
  Close_FeatureDevice_fn close_feature_device_ = nullptr;
  SetFeature_fn set_feature_ = nullptr;
  GetFeature_fn get_feature_ = nullptr;
  Open_ReportDevice_fn open_report_device_ = nullptr;
  Close_ReportDevice_fn close_report_device_ = nullptr;
  WriteUSB_fn write_usb_ = nullptr;
  ReadUSB_fn read_usb_ = nullptr;
};

}  // namespace mt

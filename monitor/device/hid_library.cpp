#include "monitor/device/hid_library.h"

#include <dlfcn.h>

namespace mt {

namespace {

template <typename Fn>
void resolve(void* handle, const char* name, Fn* out) {
  *out = reinterpret_cast<Fn>(dlsym(handle, name));
}

}  // namespace

HidLibrary::~HidLibrary() { unload(); }

bool HidLibrary::load(const std::string& folder) {
  unload();
  std::string path = folder;
  if (!path.empty() && path.back() != '/') path += '/';
  path += "hiddriver.so";
  // RTLD_NOW: a library with unresolved imports fails here, not mid-write.
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    const char* why = dlerror();
    load_error_ = why ? why : "cannot load " + path;
    return false;
  }
  load_error_.clear();
  resolve(handle_, "Set_VIDPID", &set_vidpid_);
  resolve(handle_, "Open_DevMonitor", &open_dev_monitor_);
  resolve(handle_, "Close_DevMonitor", &close_dev_monitor_);
  resolve(handle_, "Open_FeatureDevice", &open_feature_device_);
  resolve(handle_, "Close_FeatureDevice", &close_feature_device_);
  resolve(handle_, "SetFeature", &set_feature_);
  resolve(handle_, "GetFeature", &get_feature_);
  resolve(handle_, "Open_ReportDevice", &open_report_device_);
  resolve(handle_, "Close_ReportDevice", &close_report_device_);
  resolve(handle_, "WriteUSB", &write_usb_);
  resolve(handle_, "ReadUSB", &read_usb_);
  return true;
}

void HidLibrary::unload() {
  set_vidpid_ = nullptr;
  open_dev_monitor_ = nullptr;
  close_dev_monitor_ = nullptr;
  open_feature_device_ = nullptr;
  close_feature_device_ = nullptr;
  set_feature_ = nullptr;
  get_feature_ = nullptr;
  open_report_device_ = nullptr;
  close_report_device_ = nullptr;
  write_usb_ = nullptr;
  read_usb_ = nullptr;
  if (handle_ != nullptr) dlclose(handle_);
  handle_ = nullptr;
}

std::string HidLibrary::missing_entry_points() const {
  if (handle_ == nullptr) return "";
  const struct {
    const char* name;
    bool present;
  } entries[] = {
      {"Set_VIDPID", set_vidpid_ != nullptr},
      {"Open_DevMonitor", open_dev_monitor_ != nullptr},
      {"Close_DevMonitor", close_dev_monitor_ != nullptr},
      {"Open_FeatureDevice", open_feature_device_ != nullptr},
      {"Close_FeatureDevice", close_feature_device_ != nullptr},
      {"SetFeature", set_feature_ != nullptr},
      {"GetFeature", get_feature_ != nullptr},
      {"Open_ReportDevice", open_report_device_ != nullptr},
      {"Close_ReportDevice", close_report_device_ != nullptr},
      {"WriteUSB", write_usb_ != nullptr},
      {"ReadUSB", read_usb_ != nullptr},
  };
  std::string out;
  for (const auto& e : entries) {
    if (e.present) continue;
    if (!out.empty()) out += ", ";
    out += e.name;
  }
  return out;
}

int HidLibrary::set_vid_pid(int vendor_id, int product_id) {
  return set_vidpid_ ? set_vidpid_(vendor_id, product_id) : 0;
}

int HidLibrary::open_dev_monitor(MtWindowHandle* window, unsigned int event_msg, unsigned int connection_msg) {
  return open_dev_monitor_ ? open_dev_monitor_(window, event_msg, connection_msg) : 0;
}

int HidLibrary::close_dev_monitor() { return close_dev_monitor_ ? close_dev_monitor_() : 0; }

int HidLibrary::open_feature_device() { return open_feature_device_ ? open_feature_device_() : 0; }

int HidLibrary::close_feature_device() { return close_feature_device_ ? close_feature_device_() : 0; }

int HidLibrary::set_feature(const uint8_t* data, int length) {
  return set_feature_ ? set_feature_(data, length) : 0;
}

int HidLibrary::get_feature(uint8_t* data, int length) { return get_feature_ ? get_feature_(data, length) : 0; }

int HidLibrary::open_report_device() { return open_report_device_ ? open_report_device_() : 0; }

int HidLibrary::close_report_device() { return close_report_device_ ? close_report_device_() : 0; }

int HidLibrary::write_usb(const uint8_t* data, int length) { return write_usb_ ? write_usb_(data, length) : 0; }

int HidLibrary::read_usb(uint8_t* data, int length) { return read_usb_ ? read_usb_(data, length) : 0; }

}  // namespace mt

// The HID library for the real mouse on Linux: hidraw for the transfers,
// libudev to find the mouse and to watch it come and go.
//
// The mouse shows several HID interfaces; everything goes through the one
// whose report descriptor has a vendor-defined top-level collection. Feature
// commands are HIDIOCSFEATURE on it, output transfers are write()s, and the
// monitor thread reads its event reports. Formats: docs/device-protocol.md.
//
// Threads: open and close calls come from the UI thread, SetFeature and
// WriteUSB from the device thread, and the monitor thread posts the window
// messages. Each channel's descriptor is guarded by its own mutex, held for
// the whole transfer, so closing a channel never pulls a descriptor out from
// under a transfer in flight (nor lets the number be reused under it).
#pragma GCC visibility push(default)
#include "hiddriver/hiddriver.h"
#pragma GCC visibility pop

#include <fcntl.h>
#include <libudev.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "hiddriver/hid_reports.h"

namespace {

using hiddriver::DescriptorVerdict;

std::atomic<uint32_t> g_vendor{0x1017};
std::atomic<uint32_t> g_product{0x8003};

// Whether a hidraw device belongs to our mouse, by its HID parent's ids.
bool is_our_mouse(udev_device* hidraw) {
  udev_device* hid = udev_device_get_parent_with_subsystem_devtype(hidraw, "hid", nullptr);
  if (hid == nullptr) return false;
  uint32_t bus, vendor, product;
  if (!hiddriver::parse_hid_id(udev_device_get_property_value(hid, "HID_ID"), &bus, &vendor, &product))
    return false;
  return vendor == g_vendor.load() && product == g_product.load();
}

// The HID parent's report descriptor, from sysfs: no need to open the node.
bool is_vendor_interface(udev_device* hidraw) {
  udev_device* hid = udev_device_get_parent_with_subsystem_devtype(hidraw, "hid", nullptr);
  if (hid == nullptr) return false;
  std::string path = std::string(udev_device_get_syspath(hid)) + "/report_descriptor";
  FILE* f = std::fopen(path.c_str(), "rbe");
  if (f == nullptr) return false;
  uint8_t desc[HID_MAX_DESCRIPTOR_SIZE];
  size_t n = std::fread(desc, 1, sizeof desc, f);
  std::fclose(f);
  return hiddriver::classify_report_descriptor(desc, n) == DescriptorVerdict::kVendor;
}

struct Node {
  std::string syspath;
  std::string devnode;
};

// Every hidraw node of the mouse, and which of them is the vendor interface
// (the first by device name when several claim it).
void enumerate_mouse(udev* ctx, std::vector<Node>* all, std::string* vendor_node) {
  vendor_node->clear();
  udev_enumerate* en = udev_enumerate_new(ctx);
  if (en == nullptr) return;
  udev_enumerate_add_match_subsystem(en, "hidraw");
  udev_enumerate_scan_devices(en);
  std::vector<std::string> vendor_nodes;
  for (udev_list_entry* e = udev_enumerate_get_list_entry(en); e; e = udev_list_entry_get_next(e)) {
    udev_device* dev = udev_device_new_from_syspath(ctx, udev_list_entry_get_name(e));
    if (dev == nullptr) continue;
    const char* node = udev_device_get_devnode(dev);
    if (node != nullptr && is_our_mouse(dev)) {
      if (all) all->push_back({udev_device_get_syspath(dev), node});
      if (is_vendor_interface(dev)) vendor_nodes.push_back(node);
    }
    udev_device_unref(dev);
  }
  udev_enumerate_unref(en);
  std::sort(vendor_nodes.begin(), vendor_nodes.end());
  if (!vendor_nodes.empty()) *vendor_node = vendor_nodes.front();
}

std::string find_vendor_node() {
  udev* ctx = udev_new();
  if (ctx == nullptr) return "";
  std::string node;
  enumerate_mouse(ctx, nullptr, &node);
  udev_unref(ctx);
  return node;
}

class Channel {
 public:
  ~Channel() { close_locked(); }

  int open() {
    std::string node = find_vendor_node();
    std::lock_guard<std::mutex> lock(mu_);
    close_locked();
    if (node.empty()) return 0;
    do fd_ = ::open(node.c_str(), O_RDWR | O_CLOEXEC);
    while (fd_ < 0 && errno == EINTR);
    return fd_ >= 0 ? 1 : 0;
  }

  int close() {
    std::lock_guard<std::mutex> lock(mu_);
    close_locked();
    return 1;
  }

  int set_feature(const unsigned char* data, int length) {
    // The feature report is 8 bytes; anything else would be cut or overread.
    if (data == nullptr || length != hiddriver::kFeatureLength) return 0;
    unsigned char buf[1 + hiddriver::kFeatureLength];
    buf[0] = hiddriver::kFeatureReportId;
    std::memcpy(buf + 1, data, hiddriver::kFeatureLength);
    std::lock_guard<std::mutex> lock(mu_);
    if (fd_ < 0) return 0;
    int r;
    do r = ::ioctl(fd_, HIDIOCSFEATURE(sizeof buf), buf);
    while (r < 0 && errno == EINTR);
    return r >= 0 ? length : 0;
  }

  int write(const unsigned char* data, int length) {
    const uint8_t id = hiddriver::output_report_id(length);
    if (data == nullptr || id == 0) return 0;
    unsigned char buf[1 + hiddriver::kMaxOutputLength];
    buf[0] = id;
    std::memcpy(buf + 1, data, static_cast<size_t>(length));
    std::lock_guard<std::mutex> lock(mu_);
    if (fd_ < 0) return 0;
    ssize_t n;
    do n = ::write(fd_, buf, static_cast<size_t>(length) + 1);
    while (n < 0 && errno == EINTR);
    return n == length + 1 ? length : 0;
  }

 private:
  void close_locked() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

  std::mutex mu_;
  int fd_ = -1;
};

Channel g_feature;
Channel g_report;

// Watches udev for the mouse's hidraw nodes and reads the vendor interface's
// event reports. The mouse counts as attached while any of its nodes exists,
// so one plug gives one message however many interfaces it has.
class DeviceMonitor {
 public:
  ~DeviceMonitor() {
    std::lock_guard<std::mutex> life(lifecycle_mu_);
    stop_locked();
  }

  int open(MtWindowHandle* window, unsigned int event_msg, unsigned int connection_msg) {
    if (window == nullptr || window->magic != MT_WINDOW_HANDLE_MAGIC || window->post == nullptr) return 0;
    std::lock_guard<std::mutex> life(lifecycle_mu_);
    stop_locked();
    wake_fd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake_fd_ < 0) return 0;
    {
      std::lock_guard<std::mutex> lock(post_mu_);
      window_ = window;
      event_msg_ = event_msg;
      connection_msg_ = connection_msg;
    }
    stop_ = false;
    thread_ = std::thread([this] { run(); });
    return 1;
  }

  int close() {
    std::lock_guard<std::mutex> life(lifecycle_mu_);
    stop_locked();
    return 1;
  }

 private:
  void stop_locked() {
    {
      // After this no post is made, even before the thread has ended.
      std::lock_guard<std::mutex> lock(post_mu_);
      window_ = nullptr;
    }
    if (thread_.joinable()) {
      stop_ = true;
      uint64_t one = 1;
      [[maybe_unused]] ssize_t n = ::write(wake_fd_, &one, sizeof one);
      thread_.join();
    }
    if (wake_fd_ >= 0) ::close(wake_fd_);
    wake_fd_ = -1;
  }

  void post(unsigned int which, uintptr_t wparam, intptr_t lparam) {
    std::lock_guard<std::mutex> lock(post_mu_);
    if (window_ == nullptr) return;
    const unsigned int msg = which == 0 ? event_msg_ : connection_msg_;
    window_->post(window_->context, msg, wparam, lparam);
  }

  void open_reader(const std::string& node) {
    close_reader();
    if (node.empty()) return;
    reader_fd_ = ::open(node.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  }

  void close_reader() {
    if (reader_fd_ >= 0) ::close(reader_fd_);
    reader_fd_ = -1;
  }

  // The nodes present now; the mouse's presence at opening is the caller's
  // starting point (it asks Open_ReportDevice), so it posts nothing.
  void rescan(udev* ctx) {
    std::vector<Node> all;
    std::string vendor;
    enumerate_mouse(ctx, &all, &vendor);
    nodes_.clear();
    for (auto& n : all) nodes_.insert(n.syspath);
    if (reader_fd_ < 0) open_reader(vendor);
  }

  void handle_udev(udev* ctx, udev_monitor* mon) {
    udev_device* dev = udev_monitor_receive_device(mon);
    if (dev == nullptr) return;
    const char* action = udev_device_get_action(dev);
    const char* syspath = udev_device_get_syspath(dev);
    if (action != nullptr && syspath != nullptr) {
      const bool was_present = !nodes_.empty();
      if (std::strcmp(action, "add") == 0 && is_our_mouse(dev)) {
        nodes_.insert(syspath);
        if (reader_fd_ < 0) {
          std::string vendor;
          enumerate_mouse(ctx, nullptr, &vendor);
          open_reader(vendor);
        }
      } else if (std::strcmp(action, "remove") == 0) {
        // The parent is gone by now; the node is known by its path.
        nodes_.erase(syspath);
        if (nodes_.empty()) close_reader();
      }
      const bool present = !nodes_.empty();
      if (present != was_present) post(1, present ? 1 : 0, 0);
    }
    udev_device_unref(dev);
  }

  void handle_report() {
    uint8_t buf[64];
    ssize_t n = ::read(reader_fd_, buf, sizeof buf);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
    if (n <= 0) {  // node gone; udev tells the removal
      close_reader();
      return;
    }
    hiddriver::DeviceEvent ev;
    if (hiddriver::parse_event_report(buf, static_cast<size_t>(n), &ev)) post(0, ev.type, ev.value);
  }

  void run() {
    udev* ctx = udev_new();
    udev_monitor* mon = nullptr;
    if (ctx != nullptr) {
      mon = udev_monitor_new_from_netlink(ctx, "udev");
      if (mon != nullptr &&
          (udev_monitor_filter_add_match_subsystem_devtype(mon, "hidraw", nullptr) < 0 ||
           udev_monitor_enable_receiving(mon) < 0)) {
        udev_monitor_unref(mon);
        mon = nullptr;  // no hotplug messages, but events still flow
      }
      rescan(ctx);
    }
    while (!stop_) {
      pollfd fds[3];
      int count = 0;
      fds[count++] = {wake_fd_, POLLIN, 0};
      const int mon_at = mon ? count : -1;
      if (mon) fds[count++] = {udev_monitor_get_fd(mon), POLLIN, 0};
      const int rd_at = reader_fd_ >= 0 ? count : -1;
      if (reader_fd_ >= 0) fds[count++] = {reader_fd_, POLLIN, 0};
      if (::poll(fds, static_cast<nfds_t>(count), -1) < 0) {
        if (errno == EINTR) continue;
        break;
      }
      if (fds[0].revents) break;
      if (mon_at >= 0 && (fds[mon_at].revents & POLLIN)) handle_udev(ctx, mon);
      if (rd_at >= 0 && fds[rd_at].revents) handle_report();
    }
    close_reader();
    nodes_.clear();
    if (mon) udev_monitor_unref(mon);
    if (ctx) udev_unref(ctx);
  }

  std::mutex lifecycle_mu_;
  std::mutex post_mu_;
  MtWindowHandle* window_ = nullptr;
  unsigned int event_msg_ = 0, connection_msg_ = 0;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  int wake_fd_ = -1;
  // Monitor thread only.
  int reader_fd_ = -1;
  std::set<std::string> nodes_;
};

DeviceMonitor g_monitor;

}  // namespace

extern "C" {

int Set_VIDPID(int vendor_id, int product_id) {
  g_vendor = static_cast<uint32_t>(vendor_id);
  g_product = static_cast<uint32_t>(product_id);
  return 1;
}

int Open_DevMonitor(void* window, unsigned int event_msg, unsigned int connection_msg) {
  return g_monitor.open(static_cast<MtWindowHandle*>(window), event_msg, connection_msg);
}

int Close_DevMonitor(void) { return g_monitor.close(); }

int Open_FeatureDevice(void) { return g_feature.open(); }

int Close_FeatureDevice(void) { return g_feature.close(); }

int SetFeature(const unsigned char* data, int length) { return g_feature.set_feature(data, length); }

// Nothing is ever read back from the mouse.
int GetFeature(unsigned char*, int) { return 0; }

int Open_ReportDevice(void) { return g_report.open(); }

int Close_ReportDevice(void) { return g_report.close(); }

int WriteUSB(const unsigned char* data, int length) { return g_report.write(data, length); }

int ReadUSB(unsigned char*, int) { return 0; }

}  // extern "C"

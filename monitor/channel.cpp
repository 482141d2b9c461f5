#include "monitor/channel.h"

#include <cstring>
#include <memory>

#include "common/product.h"
#include "common/settings_files.h"
#include "platform/ini_file.h"
#include "platform/window_bus.h"
#include "platform/window_messages.h"

namespace mt {

namespace {

int32_t le32(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                              (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24));
}

uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// Holds the named mutex for one copy.
class BlockLock {
 public:
  explicit BlockLock(platform::NamedMutex& mutex) : mutex_(mutex), owned_(mutex.lock()) {}
  ~BlockLock() {
    if (owned_) mutex_.unlock();
  }
  BlockLock(const BlockLock&) = delete;
  BlockLock& operator=(const BlockLock&) = delete;
  bool owned() const { return owned_; }

 private:
  platform::NamedMutex& mutex_;
  bool owned_;
};

}  // namespace

OsdSettings parse_osd_settings(const uint8_t (&raw)[kOsdSettingsBytes]) {
  OsdSettings osd;
  osd.show_profile_osd = le32(raw + 8);
  osd.config_high = le16(raw + 32);
  osd.config_low = le16(raw + 36);
  return osd;
}

OsdSettings load_osd_settings(const std::string& program_folder) {
  uint8_t raw[kOsdSettingsBytes] = {};
  if (!read_osd_settings(program_folder, raw)) return OsdSettings{};
  return parse_osd_settings(raw);
}

std::intptr_t osd_config_lparam(const OsdSettings& osd) {
  uint32_t v = (static_cast<uint32_t>(osd.config_high) << 16) | osd.config_low;
  return static_cast<std::intptr_t>(v);
}

std::intptr_t osd_profile_lparam(int profile_index) {
  return static_cast<std::intptr_t>(static_cast<uint32_t>(profile_index & 0xFFFF) << 16);
}

std::optional<std::u16string> osd_message_text(std::span<const uint8_t> data) {
  if (data.size() != kOsdMessageBytes) return std::nullopt;
  // The bytes come off the wire with no alignment promise: copy unit by unit.
  std::u16string text;
  for (std::size_t i = 1; i <= kOsdMessageUnits; ++i) {
    char16_t unit = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    if (unit == u'\0') break;
    text.push_back(unit);
  }
  return text;
}

bool store_osd_message(const std::string& program_folder, std::u16string_view text) {
  return platform::ini_set_string(config_ini_path(program_folder), u"OSDData", u"Message", text);
}

CMonitorChannel::Status CMonitorChannel::create_mutex() {
  platform::ObjectStatus status = platform::ObjectStatus::failed;
  platform::NamedMutex m = platform::NamedMutex::create(SHARED_BLOCK_MUTEX_NAME, &status);
  if (status == platform::ObjectStatus::already_existed) return Status::mutex_in_use;
  // A mutex that could not be made at all leaves every copy skipped, which
  // is what a failed wait does; the start goes on.
  mutex_ = std::move(m);
  return Status::ok;
}

bool CMonitorChannel::create_block() {
  block_ = platform::SharedBlock::create(SHARED_BLOCK_NAME, sizeof(SettingsRecord));
  return block_.valid();
}

bool CMonitorChannel::publish(const LockedRecord& record) {
  if (!block_.valid()) return false;
  BlockLock lock(mutex_);
  if (!lock.owned()) return false;
  record.read([&](const SettingsRecord& r) { std::memcpy(block_.data(), &r, sizeof r); });
  return true;
}

bool CMonitorChannel::publish(const SettingsRecord& record) {
  if (!block_.valid()) return false;
  BlockLock lock(mutex_);
  if (!lock.owned()) return false;
  std::memcpy(block_.data(), &record, sizeof record);
  return true;
}

bool CMonitorChannel::fetch(LockedRecord& record) {
  if (!block_.valid()) return false;
  auto copy = std::make_unique<SettingsRecord>();
  {
    BlockLock lock(mutex_);
    if (!lock.owned()) return false;
    std::memcpy(copy.get(), block_.data(), sizeof *copy);
  }
  record.replace(*copy);
  return true;
}

void CMonitorChannel::close() {
  block_.close();
  mutex_.close();
}

bool post_to_option(uint32_t msg) { return platform::post_message(OPTION_WINDOW_TITLE, msg, 0, 0); }

bool post_to_osd(uint32_t msg, std::uintptr_t wparam, std::intptr_t lparam) {
  return platform::post_message(OSD_WINDOW_TITLE, msg, wparam, lparam);
}

void close_osd_windows() {
  platform::post_message(OSD_WINDOW_TITLE, platform::WM_CLOSE, 0, 0);
  for (const char* title : OSD_COMPANION_TITLES) platform::post_message(title, platform::WM_CLOSE, 0, 0);
}

}  // namespace mt

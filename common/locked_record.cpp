#include "common/locked_record.h"

#include <cstring>

namespace mt {

LockedRecord::LockedRecord() : record_(std::make_unique<SettingsRecord>()) { clear(*record_); }
LockedRecord::~LockedRecord() = default;

void LockedRecord::replace(const SettingsRecord& record) {
  std::lock_guard lock(mutex_);
  std::memcpy(record_.get(), &record, sizeof record);
}

void LockedRecord::modify(const std::function<void(SettingsRecord&)>& fn) {
  std::lock_guard lock(mutex_);
  fn(*record_);
}

void LockedRecord::read(const std::function<void(const SettingsRecord&)>& fn) const {
  std::lock_guard lock(mutex_);
  fn(*record_);
}

void LockedRecord::copy_all(SettingsRecord& out) const {
  std::lock_guard lock(mutex_);
  std::memcpy(&out, record_.get(), sizeof out);
}

bool LockedRecord::copy_current(ProfileRecord& out, int& index) const {
  std::lock_guard lock(mutex_);
  const ProfileRecord* p = current_profile(*record_);
  if (!p) return false;
  std::memcpy(&out, p, sizeof out);
  index = record_->CurrentProfile;
  return true;
}

bool LockedRecord::current_index(int& index) const {
  std::lock_guard lock(mutex_);
  if (!current_profile(*record_)) return false;
  index = record_->CurrentProfile;
  return true;
}

}  // namespace mt

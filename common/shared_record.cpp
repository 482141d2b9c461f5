#include "common/shared_record.h"

#include <cstring>
#include <memory>

#include "common/product.h"

namespace mt {

namespace {

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

SharedRecordBlock::Status SharedRecordBlock::create() {
  close();
  platform::ObjectStatus status = platform::ObjectStatus::failed;
  platform::NamedMutex mutex = platform::NamedMutex::create(SHARED_BLOCK_MUTEX_NAME, &status);
  if (status == platform::ObjectStatus::already_existed) return Status::mutex_in_use;
  mutex_ = std::move(mutex);
  block_ = platform::SharedBlock::create(SHARED_BLOCK_NAME, sizeof(SettingsRecord));
  if (!block_.valid()) return Status::no_block;
  return mutex_.valid() ? Status::created : Status::no_mutex;
}

SharedRecordBlock::Status SharedRecordBlock::open() {
  close();
  platform::ObjectStatus status = platform::ObjectStatus::failed;
  block_ = platform::SharedBlock::open(SHARED_BLOCK_NAME, sizeof(SettingsRecord), &status);
  switch (status) {
    case platform::ObjectStatus::opened:
      mutex_ = platform::NamedMutex::open(SHARED_BLOCK_MUTEX_NAME);
      return Status::opened;
    case platform::ObjectStatus::not_found:
      return Status::not_found;
    case platform::ObjectStatus::map_failed:
      return Status::map_failed;
    default:
      return Status::failed;
  }
}

bool SharedRecordBlock::publish(const SettingsRecord& record) {
  if (!block_.valid()) return false;
  BlockLock lock(mutex_);
  if (!lock.owned()) return false;
  std::memcpy(block_.data(), &record, sizeof record);
  return true;
}

bool SharedRecordBlock::publish(const LockedRecord& record) {
  if (!block_.valid()) return false;
  BlockLock lock(mutex_);
  if (!lock.owned()) return false;
  record.read([&](const SettingsRecord& r) { std::memcpy(block_.data(), &r, sizeof r); });
  return true;
}

bool SharedRecordBlock::fetch(SettingsRecord& record) {
  if (!block_.valid()) return false;
  BlockLock lock(mutex_);
  if (!lock.owned()) return false;
  std::memcpy(&record, block_.data(), sizeof record);
  return true;
}

bool SharedRecordBlock::fetch(LockedRecord& record) {
  // Copied out under the named mutex first, so the record's own lock is not
  // held while waiting for another process.
  auto copy = std::make_unique<SettingsRecord>();
  if (!fetch(*copy)) return false;
  record.replace(*copy);
  return true;
}

void SharedRecordBlock::close() {
  block_.close();
  mutex_.close();
}

}  // namespace mt

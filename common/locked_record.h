// A settings record with a lock around it, for a program whose threads share
// one record: in Monitor the UI thread replaces or changes it and the device
// thread copies the current profile once at the start of each job. Every call
// holds the lock for one copy or one call of fn only; keep fn short (no file
// or device I/O).
//
//   LockedRecord record;                          // starts cleared
//   record.replace(loaded);                       // UI thread
//   record.modify([](SettingsRecord& r) { r.CurrentProfile = 2; });
//   ProfileRecord job;  int index;
//   if (record.copy_current(job, index)) ...      // device thread
#pragma once

#include <functional>
#include <memory>
#include <mutex>

#include "common/settings_record.h"

namespace mt {

class LockedRecord {
 public:
  // Starts cleared: CurrentProfile -1, everything else 0.
  LockedRecord();
  ~LockedRecord();
  LockedRecord(const LockedRecord&) = delete;
  LockedRecord& operator=(const LockedRecord&) = delete;

  void replace(const SettingsRecord& record);
  void modify(const std::function<void(SettingsRecord&)>& fn);
  void read(const std::function<void(const SettingsRecord&)>& fn) const;
  void copy_all(SettingsRecord& out) const;
  // The current profile and its index; false (out untouched) while no
  // profile is current.
  bool copy_current(ProfileRecord& out, int& index) const;
  bool current_index(int& index) const;

 private:
  mutable std::mutex mutex_;
  std::unique_ptr<SettingsRecord> record_;
};

}  // namespace mt

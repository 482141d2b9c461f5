// The settings record shared between Monitor and Option: the named block
// SHARED_BLOCK_NAME, exactly one 74040-byte record, and the named mutex
// SHARED_BLOCK_MUTEX_NAME that guards it, as one object.
//
// Copy rule: every access copies the whole record in one direction while
// holding the mutex; the wait has no time limit, the mutex is never held
// longer than that one copy, and when the wait fails the copy is skipped.
//
// Monitor creates both at its start:
//   SharedRecordBlock shared;
//   if (shared.create() == SharedRecordBlock::Status::mutex_in_use) return false;  // start fails
//   shared.publish(record);   // record -> block: at start, after changes from the mouse
//   shared.fetch(record);     // block -> record: on 1224, 1226, 1227
//   shared.close();           // end: the block, then the mutex
//
// Option opens them at its start:
//   SharedRecordBlock shared;
//   switch (shared.open()) {
//     case Status::opened:     if (!shared.fetch(working)) load the files; break;
//     case Status::map_failed: show "Could not map view of file.", then load the files; break;
//     default:                 load the files (Monitor is not running);
//   }
//   shared.publish(working);  // Apply, OK, import, restore defaults; then post 1224
#pragma once

#include "common/locked_record.h"
#include "common/settings_record.h"
#include "platform/named_objects.h"

namespace mt {

class SharedRecordBlock {
 public:
  enum class Status {
    // create()
    created,       // mutex and block made: the record can be published
    mutex_in_use,  // another live process holds the mutex: nothing is kept
    no_mutex,      // the mutex could not be made: the block is there, every copy is skipped
    no_block,      // the block could not be made: nothing is published, fetches find nothing
    // open()
    opened,        // block and mutex joined
    not_found,     // no live process holds the block (Monitor is not running)
    map_failed,    // the block is there but cannot be mapped as one record (wrong size)
    failed,        // the runtime folder or a file in it was refused, or a system call failed
  };

  SharedRecordBlock() = default;
  SharedRecordBlock(const SharedRecordBlock&) = delete;
  SharedRecordBlock& operator=(const SharedRecordBlock&) = delete;

  // Monitor: the mutex first (held by another process: mutex_in_use, and
  // nothing is kept), then the block, zero-filled when new.
  Status create();
  // Option: the block (its status decides), then the mutex. A block opened
  // without its mutex skips every copy, as a failed wait does.
  Status open();

  // record -> block. False (block untouched) when there is no block or the
  // wait for the mutex failed.
  bool publish(const SettingsRecord& record);
  bool publish(const LockedRecord& record);
  // block -> record. False (record untouched) when there is no block or the
  // wait failed.
  bool fetch(SettingsRecord& record);
  bool fetch(LockedRecord& record);

  // Unmaps and closes the block, then closes the mutex.
  void close();

  bool has_block() const { return block_.valid(); }
  bool has_mutex() const { return mutex_.valid(); }

 private:
  platform::NamedMutex mutex_;
  platform::SharedBlock block_;
};

}  // namespace mt

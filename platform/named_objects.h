// Named mutexes and the named shared block, kept as files in the per-user
// runtime folder. They behave as the programs expect of named objects:
// - an object exists while at least one live process holds a handle to it;
//   "already existed" is reported exactly then, and a holder that dies lets
//   go of it, so a crashed Monitor never blocks the next start;
// - open() finds an object only while some live process holds it;
// - only this user's processes can use them: the folder is 0700, the files
//   0600, links and files of other owners are refused.
//
// Files, for an object "N" (escaped, see runtime_files.h):
//   N.obj   presence: every handle keeps a shared lock on it
//   N.lock  the mutex itself: an exclusive lock while owned
//   N.shm   the shared block's bytes (mapped MAP_SHARED)
// The last handle to close removes them.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace platform {

enum class ObjectStatus {
  created,          // create(): no live process held the object; it starts fresh
  already_existed,  // create(): a live process holds it; this handle joins it
  opened,           // open(): found and joined
  not_found,        // open(): no live process holds it
  refused,          // a file in the way is a link or not this user's
  map_failed,       // the block exists but cannot be mapped at the size asked
  failed,           // runtime folder unusable, bad name, or a system call failed
};

namespace detail {
// One handle's hold on an object's presence file.
class ObjectPresence {
 public:
  ObjectPresence() = default;
  ObjectPresence(const ObjectPresence&) = delete;
  ObjectPresence& operator=(const ObjectPresence&) = delete;
  ObjectPresence(ObjectPresence&& other) noexcept;
  ObjectPresence& operator=(ObjectPresence&& other) noexcept;
  ~ObjectPresence();

  // Joins the object (creating it when `may_create`), then runs `setup` while
  // every other create/open is still held off, so a fresh object is complete
  // before anyone else can see it. `setup(dir_fd, base, fresh)` returns the
  // final status; anything but created/already_existed/opened undoes the join.
  using Setup = std::function<ObjectStatus(int dir_fd, const std::string& base, bool fresh)>;
  ObjectStatus join(std::string_view name, bool may_create, const Setup& setup);
  // Leaves the object; the last holder removes its files.
  void release();

 private:
  int dir_fd_ = -1;
  int presence_fd_ = -1;
  std::string base_;
};
}  // namespace detail

// A named mutex (not recursive). Threads of one process that share a handle
// exclude each other too.
class NamedMutex {
 public:
  NamedMutex() = default;
  NamedMutex(NamedMutex&& other) noexcept;
  NamedMutex& operator=(NamedMutex&& other) noexcept;
  ~NamedMutex();

  // Creates the mutex, or joins it when a live process holds it already.
  static NamedMutex create(std::string_view name, ObjectStatus* status = nullptr);
  // Joins the mutex only while some live process holds it.
  static NamedMutex open(std::string_view name, ObjectStatus* status = nullptr);

  bool valid() const { return lock_fd_ >= 0; }
  // Waits without a time limit. False when the wait fails (the caller then
  // skips its work) or the handle is not valid.
  bool lock();
  // Takes the mutex only when it is free at once.
  bool try_lock();
  void unlock();
  void close();

 private:
  static NamedMutex join(std::string_view name, bool may_create, ObjectStatus* status);

  detail::ObjectPresence presence_;
  int lock_fd_ = -1;
  bool owned_ = false;
  std::unique_ptr<std::mutex> local_;  // movable handle, fixed mutex
};

// A named shared block of bytes, mapped read/write.
class SharedBlock {
 public:
  SharedBlock() = default;
  SharedBlock(SharedBlock&& other) noexcept;
  SharedBlock& operator=(SharedBlock&& other) noexcept;
  ~SharedBlock();

  // Creates the block zero-filled, or joins (and maps) the live one.
  static SharedBlock create(std::string_view name, std::size_t size, ObjectStatus* status = nullptr);
  // Joins the block only while some live process holds it; `map_failed`
  // when it is there but cannot be mapped at `size` bytes.
  static SharedBlock open(std::string_view name, std::size_t size, ObjectStatus* status = nullptr);

  bool valid() const { return data_ != nullptr; }
  void* data() const { return data_; }
  std::size_t size() const { return size_; }
  void close();

 private:
  static SharedBlock join(std::string_view name, std::size_t size, bool may_create, ObjectStatus* status);

  detail::ObjectPresence presence_;
  void* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace platform

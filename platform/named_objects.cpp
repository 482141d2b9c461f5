#include "platform/named_objects.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "platform/runtime_files.h"

namespace platform {
namespace {

// Every create, open and last close runs under this one lock, so the probe
// "does a live holder exist?" and the step that acts on the answer cannot be
// split by another process. It is held for a few system calls only.
constexpr char GUARD_FILE[] = "named-objects.guard";
constexpr const char* OBJECT_SUFFIXES[] = {".obj", ".lock", ".shm"};

bool lock_file(int fd, int how) {
  int r;
  do {
    r = flock(fd, how);
  } while (r != 0 && errno == EINTR);
  return r == 0;
}

void close_fd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

ObjectStatus status_of(PrivateOpen why, ObjectStatus missing) {
  switch (why) {
    case PrivateOpen::missing: return missing;
    case PrivateOpen::refused: return ObjectStatus::refused;
    default: return ObjectStatus::failed;
  }
}

void remove_object_files(int dir_fd, const std::string& base) {
  for (const char* suffix : OBJECT_SUFFIXES) unlinkat(dir_fd, (base + suffix).c_str(), 0);
}

bool joined(ObjectStatus s) {
  return s == ObjectStatus::created || s == ObjectStatus::already_existed || s == ObjectStatus::opened;
}

}  // namespace

namespace detail {

ObjectPresence::ObjectPresence(ObjectPresence&& other) noexcept
    : dir_fd_(std::exchange(other.dir_fd_, -1)),
      presence_fd_(std::exchange(other.presence_fd_, -1)),
      base_(std::move(other.base_)) {}

ObjectPresence& ObjectPresence::operator=(ObjectPresence&& other) noexcept {
  if (this != &other) {
    release();
    dir_fd_ = std::exchange(other.dir_fd_, -1);
    presence_fd_ = std::exchange(other.presence_fd_, -1);
    base_ = std::move(other.base_);
  }
  return *this;
}

ObjectPresence::~ObjectPresence() { release(); }

ObjectStatus ObjectPresence::join(std::string_view name, bool may_create, const Setup& setup) {
  release();
  std::string base = escape_runtime_name(name);
  if (base.empty()) return ObjectStatus::failed;
  int dir_fd = open_runtime_dir();
  if (dir_fd < 0) return ObjectStatus::failed;

  PrivateOpen why;
  int guard_fd = open_private_file(dir_fd, GUARD_FILE, true, &why);
  if (guard_fd < 0 || !lock_file(guard_fd, LOCK_EX)) {
    close_fd(guard_fd);
    close_fd(dir_fd);
    return status_of(why, ObjectStatus::failed);
  }

  ObjectStatus status = ObjectStatus::failed;
  int presence_fd = open_private_file(dir_fd, base + ".obj", may_create, &why);
  if (presence_fd < 0) {
    status = status_of(why, ObjectStatus::not_found);
  } else if (flock(presence_fd, LOCK_EX | LOCK_NB) == 0) {
    // Nobody alive holds it: whatever files are there were left by a holder
    // that died.
    if (may_create) {
      // Not atomic, but every other prober waits for the guard meanwhile.
      status = lock_file(presence_fd, LOCK_SH) ? setup(dir_fd, base, true) : ObjectStatus::failed;
    } else {
      remove_object_files(dir_fd, base);
      status = ObjectStatus::not_found;
    }
  } else if (errno == EWOULDBLOCK && lock_file(presence_fd, LOCK_SH | LOCK_NB)) {
    status = setup(dir_fd, base, false);
  }

  if (joined(status)) {
    dir_fd_ = dir_fd;
    presence_fd_ = presence_fd;
    base_ = std::move(base);
  } else {
    if (presence_fd >= 0 && flock(presence_fd, LOCK_EX | LOCK_NB) == 0) remove_object_files(dir_fd, base);
    close_fd(presence_fd);
    close_fd(dir_fd);
  }
  close_fd(guard_fd);
  return status;
}

void ObjectPresence::release() {
  if (presence_fd_ < 0) return;
  int guard_fd = open_private_file(dir_fd_, GUARD_FILE, true);
  if (guard_fd >= 0 && lock_file(guard_fd, LOCK_EX)) {
    // Turning our shared lock into an exclusive one works only when no other
    // holder is left; then the files go with the object.
    if (flock(presence_fd_, LOCK_EX | LOCK_NB) == 0) remove_object_files(dir_fd_, base_);
  }
  close_fd(presence_fd_);
  close_fd(guard_fd);
  close_fd(dir_fd_);
  base_.clear();
}

}  // namespace detail

// --- NamedMutex ---

NamedMutex::NamedMutex(NamedMutex&& other) noexcept
    : presence_(std::move(other.presence_)),
      lock_fd_(std::exchange(other.lock_fd_, -1)),
      owned_(std::exchange(other.owned_, false)),
      local_(std::move(other.local_)) {}

NamedMutex& NamedMutex::operator=(NamedMutex&& other) noexcept {
  if (this != &other) {
    close();
    presence_ = std::move(other.presence_);
    lock_fd_ = std::exchange(other.lock_fd_, -1);
    owned_ = std::exchange(other.owned_, false);
    local_ = std::move(other.local_);
  }
  return *this;
}

NamedMutex::~NamedMutex() { close(); }

NamedMutex NamedMutex::join(std::string_view name, bool may_create, ObjectStatus* status) {
  NamedMutex m;
  int lock_fd = -1;
  ObjectStatus s = m.presence_.join(name, may_create, [&](int dir_fd, const std::string& base, bool fresh) {
    PrivateOpen why;
    lock_fd = open_private_file(dir_fd, base + ".lock", true, &why);
    if (lock_fd < 0) return status_of(why, ObjectStatus::failed);
    if (!may_create) return ObjectStatus::opened;
    return fresh ? ObjectStatus::created : ObjectStatus::already_existed;
  });
  if (status) *status = s;
  if (joined(s)) {
    m.lock_fd_ = lock_fd;
    m.local_ = std::make_unique<std::mutex>();
  }
  return m;
}

NamedMutex NamedMutex::create(std::string_view name, ObjectStatus* status) { return join(name, true, status); }

NamedMutex NamedMutex::open(std::string_view name, ObjectStatus* status) { return join(name, false, status); }

bool NamedMutex::lock() {
  if (!valid()) return false;
  // The file lock belongs to the open file, which all threads of this process
  // share; the local mutex keeps those threads apart.
  local_->lock();
  if (!lock_file(lock_fd_, LOCK_EX)) {
    local_->unlock();
    return false;
  }
  owned_ = true;
  return true;
}

bool NamedMutex::try_lock() {
  if (!valid() || !local_->try_lock()) return false;
  if (!lock_file(lock_fd_, LOCK_EX | LOCK_NB)) {
    local_->unlock();
    return false;
  }
  owned_ = true;
  return true;
}

void NamedMutex::unlock() {
  if (!valid() || !owned_) return;
  owned_ = false;
  lock_file(lock_fd_, LOCK_UN);
  local_->unlock();
}

void NamedMutex::close() {
  if (lock_fd_ < 0) return;
  unlock();
  close_fd(lock_fd_);
  presence_.release();
  local_.reset();
}

// --- SharedBlock ---

SharedBlock::SharedBlock(SharedBlock&& other) noexcept
    : presence_(std::move(other.presence_)),
      data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)) {}

SharedBlock& SharedBlock::operator=(SharedBlock&& other) noexcept {
  if (this != &other) {
    close();
    presence_ = std::move(other.presence_);
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

SharedBlock::~SharedBlock() { close(); }

SharedBlock SharedBlock::join(std::string_view name, std::size_t size, bool may_create, ObjectStatus* status) {
  SharedBlock b;
  void* data = nullptr;
  ObjectStatus s = ObjectStatus::failed;
  if (size > 0) {
    s = b.presence_.join(name, may_create, [&](int dir_fd, const std::string& base, bool fresh) {
      PrivateOpen why;
      int fd = open_private_file(dir_fd, base + ".shm", fresh, &why);
      if (fd < 0) return status_of(why, ObjectStatus::map_failed);
      ObjectStatus result = !may_create ? ObjectStatus::opened
                            : fresh     ? ObjectStatus::created
                                        : ObjectStatus::already_existed;
      struct stat st;
      if (fresh) {
        // A new block starts zero-filled, whatever a dead holder left behind.
        if (ftruncate(fd, 0) != 0 || ftruncate(fd, static_cast<off_t>(size)) != 0) result = ObjectStatus::failed;
      } else if (fstat(fd, &st) != 0 || static_cast<std::size_t>(st.st_size) < size) {
        // Mapping past the end of the file would fault on first touch.
        result = ObjectStatus::map_failed;
      }
      if (joined(result)) {
        void* p = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (p == MAP_FAILED) {
          result = ObjectStatus::map_failed;
        } else {
          data = p;
        }
      }
      ::close(fd);  // the mapping stays valid without the descriptor
      return result;
    });
  }
  if (status) *status = s;
  if (joined(s)) {
    b.data_ = data;
    b.size_ = size;
  } else if (data) {
    munmap(data, size);
  }
  return b;
}

SharedBlock SharedBlock::create(std::string_view name, std::size_t size, ObjectStatus* status) {
  return join(name, size, true, status);
}

SharedBlock SharedBlock::open(std::string_view name, std::size_t size, ObjectStatus* status) {
  return join(name, size, false, status);
}

void SharedBlock::close() {
  if (data_) munmap(data_, size_);
  data_ = nullptr;
  size_ = 0;
  presence_.release();
}

}  // namespace platform

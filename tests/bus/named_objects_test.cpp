#include "platform/named_objects.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <thread>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bus_test_support.h"
#include "common/product.h"
#include "platform/runtime_dir.h"

using platform::NamedMutex;
using platform::ObjectStatus;
using platform::SharedBlock;

namespace {

constexpr std::size_t BLOCK_SIZE = 74040;

// A child process that joins objects, reports, and stays alive holding them
// until it is released or killed.
class Holder {
 public:
  struct Control {
    int ready_fd;
    int release_fd;
    void ready(bool ok) {
      char c = ok ? 'y' : 'n';
      (void)!write(ready_fd, &c, 1);
    }
    void wait() {
      char c;
      (void)!read(release_fd, &c, 1);
    }
  };

  explicit Holder(const std::function<void(Control&)>& body) {
    int ready[2], release[2];
    if (pipe(ready) != 0 || pipe(release) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(ready[0]);
      close(release[1]);
      Control ctl{ready[1], release[0]};
      body(ctl);
      _exit(0);
    }
    close(ready[1]);
    close(release[0]);
    ready_fd_ = ready[0];
    release_fd_ = release[1];
  }
  ~Holder() {
    if (release_fd_ >= 0) close(release_fd_);
    if (ready_fd_ >= 0) close(ready_fd_);
    reap();
  }
  // Waits for the child's report.
  bool ready() {
    char c = 0;
    return read(ready_fd_, &c, 1) == 1 && c == 'y';
  }
  void release() {
    close(release_fd_);
    release_fd_ = -1;
    reap();
  }
  void kill_hard() {
    kill(pid_, SIGKILL);
    reap();
  }

 private:
  void reap() {
    if (pid_ > 0) waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  pid_t pid_ = -1;
  int ready_fd_ = -1;
  int release_fd_ = -1;
};

class NamedObjects : public ::testing::Test {
 protected:
  bus_test::PrivateRuntimeDir dir_;
};

TEST_F(NamedObjects, AlreadyExistedExactlyWhileAHandleIsOpen) {
  ObjectStatus s;
  NamedMutex a = NamedMutex::create(mt::MONITOR_INSTANCE_MUTEX_NAME, &s);
  ASSERT_TRUE(a.valid());
  EXPECT_EQ(s, ObjectStatus::created);

  NamedMutex b = NamedMutex::create(mt::MONITOR_INSTANCE_MUTEX_NAME, &s);
  EXPECT_TRUE(b.valid());
  EXPECT_EQ(s, ObjectStatus::already_existed);

  // The first creator leaving does not end the object while b holds it.
  a.close();
  NamedMutex c = NamedMutex::create(mt::MONITOR_INSTANCE_MUTEX_NAME, &s);
  EXPECT_EQ(s, ObjectStatus::already_existed);

  b.close();
  c.close();
  NamedMutex d = NamedMutex::create(mt::MONITOR_INSTANCE_MUTEX_NAME, &s);
  EXPECT_EQ(s, ObjectStatus::created);
  // Distinct names are distinct objects.
  NamedMutex e = NamedMutex::create(mt::OPTION_INSTANCE_MUTEX_NAME, &s);
  EXPECT_EQ(s, ObjectStatus::created);
}

TEST_F(NamedObjects, OpenFindsOnlyALiveObject) {
  ObjectStatus s;
  EXPECT_FALSE(NamedMutex::open(mt::SHARED_BLOCK_MUTEX_NAME, &s).valid());
  EXPECT_EQ(s, ObjectStatus::not_found);
  EXPECT_FALSE(SharedBlock::open(mt::SHARED_BLOCK_NAME, BLOCK_SIZE, &s).valid());
  EXPECT_EQ(s, ObjectStatus::not_found);

  {
    SharedBlock created = SharedBlock::create(mt::SHARED_BLOCK_NAME, BLOCK_SIZE, &s);
    ASSERT_TRUE(created.valid());
    EXPECT_EQ(s, ObjectStatus::created);
    SharedBlock opened = SharedBlock::open(mt::SHARED_BLOCK_NAME, BLOCK_SIZE, &s);
    ASSERT_TRUE(opened.valid());
    EXPECT_EQ(s, ObjectStatus::opened);

    // Two mappings of one block.
    std::memset(created.data(), 0x5A, BLOCK_SIZE);
    EXPECT_EQ(static_cast<unsigned char*>(opened.data())[BLOCK_SIZE - 1], 0x5A);
    EXPECT_EQ(static_cast<unsigned char*>(opened.data())[0], 0x5A);

    // A view larger than the block cannot be had.
    EXPECT_FALSE(SharedBlock::open(mt::SHARED_BLOCK_NAME, BLOCK_SIZE + 1, &s).valid());
    EXPECT_EQ(s, ObjectStatus::map_failed);
  }
  // Everyone gone: the block is gone, and a new one starts zeroed.
  EXPECT_FALSE(SharedBlock::open(mt::SHARED_BLOCK_NAME, BLOCK_SIZE, &s).valid());
  EXPECT_EQ(s, ObjectStatus::not_found);
  SharedBlock fresh = SharedBlock::create(mt::SHARED_BLOCK_NAME, BLOCK_SIZE, &s);
  ASSERT_TRUE(fresh.valid());
  std::vector<unsigned char> zero(BLOCK_SIZE, 0);
  EXPECT_EQ(std::memcmp(fresh.data(), zero.data(), BLOCK_SIZE), 0);
}

TEST_F(NamedObjects, KilledHolderReleasesEverything) {
  Holder monitor([](Holder::Control& ctl) {
    NamedMutex instance = NamedMutex::create(mt::MONITOR_INSTANCE_MUTEX_NAME);
    NamedMutex guard = NamedMutex::create(mt::SHARED_BLOCK_MUTEX_NAME);
    SharedBlock block = SharedBlock::create(mt::SHARED_BLOCK_NAME, BLOCK_SIZE);
    bool ok = instance.valid() && guard.lock() && block.valid();
    if (ok) std::memset(block.data(), 0xEE, BLOCK_SIZE);  // a dead holder's leftovers
    ctl.ready(ok);
    ctl.wait();
  });
  ASSERT_TRUE(monitor.ready());

  ObjectStatus s;
  NamedMutex guard = NamedMutex::open(mt::SHARED_BLOCK_MUTEX_NAME, &s);
  ASSERT_TRUE(guard.valid());
  EXPECT_FALSE(guard.try_lock()) << "the holder owns the mutex";
  EXPECT_TRUE(SharedBlock::open(mt::SHARED_BLOCK_NAME, BLOCK_SIZE).valid());
  NamedMutex second_start = NamedMutex::create(mt::MONITOR_INSTANCE_MUTEX_NAME, &s);
  EXPECT_EQ(s, ObjectStatus::already_existed);
  second_start.close();

  monitor.kill_hard();

  // The other side's handle can take the mutex the dead process owned.
  EXPECT_TRUE(guard.try_lock());
  guard.unlock();
  EXPECT_TRUE(guard.lock());
  guard.unlock();
  // The block lived only as long as its holder.
  EXPECT_FALSE(SharedBlock::open(mt::SHARED_BLOCK_NAME, BLOCK_SIZE, &s).valid());
  EXPECT_EQ(s, ObjectStatus::not_found);
  // The next start is not blocked, and does not see the old bytes.
  NamedMutex next = NamedMutex::create(mt::MONITOR_INSTANCE_MUTEX_NAME, &s);
  EXPECT_EQ(s, ObjectStatus::created);
  SharedBlock block = SharedBlock::create(mt::SHARED_BLOCK_NAME, BLOCK_SIZE, &s);
  ASSERT_TRUE(block.valid());
  EXPECT_EQ(s, ObjectStatus::created);
  EXPECT_EQ(static_cast<unsigned char*>(block.data())[100], 0);
  // The guard mutex is still held open here, so a new creator sees it: this
  // is how a running Option keeps a second Monitor from starting.
  NamedMutex again = NamedMutex::create(mt::SHARED_BLOCK_MUTEX_NAME, &s);
  EXPECT_EQ(s, ObjectStatus::already_existed);
}

TEST_F(NamedObjects, MutexExcludesOtherProcessesAndThreads) {
  NamedMutex mine = NamedMutex::create(mt::SHARED_BLOCK_MUTEX_NAME);
  ASSERT_TRUE(mine.lock());
  Holder other([](Holder::Control& ctl) {
    NamedMutex m = NamedMutex::open(mt::SHARED_BLOCK_MUTEX_NAME);
    ctl.ready(m.valid() && !m.try_lock());
    ctl.wait();
  });
  EXPECT_TRUE(other.ready());
  other.release();

  // Another thread with the very same handle must wait as well.
  bool taken = true;
  std::thread t([&] { taken = mine.try_lock(); });
  t.join();
  EXPECT_FALSE(taken);
  mine.unlock();
  std::thread t2([&] {
    taken = mine.try_lock();
    if (taken) mine.unlock();
  });
  t2.join();
  EXPECT_TRUE(taken);
}

TEST_F(NamedObjects, SimultaneousCreatorsHaveExactlyOneWinner) {
  constexpr int CHILDREN = 8;
  for (int round = 0; round < 5; ++round) {
    int go[2], results[2];
    ASSERT_EQ(pipe(go), 0);
    ASSERT_EQ(pipe(results), 0);
    std::vector<std::unique_ptr<Holder>> children;
    for (int i = 0; i < CHILDREN; ++i) {
      children.push_back(std::make_unique<Holder>([&](Holder::Control& ctl) {
        close(go[1]);
        char c;
        (void)!read(go[0], &c, 1);  // all start when the parent closes the pipe
        ObjectStatus s;
        SharedBlock b = SharedBlock::create(mt::SHARED_BLOCK_NAME, BLOCK_SIZE, &s);
        char r = !b.valid() ? 'f' : s == ObjectStatus::created ? 'c' : 'e';
        (void)!write(results[1], &r, 1);
        ctl.ready(true);
        ctl.wait();
      }));
    }
    close(go[0]);
    close(go[1]);
    close(results[1]);
    std::string got;
    char r;
    while (got.size() < CHILDREN && read(results[0], &r, 1) == 1) got += r;
    close(results[0]);
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, "c" + std::string(CHILDREN - 1, 'e')) << "round " << round;
    // Newest first: a child holds copies of its elder siblings' pipes.
    for (auto it = children.rbegin(); it != children.rend(); ++it) (*it)->release();
  }
}

TEST_F(NamedObjects, FilesArePrivateWhateverTheUmask) {
  mode_t old = umask(0277);  // would leave the owner without write access
  NamedMutex m = NamedMutex::create(mt::SHARED_BLOCK_MUTEX_NAME);
  SharedBlock b = SharedBlock::create(mt::SHARED_BLOCK_NAME, BLOCK_SIZE);
  umask(old);
  ASSERT_TRUE(m.valid());
  ASSERT_TRUE(b.valid());
  struct stat st;
  ASSERT_EQ(lstat(dir_.folder().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0700u);
  for (const std::string file : {"Belvanto_550_28_Gaming_Mouse_Normal_Mutex_Object.obj",
                                 "Belvanto_550_28_Gaming_Mouse_Normal_Mutex_Object.lock",
                                 "Belvanto_550_28_Gaming_Mouse_Normal_Share_Data.obj",
                                 "Belvanto_550_28_Gaming_Mouse_Normal_Share_Data.shm"}) {
    ASSERT_EQ(lstat((dir_.folder() + file).c_str(), &st), 0) << file;
    EXPECT_TRUE(S_ISREG(st.st_mode)) << file;
    EXPECT_EQ(st.st_mode & 07777, 0600u) << file;
  }
}

// Something planted where an object's file goes must never be used (and the
// thing it points at must stay untouched).
TEST_F(NamedObjects, PlantedLinksAndStrangeFilesAreRefused) {
  struct Case {
    const char* what;
    const char* file;  // inside the folder
    bool fifo;         // a FIFO instead of a link
    bool block;
  } cases[] = {
      {"link as presence file", "N.obj", false, false},
      {"link as mutex file", "N.lock", false, false},
      {"link as block file", "N.shm", false, true},
      {"fifo as presence file", "N.obj", true, false},
      {"fifo as block file", "N.shm", true, true},
  };
  for (const Case& c : cases) {
    bus_test::PrivateRuntimeDir dir;
    ASSERT_EQ(mkdir(dir.folder().c_str(), 0700), 0);
    std::string victim = dir.root() + "/victim";
    { std::ofstream(victim) << "keep me"; }
    std::string planted = dir.folder() + c.file;
    if (c.fifo) {
      ASSERT_EQ(mkfifo(planted.c_str(), 0600), 0);
    } else {
      ASSERT_EQ(symlink(victim.c_str(), planted.c_str()), 0);
    }
    ObjectStatus s;
    bool valid = c.block ? SharedBlock::create("N", BLOCK_SIZE, &s).valid() : NamedMutex::create("N", &s).valid();
    EXPECT_FALSE(valid) << c.what;
    EXPECT_EQ(s, ObjectStatus::refused) << c.what;
    std::ifstream in(victim);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "keep me") << c.what;
  }
}

TEST_F(NamedObjects, UnsafeRuntimeFolderIsNotUsed) {
  // The folder itself replaced by a link to a place someone else chose.
  std::string elsewhere = dir_.root() + "/elsewhere";
  ASSERT_EQ(mkdir(elsewhere.c_str(), 0700), 0);
  std::string folder = dir_.folder();
  folder.pop_back();
  ASSERT_EQ(symlink(elsewhere.c_str(), folder.c_str()), 0);
  ObjectStatus s;
  EXPECT_FALSE(NamedMutex::create("N", &s).valid());
  EXPECT_EQ(s, ObjectStatus::failed);
  unlink(folder.c_str());
  // A folder open to others.
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  ASSERT_EQ(chmod(folder.c_str(), 0755), 0);
  EXPECT_FALSE(NamedMutex::create("N", &s).valid());
  EXPECT_EQ(s, ObjectStatus::failed);
}

TEST_F(NamedObjects, ARefusedRuntimeFolderIsNamedWithItsReason) {
  const std::string folder = dir_.folder();
  const std::string bare = folder.substr(0, folder.size() - 1);
  const std::string elsewhere = dir_.root() + "/elsewhere";
  ASSERT_EQ(mkdir(elsewhere.c_str(), 0700), 0);
  struct Case {
    const char* what;
    std::function<void()> make;
    const char* reason;  // "" when usable
  };
  std::vector<Case> cases = {
      {"missing: made", [] {}, ""},
      {"a link", [&] { ASSERT_EQ(symlink(elsewhere.c_str(), bare.c_str()), 0); }, "it is a symbolic link"},
      {"a file", [&] { std::ofstream(bare) << "x"; }, "it is not a folder"},
      {"open to others",
       [&] {
         ASSERT_EQ(mkdir(bare.c_str(), 0700), 0);
         ASSERT_EQ(chmod(bare.c_str(), 0755), 0);
       },
       "it is open to other users (mode 0755)"},
  };
  if (geteuid() == 0)
    cases.push_back({"another user's", [&] {
                       ASSERT_EQ(mkdir(bare.c_str(), 0700), 0);
                       ASSERT_EQ(chown(bare.c_str(), 65534, 65534), 0);
                     },
                     "it belongs to user 65534"});
  for (const Case& c : cases) {
    c.make();
    platform::RuntimeDirCheck check = platform::check_runtime_dir();
    EXPECT_EQ(check.path, folder) << c.what;
    EXPECT_EQ(check.problem, c.reason) << c.what;
    EXPECT_EQ(platform::runtime_dir_problem(),
              *c.reason ? "runtime folder " + folder + " refused: " + c.reason : std::string())
        << c.what;
    EXPECT_EQ(platform::ensure_runtime_dir(), *c.reason ? std::string() : folder) << c.what;
    if (unlink(bare.c_str()) != 0) rmdir(bare.c_str());
  }
  // A parent that cannot hold it.
  setenv("XDG_RUNTIME_DIR", "/proc/no-such-place", 1);
  EXPECT_EQ(platform::check_runtime_dir().problem.rfind("it cannot be created: ", 0), 0u);
  setenv("XDG_RUNTIME_DIR", dir_.root().c_str(), 1);
}

TEST_F(NamedObjects, NamesCannotLeaveTheFolder) {
  ObjectStatus s;
  std::vector<NamedMutex> held;
  for (const char* name : {"../escape", "a/b", "..", ".", "x.obj", "名前"}) {
    held.push_back(NamedMutex::create(name, &s));
    ASSERT_TRUE(held.back().valid()) << name;
    EXPECT_EQ(s, ObjectStatus::created) << name;
  }
  struct stat st;
  EXPECT_NE(lstat((dir_.root() + "/escape.obj").c_str(), &st), 0);
  EXPECT_EQ(lstat((dir_.folder() + "%2E%2E%2Fescape.obj").c_str(), &st), 0);
  EXPECT_FALSE(NamedMutex::create("", &s).valid());
  EXPECT_FALSE(NamedMutex::create(std::string(300, 'n'), &s).valid());
}

}  // namespace

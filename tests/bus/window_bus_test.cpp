#include "platform/window_bus.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "bus_test_support.h"
#include "platform/bus_frame.h"
#include "platform/runtime_dir.h"
#include "platform/runtime_files.h"
#include "common/product.h"
#include "platform/window_messages.h"

using namespace platform;

namespace {

constexpr char TITLE[] = "Bus Test Window";

struct Received {
  std::uint32_t msg;
  std::uintptr_t wparam;
  std::intptr_t lparam;
  std::uint64_t dw_data;
  std::vector<std::uint8_t> data;
};

class WindowBus : public ::testing::Test {
 protected:
  void SetUp() override {
    endpoint_ = make_endpoint(TITLE);
    ASSERT_TRUE(endpoint_);
  }

  std::unique_ptr<WindowEndpoint> make_endpoint(const char* title) {
    return WindowEndpoint::create(title, [this](const WindowMessage& m) {
      got_.push_back({m.msg, m.wparam, m.lparam, m.dw_data, {m.data.begin(), m.data.end()}});
      return result_(m);
    });
  }

  // Dispatches until `n` messages have arrived in all.
  bool wait_for(std::size_t n) {
    return bus_test::until([&] { endpoint_->dispatch(50); }, [&] { return got_.size() >= n; });
  }

  bus_test::PrivateRuntimeDir dir_;
  std::function<std::intptr_t(const WindowMessage&)> result_ = [](const WindowMessage&) { return 0; };
  std::vector<Received> got_;
  std::unique_ptr<WindowEndpoint> endpoint_;
};

// A client that speaks raw bytes to the endpoint.
int raw_connect(const std::string& title) {
  std::string path = runtime_dir_path() + "win-" + escape_runtime_name(title);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    close(fd);
    return -1;
  }
  fcntl(fd, F_SETFL, O_NONBLOCK);
  return fd;
}

std::vector<std::uint8_t> frame_bytes(BusFrameKind kind, std::uint32_t msg, std::size_t data = 0) {
  BusFrame f;
  f.kind = kind;
  f.msg = msg;
  f.data.assign(data, 0xAB);
  std::vector<std::uint8_t> out;
  encode_bus_frame(f, out);
  return out;
}

// True once the endpoint has closed its side of `fd` (reads give EOF/error).
bool peer_closed(int fd) {
  char buf[4096];
  for (;;) {
    ssize_t n = recv(fd, buf, sizeof buf, 0);
    if (n == 0) return true;
    if (n < 0) return errno != EAGAIN && errno != EWOULDBLOCK;
  }
}

TEST_F(WindowBus, FindPostAndSendReachOnlyLiveWindows) {
  EXPECT_TRUE(window_exists(TITLE));
  EXPECT_FALSE(window_exists("Nobody Here"));
  EXPECT_FALSE(post_message("Nobody Here", WM_USER));
  EXPECT_FALSE(send_message("Nobody Here", WM_USER, 0, 0, 100).has_value());

  EndpointError error;
  EXPECT_FALSE(WindowEndpoint::create(TITLE, [](const WindowMessage&) { return 0; }, &error));
  EXPECT_EQ(error, EndpointError::title_in_use);

  endpoint_.reset();
  EXPECT_FALSE(window_exists(TITLE));
  EXPECT_FALSE(post_message(TITLE, WM_USER));
  // The title is free again.
  endpoint_ = make_endpoint(TITLE);
  ASSERT_TRUE(endpoint_);
  EXPECT_TRUE(post_message(TITLE, WM_USER));
}

TEST_F(WindowBus, PostsArriveInOrderWithTheirParameters) {
  constexpr int COUNT = 500;
  std::atomic<bool> all_handed_over{true};
  std::thread sender([&] {
    for (int i = 0; i < COUNT; ++i) {
      // Every other one with extreme values, to see them come through whole.
      std::uintptr_t w = i % 2 ? std::numeric_limits<std::uintptr_t>::max() - i : i;
      std::intptr_t l = i % 2 ? std::numeric_limits<std::intptr_t>::min() + i : -i;
      if (!post_message(TITLE, WM_USER + i, w, l)) all_handed_over = false;
    }
  });
  bool arrived = wait_for(COUNT);
  sender.join();
  ASSERT_TRUE(arrived) << got_.size() << " arrived";
  EXPECT_TRUE(all_handed_over);
  ASSERT_EQ(got_.size(), std::size_t(COUNT));
  for (int i = 0; i < COUNT; ++i) {
    ASSERT_EQ(got_[i].msg, WM_USER + i) << "message " << i << " out of order";
    EXPECT_EQ(got_[i].wparam, i % 2 ? std::numeric_limits<std::uintptr_t>::max() - i : std::uintptr_t(i));
    EXPECT_EQ(got_[i].lparam, i % 2 ? std::numeric_limits<std::intptr_t>::min() + i : -std::intptr_t(i));
  }
}

TEST_F(WindowBus, SendReturnsTheHandlersResult) {
  result_ = [](const WindowMessage& m) { return static_cast<std::intptr_t>(m.wparam) + m.lparam; };
  struct Case {
    std::uint32_t msg;
    std::uintptr_t wparam;
    std::intptr_t lparam;
  } cases[] = {
      {mt::WM_MON_RESERVED, 0, 0},
      {WM_COMMAND, 6001, 0},
      {0xDEADBEEF, 0, -1},  // unknown numbers reach the handler too
      {WM_USER, 0, std::numeric_limits<std::intptr_t>::min()},
      {WM_USER, 0, std::numeric_limits<std::intptr_t>::max()},
  };
  for (const Case& c : cases) {
    std::optional<std::intptr_t> r;
    std::thread t([&] { r = send_message(TITLE, c.msg, c.wparam, c.lparam, 5000); });
    wait_for(got_.size() + 1);
    t.join();
    ASSERT_TRUE(r.has_value()) << c.msg;
    EXPECT_EQ(*r, static_cast<std::intptr_t>(c.wparam) + c.lparam);
    EXPECT_EQ(got_.back().msg, c.msg);
  }
}

TEST_F(WindowBus, SendToAPeerThatNeverDispatchesTimesOut) {
  // Nobody calls dispatch(): the connection is accepted by the system but
  // never answered.
  EXPECT_FALSE(send_message(TITLE, WM_USER, 1, 2, 200).has_value());
  // Posting still only hands over.
  EXPECT_TRUE(post_message(TITLE, WM_USER + 1));
  // Both arrive once the window wakes up; the late reply goes nowhere.
  ASSERT_TRUE(wait_for(2));
  EXPECT_EQ(got_[0].msg, WM_USER);
  EXPECT_EQ(got_[1].msg, WM_USER + 1);
}

TEST_F(WindowBus, CopyDataCarriesItsBytes) {
  result_ = [](const WindowMessage&) { return 1; };
  for (std::size_t size : {std::size_t(302), std::size_t(0), BUS_MAX_DATA}) {
    std::vector<std::uint8_t> data(size);
    for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<std::uint8_t>(i * 7 + 3);
    std::optional<std::intptr_t> r;
    std::thread t([&] { r = send_copydata(TITLE, 0x1234, 0xCAFE, data, 5000); });
    wait_for(got_.size() + 1);
    t.join();
    ASSERT_EQ(r, std::optional<std::intptr_t>(1)) << size;
    EXPECT_EQ(got_.back().msg, WM_COPYDATA);
    EXPECT_EQ(got_.back().wparam, 0x1234u);
    EXPECT_EQ(got_.back().dw_data, 0xCAFEu);
    EXPECT_EQ(got_.back().data, data);
  }
  std::vector<std::uint8_t> too_big(BUS_MAX_DATA + 1);
  EXPECT_FALSE(send_copydata(TITLE, 0, 0, too_big, 200).has_value());
}

TEST_F(WindowBus, PostsFromOtherThreadsArriveInOrder) {
  constexpr int COUNT = 2000;
  std::thread poster([&] {
    for (int i = 0; i < COUNT; ++i) {
      // The HID plug-in's way in.
      WindowEndpoint::post_from_any_thread(endpoint_.get(), mt::WM_MON_DEVICE_EVENT, i, -i);
    }
  });
  bool arrived = wait_for(COUNT);
  poster.join();
  ASSERT_TRUE(arrived);
  for (int i = 0; i < COUNT; ++i) {
    ASSERT_EQ(got_[i].wparam, std::uintptr_t(i));
    EXPECT_EQ(got_[i].lparam, -i);
  }
}

TEST_F(WindowBus, MalformedTrafficClosesOnlyThatConnection) {
  std::vector<std::uint8_t> good = frame_bytes(BusFrameKind::post, WM_USER);
  std::vector<std::uint8_t> oversized = frame_bytes(BusFrameKind::post, WM_COPYDATA, 16);
  oversized[12] = 0x01;  // announce 64 KiB + 16 bytes
  oversized[13] = 0x00;
  oversized[14] = 0x01;
  std::vector<std::uint8_t> bad_magic = good;
  bad_magic[0] ^= 0xFF;
  std::vector<std::uint8_t> bad_version = good;
  bad_version[4] = 2;
  std::vector<std::uint8_t> bad_kind = good;
  bad_kind[5] = 9;
  std::vector<std::uint8_t> truncated(good.begin(), good.begin() + 20);
  std::vector<std::uint8_t> good_then_garbage = good;
  good_then_garbage.insert(good_then_garbage.end(), 64, 0x99);

  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
    bool close_after;     // the client hangs up after writing
    std::size_t handled;  // messages the handler sees
  } cases[] = {
      {"garbage", std::vector<std::uint8_t>(100, 0x41), false, 0},
      {"bad magic", bad_magic, false, 0},
      {"bad version", bad_version, false, 0},
      {"bad kind", bad_kind, false, 0},
      {"reply sent to a window", frame_bytes(BusFrameKind::reply, WM_USER), false, 0},
      {"data on a plain message", frame_bytes(BusFrameKind::post, WM_USER, 4), false, 0},
      {"oversized copydata", oversized, false, 0},
      {"truncated frame", truncated, true, 0},
      {"good frame, then garbage", good_then_garbage, false, 1},
  };
  for (const Case& c : cases) {
    std::size_t before = got_.size();
    int fd = raw_connect(TITLE);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(send(fd, c.bytes.data(), c.bytes.size(), MSG_NOSIGNAL), ssize_t(c.bytes.size()));
    if (c.close_after) {
      close(fd);
      endpoint_->dispatch(0);
      bus_test::until([&] { endpoint_->dispatch(20); }, [&] { return endpoint_->connection_count() == 0; });
    } else {
      EXPECT_TRUE(bus_test::until([&] { endpoint_->dispatch(20); }, [&] { return peer_closed(fd); })) << c.what;
      close(fd);
    }
    EXPECT_EQ(got_.size() - before, c.handled) << c.what;

    // The window goes on working for everyone else.
    std::optional<std::intptr_t> r;
    result_ = [](const WindowMessage&) { return 77; };
    std::thread t([&] { r = send_message(TITLE, WM_USER + 5, 0, 0, 5000); });
    wait_for(got_.size() + 1);
    t.join();
    EXPECT_EQ(r, std::optional<std::intptr_t>(77)) << c.what;
  }
}

TEST_F(WindowBus, ABytewiseSenderIsHeardWhole) {
  // Frames may arrive in any pieces.
  std::vector<std::uint8_t> bytes = frame_bytes(BusFrameKind::post, WM_COPYDATA, 302);
  std::vector<std::uint8_t> second = frame_bytes(BusFrameKind::post, WM_USER);
  bytes.insert(bytes.end(), second.begin(), second.end());
  int fd = raw_connect(TITLE);
  ASSERT_GE(fd, 0);
  for (std::uint8_t b : bytes) {
    ASSERT_EQ(send(fd, &b, 1, MSG_NOSIGNAL), 1);
    endpoint_->dispatch(0);
  }
  close(fd);
  ASSERT_TRUE(wait_for(2));
  EXPECT_EQ(got_[0].data.size(), 302u);
  EXPECT_EQ(got_[1].msg, WM_USER);
}

TEST_F(WindowBus, PeersThatNeverSendOrNeverReadDoNotBlockTheWindow) {
  // Idle connections beyond the limit push out the oldest.
  std::vector<int> idle;
  for (std::size_t i = 0; i < BUS_MAX_CONNECTIONS + 8; ++i) {
    int fd = raw_connect(TITLE);
    ASSERT_GE(fd, 0);
    idle.push_back(fd);
    endpoint_->dispatch(0);
  }
  EXPECT_LE(endpoint_->connection_count(), BUS_MAX_CONNECTIONS);
  EXPECT_TRUE(peer_closed(idle.front()));
  EXPECT_FALSE(peer_closed(idle.back()));

  // A peer that asks and asks but never reads the answers.
  int greedy = raw_connect(TITLE);
  ASSERT_GE(greedy, 0);
  std::vector<std::uint8_t> one = frame_bytes(BusFrameKind::send, WM_USER);
  std::vector<std::uint8_t> burst;
  for (int i = 0; i < 256; ++i) burst.insert(burst.end(), one.begin(), one.end());
  bool cut_off = false;
  bus_test::until(
      [&] {
        if (send(greedy, burst.data(), burst.size(), MSG_NOSIGNAL | MSG_DONTWAIT) < 0 && errno != EAGAIN) {
          cut_off = true;  // the window hung up on it
        }
        endpoint_->dispatch(0);
      },
      [&] { return cut_off; }, std::chrono::seconds(30));
  EXPECT_TRUE(cut_off);
  close(greedy);

  // Meanwhile the window still answers.
  result_ = [](const WindowMessage&) { return 5; };
  std::optional<std::intptr_t> r;
  std::thread t([&] { r = send_message(TITLE, WM_USER + 1, 0, 0, 5000); });
  bus_test::until([&] { endpoint_->dispatch(20); }, [&] { return r.has_value(); }, std::chrono::seconds(6));
  t.join();
  EXPECT_EQ(r, std::optional<std::intptr_t>(5));
  for (int fd : idle) close(fd);
}

TEST_F(WindowBus, StaleSocketOfAKilledOwnerIsReplaced) {
  endpoint_.reset();
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  pid_t child = fork();
  if (child == 0) {
    auto ep = WindowEndpoint::create(TITLE, [](const WindowMessage&) { return 0; });
    char c = ep ? 'y' : 'n';
    (void)!write(ready[1], &c, 1);
    pause();
    _exit(0);
  }
  char c = 0;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  ASSERT_EQ(c, 'y');
  EXPECT_TRUE(window_exists(TITLE));
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  close(ready[0]);
  close(ready[1]);

  std::string socket_path = runtime_dir_path() + "win-" + escape_runtime_name(TITLE);
  EXPECT_EQ(access(socket_path.c_str(), F_OK), 0) << "the dead owner's socket is left behind";
  EXPECT_FALSE(window_exists(TITLE));
  endpoint_ = make_endpoint(TITLE);
  ASSERT_TRUE(endpoint_);
  EXPECT_TRUE(post_message(TITLE, WM_CLOSE));
  ASSERT_TRUE(wait_for(1));
  EXPECT_EQ(got_[0].msg, WM_CLOSE);
}

TEST_F(WindowBus, LongRuntimePathsStillWork) {
  // Deeper than a socket address can name directly.
  std::string deep = dir_.root();
  while (deep.size() < 150) {
    deep += "/deeper-and-deeper";
    ASSERT_EQ(mkdir(deep.c_str(), 0700), 0);
  }
  bus_test::PrivateRuntimeDir long_dir(deep);
  auto ep = make_endpoint(mt::OSD_WINDOW_TITLE);
  ASSERT_TRUE(ep);
  EXPECT_TRUE(window_exists(mt::OSD_WINDOW_TITLE));
  std::optional<std::intptr_t> r;
  std::thread t([&] { r = send_message(mt::OSD_WINDOW_TITLE, mt::WM_OSD_SHOW, 40, 2 << 16, 5000); });
  bus_test::until([&] { ep->dispatch(20); }, [&] { return !got_.empty(); });
  t.join();
  EXPECT_EQ(r, std::optional<std::intptr_t>(0));
  ASSERT_EQ(got_.size(), 1u);
  EXPECT_EQ(got_[0].lparam, 2 << 16);
}

TEST(WindowBusPeers, OnlyThisUsersProcessesAreHeard) {
  uid_t me = 1000;
  struct Case {
    uid_t uid;
    gid_t gid;
    bool allowed;
  } cases[] = {
      {me, 1000, true},
      {me, 0, true},        // the group does not matter
      {me + 1, 1000, false},
      {0, 0, false},        // not even root
      {static_cast<uid_t>(-1), 1000, false},
  };
  for (const Case& c : cases) {
    ucred cred{};
    cred.pid = 4242;
    cred.uid = c.uid;
    cred.gid = c.gid;
    EXPECT_EQ(bus_peer_allowed(cred, me), c.allowed) << c.uid;
  }
}

}  // namespace

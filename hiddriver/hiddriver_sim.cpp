// The simulated HID library: the same eleven entry points as the real one,
// but the "mouse" is tools/virtual-mouse at the other end of a Unix socket in
// the runtime folder. Used by the tests and the demo in place of hidraw.
//
// Threads: open and close calls come from the UI thread, SetFeature and
// WriteUSB from the device thread, and the library's own link thread reads the
// socket, reconnects when the mouse program restarts and posts the window
// messages. A vanished mouse program counts as an unplugged mouse.
#pragma GCC visibility push(default)
#include "hiddriver/hiddriver.h"
#pragma GCC visibility pop

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "hiddriver/sim_wire.h"
#include "platform/runtime_dir.h"

namespace {

using namespace std::chrono_literals;
namespace wire = hiddriver::wire;

// How long an open call waits for the mouse program to say whether the mouse
// is attached; it answers at once, so this only matters when it hangs.
constexpr auto kSettleTimeout = 1500ms;
constexpr auto kStateTimeout = 500ms;
constexpr int kRetryMs = 100;
constexpr int kSendTimeoutSeconds = 2;

class Connection {
 public:
  explicit Connection(int fd) : fd_(fd) {}
  ~Connection() { ::close(fd_); }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  int fd() const { return fd_; }

  // Whole frame or nothing useful: a short write leaves the stream torn, so
  // the connection is shut down and the link thread reconnects.
  bool send_all(const std::vector<uint8_t>& bytes) {
    std::lock_guard<std::mutex> lock(write_mu_);
    size_t done = 0;
    while (done < bytes.size()) {
      ssize_t n = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        ::shutdown(fd_, SHUT_RDWR);
        return false;
      }
      done += static_cast<size_t>(n);
    }
    return true;
  }

  void shut() { ::shutdown(fd_, SHUT_RDWR); }

 private:
  int fd_;
  std::mutex write_mu_;
};

std::shared_ptr<Connection> connect_to_mouse() {
  std::string dir = platform::ensure_runtime_dir();
  if (dir.empty()) return nullptr;
  std::string path = dir + wire::kSocketName;
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (path.size() >= sizeof addr.sun_path) return nullptr;
  std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return nullptr;
  if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    ::close(fd);
    return nullptr;
  }
  // A mouse program that stops reading must not hang the device thread.
  timeval tv{kSendTimeoutSeconds, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
  return std::make_shared<Connection>(fd);
}

class SimDriver {
 public:
  ~SimDriver() {
    // Unloaded with the link still running: stop it without posting to a
    // window that may be gone already.
    {
      std::lock_guard<std::mutex> lock(mu_);
      monitor_open_ = false;
      window_ = nullptr;
    }
    stop_link();
  }

  int open_monitor(void* window, unsigned int event_msg, unsigned int connection_msg) {
    auto* handle = static_cast<MtWindowHandle*>(window);
    if (handle == nullptr || handle->magic != MT_WINDOW_HANDLE_MAGIC || handle->post == nullptr) return 0;
    std::lock_guard<std::mutex> life(lifecycle_mu_);
    start_link_and_settle();
    std::lock_guard<std::mutex> lock(mu_);
    window_ = handle;
    event_msg_ = event_msg;
    connection_msg_ = connection_msg;
    // The state at opening is the caller's starting point (it asks
    // Open_ReportDevice); only later changes become messages.
    reported_attached_ = attached_;
    monitor_open_ = true;
    return 1;
  }

  int close_monitor() {
    std::lock_guard<std::mutex> life(lifecycle_mu_);
    {
      // Posting happens under mu_, so once this returns no post is in flight.
      std::lock_guard<std::mutex> lock(mu_);
      monitor_open_ = false;
      window_ = nullptr;
    }
    stop_link_if_unused();
    return 1;
  }

  int open_channel(bool feature) {
    std::lock_guard<std::mutex> life(lifecycle_mu_);
    start_link_and_settle();
    std::lock_guard<std::mutex> lock(mu_);
    (feature ? feature_wanted_ : report_wanted_) = true;
    // Like a device node: opened only if the mouse is there now, and dead
    // after the next removal until opened again.
    (feature ? feature_live_ : report_live_) = attached_;
    return attached_ ? 1 : 0;
  }

  int close_channel(bool feature) {
    std::lock_guard<std::mutex> life(lifecycle_mu_);
    {
      std::lock_guard<std::mutex> lock(mu_);
      (feature ? feature_wanted_ : report_wanted_) = false;
      (feature ? feature_live_ : report_live_) = false;
    }
    stop_link_if_unused();
    return 1;
  }

  // Lengths are passed through unchecked so that the virtual mouse, which
  // checks every transfer, sees exactly what the caller sent.
  int send(uint8_t kind, const unsigned char* data, int length) {
    if (data == nullptr || length <= 0 || static_cast<size_t>(length) > wire::kMaxPayload) return 0;
    std::shared_ptr<Connection> conn;
    {
      std::lock_guard<std::mutex> lock(mu_);
      const bool live = kind == wire::kFeature ? feature_live_ : report_live_;
      if (!attached_ || !live || !conn_) return 0;
      conn = conn_;
    }
    return conn->send_all(wire::encode_frame(kind, data, static_cast<size_t>(length))) ? length : 0;
  }

 private:
  // Caller holds lifecycle_mu_.
  void start_link_and_settle() {
    if (!thread_.joinable()) {
      wake_fd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
      if (wake_fd_ < 0) return;
      {
        std::lock_guard<std::mutex> lock(mu_);
        stop_ = false;
      }
      thread_ = std::thread([this] { run(); });
    }
    std::unique_lock<std::mutex> lock(mu_);
    if (conn_ && !awaiting_state_) return;
    const uint64_t seen = settled_;
    wake();
    cv_.wait_for(lock, kSettleTimeout, [&] { return settled_ > seen; });
  }

  // Caller holds lifecycle_mu_.
  void stop_link_if_unused() {
    bool unused;
    {
      std::lock_guard<std::mutex> lock(mu_);
      unused = !monitor_open_ && !feature_wanted_ && !report_wanted_;
    }
    if (unused) stop_link();
  }

  void stop_link() {
    if (!thread_.joinable()) return;
    {
      std::lock_guard<std::mutex> lock(mu_);
      stop_ = true;
    }
    wake();
    thread_.join();
    ::close(wake_fd_);
    wake_fd_ = -1;
    std::lock_guard<std::mutex> lock(mu_);
    if (conn_) conn_->shut();
    conn_.reset();
    attached_ = false;
    awaiting_state_ = false;
  }

  void wake() {
    if (wake_fd_ < 0) return;
    uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(wake_fd_, &one, sizeof one);
  }

  void drain_wake() {
    uint64_t count;
    [[maybe_unused]] ssize_t n = ::read(wake_fd_, &count, sizeof count);
  }

  // Caller holds mu_. One message per change, in the order they happened.
  void report_state_locked() {
    if (!monitor_open_ || window_ == nullptr || attached_ == reported_attached_) return;
    reported_attached_ = attached_;
    window_->post(window_->context, connection_msg_, attached_ ? 1 : 0, 0);
  }

  void settle_locked() {
    if (!awaiting_state_) return;
    awaiting_state_ = false;
    ++settled_;
    cv_.notify_all();
  }

  void drop_connection(const std::shared_ptr<Connection>& conn) {
    std::lock_guard<std::mutex> lock(mu_);
    if (conn_ != conn) return;
    conn->shut();  // wakes a writer blocked in send()
    conn_.reset();
    attached_ = false;
    feature_live_ = report_live_ = false;
    settle_locked();
    report_state_locked();
  }

  void handle_frame(const wire::Frame& frame) {
    std::lock_guard<std::mutex> lock(mu_);
    if (frame.kind == wire::kState && frame.payload.size() == 1) {
      const bool now = frame.payload[0] != 0;
      if (attached_ && !now) feature_live_ = report_live_ = false;
      attached_ = now;
      settle_locked();
      report_state_locked();
    } else if (frame.kind == wire::kEvent && frame.payload.size() == 4) {
      if (!attached_ || !monitor_open_ || window_ == nullptr) return;
      const uint16_t type = static_cast<uint16_t>(frame.payload[0] | (frame.payload[1] << 8));
      const uint16_t value = static_cast<uint16_t>(frame.payload[2] | (frame.payload[3] << 8));
      window_->post(window_->context, event_msg_, type, value);
    }
    // Anything else is from a newer mouse program; skipping it keeps the link.
  }

  void run() {
    wire::FrameReader reader;
    std::vector<uint8_t> buf(4096);
    auto state_deadline = std::chrono::steady_clock::now();
    bool dropped = false;
    auto drop = [&](const std::shared_ptr<Connection>& c) {
      drop_connection(c);
      dropped = true;
    };
    for (;;) {
      std::shared_ptr<Connection> conn;
      bool awaiting;
      {
        std::lock_guard<std::mutex> lock(mu_);
        if (stop_) return;
        conn = conn_;
        awaiting = awaiting_state_;
      }

      if (!conn) {
        if (dropped) {
          // Not at once: two plug-ins replacing each other on the mouse's
          // socket would otherwise spin. An open call's wake cuts it short.
          dropped = false;
          pollfd p{wake_fd_, POLLIN, 0};
          if (::poll(&p, 1, kRetryMs) > 0) drain_wake();
          continue;
        }
        conn = connect_to_mouse();
        {
          std::lock_guard<std::mutex> lock(mu_);
          if (conn) {
            conn_ = conn;
            awaiting_state_ = true;  // settled by the mouse's first state frame
            reader.clear();
            state_deadline = std::chrono::steady_clock::now() + kStateTimeout;
          } else {
            ++settled_;
            cv_.notify_all();
          }
        }
        if (!conn) {
          pollfd p{wake_fd_, POLLIN, 0};
          if (::poll(&p, 1, kRetryMs) > 0) drain_wake();
        }
        continue;
      }

      int timeout = -1;
      if (awaiting) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(state_deadline -
                                                                          std::chrono::steady_clock::now());
        if (left.count() <= 0) {
          std::lock_guard<std::mutex> lock(mu_);
          settle_locked();  // no word from the mouse: treat it as detached
          continue;
        }
        timeout = static_cast<int>(left.count()) + 1;
      }
      pollfd fds[2] = {{conn->fd(), POLLIN, 0}, {wake_fd_, POLLIN, 0}};
      int ready = ::poll(fds, 2, timeout);
      if (ready < 0 && errno != EINTR) {
        drop(conn);
        continue;
      }
      if (fds[1].revents & POLLIN) drain_wake();
      if (!(fds[0].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      ssize_t n = ::recv(conn->fd(), buf.data(), buf.size(), 0);
      if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
      if (n <= 0) {
        drop(conn);
        continue;
      }
      reader.push(buf.data(), static_cast<size_t>(n));
      wire::Frame frame;
      for (;;) {
        auto r = reader.next(&frame);
        if (r == wire::FrameReader::Result::kFrame) {
          handle_frame(frame);
          continue;
        }
        if (r == wire::FrameReader::Result::kBroken) drop(conn);
        break;
      }
    }
  }

  std::mutex lifecycle_mu_;  // open/close calls; start and stop of the link thread
  std::mutex mu_;            // everything below
  std::condition_variable cv_;
  std::shared_ptr<Connection> conn_;
  bool awaiting_state_ = false;
  bool attached_ = false;
  bool reported_attached_ = false;
  uint64_t settled_ = 0;  // connection attempts that have come to a verdict
  bool monitor_open_ = false;
  bool feature_wanted_ = false, report_wanted_ = false;
  bool feature_live_ = false, report_live_ = false;
  MtWindowHandle* window_ = nullptr;
  unsigned int event_msg_ = 0, connection_msg_ = 0;
  std::thread thread_;
  int wake_fd_ = -1;
  bool stop_ = false;
};

SimDriver& driver() {
  static SimDriver instance;
  return instance;
}

}  // namespace

extern "C" {

// The virtual mouse answers to any ids.
int Set_VIDPID(int, int) { return 1; }

int Open_DevMonitor(void* window, unsigned int event_msg, unsigned int connection_msg) {
  return driver().open_monitor(window, event_msg, connection_msg);
}

int Close_DevMonitor(void) { return driver().close_monitor(); }

int Open_FeatureDevice(void) { return driver().open_channel(true); }

int Close_FeatureDevice(void) { return driver().close_channel(true); }

int SetFeature(const unsigned char* data, int length) { return driver().send(wire::kFeature, data, length); }

// Nothing is ever read back from the mouse.
int GetFeature(unsigned char*, int) { return 0; }

int Open_ReportDevice(void) { return driver().open_channel(false); }

int Close_ReportDevice(void) { return driver().close_channel(false); }

int WriteUSB(const unsigned char* data, int length) { return driver().send(wire::kData, data, length); }

int ReadUSB(unsigned char*, int) { return 0; }

}  // extern "C"

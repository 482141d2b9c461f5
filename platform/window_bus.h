// The window bus: titled top-level windows as endpoints in the per-user
// runtime folder, found by title, with posted and sent numbered messages
// between processes and WM_COPYDATA carrying its bytes. The wire format is in
// docs/window-bus.md.
//
// An endpoint belongs to one thread (the UI thread): that thread polls fd()
// and calls dispatch(), which runs the handler for every message that has
// arrived, in arrival order, synchronously. Other threads of the process hand
// messages to it with post_local(). Nothing here ever blocks the owning
// thread on a peer: sockets are non-blocking and every peer has its own
// bounded buffers.
#pragma once

#include <sys/socket.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace platform {

struct WindowMessage {
  std::uint32_t msg = 0;
  std::uintptr_t wparam = 0;  // WM_COPYDATA: the sender's window id
  std::intptr_t lparam = 0;
  std::uint64_t dw_data = 0;             // WM_COPYDATA only
  std::span<const std::uint8_t> data;    // WM_COPYDATA only; valid during the call
};

// Returns the message's result (what a sender of send_message() receives).
using WindowHandler = std::function<std::intptr_t(const WindowMessage&)>;

inline constexpr int BUS_POST_TIMEOUT_MS = 1000;   // handing a post over
inline constexpr int BUS_SEND_TIMEOUT_MS = 5000;   // default wait for a result
inline constexpr std::size_t BUS_MAX_CONNECTIONS = 32;
inline constexpr std::size_t BUS_MAX_PENDING_REPLIES = 64 * 1024;  // bytes per peer
inline constexpr std::size_t BUS_MAX_LOCAL_QUEUE = 10000;
inline constexpr int BUS_FRAMES_PER_DISPATCH = 64;  // per peer, so no peer starves the rest

enum class EndpointError { none, bad_title, runtime_dir, title_in_use, refused, system };

class WindowEndpoint {
 public:
  // Becomes the window titled `title`. A socket left by a dead owner of the
  // title is replaced; a live owner makes this fail with title_in_use.
  static std::unique_ptr<WindowEndpoint> create(std::string_view title, WindowHandler handler,
                                                EndpointError* error = nullptr);
  ~WindowEndpoint();
  WindowEndpoint(const WindowEndpoint&) = delete;
  WindowEndpoint& operator=(const WindowEndpoint&) = delete;

  // Readable whenever dispatch() has work (an epoll descriptor).
  int fd() const { return epoll_fd_; }
  // Waits up to `timeout_ms` (0: not at all, -1: without limit) for work,
  // then handles what is ready. Returns the number of messages handled.
  // A handler must not destroy the endpoint; a nested call returns 0.
  int dispatch(int timeout_ms = 0);

  // Queues a message from any thread of this process; never blocks. False
  // when the queue is full (the owning thread has stopped dispatching).
  bool post_local(std::uint32_t msg, std::uintptr_t wparam, std::intptr_t lparam);
  // post_local() in the shape of MtWindowHandle::post, `context` being the
  // endpoint.
  static void post_from_any_thread(void* context, std::uint32_t msg, std::uintptr_t wparam, std::intptr_t lparam);

  const std::string& title() const { return title_; }
  // An id for this window, unique on the machine while it lives; senders of
  // WM_COPYDATA pass it as wParam.
  std::uint64_t id() const { return id_; }
  std::size_t connection_count() const { return connections_.size(); }

 private:
  struct Connection;
  struct LocalMessage {
    std::uint32_t msg;
    std::uintptr_t wparam;
    std::intptr_t lparam;
  };

  WindowEndpoint() = default;
  void accept_pending(int& handled);
  bool service(Connection& c, int& handled);
  bool flush(Connection& c);
  void watch_output(Connection& c);
  void drop(Connection& c);
  void wake();

  std::string title_;
  std::string socket_name_;
  std::uint64_t id_ = 0;
  WindowHandler handler_;
  int dir_fd_ = -1;
  int lock_fd_ = -1;
  int listen_fd_ = -1;
  int event_fd_ = -1;
  int epoll_fd_ = -1;
  bool dispatching_ = false;
  std::deque<std::unique_ptr<Connection>> connections_;  // oldest first
  std::mutex local_mutex_;
  std::deque<LocalMessage> local_queue_;
};

// True while a live endpoint with this title accepts connections.
bool window_exists(std::string_view title);
// Hands the message to the window and returns without waiting for it to be
// handled. False when there is no such window or it could not take the
// message within BUS_POST_TIMEOUT_MS.
bool post_message(std::string_view title, std::uint32_t msg, std::uintptr_t wparam = 0, std::intptr_t lparam = 0);
bool post_message(std::string_view title, const WindowMessage& m);
// Delivers the message and waits for the handler's result; nothing when there
// is no such window, the timeout passes or the peer breaks the exchange.
std::optional<std::intptr_t> send_message(std::string_view title, std::uint32_t msg, std::uintptr_t wparam,
                                          std::intptr_t lparam, int timeout_ms = BUS_SEND_TIMEOUT_MS);
std::optional<std::intptr_t> send_message(std::string_view title, const WindowMessage& m,
                                          int timeout_ms = BUS_SEND_TIMEOUT_MS);
// WM_COPYDATA: `sender` is the sending window's id (0 without a window).
std::optional<std::intptr_t> send_copydata(std::string_view title, std::uintptr_t sender, std::uint64_t dw_data,
                                           std::span<const std::uint8_t> data,
                                           int timeout_ms = BUS_SEND_TIMEOUT_MS);

// Only processes of this user may talk to an endpoint (or answer as one).
bool bus_peer_allowed(const struct ucred& peer, uid_t own_uid);

}  // namespace platform

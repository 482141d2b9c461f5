#include "platform/window_bus.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/bus_frame.h"
#include "platform/runtime_dir.h"
#include "platform/runtime_files.h"
#include "platform/window_messages.h"

namespace platform {

struct WindowEndpoint::Connection {
  int fd = -1;
  BusFrameReader reader;
  std::vector<std::uint8_t> in;  // received, not yet fed to the reader
  std::size_t in_pos = 0;
  std::vector<std::uint8_t> out;  // replies not yet taken by the peer
  std::size_t out_pos = 0;
  bool eof = false;         // the peer will send nothing more
  bool dead = false;
  std::uint32_t events = 0;  // what epoll watches now
};

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<std::uint32_t> g_next_serial{1};
std::atomic<std::uint32_t> g_next_window{1};

void close_fd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

int remaining_ms(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left <= 0 ? 0 : static_cast<int>(left);
}

// The address of an endpoint's socket. Long runtime paths do not fit into
// sun_path; the folder's descriptor then stands in for its path.
bool socket_address(int dir_fd, const std::string& name, sockaddr_un& addr, socklen_t& len) {
  std::memset(&addr, 0, sizeof addr);
  addr.sun_family = AF_UNIX;
  std::string path = runtime_dir_path() + name;
  if (path.size() >= sizeof addr.sun_path) path = "/proc/self/fd/" + std::to_string(dir_fd) + "/" + name;
  if (path.size() >= sizeof addr.sun_path) return false;
  std::memcpy(addr.sun_path, path.data(), path.size());
  len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size() + 1);
  return true;
}

bool peer_of_this_user(int fd) {
  ucred cred{};
  socklen_t len = sizeof cred;
  if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0 || len != sizeof cred) return false;
  return bus_peer_allowed(cred, getuid());
}

enum class Connect { connected, missing, busy };

// Connects to the endpoint titled `title` within the deadline. `busy` means a
// live endpoint whose queue of new connections is full.
Connect connect_window(std::string_view title, Clock::time_point deadline, int& out_fd) {
  out_fd = -1;
  std::string base = escape_runtime_name(title);
  if (base.empty()) return Connect::missing;
  int dir_fd = open_runtime_dir();
  if (dir_fd < 0) return Connect::missing;
  sockaddr_un addr;
  socklen_t len;
  Connect result = Connect::missing;
  int fd = -1;
  if (socket_address(dir_fd, "win-" + base, addr, len)) {
    fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  }
  if (fd >= 0) {
    // A blocking connect that gives up with the send timeout: a full
    // listen queue waits for room instead of failing at once.
    int ms = remaining_ms(deadline);
    if (ms < 1) ms = 1;
    timeval tv{ms / 1000, (ms % 1000) * 1000};
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
    int r;
    do {
      r = connect(fd, reinterpret_cast<sockaddr*>(&addr), len);
    } while (r != 0 && errno == EINTR && remaining_ms(deadline) > 0);
    if (r == 0) {
      result = peer_of_this_user(fd) ? Connect::connected : Connect::missing;
    } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
      result = Connect::busy;
    }
  }
  close_fd(dir_fd);
  if (result == Connect::connected) {
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    out_fd = fd;
  } else {
    close_fd(fd);
  }
  return result;
}

bool write_all(int fd, const std::vector<std::uint8_t>& bytes, Clock::time_point deadline) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      int ms = remaining_ms(deadline);
      if (ms == 0) return false;
      pollfd p{fd, POLLOUT, 0};
      poll(&p, 1, ms);
      continue;
    }
    return false;
  }
  return true;
}

BusFrame frame_of(BusFrameKind kind, const WindowMessage& m) {
  BusFrame f;
  f.kind = kind;
  f.msg = m.msg;
  f.wparam = m.wparam;
  f.lparam = m.lparam;
  f.dw_data = m.dw_data;
  f.data.assign(m.data.begin(), m.data.end());
  f.serial = g_next_serial.fetch_add(1);
  return f;
}

}  // namespace

bool bus_peer_allowed(const struct ucred& peer, uid_t own_uid) { return peer.uid == own_uid; }

// --- the endpoint ---

std::unique_ptr<WindowEndpoint> WindowEndpoint::create(std::string_view title, WindowHandler handler,
                                                       EndpointError* error) {
  auto fail = [error](EndpointError e) {
    if (error) *error = e;
    return std::unique_ptr<WindowEndpoint>();
  };
  std::string base = escape_runtime_name(title);
  if (base.empty() || !handler) return fail(EndpointError::bad_title);
  std::unique_ptr<WindowEndpoint> ep(new WindowEndpoint());
  ep->title_ = std::string(title);
  ep->socket_name_ = "win-" + base;
  ep->handler_ = std::move(handler);
  ep->id_ = (static_cast<std::uint64_t>(getpid()) << 32) | g_next_window.fetch_add(1);

  ep->dir_fd_ = open_runtime_dir();
  if (ep->dir_fd_ < 0) return fail(EndpointError::runtime_dir);
  // The title's lock is held for the endpoint's life: whoever gets it is the
  // only live owner, so replacing a dead owner's socket cannot race another
  // creator.
  PrivateOpen why;
  ep->lock_fd_ = open_private_file(ep->dir_fd_, ep->socket_name_ + ".lock", true, &why);
  if (ep->lock_fd_ < 0) return fail(why == PrivateOpen::refused ? EndpointError::refused : EndpointError::system);
  if (flock(ep->lock_fd_, LOCK_EX | LOCK_NB) != 0) {
    return fail(errno == EWOULDBLOCK ? EndpointError::title_in_use : EndpointError::system);
  }
  unlinkat(ep->dir_fd_, ep->socket_name_.c_str(), 0);

  sockaddr_un addr;
  socklen_t len;
  if (!socket_address(ep->dir_fd_, ep->socket_name_, addr, len)) return fail(EndpointError::bad_title);
  ep->listen_fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (ep->listen_fd_ < 0 || bind(ep->listen_fd_, reinterpret_cast<sockaddr*>(&addr), len) != 0) {
    return fail(EndpointError::system);
  }
  fchmodat(ep->dir_fd_, ep->socket_name_.c_str(), 0600, 0);
  if (listen(ep->listen_fd_, 128) != 0) return fail(EndpointError::system);

  ep->event_fd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  ep->epoll_fd_ = epoll_create1(EPOLL_CLOEXEC);
  if (ep->event_fd_ < 0 || ep->epoll_fd_ < 0) return fail(EndpointError::system);
  epoll_event ev{};
  ev.events = EPOLLIN;
  ev.data.fd = ep->listen_fd_;
  if (epoll_ctl(ep->epoll_fd_, EPOLL_CTL_ADD, ep->listen_fd_, &ev) != 0) return fail(EndpointError::system);
  ev.data.fd = ep->event_fd_;
  if (epoll_ctl(ep->epoll_fd_, EPOLL_CTL_ADD, ep->event_fd_, &ev) != 0) return fail(EndpointError::system);
  if (error) *error = EndpointError::none;
  return ep;
}

WindowEndpoint::~WindowEndpoint() {
  for (auto& c : connections_) close_fd(c->fd);
  connections_.clear();
  if (listen_fd_ >= 0 && dir_fd_ >= 0) unlinkat(dir_fd_, socket_name_.c_str(), 0);
  close_fd(listen_fd_);
  close_fd(event_fd_);
  close_fd(epoll_fd_);
  close_fd(lock_fd_);  // last: the title is free only once the socket is gone
  close_fd(dir_fd_);
}

void WindowEndpoint::wake() {
  std::uint64_t one = 1;
  ssize_t r = write(event_fd_, &one, sizeof one);
  (void)r;  // a full counter already means "awake"
}

bool WindowEndpoint::post_local(std::uint32_t msg, std::uintptr_t wparam, std::intptr_t lparam) {
  {
    std::lock_guard<std::mutex> lock(local_mutex_);
    if (local_queue_.size() >= BUS_MAX_LOCAL_QUEUE) return false;
    local_queue_.push_back({msg, wparam, lparam});
  }
  wake();
  return true;
}

void WindowEndpoint::post_from_any_thread(void* context, std::uint32_t msg, std::uintptr_t wparam,
                                          std::intptr_t lparam) {
  if (context) static_cast<WindowEndpoint*>(context)->post_local(msg, wparam, lparam);
}

void WindowEndpoint::drop(Connection& c) {
  if (c.fd >= 0) {
    epoll_ctl(epoll_fd_, EPOLL_CTL_DEL, c.fd, nullptr);
    close_fd(c.fd);
  }
  c.dead = true;
}

void WindowEndpoint::accept_pending(int& handled) {
  for (;;) {
    int fd = accept4(listen_fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
      if (errno == EINTR || errno == ECONNABORTED) continue;
      return;  // EAGAIN, or out of descriptors: try again on the next round
    }
    if (!peer_of_this_user(fd)) {
      ::close(fd);
      continue;
    }
    // Peers that hold connections without finishing their business must not
    // crowd out the others: the oldest goes, but only after what it has
    // already sent is handled (a quick run of posts fills the slots too).
    while (connections_.size() >= BUS_MAX_CONNECTIONS) {
      Connection& oldest = *connections_.front();
      if (!oldest.dead) service(oldest, handled);
      drop(oldest);
      connections_.pop_front();
    }
    auto c = std::make_unique<Connection>();
    c->fd = fd;
    c->events = EPOLLIN;
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.fd = fd;
    if (epoll_ctl(epoll_fd_, EPOLL_CTL_ADD, fd, &ev) != 0) {
      ::close(fd);
      continue;
    }
    connections_.push_back(std::move(c));
  }
}

bool WindowEndpoint::flush(Connection& c) {
  while (c.out_pos < c.out.size()) {
    ssize_t n = ::send(c.fd, c.out.data() + c.out_pos, c.out.size() - c.out_pos, MSG_NOSIGNAL);
    if (n > 0) {
      c.out_pos += static_cast<std::size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      break;
    } else {
      return false;
    }
  }
  if (c.out_pos == c.out.size()) {
    c.out.clear();
    c.out_pos = 0;
  }
  return c.out.size() - c.out_pos <= BUS_MAX_PENDING_REPLIES;
}

void WindowEndpoint::watch_output(Connection& c) {
  bool pending = c.out_pos < c.out.size();
  // After the peer's end of stream the socket stays readable forever; only
  // the wait for room to write is of interest then.
  std::uint32_t want = (c.eof ? 0u : std::uint32_t(EPOLLIN)) | (pending ? std::uint32_t(EPOLLOUT) : 0u);
  if (want == c.events) return;
  epoll_event ev{};
  ev.events = want;
  ev.data.fd = c.fd;
  epoll_ctl(epoll_fd_, EPOLL_CTL_MOD, c.fd, &ev);
  c.events = want;
}

// Reads what the peer has sent and handles its frames. False when the
// connection is to be closed.
bool WindowEndpoint::service(Connection& c, int& handled) {
  if (!flush(c)) return false;
  int frames = 0;
  std::uint8_t buf[16384];
  for (;;) {
    while (c.in_pos < c.in.size()) {
      std::span<const std::uint8_t> rest(c.in.data() + c.in_pos, c.in.size() - c.in_pos);
      c.in_pos += c.reader.feed(rest);
      BusFrame f;
      BusFrameReader::Result r = c.reader.next(f);
      if (r == BusFrameReader::Result::error) return false;
      if (r == BusFrameReader::Result::need_more) continue;
      if (f.kind == BusFrameKind::reply) return false;  // nobody asked this endpoint anything
      WindowMessage m;
      m.msg = f.msg;
      m.wparam = static_cast<std::uintptr_t>(f.wparam);
      m.lparam = static_cast<std::intptr_t>(f.lparam);
      m.dw_data = f.dw_data;
      m.data = f.data;
      std::intptr_t result = handler_(m);
      ++handled;
      if (f.kind == BusFrameKind::send) {
        BusFrame reply;
        reply.kind = BusFrameKind::reply;
        reply.msg = f.msg;
        reply.lparam = result;
        reply.serial = f.serial;
        encode_bus_frame(reply, c.out);
        if (!flush(c)) return false;
      }
      if (++frames >= BUS_FRAMES_PER_DISPATCH) {
        // Come back to the rest on the next round; the bytes already read
        // are not visible to epoll, so ask for that round ourselves.
        c.in.erase(c.in.begin(), c.in.begin() + static_cast<std::ptrdiff_t>(c.in_pos));
        c.in_pos = 0;
        wake();
        return true;
      }
    }
    c.in.clear();
    c.in_pos = 0;
    if (c.eof) break;
    ssize_t n = recv(c.fd, buf, sizeof buf, 0);
    if (n > 0) {
      c.in.assign(buf, buf + n);
    } else if (n == 0) {
      c.eof = true;  // a frame cut short by the end is dropped
    } else if (errno == EINTR) {
      continue;
    } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
      return true;
    } else {
      return false;
    }
  }
  // The peer is done sending: close once it has every reply.
  return c.out_pos < c.out.size();
}

int WindowEndpoint::dispatch(int timeout_ms) {
  if (dispatching_) return 0;
  dispatching_ = true;
  epoll_event events[16];
  int ready = epoll_wait(epoll_fd_, events, 16, timeout_ms);
  int handled = 0;
  if (ready > 0) {
    std::uint64_t counter;
    ssize_t r = read(event_fd_, &counter, sizeof counter);
    (void)r;

    std::deque<LocalMessage> batch;
    {
      std::lock_guard<std::mutex> lock(local_mutex_);
      batch.swap(local_queue_);
    }
    for (const LocalMessage& l : batch) {
      WindowMessage m;
      m.msg = l.msg;
      m.wparam = l.wparam;
      m.lparam = l.lparam;
      handler_(m);
      ++handled;
    }

    // New connections first, then every connection oldest first: a sender
    // that posts over one connection after another keeps its order, since an
    // older connection's bytes are already there when a newer one is seen.
    accept_pending(handled);
    for (auto& c : connections_) {
      if (c->dead) continue;
      if (!service(*c, handled)) {
        drop(*c);
      } else {
        watch_output(*c);
      }
    }
    std::erase_if(connections_, [](const std::unique_ptr<Connection>& c) { return c->dead; });
  }
  dispatching_ = false;
  return handled;
}

// --- senders ---

bool window_exists(std::string_view title) {
  int fd;
  Connect r = connect_window(title, Clock::now() + std::chrono::milliseconds(200), fd);
  close_fd(fd);
  return r != Connect::missing;
}

bool post_message(std::string_view title, const WindowMessage& m) {
  std::vector<std::uint8_t> bytes;
  if (!encode_bus_frame(frame_of(BusFrameKind::post, m), bytes)) return false;
  auto deadline = Clock::now() + std::chrono::milliseconds(BUS_POST_TIMEOUT_MS);
  int fd;
  if (connect_window(title, deadline, fd) != Connect::connected) return false;
  bool ok = write_all(fd, bytes, deadline);
  close_fd(fd);
  return ok;
}

bool post_message(std::string_view title, std::uint32_t msg, std::uintptr_t wparam, std::intptr_t lparam) {
  WindowMessage m;
  m.msg = msg;
  m.wparam = wparam;
  m.lparam = lparam;
  return post_message(title, m);
}

std::optional<std::intptr_t> send_message(std::string_view title, const WindowMessage& m, int timeout_ms) {
  BusFrame request = frame_of(BusFrameKind::send, m);
  std::vector<std::uint8_t> bytes;
  if (!encode_bus_frame(request, bytes)) return std::nullopt;
  auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms < 0 ? 0 : timeout_ms);
  int fd;
  if (connect_window(title, deadline, fd) != Connect::connected) return std::nullopt;
  std::optional<std::intptr_t> result;
  if (write_all(fd, bytes, deadline)) {
    BusFrameReader reader;
    std::uint8_t buf[256];
    bool done = false;
    while (!done) {
      int ms = remaining_ms(deadline);
      pollfd p{fd, POLLIN, 0};
      if (ms == 0 || poll(&p, 1, ms) == 0) break;
      ssize_t n = recv(fd, buf, sizeof buf, 0);
      if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
      if (n <= 0) break;
      std::span<const std::uint8_t> rest(buf, static_cast<std::size_t>(n));
      while (!rest.empty() && !done) {
        rest = rest.subspan(reader.feed(rest));
        BusFrame f;
        BusFrameReader::Result r = reader.next(f);
        if (r == BusFrameReader::Result::error) done = true;
        if (r != BusFrameReader::Result::frame) continue;
        if (f.kind == BusFrameKind::reply && f.serial == request.serial) result = static_cast<std::intptr_t>(f.lparam);
        done = true;
      }
    }
  }
  close_fd(fd);
  return result;
}

std::optional<std::intptr_t> send_message(std::string_view title, std::uint32_t msg, std::uintptr_t wparam,
                                          std::intptr_t lparam, int timeout_ms) {
  WindowMessage m;
  m.msg = msg;
  m.wparam = wparam;
  m.lparam = lparam;
  return send_message(title, m, timeout_ms);
}

std::optional<std::intptr_t> send_copydata(std::string_view title, std::uintptr_t sender, std::uint64_t dw_data,
                                           std::span<const std::uint8_t> data, int timeout_ms) {
  WindowMessage m;
  m.msg = WM_COPYDATA;
  m.wparam = sender;
  m.dw_data = dw_data;
  m.data = data;
  return send_message(title, m, timeout_ms);
}

}  // namespace platform

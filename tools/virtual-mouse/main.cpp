// virtual-mouse: plays the Morvath T60R for the simulated HID plug-in.
//
// It listens on "virtual-mouse.sock" in the runtime folder, takes one plug-in
// connection at a time (a new one replaces the old), checks and logs every
// transfer, keeps the settings a mouse would hold, and takes commands on
// standard input: event <type> <value>, unplug, plug, dump, quit.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "hiddriver/sim_wire.h"
#include "platform/runtime_dir.h"
#include "tools/virtual-mouse/mouse_commands.h"
#include "tools/virtual-mouse/mouse_model.h"
#include "tools/virtual-mouse/transfer_log.h"

namespace {

// How long a plug-in that has stopped taking events may lag before it is dropped.
constexpr int kSendPatienceMs = 2000;

namespace wire = hiddriver::wire;
using Clock = std::chrono::steady_clock;

int g_signal_pipe[2] = {-1, -1};

void on_signal(int) {
  const char c = 0;
  [[maybe_unused]] ssize_t n = ::write(g_signal_pipe[1], &c, 1);
}

void usage() {
  std::fprintf(stderr,
               "usage: virtual-mouse [--log FILE] [--unplugged]\n"
               "  commands on standard input: event <type> <value>, unplug, plug, dump, quit\n");
}

class VirtualMouse {
 public:
  VirtualMouse(bool attached, vmouse::TransferLog* log) : attached_(attached), log_(log), start_(Clock::now()) {}

  ~VirtualMouse() {
    if (client_ >= 0) ::close(client_);
    if (listener_ >= 0) ::close(listener_);
    // Remove the socket only if it is still the one we made.
    struct stat st;
    if (!path_.empty() && ::lstat(path_.c_str(), &st) == 0 && st.st_ino == socket_inode_) ::unlink(path_.c_str());
  }

  bool listen_on(const std::string& path) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) {
      std::fprintf(stderr, "virtual-mouse: socket path too long: %s\n", path.c_str());
      return false;
    }
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    // A socket file left by a mouse that died is stale; one that answers
    // belongs to a mouse that is still running.
    int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (probe >= 0 && ::connect(probe, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
      ::close(probe);
      std::fprintf(stderr, "virtual-mouse: another virtual mouse is listening on %s\n", path.c_str());
      return false;
    }
    if (probe >= 0) ::close(probe);
    ::unlink(path.c_str());
    listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listener_, 4) != 0) {
      std::fprintf(stderr, "virtual-mouse: cannot listen on %s: %s\n", path.c_str(), std::strerror(errno));
      return false;
    }
    path_ = path;
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0) socket_inode_ = st.st_ino;
    std::fprintf(stderr, "virtual-mouse: listening on %s\n", path.c_str());
    return true;
  }

  int run() {
    std::string line_buffer;
    for (;;) {
      pollfd fds[4];
      int n = 0;
      // The plug-in's socket is served before standard input: a command typed
      // after a transfer was sent then always sees that transfer.
      const int client_at = client_ >= 0 ? n : -1;
      if (client_ >= 0) fds[n++] = {client_, POLLIN, 0};
      const int listen_at = n;
      fds[n++] = {listener_, POLLIN, 0};
      const int stdin_at = n;
      fds[n++] = {STDIN_FILENO, POLLIN, 0};
      const int signal_at = n;
      fds[n++] = {g_signal_pipe[0], POLLIN, 0};
      if (::poll(fds, static_cast<nfds_t>(n), -1) < 0) {
        if (errno == EINTR) continue;
        std::perror("virtual-mouse: poll");
        return 1;
      }
      if (fds[signal_at].revents) break;
      if (client_at >= 0 && fds[client_at].revents) serve_client();
      if (fds[listen_at].revents & POLLIN) accept_client();
      if (fds[stdin_at].revents) {
        if (!read_stdin(&line_buffer)) break;
      }
    }
    for (const auto& e : model_.interrupt()) log_error(e);
    return 0;
  }

 private:
  double now_ms() const { return std::chrono::duration<double, std::milli>(Clock::now() - start_).count(); }

  void log_error(const vmouse::ProtocolError& e) {
    log_->write(now_ms(), "error", e.bytes, e.message);
    ++errors_;
  }

  void send_frame(const std::vector<uint8_t>& frame) {
    if (client_ < 0) return;
    size_t done = 0;
    while (done < frame.size()) {
      ssize_t n = ::send(client_, frame.data() + done, frame.size() - done, MSG_NOSIGNAL);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && errno == EAGAIN) {
        // A burst of events can fill the socket while the plug-in's thread
        // is descheduled; give it time to catch up before deciding it has
        // stopped reading (a torn frame would garble its stream).
        pollfd out{client_, POLLOUT, 0};
        if (::poll(&out, 1, kSendPatienceMs) > 0 && (out.revents & POLLOUT)) continue;
        std::fprintf(stderr, "virtual-mouse: plug-in not reading, dropping it\n");
        drop_client();
        return;
      }
      // Gone: what it sent before it went is still to be read, and the read
      // side drops it after that.
      if (n <= 0) return;
      done += static_cast<size_t>(n);
    }
  }

  void drop_client() {
    if (client_ < 0) return;
    ::close(client_);
    client_ = -1;
    reader_.clear();
    for (const auto& e : model_.interrupt()) log_error(e);
  }

  void accept_client() {
    int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) return;
    if (client_ >= 0) {
      std::fprintf(stderr, "virtual-mouse: new plug-in connection replaces the old one\n");
      drop_client();
    }
    client_ = fd;
    send_frame(wire::encode_state(attached_));
  }

  void serve_client() {
    uint8_t buf[4096];
    for (;;) {
      ssize_t n = ::recv(client_, buf, sizeof buf, 0);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && errno == EAGAIN) return;
      if (n <= 0) {
        if (reader_.pending()) {
          log_error({"plug-in went away in the middle of a frame", {}});
        }
        drop_client();
        return;
      }
      const double stamp = now_ms();  // on receipt
      reader_.push(buf, static_cast<size_t>(n));
      wire::Frame frame;
      for (;;) {
        auto r = reader_.next(&frame);
        if (r == wire::FrameReader::Result::kNeedMore) break;
        if (r == wire::FrameReader::Result::kBroken) {
          log_error({"frame header announces more than " + std::to_string(wire::kMaxPayload) +
                         " bytes; dropping the plug-in's connection",
                     {}});
          drop_client();
          return;
        }
        handle_frame(stamp, frame);
      }
    }
  }

  void handle_frame(double stamp, const wire::Frame& frame) {
    const char* kind = frame.kind == wire::kFeature ? "feature" : frame.kind == wire::kData ? "data" : nullptr;
    if (kind == nullptr) {
      char what[64];
      std::snprintf(what, sizeof what, "unknown frame kind %02X from the plug-in", frame.kind);
      log_error({what, frame.payload});
      return;
    }
    log_->write(stamp, kind, frame.payload);
    if (!attached_) {
      log_error({"transfer while the mouse is unplugged", frame.payload});
      return;
    }
    auto errors = frame.kind == wire::kFeature ? model_.feature(frame.payload.data(), frame.payload.size())
                                               : model_.data(frame.payload.data(), frame.payload.size());
    for (const auto& e : errors) log_error(e);
  }

  // False when input has ended or "quit" was given.
  bool read_stdin(std::string* pending) {
    char buf[1024];
    ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) return true;
    if (n <= 0) {  // end of input ends the mouse, after a last unterminated line
      if (!pending->empty()) run_command(*pending);
      return false;
    }
    pending->append(buf, static_cast<size_t>(n));
    size_t nl;
    while ((nl = pending->find('\n')) != std::string::npos) {
      std::string line = pending->substr(0, nl);
      pending->erase(0, nl + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!run_command(line)) return false;
    }
    return true;
  }

  bool run_command(const std::string& line) {
    vmouse::Command cmd = vmouse::parse_command(line);
    switch (cmd.kind) {
      case vmouse::Command::kNone:
        break;
      case vmouse::Command::kBad:
        std::fprintf(stderr, "virtual-mouse: %s\n", cmd.error.c_str());
        break;
      case vmouse::Command::kEvent:
        if (client_ < 0) std::fprintf(stderr, "virtual-mouse: event not sent: no plug-in connected\n");
        else if (!attached_) std::fprintf(stderr, "virtual-mouse: event not sent: the mouse is unplugged\n");
        else report_event(cmd.type, cmd.value);
        break;
      case vmouse::Command::kUnplug:
        if (!attached_) break;
        attached_ = false;
        // Whatever was half sent is lost with the mouse.
        for (const auto& e : model_.interrupt()) log_error(e);
        send_frame(wire::encode_state(false));
        break;
      case vmouse::Command::kPlug:
        if (attached_) break;
        attached_ = true;
        send_frame(wire::encode_state(true));
        break;
      case vmouse::Command::kDump: {
        std::string json = model_.state_json(attached_, client_ >= 0);
        json.insert(json.size() - 1, ",\"errors\":" + std::to_string(errors_));
        std::fprintf(stdout, "%s\n", json.c_str());
        std::fflush(stdout);
        break;
      }
      case vmouse::Command::kQuit:
        return false;
    }
    return true;
  }

  // The mouse tells the plug-in about a change it made itself, and holds it.
  void report_event(uint16_t type, uint16_t value) {
    send_frame(wire::encode_event(type, value));
    model_.report_event(type, value);
  }

  bool attached_;
  vmouse::TransferLog* log_;
  Clock::time_point start_;
  std::string path_;
  ino_t socket_inode_ = 0;
  int listener_ = -1;
  int client_ = -1;
  wire::FrameReader reader_;
  vmouse::MouseModel model_;
  long errors_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  std::string log_path;
  bool attached = true;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--log" && i + 1 < argc) {
      log_path = argv[++i];
    } else if (arg == "--unplugged") {
      attached = false;
    } else if (arg == "--help" || arg == "-h") {
      usage();
      return 0;
    } else {
      usage();
      return 2;
    }
  }

  if (::pipe2(g_signal_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return 1;
  struct sigaction sa{};
  sa.sa_handler = on_signal;
  ::sigaction(SIGINT, &sa, nullptr);
  ::sigaction(SIGTERM, &sa, nullptr);
  ::signal(SIGPIPE, SIG_IGN);

  vmouse::TransferLog log;
  if (!log_path.empty() && !log.open(log_path)) {
    std::fprintf(stderr, "virtual-mouse: cannot write the log %s: %s\n", log_path.c_str(), std::strerror(errno));
    return 1;
  }
  const platform::RuntimeDirCheck runtime = platform::check_runtime_dir();
  if (!runtime.usable()) {
    std::fprintf(stderr, "virtual-mouse: %s\n", platform::runtime_dir_problem(runtime).c_str());
    return 1;
  }
  const std::string& dir = runtime.path;
  VirtualMouse mouse(attached, &log);
  if (!mouse.listen_on(dir + wire::kSocketName)) return 1;
  return mouse.run();
}

#include "platform/process_launcher.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace platform {

namespace {

// Paths come from settings files; keep the log line one line and free of
// terminal control sequences.
std::string printable(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (unsigned char c : s) {
    if (c < 0x20 || c == 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

void log_failure(std::string_view what, std::string_view path, int err) {
  std::fprintf(stderr, "process_launcher: %.*s '%s'%s%s\n", static_cast<int>(what.size()), what.data(),
               printable(path).c_str(), err ? ": " : "", err ? std::strerror(err) : "");
}

// "scheme:" with a scheme of two or more characters, so that a drive letter
// ("C:\...") is not taken for one.
bool looks_like_url(std::string_view s) {
  std::size_t colon = s.find(':');
  if (colon == std::string_view::npos || colon < 2) return false;
  auto alpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  if (!alpha(s[0])) return false;
  for (std::size_t i = 1; i < colon; ++i) {
    char c = s[i];
    if (!alpha(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.') return false;
  }
  return true;
}

// A descriptor at 3 or above, so closing everything from 3 up in the child
// cannot hit the standard ones.
int above_std(int fd) {
  if (fd >= 3) return fd;
  int moved = fcntl(fd, F_DUPFD_CLOEXEC, 3);
  close(fd);
  return moved;
}

void write_errno(int fd) {
  int err = errno;
  ssize_t ignored = write(fd, &err, sizeof err);
  (void)ignored;
}

}  // namespace

std::string find_in_path(std::string_view name) {
  if (name.empty() || name.find('/') != std::string_view::npos) return {};
  const char* path = std::getenv("PATH");
  std::string_view dirs = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
  while (true) {
    std::size_t colon = dirs.find(':');
    std::string_view dir = dirs.substr(0, colon);
    if (!dir.empty()) {
      std::string candidate(dir);
      candidate += '/';
      candidate += name;
      struct stat st;
      if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(candidate.c_str(), X_OK) == 0)
        return candidate;
    }
    if (colon == std::string_view::npos) return {};
    dirs.remove_prefix(colon + 1);
  }
}

// A double fork: the middle process starts a new session, forks the program
// and ends at once, so the program is reparented away from us and we only
// reap the middle one. Between fork and exec only async-signal-safe calls are
// made; everything else is prepared before the first fork. A close-on-exec
// pipe carries exec's errno back, so the log can tell what went wrong.
bool spawn_detached(const std::vector<std::string>& argv) {
  if (argv.empty() || argv[0].empty()) return false;
  std::vector<char*> args;
  args.reserve(argv.size() + 1);
  for (const std::string& a : argv) {
    if (a.find('\0') != std::string::npos) return false;
    args.push_back(const_cast<char*>(a.c_str()));
  }
  args.push_back(nullptr);

  struct rlimit lim;
  int max_fd = (getrlimit(RLIMIT_NOFILE, &lim) == 0 && lim.rlim_cur != RLIM_INFINITY && lim.rlim_cur < 65536)
                   ? static_cast<int>(lim.rlim_cur)
                   : 65536;

  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return false;
  int err_r = above_std(fds[0]);
  int err_w = above_std(fds[1]);
  if (err_r < 0 || err_w < 0) {
    if (err_r >= 0) close(err_r);
    if (err_w >= 0) close(err_w);
    return false;
  }

  pid_t middle = fork();
  if (middle < 0) {
    int err = errno;
    close(err_r);
    close(err_w);
    errno = err;
    return false;
  }
  if (middle == 0) {
    setsid();
    pid_t program = fork();
    if (program < 0) {
      write_errno(err_w);
      _exit(1);
    }
    if (program > 0) _exit(0);

    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    // Ignored signals survive exec; the program gets the defaults.
    struct sigaction dfl;
    std::memset(&dfl, 0, sizeof dfl);
    dfl.sa_handler = SIG_DFL;
    for (int sig = 1; sig < NSIG; ++sig) sigaction(sig, &dfl, nullptr);

    unsigned keep = static_cast<unsigned>(err_w);
    if ((keep > 3 && close_range(3, keep - 1, 0) != 0) || close_range(keep + 1, ~0U, 0) != 0) {
      for (int fd = 3; fd < max_fd; ++fd)
        if (fd != err_w) close(fd);
    }
    execve(args[0], args.data(), environ);
    write_errno(err_w);
    _exit(127);
  }

  close(err_w);
  int status = 0;
  while (waitpid(middle, &status, 0) < 0 && errno == EINTR) {
  }
  int child_err = 0;
  ssize_t n;
  while ((n = read(err_r, &child_err, sizeof child_err)) < 0 && errno == EINTR) {
  }
  close(err_r);
  if (n == static_cast<ssize_t>(sizeof child_err)) {
    errno = child_err;
    return false;
  }
  return true;
}

bool start_program(std::string_view path) {
  if (path.empty()) return false;
  // A NUL would make the system open a shorter path than the one asked for.
  if (path.find('\0') != std::string_view::npos) {
    log_failure("refusing a path with a NUL", path.substr(0, path.find('\0')), 0);
    return false;
  }
  std::string file(path);
  struct stat st;
  bool exists = stat(file.c_str(), &st) == 0;
  if (exists && S_ISREG(st.st_mode) && access(file.c_str(), X_OK) == 0) {
    if (spawn_detached({file})) return true;
    log_failure("cannot start", path, errno);
    return false;
  }
  if (!exists && !looks_like_url(path)) {
    log_failure("nothing to start at", path, ENOENT);
    return false;
  }
  std::string opener = find_in_path("xdg-open");
  if (opener.empty()) {
    log_failure("no xdg-open to open", path, 0);
    return false;
  }
  // The opener takes a leading '-' for an option.
  if (file[0] == '-') file.insert(0, "./");
  if (spawn_detached({opener, file})) return true;
  log_failure("cannot open", path, errno);
  return false;
}

bool PosixProcessLauncher::start(std::string_view path) { return start_program(path); }

}  // namespace platform

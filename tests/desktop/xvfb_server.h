// A private X server for one test: Xvfb on a display number it picks itself
// (-displayfd), so tests running side by side never share or race for one.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char** environ;

namespace desktop_test {

class XvfbServer {
 public:
  static constexpr const char* kProgram = "/usr/bin/Xvfb";

  static bool installed() { return access(kProgram, X_OK) == 0; }

  // Starts the server and waits (at most 20 s) until it takes connections.
  bool start() {
    int fds[2];
    if (pipe(fds) != 0) return false;
    std::string fd_text = std::to_string(fds[1]);
    std::vector<std::string> args = {kProgram, "-displayfd", fd_text, "-nolisten", "tcp", "-noreset",
                                     "-screen", "0",         "1024x768x24"};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    int rc = posix_spawn(&pid_, kProgram, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (rc != 0) {
      pid_ = -1;
      close(fds[0]);
      return false;
    }
    std::string number;
    while (number.find('\n') == std::string::npos) {
      pollfd p{fds[0], POLLIN, 0};
      if (poll(&p, 1, 20000) <= 0) break;
      char buf[32];
      ssize_t n = read(fds[0], buf, sizeof buf);
      if (n <= 0) break;
      number.append(buf, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    if (number.find('\n') == std::string::npos) return false;
    display_ = ":" + number.substr(0, number.find('\n'));
    return true;
  }

  ~XvfbServer() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }

  const char* display() const { return display_.c_str(); }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

}  // namespace desktop_test

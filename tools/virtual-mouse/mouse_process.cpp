#include "tools/virtual-mouse/mouse_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

extern char** environ;

namespace vmouse {

namespace {

using Clock = std::chrono::steady_clock;

int ms_left(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

MouseProcess::~MouseProcess() {
  if (pid_ > 0 && !stop(5000) && pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  close_pipes();
}

void MouseProcess::close_pipes() {
  for (int* fd : {&in_, &out_, &err_}) {
    if (*fd >= 0) ::close(*fd);
    *fd = -1;
  }
}

bool MouseProcess::start(const std::string& program, const std::vector<std::string>& args, int timeout_ms) {
  if (pid_ > 0) return false;
  close_pipes();
  out_buffer_.clear();
  err_text_.clear();
  int in[2], out[2], err[2];
  if (::pipe2(in, O_CLOEXEC) != 0) return false;
  if (::pipe2(out, O_CLOEXEC) != 0) return false;
  if (::pipe2(err, O_CLOEXEC) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid;
  int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(in[0]);
  ::close(out[1]);
  ::close(err[1]);
  in_ = in[1];
  out_ = out[0];
  err_ = err[0];
  if (rc != 0) {
    close_pipes();
    return false;
  }
  pid_ = pid;
  ::fcntl(err_, F_SETFL, O_NONBLOCK);
  // Its first word on standard error says it is listening (or why not).
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  while (err_text_.find("listening on") == std::string::npos) {
    pollfd p{err_, POLLIN, 0};
    if (::poll(&p, 1, ms_left(deadline)) <= 0) return false;
    const size_t before = err_text_.size();
    drain_stderr();
    if (err_text_.size() == before) return false;  // it closed standard error: it ended
  }
  return true;
}

void MouseProcess::drain_stderr() {
  if (err_ < 0) return;
  char buf[1024];
  for (;;) {
    ssize_t n = ::read(err_, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    err_text_.append(buf, static_cast<size_t>(n));
  }
}

std::string MouseProcess::error_text() {
  drain_stderr();
  return err_text_;
}

bool MouseProcess::command(const std::string& line) {
  if (in_ < 0) return false;
  std::string text = line + "\n";
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(in_, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

bool MouseProcess::read_line(int fd, std::string* buffer, std::string* line, int timeout_ms) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    size_t nl = buffer->find('\n');
    if (nl != std::string::npos) {
      *line = buffer->substr(0, nl);
      buffer->erase(0, nl + 1);
      return true;
    }
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, ms_left(deadline)) <= 0) return false;
    char buf[4096];
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    buffer->append(buf, static_cast<size_t>(n));
  }
}

std::string MouseProcess::dump(int timeout_ms) {
  drain_stderr();
  if (!command("dump")) return "";
  std::string line;
  if (!read_line(out_, &out_buffer_, &line, timeout_ms)) return "";
  return line;
}

bool MouseProcess::stop(int timeout_ms) {
  if (pid_ <= 0) return false;
  drain_stderr();
  command("quit");
  if (in_ >= 0) ::close(in_);
  in_ = -1;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  int status = 0;
  for (;;) {
    pid_t r = ::waitpid(pid_, &status, WNOHANG);
    if (r == pid_) break;
    if (r < 0 && errno != EINTR) {
      pid_ = -1;
      return false;
    }
    if (ms_left(deadline) == 0) return false;
    // Standard error closes when it ends; after that only the reaping is left.
    pollfd p{err_, POLLIN, 0};
    const int step = std::min(ms_left(deadline), 10);
    if (::poll(&p, 1, step) > 0) {
      const size_t before = err_text_.size();
      drain_stderr();
      if (err_text_.size() == before) ::poll(nullptr, 0, step);
    }
  }
  pid_ = -1;
  drain_stderr();
  close_pipes();
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace vmouse

#include "platform/x11/gnome_settings.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/process_launcher.h"

extern char** environ;

namespace platform {

namespace {

long long now_ms() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<long long>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

// Without a session bus gsettings would only warn, or start a bus of its own
// that outlives us.
bool session_bus_present() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (address && *address) return true;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (!runtime || !*runtime) return false;
  struct stat st;
  std::string bus = std::string(runtime) + "/bus";
  return stat(bus.c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

}  // namespace

std::string run_and_capture(const std::vector<std::string>& argv, int timeout_ms, bool& ok) {
  ok = false;
  if (argv.empty()) return {};
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);

  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  pid_t pid = 0;
  int rc = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (rc != 0) {
    close(out[0]);
    return {};
  }

  std::string text;
  long long deadline = now_ms() + timeout_ms;
  bool timed_out = false;
  while (true) {
    long long left = deadline - now_ms();
    if (left <= 0) {
      timed_out = true;
      break;
    }
    pollfd p{out[0], POLLIN, 0};
    int n = poll(&p, 1, static_cast<int>(left));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      timed_out = n == 0;
      break;
    }
    char buf[4096];
    ssize_t got = read(out[0], buf, sizeof buf);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    text.append(buf, static_cast<std::size_t>(got));
    if (text.size() > (1u << 20)) break;  // no settings list is that long
  }
  close(out[0]);
  if (timed_out) kill(pid, SIGKILL);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  ok = !timed_out && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return text;
}

GSettingsCommand::GSettingsCommand() {
  if (session_bus_present()) program_ = find_in_path("gsettings");
}

std::vector<std::string> GSettingsCommand::keys(std::string_view schema) {
  if (program_.empty()) return {};
  bool ok = false;
  std::string text = run_and_capture({program_, "list-keys", std::string(schema)}, 2000, ok);
  std::vector<std::string> keys;
  if (!ok) return keys;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    if (end > start) keys.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return keys;
}

// Started detached: a slow settings daemon must not hold up the caller.
void GSettingsCommand::set(std::string_view schema, std::string_view key, std::string_view value) {
  if (program_.empty()) return;
  spawn_detached({program_, "set", std::string(schema), std::string(key), std::string(value)});
}

}  // namespace platform

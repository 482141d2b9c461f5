// winmsg end to end: real processes on a private runtime folder.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "bus_test_support.h"
#include "platform/bus_frame.h"
#include "platform/window_bus.h"

extern char** environ;

namespace {

struct Child {
  pid_t pid = -1;
  int out_fd = -1;
};

Child spawn_winmsg(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  std::string program = WINMSG_PATH;
  argv.push_back(program.data());
  std::vector<std::string> copy = args;
  for (std::string& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  int out[2];
  Child c;
  if (pipe(out) != 0) return c;
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_adddup2(&fa, out[1], 1);
  posix_spawn_file_actions_addclose(&fa, out[0]);
  if (posix_spawn(&c.pid, program.c_str(), &fa, nullptr, argv.data(), environ) != 0) c.pid = -1;
  posix_spawn_file_actions_destroy(&fa);
  close(out[1]);
  c.out_fd = out[0];
  return c;
}

// Collects the child's output until it ends; -1 when it does not end in time.
int finish(Child& c, std::string* output, std::chrono::seconds limit = std::chrono::seconds(20)) {
  auto deadline = std::chrono::steady_clock::now() + limit;
  std::string text;
  char buf[512];
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    pollfd p{c.out_fd, POLLIN, 0};
    if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) {
      kill(c.pid, SIGKILL);
      waitpid(c.pid, nullptr, 0);
      close(c.out_fd);
      return -1;
    }
    ssize_t n = read(c.out_fd, buf, sizeof buf);
    if (n <= 0) break;
    text.append(buf, static_cast<std::size_t>(n));
  }
  close(c.out_fd);
  int status = 0;
  waitpid(c.pid, &status, 0);
  if (output) *output = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int run(const std::vector<std::string>& args, std::string* output = nullptr) {
  Child c = spawn_winmsg(args);
  return c.pid < 0 ? -1 : finish(c, output);
}

TEST(Winmsg, ListenPostSendCopyDataAndClose) {
  bus_test::PrivateRuntimeDir dir;
  const std::string title = "Belvanto_550_28_Gaming_Mouse_Normal_OSD";
  Child listener = spawn_winmsg({"listen", "--result", "7", title});
  ASSERT_GT(listener.pid, 0);
  ASSERT_TRUE(bus_test::until([] {}, [&] { return platform::window_exists(title); }));

  EXPECT_EQ(run({"find", title}), 0);
  EXPECT_EQ(run({"find", "Morvath T60R Option"}), 1);
  EXPECT_EQ(run({"post", title, "1224", "1", "-5"}), 0);
  std::string out;
  EXPECT_EQ(run({"send", title, "0x4A1", "0x10", "-0x10"}, &out), 0);
  EXPECT_EQ(out, "7\n");
  std::string file = dir.root() + "/message.bin";
  { std::ofstream(file, std::ios::binary) << std::string(302, '\x01'); }
  EXPECT_EQ(run({"copydata", title, file}, &out), 0);
  EXPECT_EQ(out, "7\n");
  EXPECT_EQ(run({"send", "--timeout", "200", "Nobody", "1"}, &out), 1);
  EXPECT_EQ(out, "");
  // Closing by send: the answer comes back before the listener ends.
  EXPECT_EQ(run({"send", title, "0x10"}, &out), 0);
  EXPECT_EQ(out, "7\n");

  std::string heard;
  EXPECT_EQ(finish(listener, &heard), 0);
  EXPECT_EQ(heard,
            "1224 1 -5\n"
            "1185 16 -16\n"
            "74 0 0 302\n"
            "16 0 0\n");
  EXPECT_FALSE(platform::window_exists(title));
}

TEST(Winmsg, BadUsageIsRefused) {
  bus_test::PrivateRuntimeDir dir;
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"bogus", "T"},
      {"find"},
      {"post", "T"},
      {"post", "T", "twelve"},
      {"post", "T", "0x"},
      {"post", "T", "4294967296"},  // message numbers are 32 bits
      {"post", "T", "-1"},
      {"post", "T", "1", "2", "3", "4"},
      {"post", "T", "012a"},
      {"send", "--timeout"},
      {"send", "--timeout", "soon", "T", "1"},
      {"copydata", "T"},
      {"listen"},
  };
  for (const auto& args : cases) {
    std::string joined;
    for (const auto& a : args) joined += a + " ";
    EXPECT_EQ(run(args), 2) << joined;
  }
}

TEST(Winmsg, FailuresAreReported) {
  bus_test::PrivateRuntimeDir dir;
  EXPECT_EQ(run({"post", "Nobody", "16"}), 1);
  EXPECT_EQ(run({"copydata", "Nobody", dir.root() + "/missing"}), 1);
  std::string big = dir.root() + "/big.bin";
  { std::ofstream(big, std::ios::binary) << std::string(platform::BUS_MAX_DATA + 1, 'x'); }
  auto ep = platform::WindowEndpoint::create("Busy", [](const platform::WindowMessage&) { return 0; });
  ASSERT_TRUE(ep);
  EXPECT_EQ(run({"copydata", "Busy", big}), 1);
  // A second listener for a live title gives up instead of taking it over.
  EXPECT_EQ(run({"listen", "Busy"}), 1);
  EXPECT_EQ(ep->dispatch(0), 0) << "nothing reached the window";
}

}  // namespace

#include "platform/process_launcher.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// The started programs are small scripts that report one line through a
// FIFO; reading it blocks (up to a deadline) instead of polling the disk.
class LauncherTest : public ::testing::Test {
 protected:
  fs::path dir;
  fs::path fifo;
  int fifo_fd = -1;
  std::string saved_path;

  void SetUp() override {
    char tmpl[] = "/tmp/desktop_launch_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
    fifo = dir / "report";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // Read-write, so there is always a writer and poll waits for data.
    fifo_fd = open(fifo.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(fifo_fd, 0);
    if (const char* p = std::getenv("PATH")) saved_path = p;
  }
  void TearDown() override {
    setenv("PATH", saved_path.c_str(), 1);
    if (fifo_fd >= 0) close(fifo_fd);
    fs::remove_all(dir);
  }

  // A script that writes `report` (shell text) as one line into the FIFO.
  fs::path script(const std::string& name, const std::string& report) {
    fs::path p = dir / name;
    std::ofstream(p) << "#!/bin/sh\necho \"" << report << "\" > '" << fifo.string() << "'\n";
    fs::permissions(p, fs::perms::owner_all);
    return p;
  }

  std::string read_report(int timeout_ms = 10000) {
    std::string line;
    while (line.find('\n') == std::string::npos) {
      pollfd p{fifo_fd, POLLIN, 0};
      if (poll(&p, 1, timeout_ms) <= 0) return "(timeout) " + line;
      char buf[512];
      ssize_t n = read(fifo_fd, buf, sizeof buf);
      if (n > 0) line.append(buf, static_cast<std::size_t>(n));
    }
    return line.substr(0, line.find('\n'));
  }
};

TEST_F(LauncherTest, StartsAFileWhoseNameAShellWouldHaveRun) {
  fs::path p = script("it's \"odd\" $(touch PWNED); `touch PWNED2`;x & y.sh", "ran");
  EXPECT_TRUE(platform::start_program(p.string()));
  EXPECT_EQ(read_report(), "ran");
  EXPECT_FALSE(fs::exists(dir / "PWNED"));
  EXPECT_FALSE(fs::exists(fs::current_path() / "PWNED"));
  EXPECT_FALSE(fs::exists(fs::current_path() / "PWNED2"));
}

TEST_F(LauncherTest, PathsThatNameNoFileStartNothing) {
  std::string touch = (dir / "PWNED").string();
  const std::string paths[] = {
      "/bin/true; touch " + touch,
      "$(touch " + touch + ")",
      "`touch " + touch + "`",
      "/bin/sh -c 'touch " + touch + "'",
      "C:\\Games\\quake3.exe",
      "",
      std::string("/bin/true\0/x", 12),
  };
  for (const std::string& p : paths) EXPECT_FALSE(platform::start_program(p)) << p;
  EXPECT_FALSE(fs::exists(dir / "PWNED"));
}

TEST_F(LauncherTest, ProgramIsDetachedAndGetsOnlyTheStandardFiles) {
  // A descriptor the caller forgot to mark close-on-exec.
  int leaked = open("/dev/null", O_RDONLY);
  ASSERT_GE(leaked, 0);
  ASSERT_EQ(dup2(leaked, 42), 42);
  close(leaked);
  fs::path p = script("check.sh",
                      "$(if [ -e /proc/$$/fd/42 ]; then echo open; else echo closed; fi) "
                      "$(if [ $PPID -eq " + std::to_string(getpid()) + " ]; then echo ours; else echo reparented; fi) "
                      "$(read -r _ _ _ _ _ sid _ < /proc/$$/stat; if [ $sid -eq " + std::to_string(getsid(0)) + " ]; then echo our-session; else echo own-session; fi)");
  EXPECT_TRUE(platform::start_program(p.string()));
  EXPECT_EQ(read_report(), "closed reparented own-session");
  close(42);
  // Nothing of ours is left to reap: no zombie.
  errno = 0;
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

TEST_F(LauncherTest, DocumentsAndFoldersGoToTheOpener) {
  fs::path bin = dir / "bin";
  fs::create_directory(bin);
  std::ofstream(bin / "xdg-open") << "#!/bin/sh\necho \"open:$#:$1\" > '" << fifo.string() << "'\n";
  fs::permissions(bin / "xdg-open", fs::perms::owner_all);
  setenv("PATH", bin.c_str(), 1);

  fs::path doc = dir / "notes; $(rm -rf x).txt";
  std::ofstream(doc) << "text";
  EXPECT_TRUE(platform::start_program(doc.string()));
  EXPECT_EQ(read_report(), "open:1:" + doc.string());

  EXPECT_TRUE(platform::start_program(dir.string()));
  EXPECT_EQ(read_report(), "open:1:" + dir.string());

  EXPECT_TRUE(platform::start_program("https://example.invalid/a?b=c&d"));
  EXPECT_EQ(read_report(), "open:1:https://example.invalid/a?b=c&d");

  // A relative name that would read as an option.
  ASSERT_EQ(chdir(dir.c_str()), 0);
  std::ofstream(dir / "-help") << "text";
  EXPECT_TRUE(platform::start_program("-help"));
  EXPECT_EQ(read_report(), "open:1:./-help");
  ASSERT_EQ(chdir("/"), 0);
}

TEST_F(LauncherTest, NoOpenerNoStart) {
  setenv("PATH", (dir / "empty").c_str(), 1);
  std::ofstream(dir / "doc.txt") << "text";
  EXPECT_FALSE(platform::start_program((dir / "doc.txt").string()));
  EXPECT_EQ(platform::find_in_path("xdg-open"), "");
}

TEST_F(LauncherTest, ProgramThatCannotBeLoadedIsAFailure) {
  fs::path p = dir / "broken";
  std::ofstream(p) << "#!/nonexistent/interpreter\n";
  fs::permissions(p, fs::perms::owner_all);
  EXPECT_FALSE(platform::start_program(p.string()));
  EXPECT_FALSE(platform::spawn_detached({}));
  EXPECT_FALSE(platform::spawn_detached({""}));
}

}  // namespace

// Runs tools/virtual-mouse as a child process and talks to it through its
// standard input and output, for the tests and benchmarks that need a mouse.
// The child inherits the environment, so set XDG_RUNTIME_DIR first to give it
// (and the simulated plug-in in this process) a private runtime folder.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace vmouse {

class MouseProcess {
 public:
  MouseProcess() = default;
  ~MouseProcess();  // stop(), and a kill if it will not stop
  MouseProcess(const MouseProcess&) = delete;
  MouseProcess& operator=(const MouseProcess&) = delete;

  // Starts `program` with `args` and waits until it says it is listening.
  bool start(const std::string& program, const std::vector<std::string>& args, int timeout_ms = 10000);
  bool running() const { return pid_ > 0; }
  // One command line ("event 0x0A 5", "unplug", ...).
  bool command(const std::string& line);
  // Sends "dump" and returns the JSON line it prints; "" on time-out. Since
  // the mouse serves the plug-in's socket before its input, every transfer
  // written before this call is in the answer and in the log.
  std::string dump(int timeout_ms = 10000);
  // Sends "quit" and waits; true when it ended with status 0.
  bool stop(int timeout_ms = 10000);
  // Everything it wrote to standard error so far.
  std::string error_text();

 private:
  bool read_line(int fd, std::string* buffer, std::string* line, int timeout_ms);
  void drain_stderr();
  void close_pipes();

  pid_t pid_ = -1;
  int in_ = -1, out_ = -1, err_ = -1;
  std::string out_buffer_, err_text_;
};

}  // namespace vmouse

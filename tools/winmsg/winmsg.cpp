// winmsg: the window bus from the command line.
//
//   winmsg find TITLE                              exit 0 when the window exists
//   winmsg post TITLE MSG [WPARAM [LPARAM]]        hand a message over
//   winmsg send [--timeout MS] TITLE MSG [WPARAM [LPARAM]]   print the result
//   winmsg copydata [--timeout MS] TITLE FILE      send FILE's bytes as WM_COPYDATA
//   winmsg listen [--result N] TITLE               be the window, print each message
//
// Numbers are decimal or 0x hex; WPARAM and LPARAM may be negative.
// Exit status: 0 done, 1 no such window / timeout / failure, 2 bad usage.
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/bus_frame.h"
#include "platform/window_bus.h"
#include "platform/runtime_dir.h"
#include "platform/window_messages.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;

void on_signal(int) { g_stop = 1; }

int usage() {
  std::fputs(
      "usage: winmsg find TITLE\n"
      "       winmsg post TITLE MSG [WPARAM [LPARAM]]\n"
      "       winmsg send [--timeout MS] TITLE MSG [WPARAM [LPARAM]]\n"
      "       winmsg copydata [--timeout MS] TITLE FILE\n"
      "       winmsg listen [--result N] TITLE\n",
      stderr);
  return 2;
}

// "123", "-123", "0x7B", "-0x7B". The value is the 64-bit two's complement of
// the number; `max_magnitude` bounds what is accepted.
std::optional<std::uint64_t> parse_number(std::string_view s, bool allow_negative, std::uint64_t max_magnitude) {
  bool negative = false;
  if (!s.empty() && s[0] == '-') {
    if (!allow_negative) return std::nullopt;
    negative = true;
    s.remove_prefix(1);
  }
  unsigned base = 10;
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  if (s.empty()) return std::nullopt;
  std::uint64_t v = 0;
  for (char ch : s) {
    unsigned d;
    if (ch >= '0' && ch <= '9') {
      d = static_cast<unsigned>(ch - '0');
    } else if (base == 16 && ch >= 'a' && ch <= 'f') {
      d = static_cast<unsigned>(ch - 'a' + 10);
    } else if (base == 16 && ch >= 'A' && ch <= 'F') {
      d = static_cast<unsigned>(ch - 'A' + 10);
    } else {
      return std::nullopt;
    }
    if (v > (max_magnitude - d) / base) return std::nullopt;
    v = v * base + d;
  }
  return negative ? ~v + 1 : v;
}

struct Args {
  std::vector<std::string> positional;
  int timeout_ms = platform::BUS_SEND_TIMEOUT_MS;
  std::intptr_t result = 0;
};

bool parse_args(int argc, char** argv, Args& args) {
  bool options = true;
  for (int i = 2; i < argc; ++i) {
    std::string_view a = argv[i];
    if (options && a == "--") {
      options = false;
    } else if (options && (a == "--timeout" || a == "--result")) {
      if (i + 1 >= argc) return false;
      if (a == "--timeout") {
        auto v = parse_number(argv[++i], false, 24u * 3600 * 1000);
        if (!v) return false;
        args.timeout_ms = static_cast<int>(*v);
      } else {
        auto v = parse_number(argv[++i], true, UINT64_MAX);
        if (!v) return false;
        args.result = static_cast<std::intptr_t>(*v);
      }
    } else {
      args.positional.emplace_back(a);
    }
  }
  return true;
}

// TITLE MSG [WPARAM [LPARAM]] from the positional arguments.
bool parse_message(const Args& args, std::uint32_t& msg, std::uintptr_t& wparam, std::intptr_t& lparam) {
  if (args.positional.size() < 2 || args.positional.size() > 4) return false;
  auto m = parse_number(args.positional[1], false, UINT32_MAX);
  if (!m) return false;
  msg = static_cast<std::uint32_t>(*m);
  wparam = 0;
  lparam = 0;
  if (args.positional.size() > 2) {
    auto w = parse_number(args.positional[2], true, UINT64_MAX);
    if (!w) return false;
    wparam = static_cast<std::uintptr_t>(*w);
  }
  if (args.positional.size() > 3) {
    auto l = parse_number(args.positional[3], true, UINT64_MAX);
    if (!l) return false;
    lparam = static_cast<std::intptr_t>(*l);
  }
  return true;
}

int listen(const Args& args) {
  if (args.positional.size() != 1) return usage();
  bool closing = false;
  std::intptr_t result = args.result;
  platform::EndpointError error;
  auto endpoint = platform::WindowEndpoint::create(
      args.positional[0],
      [&](const platform::WindowMessage& m) {
        if (m.msg == platform::WM_COPYDATA) {
          std::printf("%u %ju %jd %zu\n", m.msg, static_cast<std::uintmax_t>(m.wparam),
                      static_cast<std::intmax_t>(m.lparam), m.data.size());
        } else {
          std::printf("%u %ju %jd\n", m.msg, static_cast<std::uintmax_t>(m.wparam),
                      static_cast<std::intmax_t>(m.lparam));
        }
        std::fflush(stdout);
        if (m.msg == platform::WM_CLOSE) closing = true;
        return result;
      },
      &error);
  if (!endpoint) {
    std::string refused = error == platform::EndpointError::runtime_dir ? platform::runtime_dir_problem() : "";
    std::fprintf(stderr, "winmsg: cannot become window \"%s\": %s\n", args.positional[0].c_str(),
                 error == platform::EndpointError::title_in_use ? "the title is in use"
                 : error == platform::EndpointError::bad_title  ? "the title is not usable"
                 : !refused.empty()                             ? refused.c_str()
                                                                : "the runtime folder is not usable");
    return 1;
  }
  struct sigaction sa{};
  sa.sa_handler = on_signal;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);
  while (!closing && !g_stop) endpoint->dispatch(-1);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return usage();
  std::string_view command = argv[1];
  Args args;
  if (!parse_args(argc, argv, args)) return usage();

  if (command == "find") {
    if (args.positional.size() != 1) return usage();
    return platform::window_exists(args.positional[0]) ? 0 : 1;
  }
  if (command == "post" || command == "send") {
    std::uint32_t msg;
    std::uintptr_t wparam;
    std::intptr_t lparam;
    if (!parse_message(args, msg, wparam, lparam)) return usage();
    const std::string& title = args.positional[0];
    if (command == "post") {
      if (platform::post_message(title, msg, wparam, lparam)) return 0;
      std::fprintf(stderr, "winmsg: could not post to \"%s\"\n", title.c_str());
      return 1;
    }
    auto r = platform::send_message(title, msg, wparam, lparam, args.timeout_ms);
    if (!r) {
      std::fprintf(stderr, "winmsg: no result from \"%s\"\n", title.c_str());
      return 1;
    }
    std::printf("%jd\n", static_cast<std::intmax_t>(*r));
    return 0;
  }
  if (command == "copydata") {
    if (args.positional.size() != 2) return usage();
    std::ifstream in(args.positional[1], std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "winmsg: cannot read %s\n", args.positional[1].c_str());
      return 1;
    }
    std::vector<std::uint8_t> data;
    char buf[4096];
    while (in.read(buf, sizeof buf) || in.gcount() > 0) {
      data.insert(data.end(), buf, buf + in.gcount());
      if (data.size() > platform::BUS_MAX_DATA) {
        std::fprintf(stderr, "winmsg: %s is larger than %zu bytes\n", args.positional[1].c_str(),
                     platform::BUS_MAX_DATA);
        return 1;
      }
    }
    auto r = platform::send_copydata(args.positional[0], 0, 0, data, args.timeout_ms);
    if (!r) {
      std::fprintf(stderr, "winmsg: no result from \"%s\"\n", args.positional[0].c_str());
      return 1;
    }
    std::printf("%jd\n", static_cast<std::intmax_t>(*r));
    return 0;
  }
  if (command == "listen") return listen(args);
  return usage();
}

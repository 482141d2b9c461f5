// The simulated plug-in, loaded from a program folder as Monitor loads it,
// against a running tools/virtual-mouse in a private runtime folder.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "hiddriver/sim_wire.h"
#include "monitor/device/hid_library.h"
#include "tests/hid/recording_window.h"
#include "tools/virtual-mouse/mouse_process.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

constexpr uint32_t kEventMsg = 1325;
constexpr uint32_t kConnectionMsg = 1326;

struct LogLine {
  double ms;
  std::string kind, hex, message;
};

std::string hex(const Bytes& b) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (size_t i = 0; i < b.size(); ++i) {
    if (i) out += ' ';
    out += kDigits[b[i] >> 4];
    out += kDigits[b[i] & 15];
  }
  return out;
}

Bytes cmd(std::initializer_list<uint8_t> head) {
  Bytes c(head);
  c.resize(8, 0);
  unsigned sum = 0;
  for (int i = 0; i < 7; ++i) sum += c[i];
  c[7] = static_cast<uint8_t>(0xFF - (sum & 0xFF));
  return c;
}

class SimPluginTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/mt-hid-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    root_ = tmpl;
    // Both the mouse (a child) and the plug-in (in this process) find each
    // other through this folder only.
    setenv("XDG_RUNTIME_DIR", root_.c_str(), 1);
    program_ = root_ + "/program/";
    fs::create_directory(program_);
    fs::copy_file(MT_TEST_SIM_PLUGIN, program_ + "hiddriver.so");
  }

  void TearDown() override {
    lib_.close_report_device();
    lib_.close_feature_device();
    lib_.close_dev_monitor();
    lib_.unload();
    mouse_.stop();
    std::error_code ec;
    fs::remove_all(root_, ec);
  }

  void start_mouse(std::vector<std::string> extra = {}) {
    log_ = root_ + "/mouse" + std::to_string(++starts_) + ".log";
    std::vector<std::string> args = {"--log", log_};
    args.insert(args.end(), extra.begin(), extra.end());
    ASSERT_TRUE(mouse_.start(MT_TEST_VIRTUAL_MOUSE, args)) << mouse_.error_text();
  }

  // Monitor's start order; the result of Open_ReportDevice says "mouse present".
  int open_all() {
    if (!lib_.loaded() && !lib_.load(program_)) return -1;
    lib_.set_vid_pid(0x1017, 0x8003);
    if (lib_.open_dev_monitor(window_.handle(), kEventMsg, kConnectionMsg) != 1) return -2;
    lib_.open_feature_device();
    return lib_.open_report_device();
  }

  // Monitor's order on removal and arrival.
  int reopen_channels() {
    lib_.close_report_device();
    lib_.close_feature_device();
    lib_.open_feature_device();
    return lib_.open_report_device();
  }

  // Everything the mouse logged up to now (a dump first makes sure it has
  // taken every transfer already written).
  std::vector<LogLine> read_log() {
    std::vector<LogLine> lines;
    std::ifstream in(log_);
    static const std::regex re(
        R"re(\{"ms":([0-9.]+),"kind":"(\w+)","hex":"([0-9A-F ]*)"(?:,"message":"((?:[^"\\]|\\.)*)")?\})re");
    for (std::string line; std::getline(in, line);) {
      std::smatch m;
      EXPECT_TRUE(std::regex_match(line, m, re)) << line;
      if (!m.empty()) lines.push_back({std::stod(m[1]), m[2], m[3], m[4]});
    }
    return lines;
  }

  std::string socket_path() const { return root_ + "/morvath-t60r/" + hiddriver::wire::kSocketName; }

  std::string root_, program_, log_;
  int starts_ = 0;
  vmouse::MouseProcess mouse_;
  mt::HidLibrary lib_;
  RecordingWindow window_;
};

TEST_F(SimPluginTest, EventsAndPlugChangesArriveThroughPost) {
  start_mouse();
  ASSERT_EQ(open_all(), 1);
  const struct {
    const char* line;
    uintptr_t type;
    intptr_t value;
  } events[] = {{"event 0x000A 5", 0x000A, 5},
                {"event 0xB100 0x2010", 0xB100, 0x2010},
                {"event 0x0800 3", 0x0800, 3},
                // The value is 16 bits: 0xFFFF must not arrive sign-extended.
                {"event 0xF000 0xFFFF", 0xF000, 0xFFFF}};
  std::vector<PostedMessage> expected;
  for (const auto& e : events) {
    ASSERT_TRUE(mouse_.command(e.line));
    expected.push_back({kEventMsg, e.type, e.value});
  }
  ASSERT_TRUE(window_.wait_for_count(expected.size()));

  mouse_.command("unplug");
  expected.push_back({kConnectionMsg, 0, 0});
  ASSERT_TRUE(window_.wait_for_count(expected.size()));
  EXPECT_EQ(reopen_channels(), 0);
  const Bytes fixed = cmd({0x03, 0x00, 0x0F, 0xD8, 0x40});
  EXPECT_EQ(lib_.set_feature(fixed.data(), 8), 0);  // nothing reaches an unplugged mouse

  mouse_.command("event 0x000A 1");  // an unplugged mouse reports nothing
  mouse_.command("plug");
  expected.push_back({kConnectionMsg, 1, 0});
  ASSERT_TRUE(window_.wait_for_count(expected.size()));
  EXPECT_EQ(reopen_channels(), 1);
  EXPECT_EQ(lib_.set_feature(fixed.data(), 8), 8);

  ASSERT_NE(mouse_.dump(), "");
  EXPECT_EQ(window_.messages(), expected);
  auto log = read_log();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].hex, hex(fixed));
}

TEST_F(SimPluginTest, MouseProgramRestartIsRemovalThenArrival) {
  start_mouse();
  ASSERT_EQ(open_all(), 1);
  ASSERT_TRUE(mouse_.stop());
  ASSERT_TRUE(window_.wait_for_count(1));
  const Bytes level = cmd({0x0B, 2, 0x08});
  EXPECT_EQ(lib_.set_feature(level.data(), 8), 0);

  start_mouse();
  ASSERT_TRUE(window_.wait_for_count(2));  // the plug-in reconnects by itself
  EXPECT_EQ(window_.messages(), (std::vector<PostedMessage>{{kConnectionMsg, 0, 0}, {kConnectionMsg, 1, 0}}));
  // Channels opened before the removal stay dead until opened again.
  EXPECT_EQ(lib_.set_feature(level.data(), 8), 0);
  EXPECT_EQ(reopen_channels(), 1);
  EXPECT_EQ(lib_.set_feature(level.data(), 8), 8);
  ASSERT_NE(mouse_.dump().find("\"level\":2"), std::string::npos);
  EXPECT_EQ(read_log().size(), 1u);
}

TEST_F(SimPluginTest, StartedUnpluggedMeansNoMouseUntilPlugged) {
  start_mouse({"--unplugged"});
  EXPECT_EQ(open_all(), 0);
  const Bytes rate = cmd({0x01, 4});
  Bytes data(24, 0);
  EXPECT_EQ(lib_.set_feature(rate.data(), 8), 0);
  EXPECT_EQ(lib_.write_usb(data.data(), 24), 0);
  mouse_.command("plug");
  ASSERT_TRUE(window_.wait_for_count(1));
  EXPECT_EQ(window_.messages()[0], (PostedMessage{kConnectionMsg, 1, 0}));
  EXPECT_EQ(reopen_channels(), 1);
  EXPECT_EQ(lib_.set_feature(rate.data(), 8), 8);
  std::string dump = mouse_.dump();
  EXPECT_NE(dump.find("\"rate_ms\":4"), std::string::npos) << dump;
  ASSERT_EQ(read_log().size(), 1u);
}

TEST_F(SimPluginTest, TransfersArriveTransferForTransferAndDumpShowsTheState) {
  start_mouse();
  ASSERT_EQ(open_all(), 1);
  Bytes levels = {0x04, 0x84, 0x26, 0x06, 0x28, 0x80, 0x80, 0x80};
  Bytes buttons(64, 0);
  const uint8_t left[4] = {0x01, 0x00, 0xF0, 0x00}, launch[4] = {0x06, 0x00, 0x0A, 0x05},
                copy[4] = {0x09, 0x00, 0x01, 0x04};
  std::memcpy(&buttons[0], left, 4);
  std::memcpy(&buttons[16], launch, 4);
  std::memcpy(&buttons[40], copy, 4);
  Bytes block(128, 0);
  const uint8_t ctrl_c[] = {0x00, 0x01, 0x01, 0xE0, 0x01, 0x06, 0x81, 0x06, 0x81, 0xE0};
  std::memcpy(block.data(), ctrl_c, sizeof ctrl_c);

  struct Transfer {
    bool feature;
    Bytes bytes;
  };
  std::vector<Transfer> sent = {
      {true, cmd({0x03, 0x00, 0x0F, 0xD8, 0x40})},
      {true, cmd({0x02, 2})},
      {true, cmd({0x11, 0x05, 0x08})},
      {false, levels},
      {true, cmd({0x12, 0x01, 0x40})},
      {false, Bytes(buttons.begin(), buttons.begin() + 32)},
      {false, Bytes(buttons.begin() + 32, buttons.end())},
      {true, cmd({0x13, 1, 0x80})},
  };
  for (int part = 0; part < 4; ++part) sent.push_back({false, Bytes(block.begin() + 32 * part, block.begin() + 32 * (part + 1))});
  sent.push_back({true, cmd({0x0B, 3, 0x08})});

  for (const auto& t : sent) {
    const int n = static_cast<int>(t.bytes.size());
    EXPECT_EQ(t.feature ? lib_.set_feature(t.bytes.data(), n) : lib_.write_usb(t.bytes.data(), n), n);
  }
  std::string dump = mouse_.dump();
  for (const char* part : {"\"profile\":2", "\"fixed\":true", "\"level\":3,", "\"errors\":0",
                           "{\"level\":1,\"code\":\"0x04\",\"enabled\":true,\"cpi\":1000}",
                           "{\"level\":2,\"code\":\"0x84\",\"enabled\":false,\"cpi\":1000}",
                           "{\"level\":5,\"code\":\"0x28\",\"enabled\":true,\"cpi\":4000}",
                           "\"type\":\"mouse\",\"key\":\"0xF0\",\"name\":\"Left\"",
                           "{\"button\":4,\"hex\":\"06 00 0A 05\",\"type\":\"event\",\"event_type\":\"0x000A\",\"value\":5}",
                           "{\"button\":10,\"hex\":\"09 00 01 04\",\"type\":\"macro\",\"macro\":1}",
                           "{\"macro\":1,\"repeat\":1,\"events\":[{\"action\":\"press\",\"key\":\"0xE0\",\"delay_ms\":0}"}) {
    EXPECT_NE(dump.find(part), std::string::npos) << part << " in " << dump;
  }

  auto log = read_log();
  ASSERT_EQ(log.size(), sent.size());
  for (size_t i = 0; i < sent.size(); ++i) {
    EXPECT_EQ(log[i].kind, sent[i].feature ? "feature" : "data") << i;
    EXPECT_EQ(log[i].hex, hex(sent[i].bytes)) << i;
    if (i) {
      EXPECT_GE(log[i].ms, log[i - 1].ms) << i;
    }
  }
}

TEST_F(SimPluginTest, MouseFlagsBadCheckByteAndMissingDataReport) {
  start_mouse();
  ASSERT_EQ(open_all(), 1);
  const Bytes bad_select = {0x02, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFA};  // FB would be right
  const Bytes table = cmd({0x12, 0x01, 0x40});
  const Bytes fixed = cmd({0x03, 0x00, 0x0F, 0xD8, 0x40});
  const Bytes half(32, 0x11);
  lib_.set_feature(bad_select.data(), 8);
  lib_.set_feature(table.data(), 8);
  lib_.write_usb(half.data(), 32);
  lib_.set_feature(fixed.data(), 8);  // the second button report never came
  lib_.write_usb(half.data(), 32);    // and this one belongs to no command

  std::string dump = mouse_.dump();
  EXPECT_NE(dump.find("\"errors\":3"), std::string::npos) << dump;
  EXPECT_NE(dump.find("\"profile\":null"), std::string::npos) << dump;
  EXPECT_NE(dump.find("\"buttons\":null"), std::string::npos) << dump;
  EXPECT_NE(dump.find("\"fixed\":true"), std::string::npos) << dump;

  auto log = read_log();
  const struct {
    const char* kind;
    Bytes bytes;
    const char* message;
  } expected[] = {
      {"feature", bad_select, ""},
      {"error", bad_select, "bad check byte FA"},
      {"feature", table, ""},
      {"data", half, ""},
      {"feature", fixed, ""},
      {"error", table, "announced 2 data report(s) of 32 bytes, 1 arrived"},
      {"data", half, ""},
      {"error", half, "no command announced"},
  };
  ASSERT_EQ(log.size(), std::size(expected));
  for (size_t i = 0; i < log.size(); ++i) {
    EXPECT_EQ(log[i].kind, expected[i].kind) << i;
    EXPECT_EQ(log[i].hex, hex(expected[i].bytes)) << i;
    EXPECT_NE(log[i].message.find(expected[i].message), std::string::npos) << i << ": " << log[i].message;
  }
}

// A raw client on the mouse's socket, for what a broken plug-in might do.
class RawClient {
 public:
  explicit RawClient(const std::string& path) {
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
    connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
  }
  ~RawClient() { ::close(fd_); }
  bool connected() const { return connected_; }
  void send(const Bytes& b) { ASSERT_EQ(::send(fd_, b.data(), b.size(), MSG_NOSIGNAL), ssize_t(b.size())); }
  // True when the mouse closes its side (after reading what it had sent).
  bool wait_closed() {
    char buf[256];
    for (;;) {
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, 10000) <= 0) return false;
      ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
      if (n <= 0) return n == 0;
    }
  }

 private:
  int fd_ = -1;
  bool connected_ = false;
};

TEST_F(SimPluginTest, GarbageOrAVanishingPlugInDoesNotStopTheMouse) {
  namespace wire = hiddriver::wire;
  start_mouse();
  {
    // A feature that announces data, then the client is gone.
    RawClient vanishing(socket_path());
    ASSERT_TRUE(vanishing.connected());
    const Bytes table = cmd({0x12, 0x01, 0x40});
    vanishing.send(wire::encode_frame(wire::kFeature, table.data(), 8));
  }
  RawClient garbage(socket_path());
  ASSERT_TRUE(garbage.connected());
  garbage.send(wire::encode_frame(0x7E, nullptr, 0));  // unknown kind: logged, link kept
  garbage.send({wire::kFeature, 0xFF, 0xFF, 0x01, 0x02});  // a length no frame has
  EXPECT_TRUE(garbage.wait_closed());

  // A newer connection replaces an older one.
  RawClient older(socket_path());
  ASSERT_TRUE(older.connected());
  ASSERT_EQ(open_all(), 1);
  EXPECT_TRUE(older.wait_closed());
  const Bytes fixed = cmd({0x03, 0x00, 0x0F, 0xD8, 0x40});
  EXPECT_EQ(lib_.set_feature(fixed.data(), 8), 8);

  std::string dump = mouse_.dump();
  EXPECT_NE(dump.find("\"fixed\":true"), std::string::npos) << dump;
  std::vector<std::string> errors;
  for (const auto& l : read_log())
    if (l.kind == "error") errors.push_back(l.message);
  ASSERT_EQ(errors.size(), 3u) << mouse_.error_text() << ::testing::PrintToString(errors);
  EXPECT_NE(errors[0].find("0x12 announced 2 data report(s)"), std::string::npos) << errors[0];
  EXPECT_NE(errors[1].find("unknown frame kind 7E"), std::string::npos) << errors[1];
  EXPECT_NE(errors[2].find("dropping"), std::string::npos) << errors[2];
}

}  // namespace

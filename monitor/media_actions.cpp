#include "monitor/media_actions.h"

#include <cstdio>
#include <cstdlib>

#include "monitor/virtual_keys.h"
#include "platform/text.h"
#include "platform/window_messages.h"

namespace mt {

namespace {

// Paths and commands travel in buffers of this many UTF-16 units, NUL included.
constexpr std::size_t kPathUnits = 260;
constexpr int kKeyGapMs = 100;

constexpr char16_t kWmpPathKey[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\wmplayer.exe";
constexpr char16_t kItunesPathKey[] = u"SOFTWARE\\Apple Computer, Inc.\\iPod\\RegisteredApps\\4";
constexpr char16_t kRealPlayerCommandKey[] = u"SOFTWARE\\Classes\\Applications\\RealPlay.exe\\shell\\open\\command";
constexpr char16_t kWinampCommandKey[] = u"SOFTWARE\\Classes\\Winamp.File\\shell\\open\\command";

// WM_APPCOMMAND commands.
constexpr std::int64_t kAppCommandNextTrack = 11;
constexpr std::int64_t kAppCommandPreviousTrack = 12;
constexpr std::int64_t kAppCommandStop = 13;
constexpr std::int64_t kAppCommandPlayPause = 14;

// Blank text, or a broken surrogate that would turn into U+FFFD and name a
// different file: nothing to start.
bool blank_or_broken(std::u16string_view path) {
  return platform::trim(path, platform::WHITE_SPACE).empty() || !platform::is_well_formed_utf16(path);
}

}  // namespace

bool start_button_program(const ProfileRecord& profile, int button, platform::ProcessLauncher& launcher) {
  if (button < 0 || button >= kButtonSlots) return false;
  const ButtonRecord& b = profile.MacroKeyInfo[button];
  if (b.function != kFnLaunch) return false;
  std::u16string_view path = platform::fixed_text(b.program_path);
  if (blank_or_broken(path)) return false;
  return launcher.start(platform::utf16_to_utf8(path));
}

std::u16string command_program_path(std::u16string_view command) {
  std::size_t open = command.find(u'"');
  if (open == std::u16string_view::npos) return std::u16string(command);
  std::u16string_view rest = command.substr(open + 1);
  return std::u16string(rest.substr(0, rest.find(u'"')));
}

std::u16string expand_environment(std::u16string_view text, const EnvironmentLookup& lookup) {
  std::u16string out;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t open = text.find(u'%', i);
    if (open == std::u16string_view::npos) {
      out.append(text.substr(i));
      break;
    }
    out.append(text.substr(i, open - i));
    std::size_t close = text.find(u'%', open + 1);
    if (close == std::u16string_view::npos) {
      out.append(text.substr(open));
      break;
    }
    std::u16string_view name = text.substr(open + 1, close - open - 1);
    std::optional<std::u16string> value;
    if (!name.empty() && lookup) value = lookup(name);
    if (value) {
      out.append(*value);
    } else {
      out.append(text.substr(open, close - open + 1));
    }
    i = close + 1;
    if (out.size() >= kPathUnits) return {};
  }
  if (out.size() >= kPathUnits) return {};
  return out;
}

std::optional<std::u16string> process_environment(std::u16string_view name) {
  std::string key = platform::utf16_to_utf8(name);
  const char* value = std::getenv(key.c_str());
  if (!value) return std::nullopt;
  return platform::utf8_to_utf16(value);
}

CMediaActions::CMediaActions(PlayerRegistry& registry, PlayerWindows& windows, platform::ProcessLauncher& launcher,
                             Sleeper sleep_ms, EnvironmentLookup environment)
    : registry_(registry),
      windows_(windows),
      launcher_(launcher),
      sleep_ms_(std::move(sleep_ms)),
      environment_(std::move(environment)) {}

// Starts a command line the registry gave. The program is the quoted part
// when the command starts with a quote, else the whole text; arguments are
// not passed on.
void CMediaActions::start(std::u16string_view command) {
  std::u16string_view trimmed = platform::trim(command, platform::WHITE_SPACE);
  std::u16string path = !trimmed.empty() && trimmed.front() == u'"' ? command_program_path(trimmed)
                                                                    : std::u16string(trimmed);
  if (blank_or_broken(path)) return;
  launcher_.start(platform::utf16_to_utf8(path));
}

void CMediaActions::media_action(int media_option, int code, int key_state) {
  if (key_state != 0 || code < kMediaStartPlayer || code > kMediaStop) return;
  switch (media_option) {
    case 0: windows_media_player(code); break;
    case 1: itunes(code); break;
    case 2: real_player(code); break;
    case 3: winamp(code); break;
    default: break;
  }
}

void CMediaActions::windows_media_player(int code) {
  if (code == kMediaStartPlayer) {
    std::u16string path = expand_environment(registry_.read_machine_value(kWmpPathKey, u""), environment_);
    if (PlayerWindows::Handle w = windows_.find_window(u"", u"Windows Media Player")) {
      windows_.bring_to_front(w);
    } else {
      start(path);
    }
    return;
  }
  std::int64_t command = code == kMediaPrevious ? kAppCommandPreviousTrack
                         : code == kMediaNext   ? kAppCommandNextTrack
                         : code == kMediaStop   ? kAppCommandStop
                                                : kAppCommandPlayPause;
  PlayerWindows::Handle own = windows_.own_window();
  windows_.post_message(own, platform::WM_APPCOMMAND, own, command << 16);
}

void CMediaActions::itunes(int code) {
  if (code == kMediaStartPlayer) {
    std::u16string path = registry_.read_machine_value(kItunesPathKey, u"path");
    if (platform::contains_ignore_case(path, u"iTunes")) start(path);
    return;
  }
  PlayerWindows::Handle w = windows_.find_window(u"iTunes", u"iTunes");
  if (w == 0) return;
  if (code == kMediaPrevious || code == kMediaNext) {
    // Ctrl+Left / Ctrl+Right, one key at a time, as a person would type them.
    bool left = code == kMediaPrevious;
    std::uint64_t arrow = left ? vk::kLeft : vk::kRight;
    windows_.send_message(w, platform::WM_KEYDOWN, vk::kControl, 0x001D0001);
    sleep_ms_(kKeyGapMs);
    windows_.send_message(w, platform::WM_KEYDOWN, arrow, left ? 0x014B0001 : 0x014D0001);
    sleep_ms_(kKeyGapMs);
    windows_.send_message(w, platform::WM_KEYUP, arrow, left ? 0xC14B0001 : 0xC14D0001);
    sleep_ms_(kKeyGapMs);
    windows_.send_message(w, platform::WM_KEYUP, vk::kControl, 0xC01D0001);
    return;
  }
  windows_.post_message(w, platform::WM_KEYDOWN, vk::kSpace, 0x00390001);
  sleep_ms_(kKeyGapMs);
  windows_.post_message(w, platform::WM_KEYUP, vk::kSpace, 0xC0390001);
}

void CMediaActions::real_player(int code) {
  if (code == kMediaStartPlayer) {
    std::u16string path = command_program_path(registry_.read_machine_value(kRealPlayerCommandKey, u""));
    if (platform::contains_ignore_case(path, u"realplay")) start(path);
    return;
  }
  PlayerWindows::Handle w = windows_.find_window(u"GeminiWindowClass", u"");
  if (w == 0) return;
  std::uint64_t command = code == kMediaPrevious ? 65740 : code == kMediaNext ? 65739 : code == kMediaPlayPause ? 65736 : 65737;
  windows_.send_message(w, platform::WM_COMMAND, command, 0);
}

void CMediaActions::winamp(int code) {
  if (code == kMediaStartPlayer) {
    std::u16string path = command_program_path(registry_.read_machine_value(kWinampCommandKey, u""));
    if (platform::contains_ignore_case(path, u"winamp")) start(path);
    return;
  }
  PlayerWindows::Handle w = windows_.find_window(u"Winamp v1.x", u"");
  if (w == 0) return;
  std::uint64_t command;
  if (code == kMediaPlayPause) {
    command = winamp_playing_ ? 40046 : 40045;
    winamp_playing_ = !winamp_playing_;
  } else {
    command = code == kMediaPrevious ? 40044 : code == kMediaNext ? 40048 : 40047;
  }
  windows_.send_message(w, platform::WM_COMMAND, command, 0);
}

}  // namespace mt

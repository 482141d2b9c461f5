// The button functions the mouse leaves to the computer: starting the program
// bound to a button, and starting and steering the media player the profile
// names (0 Windows Media Player, 1 iTunes, 2 RealPlayer, 3 Winamp).
//
// The players are outside programs found through their installation paths
// and window classes; both come through the interfaces below. On Linux none of
// these players is installed and none of their windows exists, so the Linux
// side (NoPlayerRegistry, NoPlayerWindows) finds nothing and sends nothing.
//
// How Monitor uses this, on the UI thread:
//   kLaunchButton: start_button_program(*current_profile(record), a.button, launcher);
//   kMedia:        media.media_action(profile.MediaOption, a.media_code, a.media_state);
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/settings_record.h"
#include "platform/process_launcher.h"

namespace mt {

// Values under HKEY_LOCAL_MACHINE. An empty name is the key's default value;
// a missing value reads as "".
class PlayerRegistry {
 public:
  virtual ~PlayerRegistry() = default;
  virtual std::u16string read_machine_value(std::u16string_view key, std::u16string_view name) = 0;
};

// The players' top-level windows and Monitor's own window.
class PlayerWindows {
 public:
  using Handle = std::uint64_t;  // 0: no window
  virtual ~PlayerWindows() = default;
  // An empty class or title matches any.
  virtual Handle find_window(std::u16string_view class_name, std::u16string_view title) = 0;
  virtual void post_message(Handle w, std::uint32_t msg, std::uint64_t wparam, std::int64_t lparam) = 0;
  virtual std::int64_t send_message(Handle w, std::uint32_t msg, std::uint64_t wparam, std::int64_t lparam) = 0;
  // Makes w the foreground window, borrowing the foreground thread's input
  // state so the system lets a background program do it.
  virtual void bring_to_front(Handle w) = 0;
  virtual Handle own_window() = 0;
};

class NoPlayerRegistry final : public PlayerRegistry {
 public:
  std::u16string read_machine_value(std::u16string_view, std::u16string_view) override { return {}; }
};

class NoPlayerWindows final : public PlayerWindows {
 public:
  Handle find_window(std::u16string_view, std::u16string_view) override { return 0; }
  void post_message(Handle, std::uint32_t, std::uint64_t, std::int64_t) override {}
  std::int64_t send_message(Handle, std::uint32_t, std::uint64_t, std::int64_t) override { return 0; }
  void bring_to_front(Handle) override {}
  Handle own_window() override { return 0; }
};

// Media action codes.
enum MediaCode : int {
  kMediaStartPlayer = 25,
  kMediaPrevious = 26,
  kMediaNext = 27,
  kMediaPlayPause = 28,
  kMediaStop = 29,
};

// Starts the program of button slot `button` (0-15) when its function is 17
// (start a program) and its path is not blank; anything else does nothing.
// False when nothing was started.
bool start_button_program(const ProfileRecord& profile, int button, platform::ProcessLauncher& launcher);

// The program path inside a player's "open" command: the text between the
// first double quote and the next one (or the end, when the closing quote is
// missing); a value without quotes is taken whole.
std::u16string command_program_path(std::u16string_view command);

// %NAME% replaced by the environment variable's value; unknown names stay as
// they are. Nothing ("") when the result would not fit the system's 260-unit
// path buffer.
using EnvironmentLookup = std::function<std::optional<std::u16string>(std::u16string_view name)>;
std::u16string expand_environment(std::u16string_view text, const EnvironmentLookup& lookup);
// The process environment, UTF-8 taken to UTF-16.
std::optional<std::u16string> process_environment(std::u16string_view name);

class CMediaActions {
 public:
  using Sleeper = std::function<void(int ms)>;

  CMediaActions(PlayerRegistry& registry, PlayerWindows& windows, platform::ProcessLauncher& launcher,
                Sleeper sleep_ms, EnvironmentLookup environment = process_environment);

  // Acts only for key state 0 and codes 25-29, for players 0-3.
  void media_action(int media_option, int code, int key_state);

  // Winamp's play/pause alternates between "play" and "pause".
  bool winamp_playing() const { return winamp_playing_; }

 private:
  void windows_media_player(int code);
  void itunes(int code);
  void real_player(int code);
  void winamp(int code);
  void start(std::u16string_view path);

  PlayerRegistry& registry_;
  PlayerWindows& windows_;
  platform::ProcessLauncher& launcher_;
  Sleeper sleep_ms_;
  EnvironmentLookup environment_;
  bool winamp_playing_ = false;
};

}  // namespace mt

// The running-program watch: every two seconds while the mouse is connected,
// Monitor looks at the program that owns the foreground window and, when a
// profile is bound to it (GameFile) and that profile is not the current one,
// switches to it. Nothing is remembered between ticks: leaving the program
// keeps the profile.
//
// How Monitor uses this, on timer 500 of its main window:
//   CProgramWatch watch([&] { return x11_foreground.foreground_pid(); }, proc_table);
//   if (auto p = watch.tick(record)) switch_to_profile(record, *p, steps);
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/settings_record.h"

namespace mt {

// The running processes, looked up by id.
class ProcessTable {
 public:
  virtual ~ProcessTable() = default;
  // The executable's file name with extension, no folder, lower case; nothing
  // when there is no such process.
  virtual std::optional<std::string> executable_name(int pid) = 0;
};

// Processes from /proc (another root for tests). Reads only the entry of the
// process asked for: the target of <pid>/exe, or <pid>/comm when the
// executable cannot be read (another user's process, a kernel thread).
class ProcProcessTable final : public ProcessTable {
 public:
  explicit ProcProcessTable(std::string proc_root = "/proc");
  std::optional<std::string> executable_name(int pid) override;

  // Links and files read so far, for the benchmark.
  std::size_t reads() const { return reads_; }

 private:
  std::string root_;
  std::size_t reads_ = 0;
};

// The id of the process that owns the foreground window, if any.
using ForegroundPid = std::function<std::optional<int>()>;

// What a GameFile is compared by: trimmed, file name and extension only (the
// folder of a Windows or POSIX path and a drive letter dropped). "" when it is
// blank or not well-formed text, which never matches.
std::u16string game_file_name(std::u16string_view game_file);

// The first profile (0-4) whose GameFile names the executable (compared
// ignoring case), or -1.
int bound_profile(const SettingsRecord& record, std::string_view executable_name);

class CProgramWatch {
 public:
  CProgramWatch(ForegroundPid foreground, ProcessTable& processes);

  // One tick: the profile to switch to, or nothing (no foreground process, it
  // is bound to no profile, or its profile is already current).
  std::optional<int> tick(const SettingsRecord& record);

 private:
  ForegroundPid foreground_;
  ProcessTable& processes_;
};

// Monitor's side of a profile switch, called in this order by
// switch_to_profile once the record's current profile is p.
class ProfileSwitchSteps {
 public:
  virtual ~ProfileSwitchSteps() = default;
  // Copy the record into the shared block, under its mutex.
  virtual void publish_record(const SettingsRecord& record) = 0;
  // Job 3 for the device thread: select profile p on the mouse, wait, tell
  // the on-screen display.
  virtual void post_select_profile_job(int p) = 0;
  // Write p's pointer settings to the registry and apply them to the system.
  virtual void apply_pointer_settings(ProfileRecord& profile) = 0;
  // 1255 to Option's window, when it exists.
  virtual void notify_option() = 0;
  // 1324 (40, p << 16) to the on-screen display, when it is wanted and exists.
  virtual void notify_osd(int p) = 0;
};

// Makes p current and runs Monitor's steps. config.ini is not written: the
// new current profile reaches the files with Option's next save. False (and
// nothing done) for an index outside 0-4.
bool switch_to_profile(SettingsRecord& record, int p, ProfileSwitchSteps& steps);

}  // namespace mt

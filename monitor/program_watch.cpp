#include "monitor/program_watch.h"

#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

#include <cerrno>

#include "platform/text.h"

namespace mt {

ProcProcessTable::ProcProcessTable(std::string proc_root) : root_(std::move(proc_root)) {}

std::optional<std::string> ProcProcessTable::executable_name(int pid) {
  if (pid <= 0) return std::nullopt;
  std::string dir = root_ + "/" + std::to_string(pid) + "/";
  std::string name;

  char target[PATH_MAX];
  ++reads_;
  ssize_t n = readlink((dir + "exe").c_str(), target, sizeof target);
  if (n > 0 && static_cast<std::size_t>(n) < sizeof target) {
    std::string_view link(target, static_cast<std::size_t>(n));
    // A program whose file was replaced while it runs (an update) still is
    // that program.
    constexpr std::string_view kDeleted = " (deleted)";
    if (link.size() > kDeleted.size() && link.substr(link.size() - kDeleted.size()) == kDeleted)
      link.remove_suffix(kDeleted.size());
    std::size_t slash = link.rfind('/');
    name = std::string(slash == std::string_view::npos ? link : link.substr(slash + 1));
  }

  if (name.empty()) {
    ++reads_;
    int fd = open((dir + "comm").c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;  // no such process (any more)
    char buf[64];
    ssize_t got;
    while ((got = read(fd, buf, sizeof buf)) < 0 && errno == EINTR) {
    }
    close(fd);
    if (got <= 0) return std::nullopt;
    name.assign(buf, static_cast<std::size_t>(got));
    while (!name.empty() && (name.back() == '\n' || name.back() == '\0')) name.pop_back();
    if (name.empty()) return std::nullopt;
  }

  for (char& c : name) c = platform::ascii_lower(c);
  return name;
}

std::u16string game_file_name(std::u16string_view game_file) {
  std::u16string_view s = platform::trim(game_file, platform::WHITE_SPACE);
  if (s.empty() || !platform::is_well_formed_utf16(s)) return {};
  auto letter = [](char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); };
  if (s.size() >= 2 && s[1] == u':' && letter(s[0])) s.remove_prefix(2);
  std::size_t slash = s.find_last_of(u"\\/");
  if (slash != std::u16string_view::npos) s.remove_prefix(slash + 1);
  return std::u16string(s);
}

int bound_profile(const SettingsRecord& record, std::string_view executable_name) {
  if (executable_name.empty()) return -1;
  for (int i = 0; i < kProfileCount; ++i) {
    std::u16string name = game_file_name(platform::fixed_text(record.profiles[i].GameFile));
    if (name.empty()) continue;
    if (platform::equals_ignore_case(platform::utf16_to_utf8(name), executable_name)) return i;
  }
  return -1;
}

CProgramWatch::CProgramWatch(ForegroundPid foreground, ProcessTable& processes)
    : foreground_(std::move(foreground)), processes_(processes) {}

std::optional<int> CProgramWatch::tick(const SettingsRecord& record) {
  std::optional<int> pid = foreground_ ? foreground_() : std::nullopt;
  if (!pid || *pid <= 0) return std::nullopt;
  std::optional<std::string> exe = processes_.executable_name(*pid);
  if (!exe) return std::nullopt;
  int p = bound_profile(record, *exe);
  if (p < 0 || p == record.CurrentProfile) return std::nullopt;
  return p;
}

bool switch_to_profile(SettingsRecord& record, int p, ProfileSwitchSteps& steps) {
  if (p < 0 || p >= kProfileCount) return false;
  record.CurrentProfile = p;
  steps.publish_record(record);
  steps.post_select_profile_job(p);
  steps.apply_pointer_settings(record.profiles[p]);
  steps.notify_option();
  steps.notify_osd(p);
  return true;
}

}  // namespace mt

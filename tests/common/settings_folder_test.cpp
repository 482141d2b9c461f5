// Where the settings files go: the program folder when files can be made in
// it, the per-user folder otherwise. "/proc/" stands for a folder that takes
// no files for anyone, root included.
#include "common/settings_folder.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>
#include <string>
#include <vector>

#include "file_fixture.h"

namespace {

using fixture::TempFolder;
using mt::SettingsFolder;

// Sets (or, with nullptr, unsets) a variable for one scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = getenv(name)) old_ = old;
    value ? setenv(name, value, 1) : unsetenv(name);
  }
  ~ScopedEnv() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

std::vector<std::string> entries(const std::string& folder) {
  std::vector<std::string> out;
  if (DIR* d = opendir(folder.c_str())) {
    while (dirent* e = readdir(d))
      if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") out.push_back(e->d_name);
    closedir(d);
  }
  return out;
}

int mode_of(const std::string& path) {
  struct stat st{};
  return stat(path.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 07777) : -1;
}

class SettingsFolderTest : public ::testing::Test {
 protected:
  TempFolder program;
  TempFolder config_home;
  ScopedEnv xdg{"XDG_CONFIG_HOME", config_home.path().c_str()};
  ScopedEnv hook{"MORVATH_T60R_PROGRAM_FOLDER_READ_ONLY", nullptr};
  std::string per_user() const { return config_home / "morvath-t60r/"; }
};

TEST_F(SettingsFolderTest, AProgramFolderThatTakesFilesIsTheSettingsFolder) {
  SettingsFolder s = mt::choose_settings_folder(program.path());
  EXPECT_EQ(s.kind, SettingsFolder::Kind::program_folder);
  EXPECT_EQ(s.path, program.path());
  EXPECT_TRUE(entries(program.path()).empty()) << "the probe leaves nothing behind";
  EXPECT_FALSE(fixture::exists(per_user())) << "the per-user folder is not made for nothing";
}

TEST_F(SettingsFolderTest, AFolderThatTakesNoFilesSendsTheSettingsToThePerUserFolder) {
  ASSERT_FALSE(mt::folder_takes_files("/proc/"));
  SettingsFolder s = mt::choose_settings_folder("/proc/");
  EXPECT_EQ(s.kind, SettingsFolder::Kind::per_user);
  EXPECT_EQ(s.path, per_user());
  EXPECT_EQ(mode_of(per_user()), 0700) << "made private";
  EXPECT_TRUE(entries(per_user()).empty());

  // Found again, as it is, by the next program to start.
  chmod(per_user().c_str(), 0750);
  EXPECT_EQ(mt::choose_settings_folder("/proc/").path, per_user());
  EXPECT_EQ(mode_of(per_user()), 0750);
}

TEST_F(SettingsFolderTest, PerUserFolderUnderTheHomeFolderWithoutAValidXdgConfigHome) {
  TempFolder home;
  ScopedEnv home_var("HOME", home.path().c_str());
  for (const char* xdg_value : {static_cast<const char*>(nullptr), "relative/ignored"}) {
    ScopedEnv xdg_var("XDG_CONFIG_HOME", xdg_value);
    EXPECT_EQ(mt::user_config_folder(), home / ".config/morvath-t60r/");
    SettingsFolder s = mt::choose_settings_folder("/proc/");
    EXPECT_EQ(s.kind, SettingsFolder::Kind::per_user);
    EXPECT_EQ(s.path, home / ".config/morvath-t60r/");
  }
  EXPECT_EQ(mode_of(home / ".config"), 0700) << "parents made on the way are private too";
}

TEST_F(SettingsFolderTest, AReadOnlyModeCountsOnlyWhereTheSystemEnforcesIt) {
  // Root may write into a folder of mode 0555, so saving there works and
  // the program folder stays the settings folder; for anyone else it does not.
  ASSERT_EQ(chmod(program.path().c_str(), 0555), 0);
  const bool root = geteuid() == 0;
  EXPECT_EQ(mt::folder_takes_files(program.path()), root);
  SettingsFolder s = mt::choose_settings_folder(program.path());
  EXPECT_EQ(s.kind, root ? SettingsFolder::Kind::program_folder : SettingsFolder::Kind::per_user);
  chmod(program.path().c_str(), 0755);
}

TEST_F(SettingsFolderTest, TheTestHookMakesTheProgramFolderReadOnly) {
  ScopedEnv on("MORVATH_T60R_PROGRAM_FOLDER_READ_ONLY", "1");
  EXPECT_EQ(mt::choose_settings_folder(program.path()).path, per_user());
  ScopedEnv other("MORVATH_T60R_PROGRAM_FOLDER_READ_ONLY", "yes");
  EXPECT_EQ(mt::choose_settings_folder(program.path()).path, program.path()) << "only \"1\" turns it on";
}

TEST_F(SettingsFolderTest, WithNoFolderToWriteTheProgramFolderStaysAndTheProblemIsNamed) {
  {
    ScopedEnv xdg_var("XDG_CONFIG_HOME", "/proc/no-such-config");
    SettingsFolder s = mt::choose_settings_folder("/proc/");
    EXPECT_EQ(s.kind, SettingsFolder::Kind::none);
    EXPECT_EQ(s.path, "/proc/") << "never a path relative to the current folder";
    EXPECT_NE(s.problem.find("/proc/no-such-config/morvath-t60r/"), std::string::npos) << s.problem;
  }
  {
    // The per-user name taken by a file.
    fixture::write_file(config_home / "morvath-t60r", "x");
    SettingsFolder s = mt::choose_settings_folder("/proc/");
    EXPECT_EQ(s.kind, SettingsFolder::Kind::none);
    EXPECT_NE(s.problem.find("Not a directory"), std::string::npos) << s.problem;
  }
}

}  // namespace

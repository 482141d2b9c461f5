#include "common/pointer_settings.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>

#include "common/pointer_settings_fake.h"
#include "common/registry.h"
#include "platform/ini_file.h"
#include "platform/text.h"
#include "tests/common/file_fixture.h"

namespace {

using fixture::TempFolder;
using mt::kDesktopKey;
using mt::kMouseKey;
using mt::ProfileRecord;

ProfileRecord factory_profile() {
  ProfileRecord p;
  std::memset(&p, 0, sizeof p);
  mt::set_profile_defaults(p, 0);
  return p;
}

std::string u8(const std::u16string& s) { return platform::utf16_to_utf8(s); }

struct RegistryFile {
  TempFolder dir;
  std::string file = dir / "morvath-t60r/registry.ini";

  std::string get(std::u16string_view key, std::u16string_view name) {
    return u8(mt::registry_get_string(key, name, file));
  }
  void set(std::u16string_view key, std::u16string_view name, std::u16string_view value) {
    ASSERT_TRUE(mt::registry_set_string(key, name, value, file));
  }
  void set_acceleration(const char16_t* speed, const char16_t* t1, const char16_t* t2) {
    set(kMouseKey, u"MouseSpeed", speed);
    set(kMouseKey, u"MouseThreshold1", t1);
    set(kMouseKey, u"MouseThreshold2", t2);
  }
};

TEST(PointerSettings, WriteChoosesTheAccelerationRow) {
  struct Case {
    int flag, acceleration;
    const char *speed, *t1, *t2;
  } cases[] = {
      {1, 25, "2", "4", "5"}, {1, 19, "2", "4", "5"}, {1, 8, "1", "6", "0"},
      {1, -3, "0", "0", "0"}, {0, 15, "0", "0", "0"}, {1, 0, "0", "0", "0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.flag << "/" << c.acceleration);
    RegistryFile reg;
    mt::PointerSettingsStore store(reg.file);
    ProfileRecord p = factory_profile();
    p.AccelerationFlag = c.flag;
    p.Acceleration = c.acceleration;
    p.DbleClickSpeed = 650;
    p.MouseSpeed = 17;
    p.ScrollWheelSpeed = 7;
    EXPECT_EQ(store.write_to_registry(p), 1);
    EXPECT_EQ(reg.get(kMouseKey, u"MouseSpeed"), c.speed);
    EXPECT_EQ(reg.get(kMouseKey, u"MouseThreshold1"), c.t1);
    EXPECT_EQ(reg.get(kMouseKey, u"MouseThreshold2"), c.t2);
    EXPECT_EQ(reg.get(kMouseKey, u"DoubleClickSpeed"), "650");
    EXPECT_EQ(reg.get(kMouseKey, u"MouseSensitivity"), "17");
    EXPECT_EQ(reg.get(kDesktopKey, u"WheelScrollLines"), "7");
  }
}

TEST(PointerSettings, ReadFindsTheLastRowTheSystemReaches) {
  struct Case {
    const char16_t *speed, *t1, *t2;
    int acceleration, flag;
  } cases[] = {
      {u"1", u"6", u"0", 8, 1},   {u"0", u"0", u"0", 0, 0},  {u"2", u"4", u"5", 19, 1},
      {u"1", u"13", u"0", 1, 0},  {u"2", u"4", u"0", 19, 1}, {u"1", u"4", u"0", 10, 1},
      {u"3", u"0", u"0", 12, 1},  // no row matches: Acceleration keeps 12
      {u"1", u"6", u"10", 12, 1},  // the Windows default: no row either
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(u8(std::u16string(c.speed) + u"," + c.t1 + u"," + c.t2));
    RegistryFile reg;
    reg.set_acceleration(c.speed, c.t1, c.t2);
    ProfileRecord p = factory_profile();
    p.Acceleration = 12;
    p.AccelerationFlag = 0;
    mt::PointerSettingsStore store(reg.file);
    EXPECT_EQ(store.read_from_registry(p), 1);
    EXPECT_EQ(p.Acceleration, c.acceleration);
    EXPECT_EQ(p.AccelerationFlag, c.flag);
  }
}

TEST(PointerSettings, PageScrollReadsBackAndIsWrittenBackAsMinusOne) {
  RegistryFile reg;
  reg.set(kMouseKey, u"DoubleClickSpeed", u"720");
  reg.set(kMouseKey, u"MouseSensitivity", u" 4x");
  reg.set(kDesktopKey, u"WheelScrollLines", u"-1");
  mt::PointerSettingsStore store(reg.file);
  ProfileRecord p = factory_profile();
  ASSERT_EQ(store.read_from_registry(p), 1);
  EXPECT_EQ(p.DbleClickSpeed, 720);
  EXPECT_EQ(p.MouseSpeed, 4);
  EXPECT_EQ(p.ScrollWheelSpeed, 0);
  EXPECT_EQ(p.ScrollWheelFlag, 1);

  reg.set(kDesktopKey, u"WheelScrollLines", u"9");
  ASSERT_EQ(store.write_to_registry(p), 1);
  EXPECT_EQ(reg.get(kDesktopKey, u"WheelScrollLines"), "-1");

  reg.set(kDesktopKey, u"WheelScrollLines", u"5");
  ASSERT_EQ(store.read_from_registry(p), 1);
  EXPECT_EQ(p.ScrollWheelSpeed, 5);
  EXPECT_EQ(p.ScrollWheelFlag, 0);
}

// A fresh store holds none of the values: the profile keeps its own rather
// than being turned into zeros; a value that is present but not a number is 0.
TEST(PointerSettings, ValuesTheStoreLacksLeaveTheProfileAlone) {
  RegistryFile reg;
  mt::PointerSettingsStore store(reg.file);
  ProfileRecord p = factory_profile();
  const ProfileRecord before = p;
  EXPECT_EQ(store.read_from_registry(p), 1);
  EXPECT_EQ(std::memcmp(&p, &before, sizeof p), 0);

  reg.set(kMouseKey, u"DoubleClickSpeed", u"fast");
  reg.set(kMouseKey, u"MouseSpeed", u"1");  // the other two still missing
  EXPECT_EQ(store.read_from_registry(p), 1);
  EXPECT_EQ(p.DbleClickSpeed, 0);
  EXPECT_EQ(p.Acceleration, 10);
  EXPECT_EQ(p.AccelerationFlag, 0);
}

TEST(PointerSettings, StoreThatCannotBeCreatedFails) {
  TempFolder dir;
  fixture::write_file(dir / "blocker", "a file where the folder should be");
  mt::PointerSettingsStore store(dir / "blocker/morvath-t60r/registry.ini");
  ProfileRecord p = factory_profile();
  const ProfileRecord before = p;
  EXPECT_EQ(store.write_to_registry(p), -1);
  EXPECT_EQ(store.read_from_registry(p), 0);
  EXPECT_EQ(std::memcmp(&p, &before, sizeof p), 0);

  mt::RecordingPointerSystem system;
  store.apply_to_system(p, system);  // still sets what the profile says
  EXPECT_EQ(system.double_click_ms, 500);
  EXPECT_EQ(system.wheel_lines, 3);
}

TEST(PointerSettings, ApplyWithAccelerationOffClearsTheRegistryAndTheSystem) {
  RegistryFile reg;
  reg.set_acceleration(u"1", u"10", u"0");
  ProfileRecord p = factory_profile();  // acceleration off, row 10
  p.DbleClickSpeed = 410;
  p.MouseSpeed = 6;
  mt::RecordingPointerSystem system;
  mt::PointerSettingsStore(reg.file).apply_to_system(p, system);

  EXPECT_EQ(p.Acceleration, 0);
  EXPECT_EQ(reg.get(kMouseKey, u"MouseSpeed"), "0");
  EXPECT_EQ(reg.get(kMouseKey, u"MouseThreshold1"), "0");
  EXPECT_EQ(reg.get(kMouseKey, u"MouseThreshold2"), "0");
  ASSERT_EQ(system.calls.size(), 4u);
  EXPECT_EQ(system.calls[0].what, "double_click");
  EXPECT_EQ(system.calls[0].values[0], 410);
  EXPECT_EQ(system.calls[1].what, "mouse");
  EXPECT_EQ(system.mouse[0], 0);
  EXPECT_EQ(system.mouse[1], 0);
  EXPECT_EQ(system.mouse[2], 0);
  EXPECT_EQ(system.calls[2].what, "speed");
  EXPECT_EQ(system.pointer_speed, 6);
  EXPECT_EQ(system.calls[3].what, "wheel");
  EXPECT_EQ(system.wheel_lines, 3);
}

TEST(PointerSettings, ApplyWithAccelerationOnTakesTheRegistryValues) {
  RegistryFile reg;
  reg.set_acceleration(u"1", u"6", u"0");
  ProfileRecord p = factory_profile();
  p.AccelerationFlag = 1;
  p.ScrollWheelFlag = 1;
  mt::RecordingPointerSystem system;
  mt::PointerSettingsStore(reg.file).apply_to_system(p, system);
  // {threshold1, threshold2, speed}
  EXPECT_EQ(system.mouse[0], 6);
  EXPECT_EQ(system.mouse[1], 0);
  EXPECT_EQ(system.mouse[2], 1);
  EXPECT_EQ(system.wheel_lines, -1);
  EXPECT_EQ(p.Acceleration, 10);
  EXPECT_EQ(reg.get(kMouseKey, u"MouseThreshold1"), "6");

  // Without registry values the profile's own row stands in.
  RegistryFile empty;
  p.Acceleration = 19;
  mt::PointerSettingsStore(empty.file).apply_to_system(p, system);
  EXPECT_EQ(system.mouse[0], 4);
  EXPECT_EQ(system.mouse[1], 5);
  EXPECT_EQ(system.mouse[2], 2);
}

// One pointer read or write is one read of the store (and one write).
TEST(Registry, OnePointerOperationTouchesTheFileOnce) {
  RegistryFile reg;
  mt::PointerSettingsStore store(reg.file);
  ProfileRecord p = factory_profile();
  ASSERT_EQ(store.write_to_registry(p), 1);
  auto before = platform::ini_open_counts();
  ASSERT_EQ(store.write_to_registry(p), 1);
  ASSERT_EQ(store.read_from_registry(p), 1);
  auto after = platform::ini_open_counts();
  EXPECT_EQ(after.reads - before.reads, 2u);
  EXPECT_EQ(after.writes - before.writes, 1u);
}

TEST(Registry, KeysAndNamesIgnoreCaseAndValuesSurviveOtherKeys) {
  RegistryFile reg;
  reg.set(u"HKEY_CURRENT_USER\\Control Panel\\Mouse", u"DoubleClickSpeed", u"500");
  reg.set(u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Player", u"Path", u"/opt/player/bin");
  EXPECT_EQ(reg.get(u"hkey_current_user\\control panel\\mouse", u"doubleclickspeed"), "500");
  EXPECT_EQ(reg.get(u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Player", u"Path"), "/opt/player/bin");
  EXPECT_EQ(reg.get(kMouseKey, u"Missing"), "");
}

TEST(Registry, FileLivesUnderXdgConfigHome) {
  const char* old_xdg = getenv("XDG_CONFIG_HOME");
  const char* old_home = getenv("HOME");
  std::string saved_xdg = old_xdg ? old_xdg : "", saved_home = old_home ? old_home : "";

  setenv("XDG_CONFIG_HOME", "/tmp/cfg", 1);
  EXPECT_EQ(mt::registry_file_path(), "/tmp/cfg/morvath-t60r/registry.ini");
  setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
  setenv("HOME", "/home/someone", 1);
  EXPECT_EQ(mt::registry_file_path(), "/home/someone/.config/morvath-t60r/registry.ini");

  TempFolder dir;
  setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1);
  EXPECT_TRUE(mt::registry_set_string(kMouseKey, u"DoubleClickSpeed", u"333"));
  EXPECT_TRUE(fixture::exists(dir / "morvath-t60r/registry.ini"));
  EXPECT_EQ(u8(mt::registry_get_string(kMouseKey, u"DoubleClickSpeed")), "333");

  old_xdg ? setenv("XDG_CONFIG_HOME", saved_xdg.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
  old_home ? setenv("HOME", saved_home.c_str(), 1) : unsetenv("HOME");
}

}  // namespace

// Both builds of the HID plug-in loaded as Monitor loads them, and the loader
// itself when the library or some of its entry points are missing.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "monitor/device/hid_library.h"
#include "tests/hid/recording_window.h"

namespace {

const char* const kEntryPoints[] = {"Set_VIDPID",        "Open_DevMonitor", "Close_DevMonitor",   "Open_FeatureDevice",
                                    "Close_FeatureDevice", "SetFeature",      "GetFeature",         "Open_ReportDevice",
                                    "Close_ReportDevice", "WriteUSB",        "ReadUSB"};

std::string folder_of(const std::string& path) { return path.substr(0, path.rfind('/') + 1); }

TEST(HidPlugin, BothBuildsExportTheElevenEntryPointsAndNothingElse) {
  for (const char* path : {MT_TEST_REAL_PLUGIN, MT_TEST_SIM_PLUGIN}) {
    void* handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << path << ": " << dlerror();
    for (const char* name : kEntryPoints) EXPECT_NE(dlsym(handle, name), nullptr) << path << " lacks " << name;
    // What the plug-in links in stays inside it.
    EXPECT_EQ(dlsym(handle, "_ZN8platform18ensure_runtime_dirEv"), nullptr) << path;
    EXPECT_EQ(dlsym(handle, "_ZN8platform16runtime_dir_pathB5cxx11Ev"), nullptr) << path;
    dlclose(handle);
  }
}

// Every call of the loader, for the "library unusable" checks.
const std::pair<const char*, std::function<int(mt::HidLibrary&)>> kCalls[] = {
    {"set_vid_pid", [](mt::HidLibrary& l) { return l.set_vid_pid(0x1017, 0x8003); }},
    {"open_dev_monitor", [](mt::HidLibrary& l) { return l.open_dev_monitor(nullptr, 1325, 1326); }},
    {"close_dev_monitor", [](mt::HidLibrary& l) { return l.close_dev_monitor(); }},
    {"open_feature_device", [](mt::HidLibrary& l) { return l.open_feature_device(); }},
    {"close_feature_device", [](mt::HidLibrary& l) { return l.close_feature_device(); }},
    {"set_feature", [](mt::HidLibrary& l) { uint8_t b[8] = {}; return l.set_feature(b, 8); }},
    {"get_feature", [](mt::HidLibrary& l) { uint8_t b[8] = {}; return l.get_feature(b, 8); }},
    {"open_report_device", [](mt::HidLibrary& l) { return l.open_report_device(); }},
    {"close_report_device", [](mt::HidLibrary& l) { return l.close_report_device(); }},
    {"write_usb", [](mt::HidLibrary& l) { uint8_t b[32] = {}; return l.write_usb(b, 32); }},
    {"read_usb", [](mt::HidLibrary& l) { uint8_t b[32] = {}; return l.read_usb(b, 32); }},
};

TEST(HidLibrary, MissingLibraryMakesEveryCallAHarmlessZero) {
  mt::HidLibrary lib;
  EXPECT_FALSE(lib.load("/nonexistent-folder"));
  EXPECT_FALSE(lib.loaded());
  EXPECT_FALSE(lib.load_error().empty());
  for (const auto& [name, call] : kCalls) EXPECT_EQ(call(lib), 0) << name;
  // Never loaded at all behaves the same.
  mt::HidLibrary fresh;
  for (const auto& [name, call] : kCalls) EXPECT_EQ(call(fresh), 0) << name;
}

TEST(HidLibrary, MissingEntryPointsReturnZeroAndThePresentOnesWork) {
  mt::HidLibrary lib;
  ASSERT_TRUE(lib.load(MT_TEST_PARTIAL_DIR)) << lib.load_error();  // no trailing "/"
  EXPECT_EQ(lib.missing_entry_points(),
            "Open_DevMonitor, Close_DevMonitor, Open_FeatureDevice, Close_FeatureDevice, GetFeature, "
            "Open_ReportDevice, Close_ReportDevice, WriteUSB, ReadUSB");
  for (const auto& [name, call] : kCalls) {
    const std::string n = name;
    const int expected = n == "set_vid_pid" ? 7 : n == "set_feature" ? 108 : 0;
    EXPECT_EQ(call(lib), expected) << name;
  }
  lib.unload();
  EXPECT_EQ(lib.set_vid_pid(0x1017, 0x8003), 0);
}

TEST(RealPlugin, WithoutTheMouseOpensNothingAndPostsNothing) {
  mt::HidLibrary lib;
  ASSERT_TRUE(lib.load(folder_of(MT_TEST_REAL_PLUGIN))) << lib.load_error();
  EXPECT_EQ(lib.missing_entry_points(), "");
  RecordingWindow window;
  MtWindowHandle forged = *window.handle();
  forged.magic = 0;
  lib.set_vid_pid(0x1017, 0x8003);
  EXPECT_EQ(lib.open_dev_monitor(&forged, 1325, 1326), 0);
  EXPECT_EQ(lib.open_dev_monitor(nullptr, 1325, 1326), 0);
  ASSERT_EQ(lib.open_dev_monitor(window.handle(), 1325, 1326), 1);
  lib.open_feature_device();
  EXPECT_EQ(lib.open_report_device(), 0);
  const uint8_t fixed[8] = {0x03, 0x00, 0x0F, 0xD8, 0x40, 0x00, 0x00, 0xD5};
  uint8_t data[40] = {};
  EXPECT_EQ(lib.set_feature(fixed, 8), 0);
  EXPECT_EQ(lib.write_usb(data, 32), 0);
  EXPECT_EQ(lib.set_feature(nullptr, 8), 0);
  EXPECT_EQ(lib.write_usb(data, 40), 0);
  lib.close_report_device();
  lib.close_feature_device();
  EXPECT_EQ(lib.close_dev_monitor(), 1);
  EXPECT_EQ(lib.close_dev_monitor(), 1);  // twice is harmless
  EXPECT_EQ(window.count(), 0u);
}

}  // namespace

// Times a whole load and a whole save of the settings set as the programs do
// them: config.ini, the five profile files with all 16 button records, a
// 50-macro library and the pointer values in the registry store. Prints the
// median of each and how many file opens one load and one save make.
//
//   settings_io_bench [folder] [rounds]   (default: a new folder under /tmp, 101 rounds)
#include <ftw.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/macro_library.h"
#include "common/pointer_settings.h"
#include "common/settings_files.h"
#include "platform/ini_file.h"
#include "platform/text.h"

namespace {

mt::SettingsRecord full_settings() {
  mt::SettingsRecord r;
  mt::clear(r);
  mt::set_factory_defaults(r);
  r.LanguageID = 0;
  // Acceleration off reads back from the registry as row 0.
  r.profiles[0].Acceleration = 0;
  for (auto& p : r.profiles) {
    platform::set_fixed_text(p.GameFile, u"/opt/games/some game/bin/game.x86_64");
    for (int b = 0; b < mt::kButtonSlots; ++b) {
      mt::ButtonRecord& btn = p.MacroKeyInfo[b];
      btn.function = mt::kFnMacro;
      platform::set_fixed_text(btn.macro_name, u"Macro " + platform::to_u16(b));
      btn.repeat_count = 2;
      btn.event_count = mt::kMaxMacroEvents;
      for (int e = 0; e < mt::kMaxMacroEvents; ++e)
        btn.events[e] = {static_cast<uint8_t>(4 + e % 60), static_cast<uint8_t>(1 + e % 2),
                         static_cast<uint16_t>(e * 10)};
      platform::set_fixed_text(btn.program_path, u"/usr/bin/true");
    }
  }
  return r;
}

std::vector<mt::MacroRecord> library(int n) {
  std::vector<mt::MacroRecord> lib(n);
  for (int i = 0; i < n; ++i) {
    std::memset(&lib[i], 0, sizeof lib[i]);
    platform::set_fixed_text(lib[i].name, u"Macro " + platform::to_u16(i));
    lib[i].repeat_count = 1;
    lib[i].event_count = 40;
    for (int e = 0; e < 40; ++e) lib[i].events[e] = {static_cast<uint8_t>(4 + e), 1, 25};
  }
  return lib;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  std::string folder;
  if (argc > 1) {
    folder = argv[1];
    if (folder.back() != '/') folder += '/';
  } else {
    char name[] = "/tmp/mt-settings-bench-XXXXXX";
    if (!mkdtemp(name)) return 1;
    folder = std::string(name) + "/";
  }
  int rounds = argc > 2 ? std::max(1, atoi(argv[2])) : 101;

  mt::PointerSettingsStore pointer(folder + "registry/registry.ini");
  const mt::SettingsRecord saved = full_settings();
  const std::vector<mt::MacroRecord> macros = library(50);
  mt::SettingsRecord loaded;
  std::vector<mt::MacroRecord> loaded_macros;

  auto save = [&] {
    mt::save_settings(saved, folder, &pointer);
    mt::save_macro_library(macros, folder);
  };
  auto load = [&] {
    mt::clear(loaded);
    mt::load_settings(loaded, folder, &pointer);
    loaded_macros.clear();
    mt::load_macro_library(loaded_macros, folder);
  };
  save();  // the files exist from here on, as after a first run

  using clock = std::chrono::steady_clock;
  std::vector<double> load_ms, save_ms;
  platform::IniOpenCounts load_opens{}, save_opens{};
  for (int i = 0; i < rounds; ++i) {
    auto c0 = platform::ini_open_counts();
    auto t0 = clock::now();
    save();
    auto t1 = clock::now();
    auto c1 = platform::ini_open_counts();
    load();
    auto t2 = clock::now();
    auto c2 = platform::ini_open_counts();
    save_ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    load_ms.push_back(std::chrono::duration<double, std::milli>(t2 - t1).count());
    save_opens = {c1.reads - c0.reads, c1.writes - c0.writes};
    load_opens = {c2.reads - c1.reads, c2.writes - c1.writes};
  }
  if (std::memcmp(loaded.profiles, saved.profiles, sizeof saved.profiles) != 0 || loaded_macros.size() != 50) {
    std::fprintf(stderr, "loaded set differs from the saved one\n");
    return 1;
  }

  std::printf("settings set: config.ini, 5 profile files x 16 buttons, 50-macro library, registry store\n");
  std::printf("folder: %s, rounds: %d\n", folder.c_str(), rounds);
  std::printf("load: median %.3f ms (target <= 2 ms), opens: %llu read, %llu write\n", median(load_ms),
              static_cast<unsigned long long>(load_opens.reads), static_cast<unsigned long long>(load_opens.writes));
  std::printf("save: median %.3f ms (target <= 10 ms, atomic replace of each file), opens: %llu read, %llu write\n",
              median(save_ms), static_cast<unsigned long long>(save_opens.reads),
              static_cast<unsigned long long>(save_opens.writes));
  std::printf("(8 files: config.ini, 5 profile files, sequence.dat, registry.ini; the library is rebuilt,\n"
              " not read, on save)\n");
  if (argc <= 1)
    nftw(folder.c_str(), [](const char* path, const struct stat*, int, FTW*) { return std::remove(path); }, 16,
         FTW_DEPTH | FTW_PHYS);
  return 0;
}

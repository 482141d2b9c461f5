// Loading and cutting a whole skin: every description file and picture set
// the windows read, every mask turned into a region, every placed control cut
// from each state picture. Each round starts from a fresh SkinFolder (the
// files themselves are in the page cache after the first round).
//
//   skin_load_bench [skin folder | --sample] [rounds] [device pixel ratio]
//   (default: <build>/dist/Skins/, 5 rounds, ratio 1)
// --sample measures a stand-in skin of the designed sizes written to a
// temporary folder first: pictures of the windows' sizes with gradients and
// shapes (JPEG quality 92), masks with rounded corners, and placements.
#include <stdlib.h>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRandomGenerator>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_process.h"
#include "option/skin/skin_folder.h"
#include "option/skin/skin_look.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Window {
  const char* description;
  std::u16string_view section;
  mt::SkinPictureNames pictures;  // empty: named in the file's SCREEN section
  std::vector<std::string> masks;  // control shapes
  std::vector<std::string> extra;  // other pictures the window shows
};

std::vector<std::string> numbered(const char* prefix, int from, int to, const char* suffix, bool two_digits) {
  std::vector<std::string> out;
  for (int i = from; i <= to; ++i) {
    char buf[64];
    std::snprintf(buf, sizeof buf, two_digits ? "%s%02d%s" : "%s%d%s", prefix, i, suffix);
    out.push_back(buf);
  }
  return out;
}

std::vector<Window> contract() {
  using D = mt::SkinDescription;
  std::vector<std::string> mouse = numbered("Mouse/mouse_", 1, 9, ".jpg", false);
  mouse.push_back("Mouse/mouse.jpg");
  std::vector<std::string> sens = numbered("z", 0, 10, ".jpg", true);
  for (const std::string& z : numbered("zhizhen", 0, 10, ".jpg", true)) sens.push_back(z);
  sens.push_back("slider.bmp");
  std::vector<std::string> icons = numbered("Icons/", 163, 166, ".png", false);
  icons.push_back("Icons/program.png");
  return {
      {"skin_main.ini", D::kButtonInfo,
       {"main_mask.bmp", "main_normal.jpg", "main_over.jpg", "main_down.jpg", "main_disable.jpg"},
       {"rgnbutton_mask.bmp"}, {}},
      {"skin_Overlook.ini", D::kButtonInfo,
       {"middle_mask.bmp", "button_normal.JPG", "button_over.JPG", "button_down.JPG", "button_disable.jpg"},
       {}, mouse},
      {"skin_sens.ini", D::kButtonInfo,
       {"middle_mask.bmp", "Basic_Settings_normal.jpg", "Basic_Settings_over.jpg", "Basic_Settings_down.jpg",
        "Basic_Settings_disable.jpg"},
       {"DPI1_mask.bmp", "DPI2_mask.bmp"}, sens},
      {"skin_light.ini", D::kButtonInfo,
       {"middle_mask.bmp", "Color_settings_normal.jpg", "Color_settings_over.jpg", "Color_settings_down.jpg",
        "Color_settings_disable.jpg"},
       {}, {"slider.bmp"}},
      {"skin_profile.ini", D::kButtonPos, {}, {"profile_mask.bmp"}, {}},
      {"Skin_Update.ini", D::kButtonPos, {}, {}, {}},
      {"skin_Restore.ini", D::kButtonInfo,
       {"restore_mask.bmp", "restore_normal.jpg", "restore_over.jpg", "restore_down.jpg", "restore_normal.jpg"},
       {}, {}},
      {"skin_shortcut.ini", D::kButtonPos,
       {"restore_mask.bmp", "keyboard_command_normal.jpg", "keyboard_command_over.jpg",
        "keyboard_command_down.jpg", "keyboard_command_normal.jpg"},
       {}, {}},
      {"skin_single_key.ini", D::kButtonPos,
       {"restore_mask.bmp", "restore_normal.jpg", "restore_over.jpg", "restore_down.jpg", "restore_normal.jpg"},
       {}, {}},
      {"skin_ProgSel.ini", D::kButtonInfo,
       {"restore_mask.bmp", "lanuch_program_normal.JPG", "lanuch_program_over.JPG", "lanuch_program_down.JPG",
        "lanuch_program_normal.jpg"},
       {}, {}},
      {"skin_macro_manager.ini", D::kButtonPos, {}, {}, icons},
  };
}

// CPU time of the whole process (all threads), in ms: on a shared machine it
// tells the work from the waiting.
struct Round {
  double total_ms = 0;
  double cpu_ms = 0;
  double descriptions_ms = 0;
  double pictures_ms = 0;
  double masks_ms = 0;
  double cuts_ms = 0;
  int cuts = 0;
  int missing = 0;
  std::size_t bytes = 0;
  std::size_t decoded = 0;
  std::vector<std::pair<const char*, double>> per_window;
};

double ms_since(Clock::time_point t) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

Round load_all(const std::string& folder, double ratio) {
  Round r;
  const auto start = Clock::now();
  const double cpu_start = bench::cpu_ms();
  mt::SkinFolder skin(folder);
  skin.set_device_pixel_ratio(ratio);
  for (const Window& w : contract()) {
    const auto window_start = Clock::now();
    auto t = Clock::now();
    const mt::SkinDescription d = skin.description(w.description, w.section);
    const mt::SkinPictureNames names = w.pictures.normal.empty() ? d.screen_pictures() : w.pictures;
    std::vector<mt::SkinPlacement> placements;
    for (int key = 1; key <= 64; ++key)
      if (mt::SkinPlacement p = d.placement(key); !p.empty()) placements.push_back(p);
    r.descriptions_ms += ms_since(t);

    t = Clock::now();
    std::vector<std::string> wanted = {names.normal, names.over, names.down, names.disable};
    wanted.insert(wanted.end(), w.extra.begin(), w.extra.end());
    skin.preload(wanted);  // as window_pictures() does for a window's states
    for (const std::string* n : {&names.normal, &names.over, &names.down, &names.disable})
      if (!n->empty() && !skin.picture(*n).ok()) ++r.missing;
    for (const std::string& n : w.extra)
      if (!skin.picture(n).ok()) ++r.missing;
    r.pictures_ms += ms_since(t);

    t = Clock::now();
    if (!names.mask.empty() && skin.mask(names.mask).region.isEmpty()) ++r.missing;
    for (const std::string& m : w.masks)
      if (skin.mask(m).region.isEmpty()) ++r.missing;
    r.masks_ms += ms_since(t);

    const mt::SkinPictureSet set = skin.window_pictures(names);
    t = Clock::now();
    for (const mt::SkinPlacement& p : placements) {
      const mt::SkinCuts c = set.cuts(mt::look::to_rect(p));
      r.cuts += !c.normal.isNull();
    }
    r.cuts_ms += ms_since(t);
    r.per_window.emplace_back(w.description, ms_since(window_start));
  }
  r.total_ms = ms_since(start);
  r.cpu_ms = bench::cpu_ms() - cpu_start;
  r.bytes = skin.decoded_bytes();
  r.decoded = skin.decoded_pictures();
  return r;
}

// A stand-in for the real artwork, at the sizes the windows are designed for.
void write_picture(const std::string& dir, const std::string& name, QSize size, int seed, bool mask) {
  QImage img(size, QImage::Format_RGB32);
  QPainter p(&img);
  if (mask) {
    img.fill(Qt::white);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRoundedRect(QRect(QPoint(0, 0), size), 12, 12);
  } else {
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, QColor(0x1b + seed % 7, 0x1d, 0x21));
    g.setColorAt(1, QColor(0x12, 0x13, 0x16 + seed % 5));
    p.fillRect(img.rect(), g);
    QRandomGenerator rng(static_cast<quint32>(seed));
    p.setRenderHint(QPainter::Antialiasing, true);
    for (int i = 0; i < 40; ++i) {
      const int w = 20 + rng.bounded(std::max(21, size.width() / 4));
      const int h = 10 + rng.bounded(std::max(11, size.height() / 6));
      const QRect r(rng.bounded(std::max(1, size.width())), rng.bounded(std::max(1, size.height())), w, h);
      p.setPen(QColor(0x33, 0x37, 0x3e));
      p.setBrush(QColor(0x22 + rng.bounded(30), 0x25, 0x2a));
      p.drawRoundedRect(r, 4, 4);
    }
  }
  p.end();
  const std::string path = dir + name;
  QDir().mkpath(QString::fromStdString(path.substr(0, path.rfind('/'))));
  const bool jpeg = name.size() > 4 && (name.substr(name.size() - 4) == ".jpg" || name.substr(name.size() - 4) == ".JPG");
  img.save(QString::fromStdString(path), jpeg ? "JPG" : name.substr(name.size() - 4) == ".png" ? "PNG" : "BMP", 92);
}

std::string write_sample_skin() {
  char tmpl[] = "/tmp/skin-bench-XXXXXX";
  const std::string dir = std::string(mkdtemp(tmpl)) + "/";
  struct Set {
    std::string prefix;  // "<prefix>_normal.jpg" etc.
    std::string mask;
    QSize size;
    const char* description;
    const char* section;
    int keys;
    bool screen;
  };
  const Set sets[] = {
      {"main", "main_mask.bmp", {1100, 620}, "skin_main.ini", "BUTTONINFO", 23, false},
      {"button", "middle_mask.bmp", {720, 470}, "skin_Overlook.ini", "BUTTONINFO", 20, false},
      {"Basic_Settings", "middle_mask.bmp", {720, 470}, "skin_sens.ini", "BUTTONINFO", 24, false},
      {"Color_settings", "middle_mask.bmp", {720, 470}, "skin_light.ini", "BUTTONINFO", 41, false},
      {"profile", "profile_panel_mask.bmp", {720, 470}, "skin_profile.ini", "BUTTONPOS", 18, true},
      {"update", "update_mask.bmp", {720, 470}, "Skin_Update.ini", "BUTTONPOS", 1, true},
      {"restore", "restore_mask.bmp", {444, 260}, "skin_Restore.ini", "BUTTONINFO", 4, false},
      {"keyboard_command", "restore_mask.bmp", {444, 260}, "skin_shortcut.ini", "BUTTONPOS", 10, false},
      {"restore", "restore_mask.bmp", {444, 260}, "skin_single_key.ini", "BUTTONPOS", 4, false},
      {"lanuch_program", "restore_mask.bmp", {444, 260}, "skin_ProgSel.ini", "BUTTONINFO", 4, false},
      {"macro_manager", "macro_mask.bmp", {760, 520}, "skin_macro_manager.ini", "BUTTONPOS", 11, true},
  };
  int seed = 1;
  for (const Set& s : sets) {
    for (const char* state : {"_normal", "_over", "_down", "_disable"}) {
      std::string name = s.prefix;
      name.append(state).append(s.prefix == "button" || s.prefix == "lanuch_program" ? ".JPG" : ".jpg");
      write_picture(dir, name, s.size, seed++, false);
    }
    write_picture(dir, s.mask, s.size, 0, true);
    // Built with append and snprintf: g++ 12 at -O3 misreads chains of
    // string concatenations as overlapping copies.
    std::string ini;
    ini.append("[").append(s.section).append("]\r\n");
    for (int k = 1; k <= s.keys; ++k) {
      const int x = 20 + (k - 1) % 6 * 110, y = 20 + (k - 1) / 6 * 44;
      char line[96];
      std::snprintf(line, sizeof line, "%d=c%d,%d,%d,100,36,,FALSE\r\n", k, k, x % (s.size.width() - 100),
                    y % (s.size.height() - 40));
      ini.append(line);
    }
    if (s.screen) {
      ini.append("[SCREEN]\r\nMask=").append(s.mask);
      for (const char* state : {"Normal", "Over", "Down", "Disable"}) {
        std::string lower(state);
        lower[0] = static_cast<char>(lower[0] - 'A' + 'a');
        ini.append("\r\n").append(state).append("=").append(s.prefix).append("_").append(lower).append(".jpg");
      }
      ini.append("\r\n");
    }
    FILE* f = std::fopen((dir + s.description).c_str(), "wb");
    std::fwrite(ini.data(), 1, ini.size(), f);
    std::fclose(f);
  }
  for (const std::string& n : numbered("Mouse/mouse_", 1, 9, ".jpg", false)) write_picture(dir, n, {300, 400}, seed++, false);
  write_picture(dir, "Mouse/mouse.jpg", {300, 400}, seed++, false);
  for (const std::string& n : numbered("z", 0, 10, ".jpg", true)) write_picture(dir, n, {120, 120}, seed++, false);
  for (const std::string& n : numbered("zhizhen", 0, 10, ".jpg", true)) write_picture(dir, n, {160, 120}, seed++, false);
  write_picture(dir, "slider.bmp", {16, 24}, seed++, false);
  write_picture(dir, "rgnbutton_mask.bmp", {130, 44}, 0, true);
  write_picture(dir, "DPI1_mask.bmp", {64, 64}, 0, true);
  write_picture(dir, "DPI2_mask.bmp", {64, 64}, 0, true);
  write_picture(dir, "profile_mask.bmp", {160, 40}, 0, true);
  for (const std::string& n : numbered("Icons/", 163, 166, ".png", false)) write_picture(dir, n, {16, 16}, seed++, false);
  write_picture(dir, "Icons/program.png", {256, 256}, seed++, false);
  return dir;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication app(argc, argv);
  const bool sample = argc > 1 && std::string(argv[1]) == "--sample";
  const std::string folder = sample ? write_sample_skin() : argc > 1 ? argv[1] : bench::dist_skin_folder();
  const int rounds = argc > 2 ? std::max(1, atoi(argv[2])) : 5;
  const double ratio = argc > 3 ? atof(argv[3]) : 1.0;

  std::vector<Round> all;
  for (int i = 0; i < rounds; ++i) all.push_back(load_all(folder, ratio));
  const Round& first = all.front();
  std::vector<double> totals, cpus;
  for (const Round& r : all) totals.push_back(r.total_ms), cpus.push_back(r.cpu_ms);
  std::sort(totals.begin(), totals.end());
  std::sort(cpus.begin(), cpus.end());

  std::printf("skin folder          %s (device pixel ratio %.2g)\n", folder.c_str(), ratio);
  std::printf("whole skin, 1st run  %.1f ms\n", first.total_ms);
  std::printf("whole skin, median   %.1f ms (min %.1f, %d rounds)\n", totals[totals.size() / 2], totals.front(),
              rounds);
  std::printf("CPU time, median     %.1f ms (all threads)\n", cpus[cpus.size() / 2]);
  std::printf("  descriptions       %.1f ms\n", first.descriptions_ms);
  std::printf("  decode pictures    %.1f ms\n", first.pictures_ms);
  std::printf("  masks to regions   %.1f ms\n", first.masks_ms);
  std::printf("  cuts               %.1f ms (%d controls x 4 states)\n", first.cuts_ms, first.cuts);
  std::printf("decoded              %zu pictures and masks, %.1f MiB held\n", first.decoded,
              static_cast<double>(first.bytes) / (1024.0 * 1024.0));
  if (first.missing) std::printf("missing or unusable  %d pictures or masks\n", first.missing);
  std::printf("per window (1st run):\n");
  for (const auto& [name, ms] : first.per_window) std::printf("  %-24s %6.1f ms\n", name, ms);
  if (sample) QDir(QString::fromStdString(folder)).removeRecursively();
  return 0;
}

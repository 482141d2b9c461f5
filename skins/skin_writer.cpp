#include "skins/skin_writer.h"

#include <QDir>
#include <algorithm>
#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <sstream>
#include <thread>

#include "skins/art_kit.h"
#include "skins/pictures.h"
#include "skins/skin_plan.h"

namespace skins {

std::string at2x(const std::string& name) {
  const auto dot = name.rfind('.');
  if (dot == std::string::npos) return name + "@2x";
  return name.substr(0, dot) + "@2x" + name.substr(dot);
}

namespace {

const char* section_of(Form f) { return f == Form::button_info ? "BUTTONINFO" : "BUTTONPOS"; }

std::string placement(const Control& c) {
  std::ostringstream s;
  s << c.name << ',' << c.rect.x() << ',' << c.rect.y() << ',' << c.rect.width() << ',' << c.rect.height()
    << ",,FALSE";
  return s.str();
}

}  // namespace

std::string description_file(const std::string& window_id) {
  const Window& w = window(window_id);
  std::ostringstream s;
  const char* eol = "\r\n";
  s << "; Morvath T60R skin: " << w.title << ", " << w.size.width() << " x " << w.size.height() << " pixels."
    << eol;
  s << "; Each placement: name,x,y,width,height,text,flag (window pixels; see docs/skins.md)." << eol;
  if (w.id == "button") {
    s << "; Keys 8-14 (slots 7-13) are not on this mouse and have no placement." << eol;
  }
  if (w.id == "progsel") {
    s << "; The path field is not placed here: the window puts it at x 98, y 108, 224 x 23." << eol;
  }
  if (!w.art_of.empty()) {
    s << "; Pictures: those of the " << window(w.art_of).title << " (" << window(w.art_of).normal << " ...)."
      << eol;
  }
  if (w.form == Form::screen) {
    s << eol << "[SCREEN]" << eol;
    s << "Mask=" << w.mask << eol;
    s << "Normal=" << w.normal << eol;
    s << "Over=" << w.over << eol;
    s << "Down=" << w.down << eol;
    s << "Disable=" << w.disable << eol;
  }
  s << eol << '[' << section_of(w.form) << ']' << eol;
  std::vector<const Control*> sorted;
  for (const Control& c : w.controls) sorted.push_back(&c);
  std::sort(sorted.begin(), sorted.end(), [](const Control* a, const Control* b) { return a->key < b->key; });
  for (const Control* c : sorted) s << c->key << '=' << placement(*c) << eol;
  return s.str();
}

namespace {

struct Job {
  std::string path;
  std::function<int(const std::string&)> run;  // files written, or -1
};

bool write_text(const std::string& path, const std::string& text) {
  QFile f(QString::fromStdString(path));
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  return f.write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size());
}

// One picture at both scales.
void both_scales(std::vector<Job>& jobs, const std::string& folder, const std::string& name,
                 std::function<QImage(int)> draw, bool bmp) {
  for (int scale : {1, 2}) {
    const std::string path = folder + "/" + (scale == 1 ? name : at2x(name));
    jobs.push_back({path, [draw, scale, bmp](const std::string& p) {
                      const QImage img = draw(scale);
                      return (bmp ? save_bmp24(img, p) : save_jpeg(img, p)) ? 1 : -1;
                    }});
  }
}

void png_both_scales(std::vector<Job>& jobs, const std::string& folder, const std::string& name,
                     std::function<QImage(int)> draw) {
  for (int scale : {1, 2}) {
    const std::string path = folder + "/" + (scale == 1 ? name : at2x(name));
    jobs.push_back({path, [draw, scale](const std::string& p) { return save_png(draw(scale), p) ? 1 : -1; }});
  }
}

std::vector<Job> all_jobs(const std::string& folder) {
  std::vector<Job> jobs;
  std::set<std::string> masks_done;
  for (const Window& w : skin_plan()) {
    jobs.push_back({folder + "/" + w.ini,
                    [id = w.id](const std::string& p) { return write_text(p, description_file(id)) ? 1 : -1; }});
    if (!w.art_of.empty()) continue;
    // One job per scale draws the background once and every state on it.
    for (int scale : {1, 2}) {
      const std::string first = folder + "/" + (scale == 1 ? w.normal : at2x(w.normal));
      jobs.push_back({first, [&w, scale, folder](const std::string&) {
                        const QImage background = window_background(w, scale);
                        const std::pair<State, std::string> states[] = {{State::normal, w.normal},
                                                                        {State::over, w.over},
                                                                        {State::down, w.down},
                                                                        {State::disable, w.disable}};
                        int written = 0;
                        QImage picture;
                        for (const auto& [state, name] : states) {
                          if (name.empty()) continue;
                          const std::string path = folder + "/" + (scale == 1 ? name : at2x(name));
                          window_picture_into(picture, background, w, state, scale);
                          if (!save_jpeg(picture, path)) return -1;
                          ++written;
                        }
                        return written;
                      }});
    }
    if (!w.mask.empty() && masks_done.insert(w.mask).second)
      both_scales(jobs, folder, w.mask, [&w](int s) { return window_mask(w, s); }, true);
  }
  // Control shapes.
  const Window& main = window("main");
  const Window& sens = window("sens");
  const Window& profile = window("profile");
  const QSizeF tab(main.find(1)->rect.size()), level(sens.find(1)->rect.size()), marker(profile.find(1)->rect.size());
  both_scales(jobs, folder, "rgnbutton_mask.bmp", [tab](int s) { return shape_mask(tab, tab_shape(tab), s); }, true);
  both_scales(jobs, folder, "DPI1_mask.bmp", [level](int s) { return shape_mask(level, level_shape(level, false), s); },
              true);
  both_scales(jobs, folder, "DPI2_mask.bmp", [level](int s) { return shape_mask(level, level_shape(level, true), s); },
              true);
  both_scales(jobs, folder, "profile_mask.bmp", [marker](int s) { return shape_mask(marker, marker_shape(marker), s); },
              true);
  both_scales(jobs, folder, "slider.bmp", [](int s) { return slider_thumb(s); }, true);
  // Mouse pictures.
  both_scales(jobs, folder, "Mouse/mouse.jpg", [](int s) { return mouse_picture(0, s); }, false);
  for (int n = 1; n <= 9; ++n)
    both_scales(jobs, folder, "Mouse/mouse_" + std::to_string(n) + ".jpg", [n](int s) { return mouse_picture(n, s); },
                false);
  // Speed pictures.
  for (int n = 0; n <= 10; ++n) {
    char num[4];
    std::snprintf(num, sizeof num, "%02d", n);
    both_scales(jobs, folder, std::string("z") + num + ".jpg", [n](int s) { return scroll_speed_picture(n, s); },
                false);
    both_scales(jobs, folder, std::string("zhizhen") + num + ".jpg",
                [n](int s) { return pointer_gauge_picture(n, s); }, false);
  }
  // Icons.
  for (int id = 163; id <= 166; ++id)
    png_both_scales(jobs, folder, "Icons/" + std::to_string(id) + ".png", [id](int s) { return row_icon(id, s); });
  png_both_scales(jobs, folder, "Icons/program.png", [](int s) { return program_icon(256 * s); });
  for (int px : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const std::string dir = "Icons/hicolor/" + std::to_string(px) + "x" + std::to_string(px);
    jobs.push_back({folder + "/" + dir + "/morvath-t60r.png",
                    [px](const std::string& p) { return save_png(program_icon(px), p) ? 1 : -1; }});
  }
  // On-screen display.
  both_scales(jobs, folder, "osd_normal.jpg", [](int s) { return osd_picture(s); }, false);
  both_scales(jobs, folder, "osd_mask.bmp", [](int s) { return osd_mask(s); }, true);
  return jobs;
}

}  // namespace

WriteResult write_skin(const std::string& folder, int threads) {
  std::vector<Job> jobs = all_jobs(folder);
  // Folders first, on this thread.
  for (const Job& j : jobs) {
    const QString dir = QFileInfo(QString::fromStdString(j.path)).absolutePath();
    QDir().mkpath(dir);
  }
  std::atomic<size_t> next{0};
  std::mutex m;
  WriteResult result;
  auto worker = [&] {
    for (;;) {
      const size_t i = next.fetch_add(1);
      if (i >= jobs.size()) return;
      const int written = jobs[i].run(jobs[i].path);
      std::lock_guard<std::mutex> lock(m);
      if (written >= 0) result.files += written;
      else result.failures.push_back(jobs[i].path);
    }
  };
  std::vector<std::thread> pool;
  for (int t = 1; t < std::max(1, threads); ++t) pool.emplace_back(worker);
  worker();
  for (auto& t : pool) t.join();
  return result;
}

}  // namespace skins

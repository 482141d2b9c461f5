// The performance and lighting pages, offscreen, over the skin we ship:
//   - the first switch to each page: a fresh skin folder (nothing decoded
//     yet), the page built, refreshed, shown and painted once;
//   - a drag across the lighting page's colour field: each of 200 moves
//     handled and every window it touches repainted (field, slider, well,
//     the number fields the posted report updates), median and worst;
//   - for comparison, a drag along the hue slider, which rebuilds the
//     field's gradient at every step.
//
//   option_pages_bench [skin folder] [rounds]
//   (default: <build>/dist/Skins/, 15 rounds of the first switch)
#include <stdlib.h>

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fake_option_host.h"
#include "bench/bench_process.h"
#include "bench/offscreen_quiet.h"
#include "option/lighting_page.h"
#include "option/performance_page.h"
#include "option/skin/color_picker.h"

namespace {

using Clock = std::chrono::steady_clock;
using mt::page_test::FakeOptionHost;

double ms_since(Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); }

struct Figures {
  std::vector<double> values;
  void add(double v) { values.push_back(v); }
  double median() {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
  }
  double worst() { return values.empty() ? 0 : *std::max_element(values.begin(), values.end()); }
};

// Everything queued so far handled: paints, the well's posted report.
void settle() {
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

// The page as the main window would show it the first time: built,
// refreshed, shown in the page area and painted.
template <typename Page>
void first_switch(const std::string& skins, Figures& wall, Figures& cpu) {
  FakeOptionHost host(skins);
  QWidget window;
  window.resize(720, 470);
  window.show();
  settle();
  const double cpu_start = bench::cpu_ms();
  const Clock::time_point start = Clock::now();
  auto* page = new Page(host, &window);
  page->refresh();
  page->show();
  page->repaint();
  settle();
  wall.add(ms_since(start));
  cpu.add(bench::cpu_ms() - cpu_start);
  delete page;
}

// Only the decoding of a page's four state pictures, also from a fresh folder.
void decode_only(const std::string& skins, const mt::SkinPictureNames& names, Figures& wall) {
  mt::SkinFolder folder(skins);
  const Clock::time_point start = Clock::now();
  (void)folder.window_pictures(names);
  wall.add(ms_since(start));
}

void send_mouse(QWidget* to, QEvent::Type type, QPoint at, Qt::MouseButtons held) {
  QMouseEvent e(type, QPointF(at), QPointF(to->mapToGlobal(at)), Qt::LeftButton, held, Qt::NoModifier);
  QApplication::sendEvent(to, &e);
}

// 200 moves of a drag over `target`, each step timed until the screen has
// caught up with it.
void drag(QWidget* target, const std::function<QPoint(int)>& point_of, Figures& steps) {
  send_mouse(target, QEvent::MouseButtonPress, point_of(0), Qt::LeftButton);
  settle();
  for (int i = 1; i <= 200; ++i) {
    const Clock::time_point start = Clock::now();
    send_mouse(target, QEvent::MouseMove, point_of(i), Qt::LeftButton);
    settle();
    steps.add(ms_since(start));
  }
  send_mouse(target, QEvent::MouseButtonRelease, point_of(200), Qt::NoButton);
  settle();
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  bench::quiet_offscreen_warnings();
  QApplication app(argc, argv);
  const std::string skins = argc > 1 ? argv[1] : bench::dist_skin_folder();
  const int rounds = argc > 2 ? std::max(1, atoi(argv[2])) : 15;
  std::printf("skin folder %s\n", skins.c_str());

  Figures perf_wall, perf_cpu, light_wall, light_cpu, perf_decode, light_decode;
  const mt::SkinPictureNames perf_pictures{"middle_mask.bmp", "Basic_Settings_normal.jpg", "Basic_Settings_over.jpg",
                                           "Basic_Settings_down.jpg", "Basic_Settings_disable.jpg"};
  const mt::SkinPictureNames light_pictures{"middle_mask.bmp", "Color_settings_normal.jpg", "Color_settings_over.jpg",
                                            "Color_settings_down.jpg", "Color_settings_disable.jpg"};
  for (int r = 0; r < rounds; ++r) {
    first_switch<mt::CDlgPagePerfer>(skins, perf_wall, perf_cpu);
    first_switch<mt::CDlgPagePerLight>(skins, light_wall, light_cpu);
    decode_only(skins, perf_pictures, perf_decode);
    decode_only(skins, light_pictures, light_decode);
  }
  std::printf("first switch to the performance page: median %.1f ms, worst %.1f ms (CPU %.1f ms, all threads;"
              " decoding its pictures alone %.1f ms)\n",
              perf_wall.median(), perf_wall.worst(), perf_cpu.median(), perf_decode.median());
  std::printf("first switch to the lighting page:    median %.1f ms, worst %.1f ms (CPU %.1f ms, all threads;"
              " decoding its pictures alone %.1f ms)\n",
              light_wall.median(), light_wall.worst(), light_cpu.median(), light_decode.median());

  FakeOptionHost host(skins);
  QWidget window;
  window.resize(720, 470);
  auto* page = new mt::CDlgPagePerLight(host, &window);
  page->refresh();
  window.show();
  settle();
  mt::GTColorSelectorWnd* field = page->color_field();
  const int builds = field->gradient_builds();
  // A zigzag over the field: every move lands on another point.
  const int w = field->width(), h = field->height();
  Figures field_steps;
  drag(
      field, [&](int i) { return QPoint(4 + (i * 7) % (w - 8), 4 + (i * 13) % (h - 8)); }, field_steps);
  std::printf("colour field drag, per move:  median %.3f ms, worst %.3f ms (200 moves, gradient built %d times)\n",
              field_steps.median(), field_steps.worst(), field->gradient_builds() - builds);
  mt::GTColorSliderWnd* slider = page->color_slider();
  Figures hue_steps;
  drag(
      slider, [&](int i) { return QPoint(10, 2 + (i * 11) % (slider->height() - 4)); }, hue_steps);
  std::printf("hue slider drag, per move:    median %.3f ms, worst %.3f ms (the field's gradient rebuilt each move)\n",
              hue_steps.median(), hue_steps.worst());
  delete page;
  return 0;
}

// The two waits a user feels on the button page, with the program folder's
// skin and English texts, on Qt's offscreen platform:
//   - key to row: a key event typed into the macro manager while it records,
//     until its row is in the event list and the list has painted it (the key
//     goes the whole way: the recording hook's filter, the posted pair, the
//     editor, the list). Recordings stop at 60 events; a fresh one is started
//     then, outside the timing.
//   - slot menu: a click on a slot until its menu, built from the rules and
//     the language texts, is on the screen and painted.
//
//   button_page_bench [program folder] [keys] [menus]
//   (default: <build>/dist/, 200 keys, 100 menus; offscreen unless QT_QPA_PLATFORM
//   says otherwise, e.g. QT_QPA_PLATFORM=xcb with a DISPLAY for a real X server)
#include <stdlib.h>

#include <QApplication>
#include <QMenu>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/offscreen_quiet.h"
#include "common/language_module.h"
#include "common/macro_library.h"
#include "common/settings_record.h"
#include "option/button_page.h"
#include "option/macro_manager.h"
#include "option/option_host.h"
#include "option/skin/bitmap_btn.h"
#include "option/skin/dialog_runner.h"
#include "option/skin/ex_menu.h"
#include "option/skin/list_box_ex.h"
#include "option/skin/skin_folder.h"
#include "platform/text.h"

namespace {

using Clock = std::chrono::steady_clock;

class NoFiles final : public mt::FileChooser {
 public:
  std::optional<std::string> choose(const mt::FileDialogRequest&) override { return std::nullopt; }
};

class BenchHost final : public mt::OptionHost {
 public:
  explicit BenchHost(const std::string& folder)
      : folder_(folder), skin_(mt::SkinFolder::skins_path(folder)) {
    mt::clear(record_);
    mt::set_factory_defaults(record_);
    language_.load_for_language(folder_, mt::kLanguageEnglish);
    for (const char16_t* name : {u"Reload", u"Sprint", u"Build order", u"Combo"}) {
      mt::MacroRecord m{};
      platform::set_fixed_text(m.name, name);
      m.repeat_count = 1;
      library_.push_back(m);
    }
  }
  mt::SettingsRecord& working() override { return record_; }
  std::vector<mt::MacroRecord>& macro_library() override { return library_; }
  const mt::LanguageModule& language() const override { return language_; }
  mt::SkinFolder& skin() override { return skin_; }
  const std::string& program_folder() const override { return folder_; }
  const std::string& settings_folder() const override { return folder_; }
  mt::DialogRunner& dialogs() override { return runner_; }
  mt::FileChooser& files() override { return files_; }
  platform::PointerSystem* pointer_system() override { return nullptr; }
  void apply(int) override {}
  void refresh_pages() override {}
  void import_profile() override {}
  void export_profile() override {}
  void show_status_hint(std::u16string_view) override {}

 private:
  std::string folder_;
  mt::SettingsRecord record_{};
  std::vector<mt::MacroRecord> library_;
  mt::LanguageModule language_;
  mt::SkinFolder skin_;
  mt::ScriptedDialogRunner runner_;
  NoFiles files_;
};

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void report(const char* what, std::vector<double> t, double target) {
  std::sort(t.begin(), t.end());
  const auto at = [&](double q) { return t[std::min(t.size() - 1, static_cast<std::size_t>(q * (t.size() - 1) + 0.5))]; };
  std::printf("%-14s n=%zu  median %.3f ms  p90 %.3f ms  max %.3f ms  (target <= %.0f ms: %s)\n", what, t.size(),
              at(0.5), at(0.9), t.back(), target, at(0.5) <= target ? "met" : "MISSED");
}

std::vector<double> key_to_row(BenchHost& host, int keys) {
  mt::CMacroManager manager(nullptr, host, mt::ButtonRecord{});
  manager.show();
  (void)QTest::qWaitForWindowExposed(&manager);
  mt::CBitmapBtn* record = manager.button(mt::CMacroManager::kRecord);
  mt::CListBoxEx* list = manager.event_list();
  const Qt::Key letters[] = {Qt::Key_A, Qt::Key_S, Qt::Key_D, Qt::Key_F, Qt::Key_Left, Qt::Key_Space};
  std::vector<double> times;
  times.reserve(static_cast<std::size_t>(keys));
  bool down = false;
  Qt::Key key = Qt::Key_A;
  for (int i = 0; i < keys; ++i) {
    if (!manager.editor().recording()) {
      emit record->command(mt::CMacroManager::kRecord);
      QCoreApplication::processEvents();
    }
    const int before = list->row_count();
    if (!down) key = letters[(i / 2) % 6];
    const Clock::time_point t0 = Clock::now();
    if (down)
      QTest::keyRelease(&manager, key);
    else
      QTest::keyPress(&manager, key);
    while (list->row_count() == before) QCoreApplication::processEvents();
    list->viewport()->repaint();
    times.push_back(ms(Clock::now() - t0));
    down = !down;
  }
  if (manager.editor().recording()) emit record->command(mt::CMacroManager::kRecord);
  return times;
}

std::vector<double> slot_menu(BenchHost& host, int menus) {
  mt::CDlgPageMouse page(host, nullptr);
  page.load_texts();
  page.refresh();
  page.show();
  (void)QTest::qWaitForWindowExposed(&page);
  std::vector<double> times;
  Clock::time_point t0;
  page.set_menu_tracker([&](mt::CExMenu& menu, const QPoint& at) {
    menu.popup(at);
    while (!menu.isVisible()) QCoreApplication::processEvents();
    menu.repaint();
    times.push_back(ms(Clock::now() - t0));
    menu.close();
    return 0;
  });
  for (int i = 0; i < menus; ++i) {
    const int slot = i % 7;
    t0 = Clock::now();
    emit page.slot_button(slot)->command(page.slot_button(slot)->control_id());
    QCoreApplication::processEvents();
  }
  return times;
}

}  // namespace

int main(int argc, char** argv) {
  if (!getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  bench::quiet_offscreen_warnings();
  QApplication app(argc, argv);
  std::string folder = argc > 1 ? argv[1] : MT_DIST_DIR;
  if (!folder.empty() && folder.back() != '/') folder.push_back('/');
  const int keys = argc > 2 ? std::max(1, atoi(argv[2])) : 200;
  const int menus = argc > 3 ? std::max(1, atoi(argv[3])) : 100;
  BenchHost host(folder);
  std::printf("program folder %s, platform %s\n", folder.c_str(), qPrintable(QGuiApplication::platformName()));
  report("key to row", key_to_row(host, keys), 16);
  report("slot menu", slot_menu(host, menus), 16);
  return 0;
}

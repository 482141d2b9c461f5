// What the tests of Option's pages and dialogs share: a fake main window
// (OptionHost) with a scripted dialog runner and file chooser, the shipped
// English texts, and a small skin written by the test whose pictures tell
// every state apart by an exact colour (BMP content under the designed names;
// the skin folder reads pictures by content).
#pragma once

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "common/language_module.h"
#include "common/macro_library.h"
#include "common/settings_record.h"
#include "option/option_host.h"
#include "option/skin/dialog_runner.h"
#include "option/skin/skin_folder.h"
#include "platform/text.h"
#include "skin_fixture.h"

namespace option_test {

// The state colours of every window picture of the test skin.
inline constexpr QRgb kNormal = qRgb(40, 40, 40);
inline constexpr QRgb kOver = qRgb(0, 0, 200);
inline constexpr QRgb kDown = qRgb(0, 200, 0);
inline constexpr QRgb kDisable = qRgb(100, 100, 100);
// Mouse/mouse.jpg, and Mouse/mouse_N.jpg in a colour of its own.
inline constexpr QRgb kIdleMouse = qRgb(10, 60, 10);
inline QRgb mouse_colour(int n) { return qRgb(100 + 15 * n, 20, 30 + 5 * n); }

// The slot rectangles of the test skin (our skin's column: front to back).
inline QRect slot_rect(int slot) {
  static const int rows[16] = {0, 1, 2, 8, 7, 5, 6, -1, -1, -1, -1, -1, -1, -1, 3, 4};
  const int row = rows[slot];
  return row < 0 ? QRect() : QRect(12, 30 + 47 * row, 232, 40);
}
inline constexpr QRect kPictureRect(244, 44, 464, 414);

inline QImage filled(QSize size, QRgb colour) {
  QImage img(size, QImage::Format_RGB32);
  img.fill(colour);
  return img;
}

// A skin folder with every window of the button page family.
class TestSkin {
 public:
  TestSkin() {
    window("middle_mask.bmp", {"button_normal.JPG", "button_over.JPG", "button_down.JPG", "button_disable.jpg"},
           QSize(720, 470));
    std::string ini = "[BUTTONINFO]\n";
    for (int s = 0; s < 16; ++s) {
      const QRect r = slot_rect(s);
      if (!r.isEmpty()) ini += placement(s + 1, "slot", r);
    }
    ini += placement(20, "picture", kPictureRect);
    dir.write("skin_Overlook.ini", ini);
    dir.save("Mouse/mouse.jpg", filled(kPictureRect.size(), kIdleMouse), "BMP");
    for (int n = 1; n <= 9; ++n)
      dir.save("Mouse/mouse_" + std::to_string(n) + ".jpg", filled(kPictureRect.size(), mouse_colour(n)), "BMP");

    const QSize dialog(444, 260);
    window("restore_mask.bmp", {"restore_normal.jpg", "restore_over.jpg", "restore_down.jpg", ""}, dialog);
    dir.write("skin_Restore.ini", "[BUTTONINFO]\n" + placement(1, "ok", {190, 210, 118, 38}) +
                                      placement(2, "cancel", {314, 210, 118, 38}) + placement(3, "close", {404, 14, 28, 28}));
    dir.write("skin_single_key.ini", "[BUTTONPOS]\n" + placement(1, "ok", {190, 210, 118, 38}) +
                                         placement(2, "cancel", {314, 210, 118, 38}) +
                                         placement(3, "close", {404, 14, 28, 28}) + placement(4, "key", {140, 128, 224, 32}));
    window("", {"keyboard_command_normal.jpg", "keyboard_command_over.jpg", "keyboard_command_down.jpg", ""}, dialog);
    std::string shortcut = "[BUTTONPOS]\n" + placement(2, "ok", {190, 210, 118, 38}) +
                           placement(3, "cancel", {314, 210, 118, 38}) + placement(4, "close", {404, 14, 28, 28}) +
                           placement(10, "key", {22, 140, 330, 32}) + placement(5, "alone", {10, 88, 172, 36});
    for (int i = 1; i < 5; ++i) shortcut += placement(5 + i, "mod", {182 + 63 * (i - 1), 88, 63, 36});
    dir.write("skin_shortcut.ini", shortcut);
    window("", {"lanuch_program_normal.JPG", "lanuch_program_over.JPG", "lanuch_program_down.JPG", ""}, dialog);
    dir.write("skin_ProgSel.ini", "[BUTTONINFO]\n" + placement(1, "close", {404, 14, 28, 28}) +
                                      placement(2, "browse", {328, 104, 40, 31}) + placement(3, "ok", {190, 210, 118, 38}) +
                                      placement(4, "cancel", {314, 210, 118, 38}));

    window("macro_manager_mask.bmp",
           {"macro_manager_normal.jpg", "macro_manager_over.jpg", "macro_manager_down.jpg", "macro_manager_disable.jpg"},
           QSize(760, 520));
    dir.write("skin_macro_manager.ini",
              "[SCREEN]\nMask=macro_manager_mask.bmp\nNormal=macro_manager_normal.jpg\nOver=macro_manager_over.jpg\n"
              "Down=macro_manager_down.jpg\nDisable=macro_manager_disable.jpg\n[BUTTONPOS]\n" +
                  placement(1, "ok", {494, 472, 118, 38}) + placement(2, "cancel", {618, 472, 118, 38}) +
                  placement(3, "close", {720, 14, 28, 28}) + placement(4, "new", {22, 382, 132, 38}) +
                  placement(5, "delete", {160, 382, 132, 38}) + placement(6, "macros", {24, 104, 266, 268}) +
                  placement(7, "record", {304, 382, 126, 38}) + placement(8, "delays", {436, 382, 190, 38}) +
                  placement(9, "repeat", {304, 426, 126, 38}) + placement(10, "times", {436, 430, 52, 30}) +
                  placement(11, "events", {306, 104, 430, 268}));
    for (int icon = 163; icon <= 166; ++icon)
      dir.save("Icons/" + std::to_string(icon) + ".png", filled(QSize(16, 16), icon_colour(icon)), "PNG");
  }

  static QRgb icon_colour(int icon) { return qRgb(200, 50 * (icon - 162), 0); }

  static std::string placement(int key, const char* name, const QRect& r) {
    return std::to_string(key) + "=" + name + "," + std::to_string(r.x()) + "," + std::to_string(r.y()) + "," +
           std::to_string(r.width()) + "," + std::to_string(r.height()) + ",,FALSE\n";
  }

  skin_test::TempFolder dir;

 private:
  // The four state pictures of one window (an empty name is left out) and its
  // mask with the corners cut off.
  void window(const std::string& mask, std::initializer_list<const char*> pictures, QSize size) {
    const QRgb colours[4] = {kNormal, kOver, kDown, kDisable};
    int i = 0;
    for (const char* name : pictures) {
      if (*name) dir.save(name, filled(size, colours[i]), "BMP");
      ++i;
    }
    if (mask.empty()) return;
    QImage m = filled(size, qRgb(0, 0, 0));
    QPainter p(&m);
    for (QPoint corner : {QPoint(0, 0), QPoint(size.width() - 8, 0), QPoint(0, size.height() - 8),
                          QPoint(size.width() - 8, size.height() - 8)})
      p.fillRect(QRect(corner, QSize(8, 8)), Qt::white);
    p.end();
    dir.save(mask, m, "BMP");
  }
};

// Answers file dialogs from a script and keeps what was asked.
class ScriptedFileChooser final : public mt::FileChooser {
 public:
  std::optional<std::string> choose(const mt::FileDialogRequest& request) override {
    requests.push_back(request);
    if (answers.empty()) return std::nullopt;
    std::optional<std::string> a = answers.front();
    answers.pop_front();
    return a;
  }
  std::deque<std::optional<std::string>> answers;
  std::vector<mt::FileDialogRequest> requests;
};

// The main window as the pages see it.
class FakeHost final : public mt::OptionHost {
 public:
  explicit FakeHost(const std::string& skin_folder)
      : skin_(skin_folder), program_folder_(data_.path()), settings_folder_(data_.path()) {
    mt::clear(record);
    mt::set_factory_defaults(record);
    lang.load(std::string(MT_LANG_SOURCE_DIR) + "/Lang_EN.lang");
  }

  mt::SettingsRecord record{};
  std::vector<mt::MacroRecord> library;
  mt::LanguageModule lang;
  mt::ScriptedDialogRunner runner;
  ScriptedFileChooser chooser;
  std::vector<std::u16string> hints;

  mt::SettingsRecord& working() override { return record; }
  std::vector<mt::MacroRecord>& macro_library() override { return library; }
  const mt::LanguageModule& language() const override { return lang; }
  mt::SkinFolder& skin() override { return skin_; }
  const std::string& program_folder() const override { return program_folder_; }
  const std::string& settings_folder() const override { return settings_folder_; }
  void set_settings_folder(std::string folder) { settings_folder_ = std::move(folder); }
  mt::DialogRunner& dialogs() override { return runner; }
  mt::FileChooser& files() override { return chooser; }
  platform::PointerSystem* pointer_system() override { return nullptr; }
  void apply(int) override {}
  void refresh_pages() override {}
  void import_profile() override {}
  void export_profile() override {}
  void show_status_hint(std::u16string_view text) override { hints.emplace_back(text); }

  mt::ProfileRecord& profile() { return record.profiles[record.CurrentProfile]; }
  mt::ButtonRecord& slot(int s) { return profile().MacroKeyInfo[s]; }

 private:
  skin_test::TempFolder data_;
  mt::SkinFolder skin_;
  std::string program_folder_;
  std::string settings_folder_;
};

// A library macro with events (key, action) and no delays.
inline mt::MacroRecord macro(std::u16string_view name, std::initializer_list<std::pair<uint8_t, uint8_t>> events,
                             int repeat = 1) {
  mt::MacroRecord m{};
  platform::set_fixed_text(m.name, name);
  m.repeat_count = repeat;
  for (const auto& [key, action] : events) m.events[m.event_count++] = mt::MacroEvent{key, action, 0};
  return m;
}

inline QString qs(const char16_t* s) { return QString::fromUtf16(s); }

}  // namespace option_test

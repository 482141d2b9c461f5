// The skin folder the build writes, read back the way Option's windows read
// it: the files they name, the sizes they rely on, the placements and the
// fixed text boxes, and the art drawn where the placements are.
#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QRect>
#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/language_module.h"
#include "option/logic/text_layout.h"
#include "platform/ini_file.h"

namespace {

namespace L = mt::layout;

const std::string kSkins = MT_SKINS_DIR;

// ---- The folder, looked up case-insensitively ---------------------------

const std::map<std::string, std::string>& folder_index() {
  static const std::map<std::string, std::string> index = [] {
    std::map<std::string, std::string> m;
    QDirIterator it(QString::fromStdString(kSkins), QDir::Files, QDirIterator::Subdirectories);
    const QString root = QString::fromStdString(kSkins) + "/";
    while (it.hasNext()) {
      const QString path = it.next();
      m[path.mid(root.size()).toLower().toStdString()] = path.toStdString();
    }
    return m;
  }();
  return index;
}

std::optional<std::string> find(const std::string& name) {
  const auto it = folder_index().find(QString::fromStdString(name).toLower().toStdString());
  if (it == folder_index().end()) return std::nullopt;
  return it->second;
}

QImage picture(const std::string& name) {
  const auto path = find(name);
  return path ? QImage(QString::fromStdString(*path)) : QImage();
}

std::string at2x(const std::string& name) {
  const auto dot = name.rfind('.');
  return name.substr(0, dot) + "@2x" + name.substr(dot);
}

// ---- What the windows read ------------------------------------------------

enum class Form { button_info, button_pos, screen };

struct WindowFiles {
  std::string ini;
  Form form;
  QSize size;
  std::string mask;
  std::vector<std::string> pictures;  // as the windows spell them; empty for SCREEN
  std::vector<int> keys;              // every key the window reads
};

std::vector<int> range(int from, int to) {
  std::vector<int> v;
  for (int i = from; i <= to; ++i) v.push_back(i);
  return v;
}

std::vector<int> join(std::vector<int> a, const std::vector<int>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const std::vector<WindowFiles>& windows() {
  static const std::vector<WindowFiles> w = {
      {"skin_main.ini", Form::button_info, {1100, 620}, "main_mask.bmp",
       {"main_normal.jpg", "main_over.jpg", "main_down.jpg", "main_disable.jpg"}, join(range(1, 13), range(20, 23))},
      {"skin_Overlook.ini", Form::button_info, {720, 470}, "middle_mask.bmp",
       {"button_normal.JPG", "button_down.JPG", "button_over.JPG", "button_disable.jpg"},
       join(range(1, 7), {15, 16, 20})},
      {"skin_sens.ini", Form::button_info, {720, 470}, "middle_mask.bmp",
       {"Basic_Settings_normal.jpg", "Basic_Settings_normal.JPG", "Basic_Settings_down.jpg",
        "Basic_Settings_over.jpg", "Basic_Settings_disable.jpg"},
       range(1, 24)},
      {"skin_light.ini", Form::button_info, {720, 470}, "middle_mask.bmp",
       {"Color_settings_normal.jpg", "Color_settings_down.jpg", "Color_settings_over.jpg",
        "Color_settings_disable.jpg"},
       range(1, 41)},
      {"skin_profile.ini", Form::screen, {720, 470}, "", {}, join(range(1, 3), range(7, 18))},
      {"Skin_Update.ini", Form::screen, {720, 470}, "", {}, {1}},
      {"skin_Restore.ini", Form::button_info, {444, 260}, "restore_mask.bmp",
       {"restore_normal.jpg", "restore_over.jpg", "restore_down.jpg"}, range(1, 4)},
      {"skin_shortcut.ini", Form::button_pos, {444, 260}, "restore_mask.bmp",
       {"keyboard_command_normal.jpg", "keyboard_command_over.jpg", "keyboard_command_down.jpg"}, range(2, 10)},
      {"skin_single_key.ini", Form::button_pos, {444, 260}, "restore_mask.bmp",
       {"restore_normal.jpg", "restore_over.jpg", "restore_down.jpg"}, range(1, 4)},
      {"skin_ProgSel.ini", Form::button_info, {444, 260}, "restore_mask.bmp",
       {"lanuch_program_normal.JPG", "lanuch_program_over.JPG", "lanuch_program_down.JPG",
        "lanuch_program_normal.jpg"},
       range(1, 4)},
      {"skin_macro_manager.ini", Form::screen, {0, 0}, "", {}, range(1, 11)},
  };
  return w;
}

const WindowFiles& files_of(const std::string& ini) {
  for (const WindowFiles& w : windows())
    if (w.ini == ini) return w;
  throw std::runtime_error(ini);
}

platform::IniDocument description(const std::string& ini) {
  platform::IniDocument doc;
  if (auto path = find(ini)) doc.load(*path);
  return doc;
}

std::u16string u16(const std::string& s) { return std::u16string(s.begin(), s.end()); }
std::string u8(const std::u16string& s) { return QString::fromStdU16String(s).toStdString(); }

// The pictures of a SCREEN description: Mask, Normal, Over, Down, Disable.
std::map<std::string, std::string> screen_pictures(const std::string& ini) {
  const platform::IniDocument doc = description(ini);
  std::map<std::string, std::string> m;
  for (const char* key : {"Mask", "Normal", "Over", "Down", "Disable"})
    m[key] = u8(doc.get_string(u"SCREEN", u16(key), u""));
  return m;
}

// The normal picture's size, whichever form names it.
QSize window_size(const WindowFiles& w) {
  const std::string normal = w.form == Form::screen ? screen_pictures(w.ini)["Normal"] : w.pictures.front();
  return picture(normal).size();
}

// Placements: key -> rectangle, read as "name,x,y,width,height,...".
std::map<int, QRect> placements(const WindowFiles& w) {
  const platform::IniDocument doc = description(w.ini);
  const std::u16string section = w.form == Form::button_info ? u"BUTTONINFO" : u"BUTTONPOS";
  std::map<int, QRect> m;
  for (int key = 1; key <= 64; ++key) {
    const auto value = doc.raw(section, u16(std::to_string(key)));
    if (!value) continue;
    const QStringList f = QString::fromStdU16String(*value).split(',');
    if (f.size() < 5) continue;
    m[key] = QRect(f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt());
  }
  return m;
}

QRect box_rect(const L::Box& b) { return QRect(b.left, b.top, b.width(), b.height()); }

bool is_bmp24(const std::string& name) {
  const auto path = find(name);
  if (!path) return false;
  QFile f(QString::fromStdString(*path));
  if (!f.open(QIODevice::ReadOnly)) return false;
  const QByteArray head = f.read(30);
  return head.size() == 30 && head.startsWith("BM") && static_cast<unsigned char>(head[28]) == 24 && head[29] == 0;
}

// ---- Files ----------------------------------------------------------------

TEST(SkinFolder, HoldsEveryFileTheWindowsName) {
  std::vector<std::string> names;
  std::vector<std::string> pictures;  // each also at twice the size
  for (const WindowFiles& w : windows()) {
    names.push_back(w.ini);
    if (!w.mask.empty()) pictures.push_back(w.mask);
    for (const std::string& p : w.pictures) pictures.push_back(p);
    if (w.form == Form::screen)
      for (const auto& [key, name] : screen_pictures(w.ini)) {
        EXPECT_FALSE(name.empty()) << w.ini << " names no " << key << " picture";
        if (!name.empty()) pictures.push_back(name);
      }
  }
  for (const char* p : {"rgnbutton_mask.bmp", "DPI1_mask.bmp", "DPI2_mask.bmp", "profile_mask.bmp", "slider.bmp",
                        "Mouse/mouse.jpg", "osd_normal.jpg", "osd_mask.bmp", "Icons/program.png"})
    pictures.push_back(p);
  for (int n = 1; n <= 9; ++n) pictures.push_back("Mouse/mouse_" + std::to_string(n) + ".jpg");
  for (int n = 0; n <= 10; ++n) {
    char z[16], g[24];
    std::snprintf(z, sizeof z, "z%02d.jpg", n);
    std::snprintf(g, sizeof g, "zhizhen%02d.jpg", n);
    pictures.push_back(z);
    pictures.push_back(g);
  }
  for (int id = 163; id <= 166; ++id) pictures.push_back("Icons/" + std::to_string(id) + ".png");
  for (int px : {16, 22, 24, 32, 48, 64, 128, 256})
    names.push_back("Icons/hicolor/" + std::to_string(px) + "x" + std::to_string(px) + "/morvath-t60r.png");
  for (const std::string& p : pictures) {
    names.push_back(p);
    names.push_back(at2x(p));
  }
  for (const std::string& n : names) {
    const auto path = find(n);
    ASSERT_TRUE(path) << n << " is missing";
    EXPECT_GT(QFile(QString::fromStdString(*path)).size(), 0) << n;
    if (n.ends_with(".ini")) continue;
    const QImage img(QString::fromStdString(*path));
    EXPECT_FALSE(img.isNull()) << n << " does not decode";
    if (n.ends_with(".bmp")) {
      EXPECT_TRUE(is_bmp24(n)) << n << " is not a 24-bit BMP";
    }
  }
}

TEST(SkinFolder, MasksFitTheirPicturesAndDoubleSizesAreExact) {
  for (const WindowFiles& w : windows()) {
    SCOPED_TRACE(w.ini);
    std::vector<std::string> pics = w.pictures;
    std::string mask = w.mask;
    if (w.form == Form::screen) {
      auto named = screen_pictures(w.ini);
      mask = named["Mask"];
      for (const char* k : {"Normal", "Over", "Down", "Disable"}) pics.push_back(named[k]);
    }
    const QSize size = picture(pics.front()).size();
    if (w.size.isValid() && !w.size.isEmpty()) {
      EXPECT_EQ(size, w.size);
    }
    EXPECT_EQ(picture(mask).size(), size) << mask;
    for (const std::string& p : pics) {
      EXPECT_EQ(picture(p).size(), size) << p;
      EXPECT_EQ(picture(at2x(p)).size(), size * 2) << at2x(p);
    }
    EXPECT_EQ(picture(at2x(mask)).size(), size * 2) << at2x(mask);
    // Outside is white: the corners of a rounded or chamfered window; the
    // middle is inside.
    const QImage m = picture(mask);
    EXPECT_EQ(m.pixel(0, 0), qRgb(255, 255, 255)) << mask;
    EXPECT_EQ(m.pixel(m.width() - 1, m.height() - 1), qRgb(255, 255, 255)) << mask;
    EXPECT_NE(m.pixel(m.width() / 2, m.height() / 2), qRgb(255, 255, 255)) << mask;
  }
  for (const std::string& p : {std::string("slider.bmp"), std::string("osd_normal.jpg"), std::string("osd_mask.bmp"),
                               std::string("Icons/163.png"), std::string("Icons/program.png")})
    EXPECT_EQ(picture(at2x(p)).size(), picture(p).size() * 2) << p;
  EXPECT_EQ(picture("osd_mask.bmp").size(), picture("osd_normal.jpg").size());
  for (int px : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const QImage icon =
        picture("Icons/hicolor/" + std::to_string(px) + "x" + std::to_string(px) + "/morvath-t60r.png");
    EXPECT_EQ(icon.size(), QSize(px, px));
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0) << "icon corners are transparent";
  }
  for (int id = 163; id <= 166; ++id) {
    const QImage icon = picture("Icons/" + std::to_string(id) + ".png");
    EXPECT_EQ(icon.size(), QSize(16, 16));
    EXPECT_TRUE(icon.hasAlphaChannel());
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
  }
}

TEST(SkinFolder, ControlPicturesHaveTheSizeOfTheirPlacements) {
  const auto main = placements(files_of("skin_main.ini"));
  const auto sens = placements(files_of("skin_sens.ini"));
  const auto page = placements(files_of("skin_Overlook.ini"));
  const auto profile = placements(files_of("skin_profile.ini"));
  for (int k = 1; k <= 5; ++k) EXPECT_EQ(main.at(k).size(), picture("rgnbutton_mask.bmp").size()) << "tab " << k;
  for (int k = 1; k <= 5; ++k) {
    EXPECT_EQ(sens.at(k).size(), picture("DPI1_mask.bmp").size()) << "level " << k;
    EXPECT_EQ(sens.at(k).size(), picture("DPI2_mask.bmp").size()) << "level " << k;
  }
  for (int k = 1; k <= 3; ++k) EXPECT_EQ(profile.at(k).size(), picture("profile_mask.bmp").size()) << "row " << k;
  EXPECT_EQ(picture("Mouse/mouse.jpg").size(), page.at(20).size());
  for (int n = 1; n <= 9; ++n)
    EXPECT_EQ(picture("Mouse/mouse_" + std::to_string(n) + ".jpg").size(), page.at(20).size()) << n;
  for (int n = 0; n <= 10; ++n) {
    char z[16], g[24];
    std::snprintf(z, sizeof z, "z%02d.jpg", n);
    std::snprintf(g, sizeof g, "zhizhen%02d.jpg", n);
    EXPECT_EQ(picture(z).size(), sens.at(23).size()) << z;
    EXPECT_EQ(picture(g).size(), sens.at(24).size()) << g;
  }
  // The slider thumb fits every slider track's height.
  for (int k : {8, 9, 10, 11, 13}) EXPECT_LE(picture("slider.bmp").height(), sens.at(k).height()) << k;
  EXPECT_LE(picture("slider.bmp").height(), placements(files_of("skin_light.ini")).at(41).height());
}

// ---- Placements -------------------------------------------------------------

// Placements that share space on purpose: the CPI readout inside the dial,
// the two Apply buttons shown as one, the three panels in one page area.
bool meant_to_overlap(const std::string& ini, int a, int b) {
  auto pair = [&](int x, int y) { return (a == x && b == y) || (a == y && b == x); };
  if (ini == "skin_sens.ini") return pair(6, 7);
  if (ini == "skin_main.ini") return pair(9, 10) || pair(20, 21) || pair(20, 22) || pair(21, 22);
  return false;
}

TEST(Placements, EveryKeyIsPlacedInsideItsWindowWithoutOverlaps) {
  for (const WindowFiles& w : windows()) {
    SCOPED_TRACE(w.ini);
    const auto places = placements(w);
    const QRect window(QPoint(0, 0), window_size(w));
    ASSERT_FALSE(window.isEmpty());
    for (int key : w.keys) {
      ASSERT_TRUE(places.count(key)) << "key " << key << " has no placement";
      const QRect r = places.at(key);
      EXPECT_FALSE(r.isEmpty()) << "key " << key;
      EXPECT_TRUE(window.contains(r)) << "key " << key << " lies outside the window";
    }
    for (const auto& [a, ra] : places)
      for (const auto& [b, rb] : places)
        if (a < b && ra.intersects(rb)) {
          EXPECT_TRUE(meant_to_overlap(w.ini, a, b)) << "keys " << a << " and " << b;
        }
  }
  // The button page places only the nine buttons the mouse has.
  const auto page = placements(files_of("skin_Overlook.ini"));
  for (int key = 8; key <= 14; ++key) EXPECT_FALSE(page.count(key)) << key;
  // The single-key dialog's buttons sit where the message dialogs have theirs,
  // on the same pictures.
  const auto restore = placements(files_of("skin_Restore.ini"));
  const auto single = placements(files_of("skin_single_key.ini"));
  for (int key = 1; key <= 3; ++key) EXPECT_EQ(single.at(key), restore.at(key)) << key;
  // The chooser's path field, placed by the window itself, is free of controls.
  const QRect path(98, 108, 224, 23);
  EXPECT_EQ(box_rect(L::kChooserPathField), path);
  for (const auto& [key, r] : placements(files_of("skin_ProgSel.ini"))) EXPECT_FALSE(r.intersects(path)) << key;
  // The dial's rectangle holds the whole dial.
  EXPECT_GE(placements(files_of("skin_sens.ini")).at(6).width(), 2 * 94);
  EXPECT_GE(placements(files_of("skin_sens.ini")).at(6).height(), 2 * 94);
  // The main window's panels and the firmware text as designed.
  const auto main = placements(files_of("skin_main.ini"));
  for (int key : {20, 21, 22}) EXPECT_EQ(main.at(key), QRect(370, 66, 720, 470)) << key;
  EXPECT_EQ(main.at(23), QRect(308, 252, 40, 30));
  EXPECT_EQ(box_rect(L::kFirmwareVersion), main.at(23));
}

// ---- Fixed texts ------------------------------------------------------------

struct Text {
  std::string ini;         // the window it is painted in
  L::Box box;
  int px;
  std::vector<int> ids;    // the language texts painted there
  bool wrap = false;
};

const std::vector<Text>& texts() {
  static const std::vector<Text> t = [] {
    std::vector<Text> v;
    for (const char* dialog : {"skin_Restore.ini", "skin_single_key.ini", "skin_shortcut.ini", "skin_ProgSel.ini"})
      v.push_back({dialog, L::kDialogTitle, L::kDialogTitlePx, {}});
    v[0].ids = {250, 801};
    v[1].ids = {140};
    v[2].ids = {252};
    v[3].ids = {261};
    v.push_back({"skin_Restore.ini", L::kDialogMessage, L::kDialogMessagePx, {251, 275, 276, 289, 291, 802, 117, 118}, true});
    v.push_back({"skin_single_key.ini", L::kSingleKeyPrompt, L::kSingleKeyPromptPx, {141}});
    v.push_back({"skin_single_key.ini", L::kSingleKeyNote, L::kKeyNotePx, {285}, true});
    v.push_back({"skin_shortcut.ini", L::kShortcutKeyLabel, L::kShortcutKeyLabelPx, {258}});
    v.push_back({"skin_shortcut.ini", L::kShortcutNote, L::kKeyNotePx, {285}});
    v.push_back({"skin_ProgSel.ini", L::kChooserLabel, L::kChooserLabelPx, {262}});
    v.push_back({"skin_main.ini", L::kFirmwareLabel, L::kFirmwareLabelPx, {111}});
    v.push_back({"skin_main.ini", L::kMainStatus, L::kMainStatusPx, {1124, 1125}, true});
    v.push_back({"skin_Overlook.ini", L::kButtonPageHeading, L::kButtonPageHeadingPx, {120}, true});
    for (int i = 0; i < 9; ++i)
      v.push_back({"skin_sens.ini", L::kPerformanceCaption[i], L::kPerformanceCaptionPx, {130 + i}});
    for (int i = 0; i < 8; ++i)
      v.push_back({"skin_light.ini", L::kLightingCaption[i], i == 0 ? L::kLightingTitlePx : L::kLightingCaptionPx,
                   {201 + i}});
    for (int i = 0; i < 3; ++i) v.push_back({"skin_profile.ini", L::kProfileHeading[i], L::kProfileHeadingPx, {222 + i}});
    v.push_back({"skin_macro_manager.ini", L::kMacroTitle, L::kMacroTitlePx, {271}});
    v.push_back({"skin_macro_manager.ini", L::kMacroListLabel, L::kMacroLabelPx, {272}});
    v.push_back({"skin_macro_manager.ini", L::kMacroEventsLabel, L::kMacroLabelPx, {279}});
    v.push_back({"skin_macro_manager.ini", L::kMacroTimesLabel, L::kMacroLabelPx, {284}});
    v.push_back({"skin_macro_manager.ini", L::kMacroBlockUsage, L::kMacroBlockUsagePx, {}});
    v.push_back({"skin_macro_manager.ini", L::kMacroNote, L::kMacroNotePx, {285}, true});
    return v;
  }();
  return t;
}

const std::vector<mt::LanguageModule>& languages() {
  static const std::vector<mt::LanguageModule> langs = [] {
    std::vector<mt::LanguageModule> v;
    for (const char* name : {"Lang_EN", "Lang_sc", "Lang_Ru", "Lang_It", "Lang_Sp"}) {
      v.emplace_back();
      v.back().load(std::string(MT_LANG_DIR) + "/" + name + ".lang");
    }
    return v;
  }();
  return langs;
}

QFont arial(int px) {
  QFont f("Arial");
  f.setPixelSize(px);
  return f;
}

TEST(TextBoxes, LieInsideTheirWindowsClearOfEveryControl) {
  for (const Text& t : texts()) {
    const WindowFiles& w = files_of(t.ini);
    const QRect box = box_rect(t.box);
    SCOPED_TRACE(t.ini + " box at " + std::to_string(t.box.left) + "," + std::to_string(t.box.top));
    EXPECT_TRUE(QRect(QPoint(0, 0), window_size(w)).contains(box));
    for (const auto& [key, r] : placements(w)) {
      if (!r.intersects(box)) continue;
      // Only a dialog's close cross may sit in the corner of the title box; the
      // longest title, centred, must end before it.
      const bool title = t.box.left == L::kDialogTitle.left && t.box.top == L::kDialogTitle.top;
      EXPECT_TRUE(title && r.width() <= 32) << "key " << key << " covers the text box";
      if (!title) continue;
      for (const mt::LanguageModule& lang : languages())
        for (int id : t.ids) {
          const int width = QFontMetrics(arial(t.px)).horizontalAdvance(QString::fromStdU16String(lang.text(id)));
          EXPECT_LT(box.center().x() + width / 2 + 4, r.left()) << "text " << id << " reaches the close button";
        }
    }
  }
  for (const L::Box& b : {L::kOsdNumber, L::kOsdLine1, L::kOsdLine2, L::kOsdMessage})
    EXPECT_TRUE(QRect(QPoint(0, 0), picture("osd_normal.jpg").size()).contains(box_rect(b)));
}

TEST(TextBoxes, HoldTheirTextsInEveryLanguage) {
  for (const Text& t : texts()) {
    const QFontMetrics fm(arial(t.px));
    const QRect box = box_rect(t.box);
    EXPECT_GE(box.height(), fm.height()) << t.ini << " box " << t.box.left << "," << t.box.top;
    for (const mt::LanguageModule& lang : languages())
      for (int id : t.ids) {
        const QString text = QString::fromStdU16String(lang.text(id));
        ASSERT_FALSE(text.isEmpty()) << id;
        if (t.wrap) {
          const QRect need = fm.boundingRect(QRect(0, 0, box.width(), 1000), Qt::TextWordWrap, text);
          EXPECT_LE(need.height(), box.height()) << id << " '" << text.toStdString() << "' in " << t.ini;
          EXPECT_LE(need.width(), box.width()) << id << " '" << text.toStdString() << "' in " << t.ini;
        } else {
          EXPECT_LE(fm.horizontalAdvance(text), box.width()) << id << " '" << text.toStdString() << "' in " << t.ini;
        }
      }
  }
}

// Captions the windows write on their controls, at the caption size the
// controls use by default (23 units, about 20 pixels): each fits inside its
// button's body with a little room on both sides.
TEST(Captions, FitTheirButtonsInEveryLanguage) {
  struct Caption {
    std::string ini;
    std::vector<int> keys;
    std::vector<int> ids;  // one per key, or one for all
  };
  const std::vector<Caption> captions = {
      {"skin_main.ini", range(1, 5), range(106, 110)},
      {"skin_main.ini", {7, 9, 10, 11, 12}, {114, 112, 112, 113, 115}},
      {"skin_sens.ini", range(1, 5), range(147, 151)},
      {"skin_light.ini", range(1, 8), {209, 210, 211, 212, 213, 214, 216, 215}},
      {"skin_profile.ini", range(1, 3), range(225, 227)},
      {"skin_profile.ini", range(7, 9), {218}},
      {"skin_profile.ini", range(10, 12), {219}},
      {"skin_profile.ini", range(13, 15), {220}},
      {"skin_profile.ini", range(16, 18), {221}},
      {"skin_Restore.ini", {1, 2, 4}, {803, 804, 805}},
      {"skin_single_key.ini", {1, 2}, {803, 804}},
      {"skin_shortcut.ini", range(2, 3), {803, 804}},
      {"skin_shortcut.ini", range(5, 9), range(253, 257)},
      {"skin_ProgSel.ini", {3, 4}, {263, 264}},
      {"skin_macro_manager.ini", {1, 2, 4, 5, 7, 7, 8, 9}, {277, 278, 273, 274, 280, 281, 282, 283}},
  };
  const QFontMetrics fm(arial(20));
  for (const Caption& c : captions) {
    const auto places = placements(files_of(c.ini));
    for (size_t i = 0; i < c.keys.size(); ++i) {
      const int id = c.ids.size() == 1 ? c.ids[0] : c.ids[i];
      const int room = places.at(c.keys[i]).width() - 2 * (3 + 6);
      for (const mt::LanguageModule& lang : languages()) {
        const QString text = QString::fromStdU16String(lang.text(id));
        EXPECT_LE(fm.horizontalAdvance(text), room)
            << c.ini << " key " << c.keys[i] << ": " << id << " '" << text.toStdString() << "'";
      }
    }
  }
}

// Slot captions, "  %d. %s" in Arial 18, for every function name the button
// page writes there (key names, macro names and program names are the
// user's, and the page shortens what does not fit).
TEST(Captions, SlotsHoldEveryFunctionNameInEveryLanguage) {
  std::vector<int> ids = {1010, 1093, 1094, 1095, 1097, 1098};
  for (const auto& [from, to] : std::vector<std::pair<int, int>>{
           {1005, 1008}, {1011, 1016}, {1018, 1020}, {1024, 1030}, {1032, 1039}, {1041, 1052}, {1071, 1088},
           {1090, 1092}})
    for (int id = from; id <= to; ++id) ids.push_back(id);
  const QFontMetrics fm(arial(18));
  const auto places = placements(files_of("skin_Overlook.ini"));
  for (int key : join(range(1, 7), {15, 16})) {
    // The caption starts at the slot's left edge; the connector dot keeps
    // the last 22 pixels.
    const int room = places.at(key).width() - 3 - 22;
    for (const mt::LanguageModule& lang : languages())
      for (int id : ids) {
        const QString text = QString("  9. ") + QString::fromStdU16String(lang.text(id));
        EXPECT_LE(fm.horizontalAdvance(text), room) << "slot key " << key << ": '" << text.toStdString() << "'";
      }
  }
}

// ---- The art ------------------------------------------------------------------

// Mean absolute difference of two equal-size areas, per channel.
double difference(const QImage& a, const QImage& b, const QRect& r) {
  double sum = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
    }
  return sum / (3.0 * r.width() * r.height());
}

// The controls whose look changes with the state (the others are drawn by
// the windows, or are pictures they fill).
const std::map<std::string, std::vector<int>>& stateful() {
  static const std::map<std::string, std::vector<int>> m = {
      {"skin_main.ini", join(range(1, 13), {})},
      {"skin_Overlook.ini", join(range(1, 7), {15, 16})},
      {"skin_sens.ini", join(join(range(1, 5), {7, 8, 9, 10, 11, 13, 14, 15, 16, 17}), range(18, 22))},
      {"skin_light.ini", join(range(1, 34), {38, 39, 40, 41})},
      {"skin_profile.ini", join(range(1, 3), range(7, 18))},
      {"Skin_Update.ini", {1}},
      {"skin_Restore.ini", range(1, 4)},
      {"skin_shortcut.ini", join(range(2, 9), {})},
      {"skin_ProgSel.ini", range(1, 4)},
      {"skin_macro_manager.ini", {1, 2, 3, 4, 5, 7, 8, 9}},
  };
  return m;
}

struct StatePictures {
  QImage normal, over, down, disable;
};

StatePictures state_pictures(const WindowFiles& w) {
  StatePictures s;
  if (w.form == Form::screen) {
    auto named = screen_pictures(w.ini);
    s = {picture(named["Normal"]), picture(named["Over"]), picture(named["Down"]), picture(named["Disable"])};
  } else {
    auto pick = [&](const char* part) {
      for (const std::string& p : w.pictures)
        if (QString::fromStdString(p).contains(part, Qt::CaseInsensitive)) return picture(p);
      return QImage();
    };
    s = {pick("normal"), pick("over"), pick("down"), pick("disable")};
  }
  for (QImage* i : {&s.normal, &s.over, &s.down, &s.disable}) *i = i->convertToFormat(QImage::Format_RGB32);
  return s;
}

TEST(Art, EveryStateShowsOnItsControlsAndNowhereElse) {
  for (const auto& [ini, keys] : stateful()) {
    SCOPED_TRACE(ini);
    const WindowFiles& w = files_of(ini);
    const StatePictures s = state_pictures(w);
    const auto places = placements(w);
    for (int key : keys) {
      const QRect r = places.at(key);
      // Over and down each look different from normal, and from each other.
      EXPECT_GT(difference(s.normal, s.over, r), 2.0) << "over of key " << key;
      EXPECT_GT(difference(s.normal, s.down, r), 2.0) << "down of key " << key;
      EXPECT_GT(difference(s.over, s.down, r), 2.0) << "over and down of key " << key;
      if (!s.disable.isNull()) {
        EXPECT_GT(difference(s.normal, s.disable, r), 1.0) << "disable of key " << key;
      }
    }
    // Outside the placements the state pictures are the same picture: a
    // control drawn off its placement (or a glow spilling out of it) would
    // show as a difference here.
    QImage inside(s.normal.size(), QImage::Format_Grayscale8);
    inside.fill(0);
    for (const auto& [key, r] : places)
      for (int y = std::max(0, r.top() - 2); y <= std::min(inside.height() - 1, r.bottom() + 2); ++y)
        for (int x = std::max(0, r.left() - 2); x <= std::min(inside.width() - 1, r.right() + 2); ++x)
          inside.setPixel(x, y, 255);
    for (const QImage* other : {&s.over, &s.down, &s.disable}) {
      if (other->isNull()) continue;
      long outside = 0, changed = 0;
      for (int y = 0; y < inside.height(); ++y)
        for (int x = 0; x < inside.width(); ++x) {
          if (qGray(inside.pixel(x, y)) != 0) continue;
          ++outside;
          const QRgb p = s.normal.pixel(x, y), q = other->pixel(x, y);
          if (std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q)) > 36)
            ++changed;
        }
      EXPECT_LT(changed, outside / 2000 + 1) << "pixels that change outside every placement";
    }
  }
}

TEST(Art, MessageDialogsWithoutTheSecondConfirmShowNoButtonThere) {
  // The restore dialog's fourth button has no body in the normal picture, so
  // the message dialogs that share the picture show an even footer there.
  const QImage normal = state_pictures(files_of("skin_Restore.ini")).normal;
  const QRect r = placements(files_of("skin_Restore.ini")).at(4);
  long sum = 0, sq = 0, n = 0;
  for (int y = r.top() + 3; y < r.bottom() - 3; ++y)
    for (int x = r.left() + 3; x < r.right() - 3; ++x) {
      const int g = qGray(normal.pixel(x, y));
      sum += g;
      sq += g * g;
      ++n;
    }
  const double mean = double(sum) / n, var = double(sq) / n - mean * mean;
  EXPECT_LT(var, 4.0);
}

TEST(Art, PaletteButtonsShowThePaletteColours) {
  const std::vector<QRgb> palette = {
      qRgb(255, 0, 255),   qRgb(255, 0, 0),     qRgb(250, 103, 33),  qRgb(255, 255, 0),   qRgb(171, 252, 59),
      qRgb(0, 255, 0),     qRgb(15, 155, 53),   qRgb(65, 202, 156),  qRgb(255, 255, 116), qRgb(56, 202, 59),
      qRgb(60, 250, 250),  qRgb(0, 255, 255),   qRgb(40, 200, 255),  qRgb(55, 103, 151),  qRgb(0, 0, 255),
      qRgb(101, 62, 249),  qRgb(152, 35, 251),  qRgb(202, 63, 250),  qRgb(255, 103, 155), qRgb(203, 53, 20),
      qRgb(102, 106, 197), qRgb(10, 55, 148),   qRgb(252, 43, 38),   qRgb(24, 150, 253),  qRgb(61, 202, 110),
      qRgb(104, 104, 255)};
  const StatePictures s = state_pictures(files_of("skin_light.ini"));
  const auto places = placements(files_of("skin_light.ini"));
  for (int i = 0; i < 26; ++i) {
    const QPoint c = places.at(9 + i).center();
    for (const QImage* img : {&s.normal, &s.over}) {
      const QRgb px = img->pixel(c);
      // JPEG leaves a flat area within a few steps of its colour.
      EXPECT_LE(std::abs(qRed(px) - qRed(palette[i])), 8) << "palette " << i;
      EXPECT_LE(std::abs(qGreen(px) - qGreen(palette[i])), 8) << "palette " << i;
      EXPECT_LE(std::abs(qBlue(px) - qBlue(palette[i])), 8) << "palette " << i;
    }
  }
}

// Pixels clearly in the accent red.
long red_pixels(const QImage& img) {
  long n = 0;
  const QImage rgb = img.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < rgb.height(); ++y)
    for (int x = 0; x < rgb.width(); ++x) {
      const QRgb p = rgb.pixel(x, y);
      if (qRed(p) > 150 && qRed(p) > 2 * qGreen(p) + 20 && qRed(p) > 2 * qBlue(p) + 20) ++n;
    }
  return n;
}

TEST(Art, SpeedPicturesGrowAndMousePicturesEachLightOnePart) {
  for (const char* prefix : {"z", "zhizhen"}) {
    long previous = -1;
    for (int n = 0; n <= 10; ++n) {
      char name[24];
      std::snprintf(name, sizeof name, "%s%02d.jpg", prefix, n);
      const long lit = red_pixels(picture(name));
      EXPECT_GT(lit, previous) << name << " shows no more than the one before";
      previous = lit;
    }
  }
  const QImage none = picture("Mouse/mouse.jpg").convertToFormat(QImage::Format_RGB32);
  const long base = red_pixels(none);
  std::vector<QImage> lit;
  for (int n = 1; n <= 9; ++n) {
    const QImage img = picture("Mouse/mouse_" + std::to_string(n) + ".jpg").convertToFormat(QImage::Format_RGB32);
    EXPECT_GT(red_pixels(img), base + 40) << "mouse_" << n << " lights nothing";
    for (const QImage& other : lit) EXPECT_GT(difference(img, other, img.rect()), 0.1) << "mouse_" << n;
    lit.push_back(img);
  }
}

// High-frequency detail: the sum of differences between neighbours.
double detail(const QImage& img) {
  double sum = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 1; x < img.width(); ++x) sum += std::abs(qGray(img.pixel(x, y)) - qGray(img.pixel(x - 1, y)));
  return sum;
}

TEST(Art, DoubleSizePicturesAreDrawnAtTheirSize) {
  // Scaling the plain picture up leaves it soft; drawing at twice the size is
  // sharper.
  for (const std::string& name : {std::string("restore_normal.jpg"), std::string("Basic_Settings_normal.jpg"),
                                  std::string("Mouse/mouse_1.jpg")}) {
    const QImage small = picture(name).convertToFormat(QImage::Format_RGB32);
    const QImage big = picture(at2x(name)).convertToFormat(QImage::Format_RGB32);
    const QImage scaled = small.scaled(small.size() * 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_GT(detail(big), 1.15 * detail(scaled)) << name;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

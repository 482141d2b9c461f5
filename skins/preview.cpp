#include "skins/preview.h"

#include <QDir>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <map>
#include <numbers>
#include <optional>

#include "common/language_module.h"
#include "platform/ini_file.h"
#include "skins/art_kit.h"
#include "skins/skin_plan.h"
#include "skins/skin_writer.h"

namespace skins {

namespace {

QString qs(const std::u16string& s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }

// A window as the program would load it: pictures and placements read back
// from the folder.
struct Loaded {
  QImage normal, over, down, disable;
  std::map<int, QRect> place;
};

std::optional<QRect> parse_placement(const std::u16string& value) {
  const QStringList parts = qs(value).split(',');
  if (parts.size() < 5) return std::nullopt;
  return QRect(parts[1].toInt(), parts[2].toInt(), parts[3].toInt(), parts[4].toInt());
}

Loaded load(const std::string& folder, const Window& w) {
  const Window& art = w.art_of.empty() ? w : window(w.art_of);
  Loaded l;
  auto img = [&](const std::string& name) {
    return name.empty() ? QImage() : QImage(QString::fromStdString(folder + "/" + name));
  };
  l.normal = img(art.normal);
  l.over = img(art.over);
  l.down = img(art.down);
  l.disable = art.disable.empty() ? l.normal : img(art.disable);
  platform::IniDocument doc;
  doc.load(folder + "/" + w.ini);
  const std::u16string section = w.form == Form::button_info ? u"BUTTONINFO" : u"BUTTONPOS";
  for (const Control& c : w.controls) {
    const std::u16string key(QString::number(c.key).toStdU16String());
    if (auto v = doc.raw(section, key))
      if (auto r = parse_placement(*v)) l.place[c.key] = *r;
  }
  return l;
}

QFont arial(int px) {
  QFont f("Arial");
  f.setPixelSize(px);
  f.setWeight(QFont::Normal);
  return f;
}

const QColor kCaption(0xf5, 0xf5, 0xf5), kCaptionRed(255, 0, 0), kCaptionGrey(0x96, 0x96, 0x96),
    kLabel(190, 190, 190);

struct Caption {
  std::string window;
  int key;
  int text_id;          // 0: literal
  const char16_t* literal;
  int px;
  Qt::Alignment align;
};

// What the windows will write on their controls, for the look of it. Control
// captions use the default caption size; slots use 18.
const std::vector<Caption>& captions() {
  static const std::vector<Caption> c = [] {
    std::vector<Caption> v;
    const auto centre = Qt::AlignCenter;
    for (int i = 0; i < 5; ++i) v.push_back({"main", i + 1, 106 + i, nullptr, 20, centre});
    v.push_back({"main", 7, 114, nullptr, 20, centre});
    v.push_back({"main", 9, 112, nullptr, 20, centre});
    v.push_back({"main", 10, 112, nullptr, 20, centre});
    v.push_back({"main", 11, 113, nullptr, 20, centre});
    v.push_back({"main", 12, 115, nullptr, 20, centre});
    v.push_back({"main", 13, 101, nullptr, 18, Qt::AlignRight | Qt::AlignVCenter});
    for (int i = 0; i < 5; ++i) v.push_back({"sens", i + 1, 147 + i, nullptr, 18, centre});
    const char16_t* rates[4] = {u"125", u"250", u"500", u"1000"};
    for (int i = 0; i < 4; ++i) v.push_back({"sens", 18 + i, 0, rates[i], 17, centre});
    for (int i = 0; i < 3; ++i) v.push_back({"light", 1 + i, 209 + i, nullptr, 18, centre});
    for (int i = 0; i < 3; ++i) v.push_back({"light", 4 + i, 212 + i, nullptr, 18, centre});
    v.push_back({"light", 7, 216, nullptr, 18, centre});
    v.push_back({"light", 8, 215, nullptr, 18, centre});
    for (int i = 0; i < 3; ++i) {
      v.push_back({"profile", 1 + i, 225 + i, nullptr, 20, Qt::AlignLeft | Qt::AlignVCenter});
      v.push_back({"profile", 7 + i, 218, nullptr, 18, centre});
      v.push_back({"profile", 10 + i, 219, nullptr, 18, centre});
      v.push_back({"profile", 13 + i, 220, nullptr, 18, centre});
      v.push_back({"profile", 16 + i, 221, nullptr, 18, centre});
    }
    for (const char* d : {"restore", "warning", "single_key"}) {
      v.push_back({d, 1, 803, nullptr, 18, centre});
      v.push_back({d, 2, 804, nullptr, 18, centre});
    }
    v.push_back({"restore", 4, 805, nullptr, 18, centre});
    v.push_back({"shortcut", 2, 803, nullptr, 18, centre});
    v.push_back({"shortcut", 3, 804, nullptr, 18, centre});
    for (int i = 0; i < 5; ++i) v.push_back({"shortcut", 5 + i, 253 + i, nullptr, 18, centre});
    v.push_back({"progsel", 3, 263, nullptr, 18, centre});
    v.push_back({"progsel", 4, 264, nullptr, 18, centre});
    v.push_back({"macro", 1, 277, nullptr, 18, centre});
    v.push_back({"macro", 2, 278, nullptr, 18, centre});
    v.push_back({"macro", 4, 273, nullptr, 18, centre});
    v.push_back({"macro", 5, 274, nullptr, 18, centre});
    v.push_back({"macro", 7, 280, nullptr, 18, centre});
    v.push_back({"macro", 8, 282, nullptr, 18, centre});
    v.push_back({"macro", 9, 283, nullptr, 18, centre});
    return v;
  }();
  return c;
}

// Slot captions as the button page writes them: "  %d. %s".
QString slot_caption(const mt::LanguageModule& lang, int display) {
  static const std::map<int, int> name_of = {{1, 1005}, {2, 1006}, {3, 1007}, {4, 1011}, {5, 1012},
                                             {6, 1094}, {7, 1013}, {8, 1090}, {9, 1067}};
  return QString("  %1. %2").arg(display).arg(qs(lang.text(name_of.at(display))));
}

QColor slot_colour(int key) {
  switch (key) {
    case 1: case 2: return QColor(255, 0, 0);
    case 3: return QColor(255, 255, 0);
    case 4: return QColor(255, 127, 39);
    case 5: case 16: return QColor(255, 0, 255);
    case 6: return QColor(0, 255, 255);
    default: return QColor(0, 255, 130);
  }
}

void draw_box_text(QPainter& p, const TextBox& t, const QString& text, const QColor& colour) {
  p.setFont(arial(t.px));
  p.setPen(colour);
  const QRect r(t.box.left, t.box.top, t.box.width(), t.box.height());
  switch (t.align) {
    case TextAlign::anchored: p.drawText(QPoint(r.left(), r.top() + QFontMetrics(p.font()).ascent()), text); break;
    case TextAlign::centred: p.drawText(r, Qt::AlignCenter | Qt::TextWordWrap, text); break;
    case TextAlign::left_middle: p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, text); break;
    case TextAlign::right_middle: p.drawText(r, Qt::AlignRight | Qt::AlignVCenter | Qt::TextWordWrap, text); break;
  }
}

struct Scene {
  std::string id;          // preview file name
  std::string window;      // plan window
  std::map<int, State> states;
  std::map<int, int> box_texts;  // index in texts -> text id, to override
  std::vector<int> hidden;  // keys the dialog does not have
};

void paint_dial_value(QPainter& p, const QRect& rect, int n) {
  const QPointF c = QRectF(rect).center();
  constexpr double r = 94;
  QPainterPath pie;
  pie.moveTo(c);
  pie.arcTo(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), 248, n * (-230.0 / 12));
  pie.closeSubpath();
  p.fillPath(pie, QColor(255, 0, 0));
  const double a = (248 + n * (-230.0 / 12)) * std::numbers::pi / 180.0;
  p.setPen(QPen(QColor(255, 0, 0), 4, Qt::SolidLine, Qt::FlatCap));
  p.drawLine(c, c + QPointF(r * std::cos(a), -r * std::sin(a)));
}

void fill_colour_picker(QPainter& p, const Loaded& l) {
  if (l.place.count(35)) {
    const QRect f = l.place.at(35);
    QImage field(f.size(), QImage::Format_RGB32);
    for (int y = 0; y < f.height(); ++y)
      for (int x = 0; x < f.width(); ++x) {
        const double s = double(x) / (f.width() - 1), v = 1.0 - double(y) / (f.height() - 1);
        field.setPixelColor(x, y, QColor::fromHsvF(0.0, s, v));
      }
    p.drawImage(f.topLeft(), field);
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(f.right() - 20, f.top() + 20), 5, 5);
    p.setPen(Qt::black);
    p.drawRect(f.adjusted(0, 0, -1, -1));
  }
  if (l.place.count(36)) {
    const QRect s = l.place.at(36);
    for (int y = 0; y < s.height(); ++y) {
      p.setPen(QColor::fromHsvF(1.0 - double(y) / s.height(), 1, 1));
      p.drawLine(s.left() + 1, s.top() + y, s.right() - 1, s.top() + y);
    }
    p.setPen(Qt::white);
    p.drawLine(s.left(), s.bottom() - 2, s.right(), s.bottom() - 2);
  }
  if (l.place.count(37)) {
    const QRect w = l.place.at(37);
    p.fillRect(w, Qt::black);
    p.fillRect(w.adjusted(2, 2, -1, -1), QColor(255, 0, 0));
  }
}

void draw_field_text(QPainter& p, const QRect& r, const QString& text, Qt::Alignment align = Qt::AlignCenter) {
  p.setFont(arial(16));
  p.setPen(Qt::white);
  p.drawText(r.adjusted(8, 0, -8, 0), align, text);
}

QImage compose(const Scene& scene, const std::string& folder, const mt::LanguageModule& lang, bool outline,
               const QImage& page_inside) {
  const Window& w = window(scene.window);
  const Loaded l = load(folder, w);
  QImage out = l.normal.convertToFormat(QImage::Format_RGB32);
  QPainter p(&out);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  auto hidden = [&](int key) {
    return std::find(scene.hidden.begin(), scene.hidden.end(), key) != scene.hidden.end();
  };
  // State cuts.
  for (const auto& [key, state] : scene.states) {
    if (!l.place.count(key)) continue;
    const QRect r = l.place.at(key);
    const QImage& src = state == State::over ? l.over : state == State::down ? l.down : l.disable;
    p.drawImage(r.topLeft(), src.copy(r));
  }
  const QImage thumb(QString::fromStdString(folder + "/slider.bmp"));
  // What the windows draw themselves.
  for (const Control& c : w.controls) {
    if (!l.place.count(c.key) || hidden(c.key)) continue;
    const QRect r = l.place.at(c.key);
    switch (c.kind) {
      case Kind::slider: {
        const double t = 0.15 + 0.07 * (c.key % 10);
        const int x = r.left() + static_cast<int>((r.width() - thumb.width()) * t);
        p.drawImage(QPoint(x, r.top() + (r.height() - thumb.height()) / 2), thumb);
        break;
      }
      case Kind::spin: {
        const QString v = scene.window == "light" ? QString::number(c.key == 38 ? 255 : 0)
                          : c.key == 7 ? QString("1750") : QString("3");
        draw_field_text(p, r.adjusted(-5, 0, r.width() < 70 ? -13 : -20, 0), v, Qt::AlignRight | Qt::AlignVCenter);
        break;
      }
      case Kind::field:
        // The key field paints white on black.
        if (scene.window != "macro") p.fillRect(r, Qt::black);
        draw_field_text(p, r, scene.window == "macro" ? "5" : "Left Shift");
        break;
      case Kind::list: {
        p.setFont(arial(16));
        const QStringList rows = c.key == 6 ? QStringList{"Build order", "Reload cancel", "Quick chat"}
                                            : QStringList{"Left Ctrl", "A", "40 ms", "A", "Left Ctrl"};
        for (int i = 0; i < rows.size(); ++i) {
          const QRect row(r.left() + 2, r.top() + 2 + i * 20, r.width() - 4, 20);
          if (i == 0) p.fillRect(row, QColor(255, 10, 10));
          int x = row.left() + 6;
          if (c.key == 11) {
            const int icon = i == 2 ? 165 : (i < 2 ? 163 : 164);
            const QImage ic(QString::fromStdString(folder + "/Icons/" + std::to_string(icon) + ".png"));
            p.drawImage(QPoint(x, row.top() + 2), ic);
            x += 22;
          }
          p.setPen(Qt::white);
          p.drawText(QRect(x, row.top(), row.width() - x, row.height()), Qt::AlignVCenter, rows[i]);
        }
        break;
      }
      case Kind::dial: paint_dial_value(p, r, 7); break;
      case Kind::picture: {
        QString pic;
        if (scene.window == "sens" && c.key == 23) pic = "z04.jpg";
        if (scene.window == "sens" && c.key == 24) pic = "zhizhen06.jpg";
        if (scene.window == "button") pic = scene.states.count(4) ? "Mouse/mouse_4.jpg" : "Mouse/mouse.jpg";
        if (!pic.isEmpty()) p.drawImage(r.topLeft(), QImage(QString::fromStdString(folder + "/") + pic));
        if (scene.window == "main" && c.key == 20 && !page_inside.isNull()) {
          // The page, shaped by its mask.
          const QImage mask(QString::fromStdString(folder + "/middle_mask.bmp"));
          QImage shaped = page_inside.convertToFormat(QImage::Format_ARGB32);
          for (int y = 0; y < shaped.height() && y < mask.height(); ++y)
            for (int x = 0; x < shaped.width() && x < mask.width(); ++x)
              if (mask.pixel(x, y) == qRgb(255, 255, 255)) shaped.setPixel(x, y, 0);
          p.drawImage(r.topLeft(), shaped);
        }
        break;
      }
      case Kind::text: {
        p.setFont(arial(16));
        p.setPen(kLabel);
        p.drawText(r, Qt::AlignCenter, "1.05");
        break;
      }
      default: break;
    }
  }
  if (scene.window == "light") fill_colour_picker(p, l);
  if (scene.window == "progsel") {
    const mt::layout::Box& f = mt::layout::kChooserPathField;
    draw_field_text(p, QRect(f.left, f.top, f.width(), f.height()), "/usr/games/steam", Qt::AlignLeft | Qt::AlignVCenter);
  }
  // Captions.
  for (const Caption& cap : captions()) {
    if (cap.window != scene.id && cap.window != scene.window) continue;
    if (cap.window == "restore" && scene.id == "warning") continue;
    if (!l.place.count(cap.key) || hidden(cap.key)) continue;
    const QRect r = l.place.at(cap.key);
    const State s = scene.states.count(cap.key) ? scene.states.at(cap.key) : State::normal;
    QColor colour = s == State::normal ? kCaption : s == State::disable ? kCaptionGrey : kCaptionRed;
    QString text = cap.text_id ? qs(lang.text(cap.text_id)) : QString::fromUtf16(cap.literal);
    p.setFont(arial(cap.px));
    p.setPen(colour);
    QRect area = r.adjusted(6, 0, -6, 0);
    if (scene.window == "main" && cap.key == 13) area = r.adjusted(30, 0, -14, 0);
    if (scene.window == "sens" && cap.key >= 18) area = r.adjusted(20, 0, -4, -2);
    if (scene.window == "profile" && cap.key <= 3) area = r.adjusted(22, 0, -40, 0);
    if (s == State::down) area.translate(1, 1);
    p.drawText(area, cap.align, text);
  }
  if (scene.window == "button") {
    for (const SlotLink& link : slot_links()) {
      if (!l.place.count(link.key)) continue;
      QRect r = l.place.at(link.key).adjusted(4, 0, -20, 0);
      if (scene.states.count(link.key) && scene.states.at(link.key) == State::down) r.translate(1, 1);
      p.setFont(arial(18));
      p.setPen(slot_colour(link.key));
      p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, slot_caption(lang, link.display));
    }
  }
  // Fixed texts.
  for (size_t i = 0; i < w.texts.size(); ++i) {
    const TextBox& t = w.texts[i];
    int id = t.text_id;
    if (scene.box_texts.count(static_cast<int>(i))) id = scene.box_texts.at(static_cast<int>(i));
    QString text = id ? qs(lang.text(id)) : QString();
    if (t.what == "firmware version") text.clear();
    if (t.what == "block usage") text = "96 / 128 bytes\n2 rows left out";
    if (t.what == "note") text = "Other windows still receive keys.";
    const bool red = id == 120 || id == 208;
    draw_box_text(p, t, text, red ? kCaptionRed : kLabel);
  }
  if (outline) {
    p.setRenderHint(QPainter::Antialiasing, false);
    for (const TextBox& t : w.texts) {
      p.setPen(QPen(QColor(0, 220, 255), 1));
      p.setBrush(Qt::NoBrush);
      p.drawRect(t.box.left, t.box.top, t.box.width() - 1, t.box.height() - 1);
    }
    for (const auto& [key, r] : l.place) {
      if (hidden(key)) continue;
      p.setPen(QPen(QColor(255, 0, 255, 160), 1, Qt::DotLine));
      p.drawRect(r.adjusted(0, 0, -1, -1));
    }
  }
  return out;
}

QImage sheet(std::vector<QImage> images, int columns, int gap = 8) {
  // Qt gives "@2x" files a device pixel ratio of 2; here every pixel counts.
  for (QImage& i : images) i.setDevicePixelRatio(1);
  int w = 0, h = 0;
  for (const QImage& i : images) {
    w = std::max(w, i.width());
    h = std::max(h, i.height());
  }
  const int rows = (static_cast<int>(images.size()) + columns - 1) / columns;
  QImage out(columns * (w + gap) + gap, rows * (h + gap) + gap, QImage::Format_RGB32);
  out.fill(QColor(0x40, 0x40, 0x40));
  QPainter p(&out);
  for (size_t i = 0; i < images.size(); ++i)
    p.drawImage(gap + (i % columns) * (w + gap), gap + (i / columns) * (h + gap), images[i]);
  return out;
}

}  // namespace

int write_preview(const std::string& out_folder, const std::string& skins_folder, const std::string& lang_folder) {
  QDir().mkpath(QString::fromStdString(out_folder));
  int count = 0;
  auto save = [&](const QImage& img, const std::string& name) {
    if (img.save(QString::fromStdString(out_folder + "/" + name + ".png"))) ++count;
  };
  const std::vector<Scene> scenes = {
      {"button", "button", {{4, State::over}, {15, State::down}}, {}, {}},
      {"sens", "sens", {{3, State::down}, {20, State::down}, {10, State::over}, {17, State::down}, {16, State::over}}, {}, {}},
      {"light", "light", {{2, State::down}, {5, State::down}, {8, State::down}, {15, State::down}, {20, State::over}, {4, State::over}}, {}, {}},
      {"profile", "profile", {{2, State::down}, {7, State::over}, {10, State::disable}, {13, State::disable}, {16, State::disable},
                              {12, State::disable}, {15, State::disable}, {18, State::disable}}, {}, {}},
      {"home", "home", {}, {}, {}},
      {"restore", "restore", {{1, State::over}}, {}, {}},
      {"warning", "restore", {{2, State::over}}, {{0, 250}, {1, 251}}, {4}},
      {"single_key", "single_key", {}, {}, {}},
      {"shortcut", "shortcut", {{7, State::down}, {5, State::over}}, {}, {}},
      {"progsel", "progsel", {{2, State::over}}, {}, {}},
      {"macro", "macro", {{8, State::down}, {9, State::down}, {4, State::over}}, {}, {}},
  };
  for (const char* lang_name : {"EN", "Ru"}) {
    mt::LanguageModule lang;
    lang.load(lang_folder + "/Lang_" + lang_name + ".lang");
    const std::string suffix = std::string("_") + (lang_name[0] == 'E' ? "en" : "ru");
    QImage button_page;
    for (const Scene& s : scenes) {
      const QImage img = compose(s, skins_folder, lang, false, QImage());
      if (s.id == "button") button_page = img;
      save(img, s.id + suffix);
      if (lang_name[0] == 'E') save(compose(s, skins_folder, lang, true, QImage()), s.id + "_boxes");
    }
    Scene main{"main", "main", {{2, State::down}, {9, State::over}}, {}, {}};
    save(compose(main, skins_folder, lang, false, button_page), "main" + suffix);
    if (lang_name[0] == 'E') save(compose(main, skins_folder, lang, true, button_page), "main_boxes");
  }
  // Every state of every window side by side.
  for (const Window& w : skin_plan()) {
    if (!w.art_of.empty()) continue;
    std::vector<QImage> states;
    for (const std::string& name : {w.normal, w.over, w.down, w.disable})
      if (!name.empty()) states.push_back(QImage(QString::fromStdString(skins_folder + "/" + name)));
    if (w.size.width() > 800)
      for (QImage& i : states) i = i.scaledToWidth(w.size.width() / 2, Qt::SmoothTransformation);
    save(sheet(states, 2), w.id + "_states");
  }
  // Mouse pictures, speed pictures, icons.
  {
    std::vector<QImage> mice{QImage(QString::fromStdString(skins_folder + "/Mouse/mouse.jpg"))};
    for (int n = 1; n <= 9; ++n)
      mice.push_back(QImage(QString::fromStdString(skins_folder + "/Mouse/mouse_" + std::to_string(n) + ".jpg")));
    save(sheet(mice, 5), "mouse_pictures");
    std::vector<QImage> speed;
    for (const char* prefix : {"z", "zhizhen"})
      for (int n = 0; n <= 10; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "/%s%02d.jpg", prefix, n);
        speed.push_back(QImage(QString::fromStdString(skins_folder + name)));
      }
    save(sheet(speed, 11, 6), "speed_pictures");
    std::vector<QImage> icons;
    for (int id = 163; id <= 166; ++id) {
      QImage big(QString::fromStdString(skins_folder + "/Icons/" + std::to_string(id) + "@2x.png"));
      big.setDevicePixelRatio(1);
      QImage on_black(48, 48, QImage::Format_RGB32);
      on_black.fill(Qt::black);
      QPainter(&on_black).drawImage(8, 8, big);
      icons.push_back(on_black);
    }
    for (int px : {16, 24, 32, 48, 64, 128}) {
      QImage on_dark(140, 140, QImage::Format_RGB32);
      on_dark.fill(QColor(0x30, 0x30, 0x30));
      QPainter(&on_dark).drawImage(6, 6, QImage(QString::fromStdString(skins_folder + "/Icons/hicolor/" +
                                                                        std::to_string(px) + "x" +
                                                                        std::to_string(px) + "/morvath-t60r.png")));
      icons.push_back(on_dark);
    }
    save(sheet(icons, 5), "icons");
    std::vector<QImage> misc{QImage(QString::fromStdString(skins_folder + "/osd_normal.jpg")),
                             QImage(QString::fromStdString(skins_folder + "/osd_normal@2x.jpg")),
                             QImage(QString::fromStdString(skins_folder + "/slider@2x.bmp")).scaled(56, 88),
                             QImage(QString::fromStdString(skins_folder + "/DPI2_mask@2x.bmp")),
                             QImage(QString::fromStdString(skins_folder + "/rgnbutton_mask@2x.bmp"))};
    save(sheet(misc, 2), "misc");
  }
  // A crop of a @2x picture, to judge its sharpness.
  {
    QImage big(QString::fromStdString(skins_folder + "/Basic_Settings_normal@2x.jpg"));
    big.setDevicePixelRatio(1);
    save(big.copy(QRect(280, 90, 620, 500)), "sens_2x_crop");
    QImage mouse(QString::fromStdString(skins_folder + "/Mouse/mouse_3@2x.jpg"));
    mouse.setDevicePixelRatio(1);
    save(mouse, "mouse_3_2x");
  }
  return count;
}

}  // namespace skins

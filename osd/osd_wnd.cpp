#include "osd/osd_wnd.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTextLayout>

#include <algorithm>
#include <cstdio>

#include "common/product.h"
#include "option/logic/text_layout.h"
#include "option/skin/skin_look.h"
#include "osd/osd_sources.h"
#include "platform/qt/qt_text.h"
#include "platform/text.h"
#include "platform/window_messages.h"

namespace mt {

namespace {

// The panel's size when the skin has no picture for it.
constexpr int kPanelWidth = 320;
constexpr int kPanelHeight = 96;

QRect to_qrect(const layout::Box& b) { return QRect(b.left, b.top, b.width(), b.height()); }

// Names and messages come from files and other programs: line breaks, tabs
// and other control characters are shown as blanks.
QString one_line(std::u16string_view text) {
  QString s = platform::to_qstring(text);
  for (QChar& c : s)
    if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
      c = QChar(u' ');
  return s;
}

Qt::WindowFlags panel_flags() {
  Qt::WindowFlags f = Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus |
                      Qt::WindowTransparentForInput;
  // On X11 a tool-tip window is one the window manager leaves alone: no
  // frame, no task-bar entry, never the focus, placed where it is put.
  // Wayland gives such windows only to a parent; there the panel is a small
  // tool window that the compositor places.
  f |= QGuiApplication::platformName().startsWith(QLatin1String("wayland")) ? Qt::Tool : Qt::ToolTip;
  return f;
}

}  // namespace

QString fit_line(const QString& text, const QFont& font, int width) {
  return QFontMetrics(font).elidedText(text, Qt::ElideRight, width);
}

QStringList message_lines(const QString& text, const QFont& font, const QSize& box) {
  const QFontMetrics fm(font);
  const int max_lines = std::max(1, box.height() / std::max(1, fm.lineSpacing()));
  QStringList lines;
  QTextLayout layout(text, font);
  layout.beginLayout();
  for (;;) {
    QTextLine line = layout.createLine();
    if (!line.isValid()) break;
    line.setLineWidth(box.width());
    if (lines.size() + 1 == max_lines) {
      lines << fm.elidedText(text.mid(line.textStart()).trimmed(), Qt::ElideRight, box.width());
      break;
    }
    // A word longer than the box is cut by the layout at the box's edge.
    lines << fit_line(text.mid(line.textStart(), line.textLength()).trimmed(), font, box.width());
  }
  layout.endLayout();
  return lines;
}

COsdWnd::COsdWnd(Setup setup)
    : QWidget(nullptr, panel_flags()),
      setup_(std::move(setup)),
      skin_(SkinFolder::skins_path(setup_.program_folder)),
      fade_(this, "windowOpacity") {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_X11DoNotAcceptFocus);
  setFocusPolicy(Qt::NoFocus);
  // The X window's own name, so the panel is easy to find on the display.
  setWindowTitle(QString::fromLatin1(OSD_WINDOW_TITLE));
  setFixedSize(kPanelWidth, kPanelHeight);
  hold_.setSingleShot(true);
  connect(&hold_, &QTimer::timeout, this, [this] { fade_out(); });
  fade_.setDuration(kOsdFadeMs);
  fade_.setStartValue(1.0);
  fade_.setEndValue(0.0);
  connect(&fade_, &QPropertyAnimation::finished, this, [this] { faded(); });
}

COsdWnd::~COsdWnd() {
  on_destroyed = nullptr;
  destroy();
}

platform::EndpointError COsdWnd::create() {
  if (window_.exists()) return platform::EndpointError::none;
  // Written before the window is there to be seen, so a Monitor started
  // once the display runs reads it at its start.
  const bool fresh = store_default_config(setup_.settings_folder);
  const platform::EndpointError e =
      window_.create(OSD_WINDOW_TITLE, [this](const platform::WindowMessage& m) { return window_proc(m); });
  if (e != platform::EndpointError::none) return e;
  if (fresh) std::fprintf(stderr, "osd: no settings stored yet: the defaults are in config.ini now\n");
  config_ = stored_config(setup_.settings_folder);
  std::fprintf(stderr, "osd: started, %s\n", describe(config_).c_str());
  return e;
}

void COsdWnd::destroy() {
  if (!window_.exists()) return;
  hold_.stop();
  fade_.stop();
  hide();
  window_.close();
  std::fprintf(stderr, "osd: ended\n");
  if (on_destroyed) on_destroyed();
}

std::intptr_t COsdWnd::window_proc(const platform::WindowMessage& m) {
  switch (m.msg) {
    case WM_OSD_SHOW:
      show_request(m.wparam, m.lparam);
      break;
    case WM_OSD_CONFIG:
      config_ = osd_config_of_lparam(m.lparam);
      std::fprintf(stderr, "osd: settings %s\n", describe(config_).c_str());
      if (!config_.enabled && isVisible()) {
        hold_.stop();
        fade_.stop();
        faded();
      }
      break;
    case platform::WM_CLOSE:
      window_.close_later([this] { destroy(); });
      break;
    default:
      break;
  }
  return 0;
}

const LanguageModule& COsdWnd::language() {
  // The language is the one the settings window saved last, so a switch
  // there shows here from the next change on.
  const int id = stored_language(setup_.settings_folder);
  if (!language_loaded_ || id != language_id_) {
    language_.load_for_language(setup_.program_folder, id);
    language_id_ = id;
    language_loaded_ = true;
  }
  return language_;
}

void COsdWnd::show_request(std::uintptr_t wparam, std::intptr_t lparam) {
  const OsdRequest r = osd_request(wparam, lparam);
  if (r.kind == OsdRequest::Kind::none) {
    std::fprintf(stderr, "osd: nothing to show for wParam %zu, lParam 0x%llx\n", static_cast<std::size_t>(wparam),
                 static_cast<unsigned long long>(static_cast<std::uintptr_t>(lparam)));
    return;
  }
  if (!config_.enabled) {
    std::fprintf(stderr, "osd: off by its settings, nothing shown\n");
    return;
  }
  if (r.kind == OsdRequest::Kind::profile) {
    const std::u16string name = profile_name(r.profile, setup_.settings_folder);
    show_content(profile_content(r.profile, language().text(kOsdProfileTextId), name));
    std::fprintf(stderr, "osd: shown profile %d \"%s\"\n", r.profile + 1, platform::utf16_to_utf8(name).c_str());
    return;
  }
  const std::u16string text = stored_message(setup_.settings_folder);
  if (text.empty()) {
    std::fprintf(stderr, "osd: no message stored, nothing shown\n");
    return;
  }
  show_content(message_content(text));
  std::fprintf(stderr, "osd: shown message (%zu units)\n", text.size());
}

void COsdWnd::load_look() {
  if (look_loaded_) return;
  look_loaded_ = true;
  if (QScreen* screen = QGuiApplication::primaryScreen()) skin_.set_device_pixel_ratio(screen->devicePixelRatio());
  SkinPictureNames names;
  names.mask = "osd_mask.bmp";
  names.normal = "osd_normal.jpg";
  const SkinPictureSet look = skin_.window_pictures(names);
  picture_ = look.normal;
  if (!look.size.isEmpty()) setFixedSize(look.size);
  if (!look.mask.isEmpty()) setMask(look.mask);
}

void COsdWnd::show_content(const OsdContent& content) {
  load_look();
  content_ = content;
  fade_.stop();
  setWindowOpacity(1.0);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    const OsdPoint at =
        osd_top_left({area.x(), area.y(), area.width(), area.height()}, width(), height(), config_.place);
    move(at.x, at.y);
  }
  show();
  raise();
  update();
  hold_.start(config_.display_ms);
}

void COsdWnd::fade_out() { fade_.start(); }

void COsdWnd::faded() {
  hide();
  setWindowOpacity(1.0);
  std::fprintf(stderr, "osd: hidden\n");
}

void COsdWnd::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::TextAntialiasing);
  if (!picture_.isNull())
    p.drawImage(QPoint(0, 0), picture_);
  else
    look::paint_fallback_surface(p, rect());

  const QColor bright(look::rgb_of_colorref(look::kCaptionNormal));
  const QColor label(look::kLabel);
  p.setPen(bright);
  p.setFont(look::design_font("Arial", layout::kOsdNumberPx, 700));
  p.drawText(to_qrect(layout::kOsdNumber), Qt::AlignCenter, platform::to_qstring(content_.badge));

  const int single = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
  if (content_.kind == OsdContent::Kind::profile) {
    const QFont first = look::design_font("Arial", layout::kOsdLine1Px);
    const QRect box1 = to_qrect(layout::kOsdLine1);
    p.setPen(label);
    p.setFont(first);
    p.drawText(box1, single, fit_line(one_line(content_.line1), first, box1.width()));
    const QFont second = look::design_font("Arial", layout::kOsdLine2Px, 700);
    const QRect box2 = to_qrect(layout::kOsdLine2);
    p.setPen(bright);
    p.setFont(second);
    p.drawText(box2, single, fit_line(one_line(content_.line2), second, box2.width()));
    return;
  }
  const QFont font = look::design_font("Arial", layout::kOsdMessagePx);
  const QRect box = to_qrect(layout::kOsdMessage);
  const QStringList lines = message_lines(one_line(content_.line1), font, box.size());
  const int spacing = QFontMetrics(font).lineSpacing();
  int y = box.top() + (box.height() - static_cast<int>(lines.size()) * spacing) / 2;
  p.setPen(bright);
  p.setFont(font);
  for (const QString& line : lines) {
    p.drawText(QRect(box.left(), y, box.width(), spacing), single, line);
    y += spacing;
  }
}

}  // namespace mt

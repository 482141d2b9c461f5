#include "option/performance_page.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyleHints>

#include "common/language_module.h"
#include "common/settings_record.h"
#include "option/logic/text_layout.h"
#include "option/skin/bitmap_btn.h"
#include "option/skin/hslider.h"
#include "option/skin/rgn_button.h"
#include "option/skin/skin_folder.h"
#include "option/skin/skin_look.h"
#include "option/skin/spin_wnd.h"
#include "platform/pointer_system.h"

namespace mt {
namespace {

constexpr char kDescription[] = "skin_sens.ini";
const SkinPictureNames kPictures{"middle_mask.bmp", "Basic_Settings_normal.jpg", "Basic_Settings_over.jpg",
                                 "Basic_Settings_down.jpg", "Basic_Settings_disable.jpg"};
constexpr char kPlainLevelMask[] = "DPI1_mask.bmp";
constexpr char kLevelInUseMask[] = "DPI2_mask.bmp";
constexpr char kThumb[] = "slider.bmp";

// The dial's sector and needle: the designed red, the needle 4 pixels wide.
constexpr QRgb kDialColour = qRgb(255, 0, 0);
constexpr int kNeedleWidth = 4;

constexpr int kLevelCaptionPx = 18;
// Clear of the rail at the plates' left and of the point at their right.
constexpr QMargins kLevelCaptionMargins(12, 0, 10, 0);
constexpr int kRateCaptionPx = 17;
// The rate buttons' pictures carry rising bars at their left.
constexpr QMargins kRateCaptionMargins(23, 0, 3, 2);
const QString kRateCaptions[4] = {QStringLiteral("125"), QStringLiteral("250"), QStringLiteral("500"),
                                  QStringLiteral("1000")};

QRect box_rect(const layout::Box& b) { return QRect(b.left, b.top, b.width(), b.height()); }

PixelRect pixel_rect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }

// The double-click test area: a marker the page moves with the double-click
// slider (the user does not drag it), and a target that lights up or goes
// dark at each double click, as fast as the double-click time now set asks.
class DoubleClickTest : public CDMarker {
 public:
  DoubleClickTest(QWidget* parent, int id) : CDMarker(parent, id) { setFocusPolicy(Qt::NoFocus); }
  bool lit() const { return lit_; }

 protected:
  void mousePressEvent(QMouseEvent* e) override { e->accept(); }
  void mouseMoveEvent(QMouseEvent* e) override { e->accept(); }
  void mouseReleaseEvent(QMouseEvent* e) override { e->accept(); }
  void mouseDoubleClickEvent(QMouseEvent* e) override {
    if (e->button() != Qt::LeftButton) return e->ignore();
    lit_ = !lit_;
    update();
  }
  // The marker: a small notch along the bottom edge.
  void paint_thumb(QPainter& p, const QRect& thumb) override {
    p.setRenderHint(QPainter::Antialiasing, true);
    const qreal cx = thumb.center().x() + 0.5, bottom = thumb.bottom() - 2;
    QPainterPath notch;
    notch.moveTo(cx - 4, bottom);
    notch.lineTo(cx + 4, bottom);
    notch.lineTo(cx, bottom - 5);
    notch.closeSubpath();
    p.fillPath(notch, QColor(0xc8, 0xcb, 0xd0));
  }
  void paintEvent(QPaintEvent* e) override {
    CDMarker::paintEvent(e);
    if (!lit_) return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QPointF c = QRectF(rect()).center();
    QRadialGradient g(c, 14);
    g.setColorAt(0, QColor(255, 90, 90, 255));
    g.setColorAt(0.45, QColor(look::kAccent));
    g.setColorAt(1, QColor(227, 38, 45, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(c, 14.0, 14.0);
  }

 private:
  bool lit_ = false;
};

}  // namespace

CDlgPagePerfer::CDlgPagePerfer(OptionHost& host, QWidget* parent)
    : CSkinPanel(parent, QSize(kWidth, kHeight)), host_(host), dial_(PixelRect{}) {
  setObjectName(QStringLiteral("CDlgPagePerfer"));
  setFocusPolicy(Qt::ClickFocus);
  SkinFolder& skin = host_.skin();
  set_skin(skin.window_pictures(kPictures));
  const SkinDescription description = skin.description(kDescription, SkinDescription::kButtonInfo);
  for (int key = 1; key < static_cast<int>(rects_.size()); ++key)
    rects_[key] = look::to_rect(description.placement(key));
  dial_ = CpiDial(pixel_rect(rects_[kDialKey]));
  const SkinMask& plain = skin.mask(kPlainLevelMask);
  const SkinMask& in_use = skin.mask(kLevelInUseMask);
  plain_shape_ = {plain.region, plain.size};
  in_use_shape_ = {in_use.region, in_use.size};
  const QImage thumb = skin.picture(kThumb).image;

  for (int i = 0; i < kLevelCount; ++i) {
    auto* b = new CRgnButton(this, kLevelKey + i);
    b->setGeometry(rects_[kLevelKey + i]);
    b->set_pictures(cuts(rects_[kLevelKey + i]));
    b->set_region(shape_of(i, false));
    b->set_caption_font(QStringLiteral("Arial"), kLevelCaptionPx);
    b->set_caption_margins(kLevelCaptionMargins);
    connect(b, &CBitmapBtn::command, this, [this, i] {
      if (ProfileRecord* p = profile()) on_level_button(*p, i, *this);
    });
    connect(b, &CBitmapBtn::status_hint, this, [this](int entered, const QString& hint) {
      host_.show_status_hint(entered ? hint.toStdU16String() : std::u16string());
    });
    levels_[i] = b;
  }

  cpi_spin_ = new CSpecialSpinWnd(this, kCpiSpin);
  cpi_spin_->setGeometry(rects_[kCpiSpinKey]);
  cpi_spin_->set_pictures(cuts(rects_[kCpiSpinKey]));
  cpi_spin_->set_range(kCpiSpinMin, kCpiSpinMax);
  cpi_spin_->set_step(1);

  auto slider = [&](int key, int id, int min, int max) {
    auto* s = new CClickHSlider(this, id);
    s->setGeometry(rects_[key]);
    s->set_pictures(cuts(rects_[key]));
    if (!thumb.isNull()) s->set_thumb(thumb);
    s->set_range(min, max);
    s->set_nearest(true);
    connect(s, &CClickHSlider::position_changed, this, [this](int value, int id) {
      if (ProfileRecord* p = profile()) on_slider_changed(*p, id, value, *this);
    });
    return s;
  };
  cpi_x_ = slider(kCpiXKey, kCpiXSlider, kCpiSliderMin, kCpiLevelSliderMax);
  cpi_y_ = slider(kCpiYKey, kCpiYSlider, kCpiSliderMin, kCpiLevelSliderMax);
  pointer_ = slider(kPointerKey, kPointerSpeedSlider, kPointerSpeedMin, kPointerSpeedMax);
  double_click_ = slider(kDoubleClickKey, kDoubleClickSlider, kDoubleClickMin, kDoubleClickMax);
  scroll_ = slider(kScrollKey, kScrollSlider, kScrollMin, kScrollMax);

  double_click_test_ = new DoubleClickTest(this, kDoubleClickTestKey);
  double_click_test_->setGeometry(rects_[kDoubleClickTestKey]);
  double_click_test_->set_pictures(cuts(rects_[kDoubleClickTestKey]));
  double_click_test_->set_range(kDoubleClickMin, kDoubleClickMax);

  scroll_spin_ = new CSpinWnd(this, kScrollSpin);
  scroll_spin_->setGeometry(rects_[kScrollSpinKey]);
  scroll_spin_->set_pictures(cuts(rects_[kScrollSpinKey]));
  scroll_spin_->set_range(kScrollMin, kScrollMax);
  for (CSpinWnd* spin : {static_cast<CSpinWnd*>(cpi_spin_), scroll_spin_})
    connect(spin, &CSpinWnd::value_changed, this, [this](int value, int id) {
      if (ProfileRecord* p = profile()) on_spin_changed(*p, id, value, *this);
    });

  auto button = [&](int key) {
    auto* b = new CBitmapBtn(this, key);
    b->setGeometry(rects_[key]);
    b->set_pictures(cuts(rects_[key]));
    return b;
  };
  for (int flag = 0; flag < 2; ++flag) {
    scroll_modes_[flag] = button(kScrollModeKey + flag);
    connect(scroll_modes_[flag], &CBitmapBtn::command, this, [this, flag] {
      if (ProfileRecord* p = profile()) on_scroll_mode(*p, flag, *this);
    });
  }
  acceleration_ = button(kAccelerationKey);
  connect(acceleration_, &CBitmapBtn::command, this, [this] {
    if (ProfileRecord* p = profile()) on_acceleration(*p, !acceleration_->selected(), *this);
  });
  for (int j = 0; j < 4; ++j) {
    CBitmapBtn* b = button(kRateKey + j);
    b->setText(kRateCaptions[j]);
    b->set_caption_font(QStringLiteral("Arial"), kRateCaptionPx);
    b->set_caption_margins(kRateCaptionMargins);
    connect(b, &CBitmapBtn::command, this, [this, j] {
      if (ProfileRecord* p = profile()) on_polling_rate(*p, j, *this);
    });
    rates_[j] = b;
  }
  // The link indicator only shows XYSynchronous: presses go to the page.
  xy_link_ = button(kXYLinkKey);
  xy_link_->setAttribute(Qt::WA_TransparentForMouseEvents);

  // Every control has its cuts: only the background stays decoded.
  release_state_pictures();
  for (const std::string& name : {kPictures.over, kPictures.down, kPictures.disable}) skin.release(name);

  // Ahead of the window drag: a press on the dial picks a value instead.
  installEventFilter(this);
  load_texts();
}

CDlgPagePerfer::~CDlgPagePerfer() = default;

QRect CDlgPagePerfer::placement(int key) const {
  return key >= 0 && key < static_cast<int>(rects_.size()) ? rects_[key] : QRect();
}

QRegion CDlgPagePerfer::shape_of(int i, bool in_use) const {
  // A mask only shapes a button of its own size; otherwise the whole plate.
  const LevelShape& s = in_use ? in_use_shape_ : plain_shape_;
  return s.size == rects_[kLevelKey + i].size() ? s.region : QRegion();
}

ProfileRecord* CDlgPagePerfer::profile() { return current_profile(host_.working()); }

void CDlgPagePerfer::refresh() {
  if (ProfileRecord* p = profile()) refresh_performance(*p, *this);
  update();
}

void CDlgPagePerfer::load_texts() {
  const LanguageModule& language = host_.language();
  for (int i = 0; i < kLevelCount; ++i) {
    const QString text = QString::fromStdU16String(language.text(kLevelCaptionFirst + i));
    levels_[i]->setText(text);
    levels_[i]->set_hint(text);
  }
  for (size_t i = 0; i < captions_.size(); ++i)
    captions_[i] = QString::fromStdU16String(language.text(kPerfCaptionFirst + static_cast<int>(i)));
  update();
}

bool CDlgPagePerfer::eventFilter(QObject* watched, QEvent* event) {
  if (watched == this && event->type() == QEvent::MouseButtonPress) {
    auto* e = static_cast<QMouseEvent*>(event);
    if (e->button() == Qt::LeftButton) {
      setFocus(Qt::MouseFocusReason);
      const QPointF at = e->position();
      if (std::optional<int> k = dial_.hit(at.x(), at.y())) {
        if (ProfileRecord* p = profile()) on_dial_click(*p, *k, *this);
        return true;  // a value picked, not a window dragged
      }
    }
  }
  return CSkinPanel::eventFilter(watched, event);
}

const QImage& CDlgPagePerfer::speed_picture(bool scroll, int number) {
  std::optional<QImage>& slot = (scroll ? scroll_pictures_ : pointer_pictures_)[number];
  if (!slot)
    slot = host_.skin().picture(speed_picture_file(scroll ? kScrollPicturePrefix : kPointerPicturePrefix, number)).image;
  return *slot;
}

void CDlgPagePerfer::paint_surface(QPainter& p) {
  p.save();
  p.setPen(QColor(look::kLabel));
  const QFont font = look::design_font(QStringLiteral("Arial"), layout::kPerformanceCaptionPx);
  for (size_t i = 0; i < captions_.size(); ++i) {
    const QRect box = box_rect(layout::kPerformanceCaption[i]);
    p.setClipRect(box);
    paint_caption(p, box, captions_[i], font, CBitmapBtn::CaptionAlign::left);
  }
  p.restore();

  const ProfileRecord* prof = profile();
  if (prof) {
    if (std::optional<int> n = dial_value(*prof)) {
      p.save();
      p.setRenderHint(QPainter::Antialiasing, true);
      p.setClipRect(rects_[kDialKey]);
      if (std::optional<DialPie> pie = dial_.sector(*n)) {
        const QRectF box(pie->centre.x - pie->radius, pie->centre.y - pie->radius, 2 * pie->radius,
                         2 * pie->radius);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(kDialColour));
        p.drawPie(box, qRound(pie->start_deg * 16), qRound(pie->sweep_deg * 16));
      }
      if (std::optional<PointD> end = dial_.needle_end(*n)) {
        p.setPen(QPen(QColor(kDialColour), kNeedleWidth, Qt::SolidLine, Qt::RoundCap));
        const PointD c = dial_.centre();
        p.drawLine(QPointF(c.x, c.y), QPointF(end->x, end->y));
      }
      p.restore();
    }
    if (std::optional<int> n = scroll_picture(prof->ScrollWheelSpeed)) {
      const QImage& pic = speed_picture(true, *n);
      if (!pic.isNull()) p.drawImage(QRectF(rects_[kScrollPictureKey]), pic, QRectF(pic.rect()));
    }
  }
  if (std::optional<int> n = pointer_picture(pointer_->value())) {
    const QImage& pic = speed_picture(false, *n);
    if (!pic.isNull()) p.drawImage(QRectF(rects_[kPointerPictureKey]), pic, QRectF(pic.rect()));
  }
}

// ---- PerfPageView -----------------------------------------------------------

void CDlgPagePerfer::select_level(int step) {
  shaped_level_ = step >= 0 && step < kLevelCount ? step : -1;
  for (int i = 0; i < kLevelCount; ++i) {
    levels_[i]->set_selected(i == step);
    levels_[i]->set_region(shape_of(i, i == step));
  }
}

void CDlgPagePerfer::show_cpi_spin(int index) { cpi_spin_->set_value(index); }

void CDlgPagePerfer::redraw_dial() { update(rects_[kDialKey]); }

void CDlgPagePerfer::move_cpi_slider(int id, int value) { cpi_slider(id)->set_value(value); }

void CDlgPagePerfer::set_cpi_slider_range(int min, int max) {
  cpi_x_->set_range(min, max);
  cpi_y_->set_range(min, max);
}

void CDlgPagePerfer::move_pointer_slider(int position) {
  pointer_->set_value(position);
  redraw_pointer_gauge();
}

void CDlgPagePerfer::redraw_pointer_gauge() { update(rects_[kPointerPictureKey]); }

void CDlgPagePerfer::move_double_click_slider(int position) { double_click_->set_value(position); }

void CDlgPagePerfer::set_double_click_marker(int value) { double_click_test_->set_value(value); }

void CDlgPagePerfer::set_system_double_click_time(int ms) {
  if (platform::PointerSystem* system = host_.pointer_system()) system->set_double_click_time(ms);
  // This program's own double clicks follow too: the test area tries the time.
  QGuiApplication::styleHints()->setMouseDoubleClickInterval(ms);
}

void CDlgPagePerfer::move_scroll_slider(int lines) { scroll_->set_value(lines); }

void CDlgPagePerfer::set_scroll_spin(int lines) { scroll_spin_->set_value(lines); }

void CDlgPagePerfer::redraw_scroll_picture() { update(rects_[kScrollPictureKey]); }

void CDlgPagePerfer::show_scroll_mode(int flag, bool slider_enabled, bool spin_enabled) {
  for (int f = 0; f < 2; ++f) scroll_modes_[f]->set_selected(f == flag);
  scroll_->setEnabled(slider_enabled);
  scroll_spin_->setEnabled(spin_enabled);
}

void CDlgPagePerfer::show_acceleration(bool on) { acceleration_->set_selected(on); }

void CDlgPagePerfer::show_xy_synchronous(int value) { xy_link_->set_selected(value == 0); }

void CDlgPagePerfer::select_polling_rate(int code) {
  for (int j = 0; j < 4; ++j) rates_[j]->set_selected(j == code);
}

void CDlgPagePerfer::redraw_gauges() {
  update(rects_[kScrollPictureKey]);
  update(rects_[kPointerPictureKey]);
}

}  // namespace mt

#include "option/lighting_page.h"

#include <QFontMetrics>
#include <QPainter>

#include "common/language_module.h"
#include "common/settings_record.h"
#include "option/logic/text_layout.h"
#include "option/skin/bitmap_btn.h"
#include "option/skin/color_picker.h"
#include "option/skin/hslider.h"
#include "option/skin/skin_folder.h"
#include "option/skin/skin_look.h"
#include "option/skin/spin_wnd.h"

namespace mt {
namespace {

constexpr char kDescription[] = "skin_light.ini";
const SkinPictureNames kPictures{"middle_mask.bmp", "Color_settings_normal.jpg", "Color_settings_over.jpg",
                                 "Color_settings_down.jpg", "Color_settings_disable.jpg"};
constexpr char kThumb[] = "slider.bmp";

constexpr int kCaptionFirst = 201;
constexpr int kEffectCaption = 208;
constexpr QRgb kEffectCaptionColour = qRgb(255, 0, 0);
constexpr int kButtonCaptionPx = 18;
constexpr int kEffectMin = 1, kEffectMax = 5;
constexpr int kNumberMin = 0, kNumberMax = 255;

// 201 and the three channel letters start at their designed points; the
// other captions sit at the left of their boxes, centred down them.
bool anchored(int text_id) { return text_id == 201 || (text_id >= 205 && text_id <= 207); }

// A caption in its box: set smaller until it fits (down to 60%), then cut.
void paint_box_caption(QPainter& p, const layout::Box& b, const QString& text, int px, bool at_top) {
  if (text.isEmpty()) return;
  const QRect box(b.left, b.top, b.width(), b.height());
  const int flags = Qt::AlignLeft | (at_top ? Qt::AlignTop : Qt::AlignVCenter) | Qt::TextSingleLine;
  QFont f = look::design_font(QStringLiteral("Arial"), px);
  for (int size = px; size > px * 6 / 10; --size) {
    f.setPixelSize(size);
    if (QFontMetrics(f).horizontalAdvance(text) <= box.width()) break;
  }
  p.setFont(f);
  p.setClipRect(box);
  p.drawText(box, flags, QFontMetrics(f).elidedText(text, Qt::ElideRight, box.width()));
}

}  // namespace

CDlgPagePerLight::CDlgPagePerLight(OptionHost& host, QWidget* parent)
    : CSkinPanel(parent, QSize(kWidth, kHeight)),
      host_(host),
      model_(*this, [this] { return profile(); },
             [this](std::function<void()> task) {
               // The well's report (message 1115) arrives after what caused it.
               QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
             }) {
  setObjectName(QStringLiteral("CDlgPagePerLight"));
  SkinFolder& skin = host_.skin();
  set_skin(skin.window_pictures(kPictures));
  const SkinDescription description = skin.description(kDescription, SkinDescription::kButtonInfo);
  for (int key = 1; key < static_cast<int>(rects_.size()); ++key)
    rects_[key] = look::to_rect(description.placement(key));

  auto button = [&](int key, bool caption) {
    auto* b = new CBitmapBtn(this, key);
    b->setGeometry(rects_[key]);
    b->set_pictures(cuts(rects_[key]));
    if (caption) b->set_caption_font(QStringLiteral("Arial"), kButtonCaptionPx);
    return b;
  };
  for (int i = 0; i < 3; ++i) {
    brightness_[i] = button(kBrightnessKey + i, true);
    connect(brightness_[i], &CBitmapBtn::command, this, [this, i] { model_.on_brightness(i); });
    modes_[i] = button(kLightModeKey + i, true);
    connect(modes_[i], &CBitmapBtn::command, this, [this, i] { model_.on_light_mode(i); });
  }
  for (int i = 0; i < 2; ++i) {
    sources_[i] = button(kColorSourceKey + i, true);
    connect(sources_[i], &CBitmapBtn::command, this, [this, i] { model_.on_color_source(i); });
  }
  for (int i = 0; i < kPaletteSize; ++i) {
    palette_[i] = button(kPaletteKey + i, false);
    connect(palette_[i], &CBitmapBtn::command, this, [this, i] { model_.on_palette(i); });
  }

  model_.slider().set_horizontal(ColorSliderModel::horizontal_style(kSliderStyle));
  field_ = new GTColorSelectorWnd(this, model_.field());
  field_->setGeometry(rects_[kFieldKey]);
  slider_ = new GTColorSliderWnd(this, model_.slider());
  slider_->setGeometry(rects_[kSliderKey]);
  well_ = new GTColorWellWnd(this, model_.well());
  well_->setGeometry(rects_[kWellKey]);

  for (int c = 0; c < 3; ++c) {
    auto* spin = new CSpinWnd(this, kLightRedField + c);
    spin->setGeometry(rects_[kNumberKey + c]);
    spin->set_pictures(cuts(rects_[kNumberKey + c]));
    spin->set_range(kNumberMin, kNumberMax);
    connect(spin, &CSpinWnd::value_changed, this, [this](int value, int id) { model_.on_number_changed(id, value); });
    numbers_[c] = spin;
  }

  effect_ = new CClickHSlider(this, kLightEffectSlider);
  effect_->setGeometry(rects_[kEffectKey]);
  effect_->set_pictures(cuts(rects_[kEffectKey]));
  const QImage thumb = skin.picture(kThumb).image;
  if (!thumb.isNull()) effect_->set_thumb(thumb);
  effect_->set_range(kEffectMin, kEffectMax);
  effect_->set_nearest(true);
  connect(effect_, &CClickHSlider::position_changed, this,
          [this](int value, int id) { model_.on_slider_changed(id, value); });

  release_state_pictures();
  for (const std::string& name : {kPictures.over, kPictures.down, kPictures.disable}) skin.release(name);
  load_texts();
}

CDlgPagePerLight::~CDlgPagePerLight() {
  // The picker windows show the model's parts: they go before it does.
  delete field_;
  delete slider_;
  delete well_;
}

QRect CDlgPagePerLight::placement(int key) const {
  return key >= 0 && key < static_cast<int>(rects_.size()) ? rects_[key] : QRect();
}

ProfileRecord* CDlgPagePerLight::profile() { return current_profile(host_.working()); }

void CDlgPagePerLight::refresh() { model_.refresh(); }

void CDlgPagePerLight::load_texts() {
  const LanguageModule& language = host_.language();
  auto text = [&](int id) { return QString::fromStdU16String(language.text(id)); };
  for (int i = 0; i < 3; ++i) {
    brightness_[i]->setText(text(kBrightnessCaptions[i]));
    modes_[i]->setText(text(kLightModeCaptions[i]));
  }
  for (int i = 0; i < 2; ++i) sources_[i]->setText(text(kColorSourceCaptions[i]));
  for (size_t i = 0; i < captions_.size(); ++i) captions_[i] = text(kCaptionFirst + static_cast<int>(i));
  update();
}

void CDlgPagePerLight::paint_surface(QPainter& p) {
  for (size_t i = 0; i < captions_.size(); ++i) {
    const int id = kCaptionFirst + static_cast<int>(i);
    p.save();
    p.setPen(QColor(id == kEffectCaption ? kEffectCaptionColour : look::kLabel));
    paint_box_caption(p, layout::lighting_caption(id), captions_[i],
                      id == kCaptionFirst ? layout::kLightingTitlePx : layout::kLightingCaptionPx, anchored(id));
    p.restore();
  }
}

// ---- LightPageView ----------------------------------------------------------

void CDlgPagePerLight::select_brightness(int index) {
  for (int i = 0; i < 3; ++i) brightness_[i]->set_selected(i == index);
}

void CDlgPagePerLight::select_light_mode(int index) {
  for (int i = 0; i < 3; ++i) modes_[i]->set_selected(i == index);
}

void CDlgPagePerLight::select_color_source(int index) {
  for (int i = 0; i < 2; ++i) sources_[i]->set_selected(i == index);
}

void CDlgPagePerLight::select_palette(int index) {
  for (int i = 0; i < kPaletteSize; ++i) palette_[i]->set_selected(i == index);
}

void CDlgPagePerLight::show_numbers(int red, int green, int blue) {
  numbers_[0]->set_value(red);
  numbers_[1]->set_value(green);
  numbers_[2]->set_value(blue);
}

void CDlgPagePerLight::move_effect_slider(int value) { effect_->set_value(value); }

void CDlgPagePerLight::redraw_well() { well_->update(); }

}  // namespace mt

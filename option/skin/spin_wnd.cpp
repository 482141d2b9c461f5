#include "option/skin/spin_wnd.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <optional>

#include "option/logic/cpi_values.h"
#include "option/skin/bmp_edit.h"
#include "option/skin/skin_look.h"

namespace mt {
namespace {

// The leading decimal number of a field's text; nothing without a digit.
std::optional<long long> leading_number(const QString& text) {
  long long v = 0;
  bool digit = false;
  for (QChar c : text) {
    if (!c.isDigit() || c.unicode() > '9') break;
    digit = true;
    if (v < 1'000'000'000'000LL) v = v * 10 + (c.unicode() - '0');
  }
  if (!digit) return std::nullopt;
  return v;
}

constexpr int kNarrowSpin = 70;
constexpr int kArrows = 20;
constexpr int kNarrowArrows = 13;
constexpr int kSmallestText = 9;
// The edit's own margins around its text, and a pixel to spare.
constexpr int kFieldTextRoom = 6;

int clamp_to(long long v, int min, int max) {
  return static_cast<int>(std::clamp<long long>(v, min, max));
}

}  // namespace

// One of the two step buttons: repeats while held, never takes the focus
// away from the field.
class CSpinWnd::Arrow : public QAbstractButton {
 public:
  Arrow(QWidget* parent, bool up) : QAbstractButton(parent), up_(up) {
    setFocusPolicy(Qt::NoFocus);
    setAutoRepeat(true);
    setAutoRepeatDelay(400);
    setAutoRepeatInterval(70);
    setAttribute(Qt::WA_Hover);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    QColor c = look::from_colorref(look::kCaptionNormal);
    if (!isEnabled())
      c = look::from_colorref(look::kCaptionDisabled);
    else if (isDown())
      c = QColor(look::kAccentPressed);
    else if (underMouse())
      c = QColor(look::kAccentHover);
    const QRectF r = QRectF(rect());
    const qreal w = std::min(r.width() * 0.5, r.height() * 0.9);
    const qreal h = w * 0.55;
    const QPointF mid = r.center();
    QPainterPath tri;
    if (up_) {
      tri.moveTo(mid.x() - w / 2, mid.y() + h / 2);
      tri.lineTo(mid.x() + w / 2, mid.y() + h / 2);
      tri.lineTo(mid.x(), mid.y() - h / 2);
    } else {
      tri.moveTo(mid.x() - w / 2, mid.y() - h / 2);
      tri.lineTo(mid.x() + w / 2, mid.y() - h / 2);
      tri.lineTo(mid.x(), mid.y() + h / 2);
    }
    tri.closeSubpath();
    p.fillPath(tri, c);
  }

 private:
  bool up_;
};

CSpinWnd::CSpinWnd(QWidget* parent, int control_id)
    : QWidget(parent),
      control_id_(control_id),
      edit_(new CBmpEdit(this, control_id)),
      up_(new Arrow(this, true)),
      down_(new Arrow(this, false)) {
  edit_->set_colors(look::from_colorref(look::kCaptionNormal), Qt::transparent);
  edit_->installEventFilter(this);
  connect(edit_, &QLineEdit::textEdited, this, [this](const QString& t) { take_typed(t, false); });
  connect(edit_, &CBmpEdit::edit_notify, this, [this](int code, int) {
    if (code == kBitmapEditEnterReleased) take_typed(edit_->text(), true);
  });
  connect(edit_, &CBmpEdit::kill_focus, this, [this](int) { take_typed(edit_->text(), true); });
  connect(up_, &QAbstractButton::clicked, this, [this] {
    change_by_user(clamp_to(static_cast<long long>(value_) + step_, min_, max_));
    show_value();
  });
  connect(down_, &QAbstractButton::clicked, this, [this] {
    change_by_user(clamp_to(static_cast<long long>(value_) - step_, min_, max_));
    show_value();
  });
  show_value();
}

void CSpinWnd::set_pictures(const SkinCuts& cuts) {
  cuts_ = cuts;
  update();
}

void CSpinWnd::set_range(int min, int max) {
  if (min > max) std::swap(min, max);
  min_ = min;
  max_ = max;
  value_ = std::clamp(value_, min_, max_);
  edit_->setMaxLength(text_limit());
  layout_parts();
  show_value();
}

void CSpinWnd::set_value(int value) {
  value_ = std::clamp(value, min_, max_);
  show_value();
}

QString CSpinWnd::text_of(int value) const { return QString::number(value); }

int CSpinWnd::text_limit() const {
  return static_cast<int>(std::max(text_of(min_).size(), text_of(max_).size()));
}

void CSpinWnd::take_typed(const QString& text, bool settled) {
  const std::optional<long long> n = leading_number(text);
  if (!settled) {
    if (n && *n >= min_ && *n <= max_) change_by_user(static_cast<int>(*n));
    return;
  }
  if (n) change_by_user(clamp_to(*n, min_, max_));
  show_value();
}

void CSpinWnd::change_by_user(int value) {
  if (value == value_) return;
  value_ = value;
  emit value_changed(value_, control_id_);
}

void CSpinWnd::show_value() {
  const QString t = text_of(value_);
  if (edit_->text() != t) edit_->setText(t);
}

void CSpinWnd::layout_parts() {
  const int h = height();
  // Where the skin draws the arrows: the rightmost 20 pixels, 13 on a
  // narrow spin.
  const int aw = width() < kNarrowSpin ? kNarrowArrows : kArrows;
  const int field_width = std::max(0, width() - aw - 3);
  edit_->setGeometry(2, 1, field_width, std::max(0, h - 2));
  // As tall as the spin allows, and small enough that the longest text the
  // field takes is seen whole ("255" in a 50-pixel spin).
  const QString widest(text_limit(), QLatin1Char('0'));
  QFont font = look::design_font(QStringLiteral("Arial"), std::clamp(h - 8, 10, 20));
  while (font.pixelSize() > kSmallestText &&
         QFontMetrics(font).horizontalAdvance(widest) + kFieldTextRoom > field_width)
    font.setPixelSize(font.pixelSize() - 1);
  edit_->setFont(font);
  up_->setGeometry(width() - aw, 0, aw, h / 2);
  down_->setGeometry(width() - aw, h / 2, aw, h - h / 2);
}

void CSpinWnd::resizeEvent(QResizeEvent*) { layout_parts(); }

void CSpinWnd::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const SkinState s = !isEnabled() ? SkinState::disable : hovered_ ? SkinState::over : SkinState::normal;
  const QImage& pic = cuts_.state(s).isNull() ? cuts_.normal : cuts_.state(s);
  if (pic.isNull()) {
    look::paint_fallback_control(p, rect(), s);
    // A hairline between the field and the buttons.
    p.setPen(QColor(look::kPanelHighlight));
    const int x = up_->x() - 1;
    p.drawLine(x, 3, x, height() - 4);
  } else {
    p.drawImage(QRectF(rect()), pic, QRectF(pic.rect()));
  }
}

void CSpinWnd::enterEvent(QEnterEvent* event) {
  hovered_ = true;
  update();
  QWidget::enterEvent(event);
}

void CSpinWnd::leaveEvent(QEvent* event) {
  hovered_ = false;
  update();
  QWidget::leaveEvent(event);
}

void CSpinWnd::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange) {
    if (!isEnabled()) hovered_ = false;
    update();
  }
  QWidget::changeEvent(event);
}

bool CSpinWnd::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edit_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      const long long step = key == Qt::Key_Up ? step_ : -static_cast<long long>(step_);
      change_by_user(clamp_to(value_ + step, min_, max_));
      show_value();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

CSpecialSpinWnd::CSpecialSpinWnd(QWidget* parent, int control_id) : CSpinWnd(parent, control_id) {
  set_range(kCpiIndexMin, kCpiIndexMax);
}

QString CSpecialSpinWnd::text_of(int value) const { return QString::fromStdU16String(cpi_text(value)); }

// Room for the widest CPI typed with a thousands separator ("2,500").
int CSpecialSpinWnd::text_limit() const { return 5; }

void CSpecialSpinWnd::take_typed(const QString& text, bool settled) {
  // A CPI is only a CPI once typed out: snapping "2" of "2500" would jump.
  if (!settled) return;
  if (const std::optional<long long> n = parse_typed_cpi(text.toStdU16String()))
    change_by_user(clamp_to(snap_cpi_to_index(*n), minimum(), maximum()));
  show_value();
}

}  // namespace mt

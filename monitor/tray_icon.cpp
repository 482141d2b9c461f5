#include "monitor/tray_icon.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QSystemTrayIcon>

#include "platform/qt/qt_text.h"

namespace mt {

namespace {

QPixmap draw_mouse(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal s = size / 32.0;
  // Body: a rounded shell, darker towards the palm.
  QRectF body(7 * s, 2 * s, 18 * s, 28 * s);
  QLinearGradient shade(body.topLeft(), body.bottomLeft());
  shade.setColorAt(0, QColor(70, 70, 78));
  shade.setColorAt(1, QColor(25, 25, 30));
  p.setPen(QPen(QColor(200, 30, 40), 1.5 * s));
  p.setBrush(shade);
  p.drawRoundedRect(body, 9 * s, 9 * s);
  // The split between the two buttons and the wheel.
  p.setPen(QPen(QColor(200, 30, 40), 1.2 * s));
  p.drawLine(QPointF(16 * s, 2.5 * s), QPointF(16 * s, 13 * s));
  p.drawLine(QPointF(7.5 * s, 13 * s), QPointF(24.5 * s, 13 * s));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(230, 50, 60));
  p.drawRoundedRect(QRectF(14.5 * s, 5 * s, 3 * s, 6 * s), 1.5 * s, 1.5 * s);
  return pixmap;
}

}  // namespace

std::u16string tray_tip_text(std::u16string_view text) {
  if (text.size() <= kTrayTipUnits) return std::u16string(text);
  std::size_t n = kTrayTipUnits;
  // The last kept unit must not be the first half of a pair.
  if (text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF) --n;
  return std::u16string(text.substr(0, n));
}

QIcon mouse_icon() {
  QIcon icon;
  for (int size : {16, 22, 24, 32, 48, 64}) icon.addPixmap(draw_mouse(size));
  return icon;
}

TrayIcon::TrayIcon(Handlers handlers) : handlers_(std::move(handlers)) {}

TrayIcon::~TrayIcon() { remove(); }

bool TrayIcon::available() { return QSystemTrayIcon::isSystemTrayAvailable(); }

bool TrayIcon::add(const Texts& texts) {
  if (icon_) return true;
  if (!available()) return false;

  menu_ = std::make_unique<QMenu>();
  QAction* open = menu_->addAction(platform::to_qstring(texts.open_item));
  menu_->addSeparator();
  QAction* exit = menu_->addAction(platform::to_qstring(texts.exit_item));
  menu_->setDefaultAction(open);
  const int open_id = texts.open_id;
  const int exit_id = texts.exit_id;
  QObject::connect(open, &QAction::triggered, [this, open_id] {
    if (handlers_.command) handlers_.command(open_id);
  });
  QObject::connect(exit, &QAction::triggered, [this, exit_id] {
    if (handlers_.command) handlers_.command(exit_id);
  });

  icon_ = std::make_unique<QSystemTrayIcon>(mouse_icon());
  icon_->setToolTip(platform::to_qstring(tray_tip_text(texts.tip)));
  icon_->setContextMenu(menu_.get());
  QObject::connect(icon_.get(), &QSystemTrayIcon::activated, [this](QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger && handlers_.left_click) handlers_.left_click();
    if (reason == QSystemTrayIcon::DoubleClick && handlers_.double_click) handlers_.double_click();
  });
  icon_->show();
  return true;
}

void TrayIcon::remove() {
  if (icon_) icon_->hide();
  icon_.reset();
  menu_.reset();
}

}  // namespace mt

#include "option/skin/window_drag.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace mt {

WindowDrag::WindowDrag(QWidget* surface) : QObject(surface), surface_(surface) {
  surface_->installEventFilter(this);
}

WindowDrag* install_window_drag(QWidget* surface) { return new WindowDrag(surface); }

bool WindowDrag::eventFilter(QObject* watched, QEvent* event) {
  if (watched != surface_) return false;
  QWidget* window = surface_->window();
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      auto* e = static_cast<QMouseEvent*>(event);
      if (e->button() != Qt::LeftButton) return false;
      QWindow* handle = window->windowHandle();
      if (system_move_ && handle && handle->startSystemMove()) return true;
      dragging_ = true;
      press_global_ = e->globalPosition().toPoint();
      window_start_ = window->pos();
      return true;
    }
    case QEvent::MouseMove: {
      auto* e = static_cast<QMouseEvent*>(event);
      if (!dragging_) return false;
      if (!(e->buttons() & Qt::LeftButton)) {
        dragging_ = false;
        return false;
      }
      window->move(window_start_ + (e->globalPosition().toPoint() - press_global_));
      return true;
    }
    case QEvent::MouseButtonRelease: {
      auto* e = static_cast<QMouseEvent*>(event);
      if (e->button() != Qt::LeftButton || !dragging_) return false;
      dragging_ = false;
      return true;
    }
    default: return false;
  }
}

}  // namespace mt

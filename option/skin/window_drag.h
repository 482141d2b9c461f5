// Dragging a window by its own surface. install_window_drag(surface) lets a
// left-button press on `surface` (a skinned window, or a child page or panel
// of one) move the top-level window that holds it:
//   - through the window manager (QWindow::startSystemMove), so the move
//     feels native and snaps as the desktop does;
//   - by hand, following the pointer with move(), where that is refused (no
//     window manager, or one without the move request).
// Presses that a control takes never reach the surface; presses that pass
// through (labels, picture windows, a region button's outside) drag.
#pragma once

#include <QObject>
#include <QPoint>

class QWidget;

namespace mt {

class WindowDrag : public QObject {
  Q_OBJECT

 public:
  // Owned by `surface`.
  explicit WindowDrag(QWidget* surface);

  // Testing and the screenshots force the manual fallback.
  void set_system_move(bool allowed) { system_move_ = allowed; }
  bool dragging() const { return dragging_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* surface_;
  bool system_move_ = true;
  bool dragging_ = false;
  QPoint press_global_;
  QPoint window_start_;
};

// Installs a WindowDrag on `surface` and returns it.
WindowDrag* install_window_drag(QWidget* surface);

}  // namespace mt

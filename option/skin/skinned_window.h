// The skinned window bases: CSkinDialog for Option's top-level windows and
// dialogs, CSkinPanel for the pages and panels inside them.
//
// set_skin(pictures) makes the window what its skin draws:
//   - exactly the size of the normal picture (the size given at construction
//     when the skin has none, so a broken skin still gives a usable window);
//   - shaped by the mask region (white is outside), when the skin has a
//     usable one; otherwise rectangular;
//   - painted from the normal picture, or as a plain dark surface without
//     one; paint_surface() then draws the window's own texts over it.
// A left press on the surface drags the top-level window (window_drag.h).
//
// CSkinDialog is frameless, closes with OK = 1 or Cancel = 2 (accept and
// reject, the window manager's close included, give those) and discards the
// Enter and Escape key-downs that reach it, so only its buttons close it.
// Controls that handle those keys themselves (the list's in-place editor)
// still get them first.
//
//   class CWarnSomething : public CSkinDialog {
//     CWarnSomething(QWidget* parent, SkinFolder& skin) : CSkinDialog(parent) {
//       set_skin(skin.window_pictures({...}));
//       auto* ok = new CBitmapBtn(this, 1);   // placed from the description
//       connect(ok, &CBitmapBtn::command, this, [this] { done(kResultOk); });
//     }
//     void paint_surface(QPainter& p) override { ... }
//   };
#pragma once

#include <QDialog>
#include <QSize>
#include <QWidget>

#include "option/skin/skin_folder.h"

class QPainter;

namespace mt {

class WindowDrag;

// What both bases keep and do with their pictures.
class SkinSurface {
 public:
  explicit SkinSurface(QSize fallback_size) : fallback_size_(fallback_size) {}

  void apply(QWidget& window, const SkinPictureSet& pictures);
  void paint(QPainter& painter, const QWidget& window) const;

  const SkinPictureSet& pictures() const { return pictures_; }
  QSize size() const;
  // Keeps only the background: the state pictures become the normal one.
  void release_state_pictures();

 private:
  QSize fallback_size_;
  SkinPictureSet pictures_;
};

class CSkinDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kResultOk = 1;      // IDOK
  static constexpr int kResultCancel = 2;  // IDCANCEL

  // `fallback_size` is the window's size while its skin has no pictures.
  explicit CSkinDialog(QWidget* parent, QSize fallback_size = QSize(444, 260));

  void set_skin(const SkinPictureSet& pictures);
  const SkinPictureSet& skin_pictures() const { return surface_.pictures(); }
  // A control's picture cuts at a rectangle of this window.
  SkinCuts cuts(const QRect& rect) const { return surface_.pictures().cuts(rect); }

  WindowDrag* drag() const { return drag_; }
  // Once every control has its cuts: only the background stays in memory
  // (release the names in the SkinFolder too). Later cuts are of the
  // normal picture.
  void release_state_pictures() { surface_.release_state_pictures(); }

  void accept() override { done(kResultOk); }
  void reject() override { done(kResultCancel); }

 protected:
  // Texts and marks painted over the background.
  virtual void paint_surface(QPainter& painter);

  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  SkinSurface surface_;
  WindowDrag* drag_;
};

class CSkinPanel : public QWidget {
  Q_OBJECT

 public:
  CSkinPanel(QWidget* parent, QSize fallback_size);

  void set_skin(const SkinPictureSet& pictures);
  const SkinPictureSet& skin_pictures() const { return surface_.pictures(); }
  SkinCuts cuts(const QRect& rect) const { return surface_.pictures().cuts(rect); }

  WindowDrag* drag() const { return drag_; }
  void release_state_pictures() { surface_.release_state_pictures(); }

 protected:
  virtual void paint_surface(QPainter& painter);

  void paintEvent(QPaintEvent* event) override;

 private:
  SkinSurface surface_;
  WindowDrag* drag_;
};

}  // namespace mt

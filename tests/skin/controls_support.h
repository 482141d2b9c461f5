// Helpers of the control tests: state pictures that tell the states apart by
// colour, a shown top-level host, and a recorder of signal arguments.
#pragma once

#include <QApplication>
#include <QImage>
#include <QObject>
#include <QTest>
#include <QWidget>

#include <utility>
#include <vector>

#include "option/skin/skin_folder.h"

namespace skin_test {

inline QImage solid(QSize size, QRgb colour) {
  QImage img(size, QImage::Format_RGB32);
  img.fill(colour);
  return img;
}

// normal grey, over blue, down green, disable mid grey.
inline constexpr QRgb kNormalColour = qRgb(40, 40, 40);
inline constexpr QRgb kOverColour = qRgb(0, 0, 200);
inline constexpr QRgb kDownColour = qRgb(0, 200, 0);
inline constexpr QRgb kDisableColour = qRgb(100, 100, 100);

inline mt::SkinCuts state_cuts(QSize size) {
  return mt::SkinCuts{solid(size, kNormalColour), solid(size, kOverColour), solid(size, kDownColour),
                      solid(size, kDisableColour)};
}

// The colour a widget shows at a point, as it paints itself.
inline QRgb shown_at(QWidget& w, QPoint at) { return w.grab().toImage().pixel(at); }

// A visible, active top-level window for the controls under test.
class Host : public QWidget {
 public:
  Host() {
    resize(400, 300);
    show();
    activateWindow();
    (void)QTest::qWaitForWindowExposed(this);
    (void)QTest::qWaitForWindowActive(this);
  }
};

// Records every emission of a two-int signal.
class Pairs : public QObject {
 public:
  template <typename Sender, typename Signal>
  Pairs(Sender* sender, Signal signal) {
    QObject::connect(sender, signal, this, [this](int a, int b) { got.emplace_back(a, b); });
  }
  std::vector<std::pair<int, int>> got;
  void clear() { got.clear(); }
};

}  // namespace skin_test

#include "option/skin/skin_picture.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace mt {

QRegion mask_to_region(const QImage& mask) {
  if (mask.isNull()) return QRegion();
  const QImage img = (mask.format() == QImage::Format_RGB32 || mask.format() == QImage::Format_ARGB32)
                         ? mask
                         : mask.convertToFormat(QImage::Format_RGB32);
  const int w = img.width();
  const int h = img.height();

  std::vector<QRect> rects;
  std::vector<int> band;  // the runs of the open band: x1, x2 pairs
  std::vector<int> runs;
  int band_top = 0;
  auto close_band = [&](int y) {
    for (std::size_t i = 0; i < band.size(); i += 2)
      rects.emplace_back(band[i], band_top, band[i + 1] - band[i], y - band_top);
  };
  const std::size_t row_bytes = static_cast<std::size_t>(w) * 4;
  for (int y = 0; y < h; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(img.constScanLine(y));
    // Most rows of a window's mask are the row above again: same runs.
    if (y > 0 && std::memcmp(row, img.constScanLine(y - 1), row_bytes) == 0) continue;
    runs.clear();
    int x = 0;
    while (x < w) {
      while (x < w && (row[x] & 0xFFFFFFu) == 0xFFFFFFu) ++x;
      if (x == w) break;
      const int start = x;
      while (x < w && (row[x] & 0xFFFFFFu) != 0xFFFFFFu) ++x;
      runs.push_back(start);
      runs.push_back(x);
    }
    if (runs != band) {
      close_band(y);
      band.swap(runs);
      band_top = y;
    }
  }
  close_band(h);

  QRegion region;
  if (!rects.empty()) region.setRects(rects.data(), static_cast<int>(rects.size()));
  return region;
}

QImage cut_picture(const QImage& picture, const QRect& logical) {
  if (picture.isNull() || logical.isEmpty()) return QImage();
  const qreal dpr = picture.devicePixelRatio();
  const QRect physical(static_cast<int>(std::lround(logical.x() * dpr)),
                       static_cast<int>(std::lround(logical.y() * dpr)),
                       static_cast<int>(std::lround(logical.width() * dpr)),
                       static_cast<int>(std::lround(logical.height() * dpr)));
  QImage cut = picture.copy(physical);
  cut.setDevicePixelRatio(dpr);
  return cut;
}

QSize logical_size(const QImage& picture) {
  if (picture.isNull()) return QSize();
  return picture.deviceIndependentSize().toSize();
}

}  // namespace mt

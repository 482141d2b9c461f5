// Tiny skins made by the tests themselves in a temporary folder: pictures
// painted with QPainter and saved as JPEG or BMP, masks drawn pixel by pixel,
// description files written as text.
#pragma once

#include <ftw.h>
#include <stdlib.h>
#include <unistd.h>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QString>

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace skin_test {

inline int remove_entry(const char* path, const struct stat*, int, struct FTW*) { return ::remove(path); }

class TempFolder {
 public:
  TempFolder() {
    std::string tmpl = "/tmp/skin-test-XXXXXX";
    path_ = mkdtemp(tmpl.data()) ? tmpl + "/" : std::string();
  }
  ~TempFolder() {
    if (!path_.empty()) nftw(path_.c_str(), remove_entry, 16, FTW_DEPTH | FTW_PHYS);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  // Ends in "/".
  const std::string& path() const { return path_; }

  std::string write(std::string_view name, std::string_view bytes) const {
    const std::string p = path_ + std::string(name);
    std::filesystem::create_directories(std::filesystem::path(p).parent_path());
    FILE* f = std::fopen(p.c_str(), "wb");
    if (!f) return std::string();
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return p;
  }

  // Saves a picture; the format comes from the name's extension unless given.
  std::string save(std::string_view name, const QImage& image, const char* format = nullptr,
                   int quality = 95) const {
    const std::string p = path_ + std::string(name);
    std::filesystem::create_directories(std::filesystem::path(p).parent_path());
    image.save(QString::fromStdString(p), format, quality);
    return p;
  }

 private:
  std::string path_;
};

// A picture of one colour, with a lighter square in its top-left corner so
// that cuts and offsets can be told apart.
inline QImage flat_picture(int w, int h, QColor colour) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(colour);
  return img;
}

// A mask from rows of text: '#' is inside (black), '.' outside (white).
inline QImage mask_from_rows(std::initializer_list<std::string_view> rows) {
  const int h = static_cast<int>(rows.size());
  const int w = h ? static_cast<int>(rows.begin()->size()) : 0;
  QImage img(w, h, QImage::Format_RGB32);
  int y = 0;
  for (std::string_view row : rows) {
    for (int x = 0; x < w; ++x) img.setPixel(x, y, row[x] == '#' ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    ++y;
  }
  return img;
}

// A white mask of w x h with a black rectangle (the window) inset by `inset`.
inline QImage inset_mask(int w, int h, int inset) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  p.fillRect(inset, inset, w - 2 * inset, h - 2 * inset, Qt::black);
  return img;
}

}  // namespace skin_test

// The skin folder, "<program folder>Skins/": its pictures, masks and
// description files, for the whole run of Option.
//
// - Names are matched case-insensitively (ASCII), folder by folder, because
//   the windows name the same file in two spellings ("button_normal.JPG",
//   "button_normal.jpg") and skins come from a file system that does not care.
//   An exact spelling wins over another one; '\' separates folders like '/'.
//   A name that is absolute or climbs out with ".." is not found.
// - Each picture is decoded once, the first time a window asks for it, and
//   kept. JPEG, BMP and PNG are told apart by their content, not their name.
// - A picture larger than kMaxPictureSide in either direction is refused from
//   its header, before anything is decoded.
// - With a device pixel ratio of 1.5 or more a picture "name@2x.ext" is taken
//   instead of "name.ext" when it exists and is exactly twice the size; it
//   carries device pixel ratio 2, so it paints and cuts at the same logical
//   size. Masks and placements are always logical: masks are read at 1x.
//
// Nothing here fails loudly: a missing or bad picture is a null image with a
// status, a bad mask an empty region, a missing description an empty one.
// The windows then draw a plain dark surface and keep their controls usable.
//
//   SkinFolder skin(SkinFolder::skins_path(program_folder));
//   SkinPictureSet look = skin.window_pictures({"restore_mask.bmp", "restore_normal.jpg",
//                                               "restore_over.jpg", "restore_down.jpg",
//                                               "restore_normal.jpg"});
//   SkinCuts ok_button = look.cuts(QRect(92, 205, 120, 36));
#pragma once

#include <QImage>
#include <QRegion>
#include <QSize>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "option/skin/skin_description.h"

namespace mt {

enum class SkinPictureStatus {
  ok,
  missing,     // no such file, or no name
  unreadable,  // empty, truncated past its header, or not a picture Qt decodes
  too_large,   // wider or higher than SkinFolder::kMaxPictureSide
};

struct SkinPicture {
  QImage image;  // null unless ok
  SkinPictureStatus status = SkinPictureStatus::missing;
  bool ok() const { return status == SkinPictureStatus::ok; }
};

struct SkinMask {
  QRegion region;  // empty when the mask is missing, bad or all white
  QSize size;      // the mask picture's size; invalid when it did not load
  SkinPictureStatus status = SkinPictureStatus::missing;
};

enum class SkinState { normal, over, down, disable };

// The four pictures of one control: cuts of the window's state pictures.
// Any of them may be null (a bad skin); controls then draw a plain surface.
struct SkinCuts {
  QImage normal;
  QImage over;
  QImage down;
  QImage disable;

  const QImage& state(SkinState s) const;
};

// The pictures of one window, checked against each other:
// - size is the normal picture's logical size; without one, the mask's size;
//   without either, empty (the window keeps its own default size);
// - a state picture that is missing, bad or of another size than the normal
//   one is replaced by the normal one (a missing "disable" is common);
//   without a normal picture there are no state pictures at all;
// - the mask shapes the window only when it matches the normal picture's
//   size (or, without a normal picture, stands alone); otherwise `mask` is
//   empty and the window stays rectangular.
struct SkinPictureSet {
  QImage normal;
  QImage over;
  QImage down;
  QImage disable;
  QRegion mask;
  QSize size;

  const QImage& state(SkinState s) const;
  SkinCuts cuts(const QRect& logical) const;
  // A usable background picture exists.
  bool has_pictures() const { return !normal.isNull(); }
};

class SkinFolder {
 public:
  static constexpr int kMaxPictureSide = 4096;

  // `folder` is the skin folder itself; a trailing '/' is added when missing.
  explicit SkinFolder(std::string folder);
  ~SkinFolder();
  SkinFolder(const SkinFolder&) = delete;
  SkinFolder& operator=(const SkinFolder&) = delete;

  // "<program folder>Skins/" (the program folder ends in '/').
  static std::string skins_path(std::string_view program_folder);

  const std::string& path() const { return folder_; }

  // The screen's device pixel ratio; from 1.5 up, double-size pictures are
  // used. Set it before the first picture is asked for: pictures already
  // decoded keep their size.
  void set_device_pixel_ratio(double ratio);
  double device_pixel_ratio() const { return ratio_; }

  // The actual path of a file named relative to the folder, or "" when
  // there is none.
  std::string find(std::string_view name) const;

  // A picture at the screen's density, decoded on the first call. The
  // reference stays valid until the picture is released.
  const SkinPicture& picture(std::string_view name);
  // Decodes the pictures not decoded yet side by side, one thread per core,
  // so that a window's four state pictures cost about one picture's time.
  void preload(const std::vector<std::string>& names);
  // The shape a mask picture gives (always at 1x), built on the first call.
  const SkinMask& mask(std::string_view name);
  // A description file; `placement_section` is "BUTTONINFO" or "BUTTONPOS".
  SkinDescription description(std::string_view name, std::u16string_view placement_section) const;

  // The pictures of one window (see SkinPictureSet for how they are
  // checked), its state pictures preloaded together.
  SkinPictureSet window_pictures(const SkinPictureNames& names);

  // Lets go of a decoded picture (at every density). A window that has given
  // its controls their cuts needs its over, down and disable pictures no
  // more; releasing them here (and in the window) frees their memory. A
  // picture asked for again is decoded again.
  void release(std::string_view name);

  // Figures for the benchmark: pictures decoded so far and their bytes.
  std::size_t decoded_pictures() const;
  std::size_t decoded_bytes() const;

 private:
  struct PictureFiles {
    std::string path;   // the picture; "" when there is none
    std::string path2;  // its double-size file, when wanted and there
  };
  std::string picture_key(std::string_view name) const;
  PictureFiles picture_files(std::string_view name) const;
  static SkinPicture decode_files(const PictureFiles& files);

  struct Impl;
  std::string folder_;
  double ratio_ = 1.0;
  std::unique_ptr<Impl> impl_;
};

}  // namespace mt

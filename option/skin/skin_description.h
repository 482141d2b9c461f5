// Skin description files: one initialisation file per window in the skin
// folder, in one of two forms.
//
//   1. fixed picture names: the window's code names its pictures; the file
//      holds the placements in section "BUTTONINFO";
//   2. named pictures: section "SCREEN" names them ("Mask", "Normal", "Over",
//      "Down", "Disable", each a file relative to the skin folder, default ""),
//      and section "BUTTONPOS" holds the placements.
//
// The window's code knows which form and which placement section it reads
// (a few windows use "BUTTONPOS" with fixed names). Files are read through
// platform::IniDocument, so every encoding and line end the settings files may
// have works here too. A missing or unreadable file reads as an empty one:
// every placement is zeros and every picture name empty.
//
//   SkinDescription d = skin.description("skin_Restore.ini", SkinDescription::kButtonInfo);
//   SkinPlacement ok = d.placement(1);
#pragma once

#include <string>
#include <string_view>

#include "option/skin/skin_placement.h"
#include "platform/ini_file.h"

namespace mt {

// The pictures of one window, each a file name relative to the skin folder
// (UTF-8; '/' or '\' between folders). An empty name is no picture.
struct SkinPictureNames {
  std::string mask;
  std::string normal;
  std::string over;
  std::string down;
  std::string disable;

  bool operator==(const SkinPictureNames&) const = default;
};

class SkinDescription {
 public:
  static constexpr std::u16string_view kButtonInfo = u"BUTTONINFO";
  static constexpr std::u16string_view kButtonPos = u"BUTTONPOS";
  static constexpr std::u16string_view kScreen = u"SCREEN";

  enum class Status { ok, missing, failed };

  SkinDescription() = default;
  SkinDescription(platform::IniDocument doc, std::u16string_view placement_section,
                  Status status = Status::ok);
  // A description from file bytes (any encoding the ini layer reads).
  static SkinDescription parse(std::string_view bytes, std::u16string_view placement_section);

  // The placement under key "<key>" of the placement section.
  SkinPlacement placement(int key) const;
  // The pictures named in section "SCREEN".
  SkinPictureNames screen_pictures() const;

  Status status() const { return status_; }

 private:
  platform::IniDocument doc_;
  std::u16string section_;
  Status status_ = Status::missing;
};

}  // namespace mt

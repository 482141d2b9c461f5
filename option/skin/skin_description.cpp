#include "option/skin/skin_description.h"

#include "platform/text.h"

namespace mt {

SkinDescription::SkinDescription(platform::IniDocument doc, std::u16string_view placement_section,
                                 Status status)
    : doc_(std::move(doc)), section_(placement_section), status_(status) {}

SkinDescription SkinDescription::parse(std::string_view bytes, std::u16string_view placement_section) {
  return SkinDescription(platform::IniDocument::parse(bytes), placement_section, Status::ok);
}

SkinPlacement SkinDescription::placement(int key) const {
  return parse_placement(doc_.get_string(section_, platform::to_u16(key), u""));
}

SkinPictureNames SkinDescription::screen_pictures() const {
  auto name = [this](std::u16string_view key) {
    return platform::utf16_to_utf8(doc_.get_string(kScreen, key, u""));
  };
  return SkinPictureNames{name(u"Mask"), name(u"Normal"), name(u"Over"), name(u"Down"), name(u"Disable")};
}

}  // namespace mt

// UTF-16 text of the records and the language modules <-> Qt's QString. Both
// hold UTF-16 units, so nothing is converted: units go across as they are,
// a lone surrogate included.
//
//   label->setText(platform::to_qstring(language.text(1005)));
//   platform::set_fixed_text(profile.ProFileName, platform::to_u16string(edit->text()));
//   QString name = platform::fixed_to_qstring(profile.ProFileName);
#pragma once

#include <QString>
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/text.h"

namespace platform {

inline QString to_qstring(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::u16string to_u16string(const QString& text) { return text.toStdU16String(); }

// The text of a fixed, NUL-terminated array of a record.
template <std::size_t N>
QString fixed_to_qstring(const char16_t (&field)[N]) {
  return to_qstring(fixed_text(field));
}

}  // namespace platform

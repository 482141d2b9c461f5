// The preview: each window put together from the written skin files the way
// the windows will (background, a few controls in their over and down cuts,
// captions and the fixed texts from a language module), with the text boxes
// outlined, so the skin can be judged before any window exists.
#pragma once

#include <string>

namespace skins {

// Writes PNG files into out_folder; returns how many, or -1 on failure.
int write_preview(const std::string& out_folder, const std::string& skins_folder, const std::string& lang_folder);

}  // namespace skins

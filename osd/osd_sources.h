// Where the on-screen display's texts and settings come from: the shared
// block Monitor keeps, the settings files in the settings folder (the
// program folder, or the per-user folder of an installed copy), and the
// language modules in the program folder. No Qt.
//
//   const std::string settings = choose_settings_folder(program_folder()).path;
//   std::u16string name = profile_name(2, settings);
//   language.load_for_language(program_folder(), stored_language(settings));
#pragma once

#include <string>

#include "osd/osd_rules.h"

namespace mt {

// The name of profile `index` (0..4) as Monitor holds it. From the shared
// block, copied under its mutex; the block and the mutex are let go of at
// once, because a process holding them open would stop the next Monitor
// from starting. Without a block (Monitor not running, or a block of the
// wrong size), from the profile file; without the file, the factory name
// ("Default<index + 1>"), which is what Monitor loads for it then.
std::u16string profile_name(int index, const std::string& settings_folder);

// "OSDData" / "Message" of config.ini: the on-screen message Monitor stored;
// empty when there is none.
std::u16string stored_message(const std::string& settings_folder);

// "Setting" / "LanguageID" of config.ini; -1 when missing (English).
int stored_language(const std::string& settings_folder);

// The settings words in "OSDSetting" / "config" of config.ini, the same ones
// Monitor passes on with WM_OSD_CONFIG after every Apply; the defaults when
// the value is missing or damaged. Read at the start, so that the display
// does not wait for the first Apply to follow them.
OsdConfig stored_config(const std::string& settings_folder);

// A fresh settings folder has no "OSDSetting" / "config" at all, and without
// it Monitor never tells the display about profile changes (ShowProfileOsd
// is 0). The structure is the display's own: when the key is missing the
// display writes it with ShowProfileOsd 1 and both words 0 (the defaults).
// A value that is there, even a damaged one, is left alone. True when the
// structure was written.
bool store_default_config(const std::string& settings_folder);

}  // namespace mt

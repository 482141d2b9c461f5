// Where the settings files live: config.ini, config/ and config/sequence.dat.
//
// As designed they live in the program folder, and that stays so wherever
// files can be made there (the build's dist/, a copy in the home folder). An
// installed copy lives in a folder its user cannot write to, where every save
// would fail; its settings live in the per-user folder
// $XDG_CONFIG_HOME/morvath-t60r/ (~/.config/morvath-t60r/ without it), beside
// the registry stand-in. Lang/, Skins/, the plug-in and the tools always come
// from the program folder.
//
// Monitor and Option decide it the same way, at their start:
//   SettingsFolder settings = choose_settings_folder(program_folder());
//   load_settings(record, settings.path, &pointer_store);
//   language.load_for_language(program_folder(), id);     // still the program folder
//
// Test hook: with MORVATH_T60R_PROGRAM_FOLDER_READ_ONLY=1 in the environment
// the program folder counts as one that takes no files. Tests running as
// root need it: root can write into a folder of mode 0555.
#pragma once

#include <string>

namespace mt {

// The per-user folder, ending in "/": $XDG_CONFIG_HOME/morvath-t60r/ (a
// relative XDG_CONFIG_HOME is invalid and ignored), else
// <home>/.config/morvath-t60r/; "" when no home folder is known. Not created.
std::string user_config_folder();

// mkdir -p: the folders it has to make get mode 0700. True when `folder` is a
// folder afterwards.
bool make_private_folders(const std::string& folder);

// Whether a file can be made in `folder` right now. A probe file is created
// and removed again, so the answer is the system's own: modes, ACLs, a
// read-only mount, and root's right to write anyway all count as they will
// when the settings are saved.
bool folder_takes_files(const std::string& folder);

struct SettingsFolder {
  enum class Kind {
    program_folder,  // the program folder takes files: the design's place
    per_user,        // it does not: the per-user folder, made (0700) when missing
    none,            // neither takes files: the program folder, where saves fail and say so
  };
  std::string path;  // ends in "/"
  Kind kind = Kind::program_folder;
  std::string problem;  // for `none`: which per-user folder could not be used, and why
};

SettingsFolder choose_settings_folder(const std::string& program_folder);

}  // namespace mt

// The settings record in its files: config.ini for the global values and one
// profile file per profile in config/. Every operation keeps the designed key
// names, order and encodings; one load or save touches each file once.
#pragma once

#include <cstdint>
#include <string>

#include "common/settings_record.h"

namespace mt {

class PointerSettingsStore;  // common/pointer_settings.h

// The program folder: the folder of the running executable, ending in "/";
// "" when it cannot be determined (paths are then relative to the current
// directory).
std::string program_folder();

// Paths inside a program folder.
std::string config_ini_path(const std::string& folder);           // "config.ini"
std::string profile_file_path(const std::string& folder, int p);  // "config/Default<p>.gmp"
std::string config_dir_path(const std::string& folder);           // "config/"
// Creates config/ in the folder when missing; false when it is not there afterwards.
bool make_config_dir(const std::string& folder);

// Fills the record from config.ini and the five profile files (no CurrentProfile
// key: profile 1, index 0); a profile file
// that does not open gets the factory values; with 0 <= CurrentProfile <= 4 the
// system pointer settings are read back into the current profile
// (pointer == nullptr skips that). Returns 1.
int load_settings(SettingsRecord& record, const std::string& folder, PointerSettingsStore* pointer);
// Writes the current profile's pointer settings, config.ini and the five
// profile files (creating config/ when needed). Returns 1, or 0 when a file
// could not be written (each file is replaced atomically, so a failed one
// keeps its old contents; a file that already holds what it would get is left
// alone). pointer == nullptr skips the registry.
int save_settings(const SettingsRecord& record, const std::string& folder, PointerSettingsStore* pointer);

// One profile file <-> one profile record. read_profile_file returns false when
// the file does not open (the profile is then untouched). write_profile_file
// rewrites the keys into the existing file, keeping lines it does not know;
// false when the file could not be written.
bool read_profile_file(ProfileRecord& profile, const std::string& path);
bool write_profile_file(const ProfileRecord& profile, const std::string& path);

// "FileName" / "Profile<number>" = title.
void write_export_title(const std::string& folder, int number, const std::u16string& title);
// "HidAccessCode" / "Code": the low 32 bits of the time in seconds, then 12 zero bytes.
void write_access_stamp(const std::string& folder, uint32_t now_seconds);
// "Setting" / "FWVersion", default 100.
int read_firmware_version(const std::string& folder);

// Monitor only.
void write_current_profile(const std::string& folder, int index);
void write_device_state(const std::string& folder, int state);
// "OSDSetting" / "config" into a 648-byte buffer; false (buffer untouched) when missing or corrupt.
bool read_osd_settings(const std::string& folder, uint8_t (&osd)[648]);

// Export: replaces the chosen file with profile n alone, records its title and
// rewrites profile file n. Import: reads the chosen file into profile n and
// marks its 16 buttons changed; false (nothing changed) when it does not open.
bool export_profile(const SettingsRecord& record, int n, const std::string& folder,
                    const std::string& chosen_path);
bool import_profile(SettingsRecord& record, int n, const std::string& chosen_path);

// Import as the settings window offers it to the user: only a whole profile
// file is taken, one that holds every key the writer writes, each readable
// (numbers as numbers, the 16 button structures with their checksums). A file
// cut short, or one that is no profile file, would otherwise fill the profile
// with -1s and cleared buttons and send that to the mouse; it changes nothing.
enum class ProfileImport { imported, unreadable, not_whole };
ProfileImport import_whole_profile(SettingsRecord& record, int n, const std::string& chosen_path);

}  // namespace mt

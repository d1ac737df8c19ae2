#pragma once

#include "base/Messages.h"

// The texts the settings files show, as printf formats.
namespace velmora::settings_msg {

// Shown both when a settings file cannot be read and when it cannot be written.
inline constexpr const char* kUnableToOpen = base_msg::kUnableToOpen;
inline constexpr const char* kUnableToOpenBeforeDialog =
    "Unable to open file %s for reading. Please press OK to continue - Settings file will open where you can "
    "define new settings and save to file.";
// A settings file that opens but ends early or holds a bad string length.
inline constexpr const char* kDamaged = "The settings file %s is damaged; the values read before the damage are used.";
// The same for a file loaded into a dialog, which takes all of a file or none of it.
inline constexpr const char* kDamagedNotLoaded = "The settings file %s is damaged; it was not loaded.";
inline constexpr const char* kItemCountLoadFailed = "Unable to load settings! Using Defaults...";
inline constexpr const char* kItemCountSaveFailed = "Unable to save settings!";
// General Settings names its file this way instead of by path.
inline constexpr const char* kPrefsName = "PREFS.DAT";

} // namespace velmora::settings_msg

#pragma once

#include <string>
#include <string_view>

namespace velmora {

// Below the per-user configuration folder.
inline constexpr const char* kSettingsSubPath = "corvane software/velmora3/";

struct FolderResult {
  std::string path;     // ends in a separator; empty on failure
  std::string error;    // text for the user; empty on success
  bool created = false; // the default folder did not exist and was made now
  bool ok() const { return error.empty(); }
};

// A non-empty command line names the folder as is (a separator appended when
// missing) and is not created. Otherwise the per-user default, created with
// its parents when missing.
FolderResult locateSettingsFolder(std::string_view commandLine);

// The default folder for these environment values: $XDG_CONFIG_HOME when
// absolute, else $HOME/.config; "" when neither is usable.
std::string defaultSettingsFolder(const char* xdgConfigHome, const char* home);

// "" or a single folder name with a trailing separator. A stored backslash
// separator is accepted; "..", several components, an absolute path or a NUL
// give "".
std::string cleanProjectSubfolder(std::string_view stored);

// The settings folder joined with the cleaned subfolder.
std::string projectFolderFor(const std::string& settingsFolder, std::string_view subfolder);

// What "prefs.dat" stores: the rightmost (project − settings length) characters.
std::string projectSubfolderOf(const std::string& settingsFolder, const std::string& projectFolder);

} // namespace velmora

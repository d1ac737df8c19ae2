#include "settings/Folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "base/FileSystem.h"
#include "base/Format.h"

namespace velmora {

namespace {

bool isAbsolute(const char* path) { return path && path[0] == kPathSeparator; }

// The password database's home, for sessions started without $HOME.
std::string homeFromPasswd() {
  long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
  passwd pw{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &pw, buffer.data(), buffer.size(), &found) != 0 || !found) return {};
  return isAbsolute(found->pw_dir) ? found->pw_dir : std::string();
}

} // namespace

std::string defaultSettingsFolder(const char* xdgConfigHome, const char* home) {
  // The XDG rules say a relative value is invalid and must be ignored.
  if (isAbsolute(xdgConfigHome)) return withTrailingSeparator(xdgConfigHome) + kSettingsSubPath;
  if (isAbsolute(home)) return withTrailingSeparator(home) + ".config/" + kSettingsSubPath;
  return {};
}

FolderResult locateSettingsFolder(std::string_view commandLine) {
  if (!commandLine.empty()) return {withTrailingSeparator(std::string(commandLine)), {}};

  const char* home = std::getenv("HOME");
  const std::string fallbackHome = isAbsolute(home) ? std::string() : homeFromPasswd();
  const std::string folder =
      defaultSettingsFolder(std::getenv("XDG_CONFIG_HOME"), isAbsolute(home) ? home : fallbackHome.c_str());
  if (folder.empty())
    return {{}, "Unable to find the settings folder: neither XDG_CONFIG_HOME nor HOME names an absolute folder."};

  std::error_code ec;
  const bool existed = isDirectory(folder);
  std::filesystem::create_directories(folder, ec);
  if (!isDirectory(folder)) {
    const std::string why = ec ? ec.message() : std::string("not a folder");
    return {{}, strprintf("Unable to create the settings folder %s: %s.", folder.c_str(), why.c_str())};
  }
  return {folder, {}, !existed};
}

std::string cleanProjectSubfolder(std::string_view stored) {
  std::string name(stored);
  if (!name.empty() && (name.back() == '/' || name.back() == '\\')) name.pop_back();
  if (name.empty() || name == ".") return {};
  if (name.find_first_of(std::string_view("/\\\0", 3)) != std::string::npos) return {};
  if (name.find("..") != std::string::npos) return {};
  return name + kPathSeparator;
}

std::string projectFolderFor(const std::string& settingsFolder, std::string_view subfolder) {
  return settingsFolder + cleanProjectSubfolder(subfolder);
}

std::string projectSubfolderOf(const std::string& settingsFolder, const std::string& projectFolder) {
  if (projectFolder.size() <= settingsFolder.size()) return {};
  return projectFolder.substr(settingsFolder.size());
}

} // namespace velmora

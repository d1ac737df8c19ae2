#include "app/GeneralSettings.h"

#include <algorithm>
#include <filesystem>

#include "base/FileSystem.h"
#include "base/Format.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

std::string bracketed(const std::string& name) { return "[" + name + "]"; }

bool lessIgnoringCase(const std::string& a, const std::string& b) {
  const std::string ua = toUpperAscii(a), ub = toUpperAscii(b);
  return ua != ub ? ua < ub : a < b;
}

} // namespace

std::vector<std::string> projectDirectoryEntries(const std::string& settingsFolder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(settingsFolder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (it->is_directory(typeError)) names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end(), lessIgnoringCase);
  std::vector<std::string> entries{bracketed(".") + " (" + settingsFolder + ")"};
  for (const std::string& name : names)
    entries.push_back(bracketed(name));
  return entries;
}

int projectEntryIndex(const std::vector<std::string>& entries, const std::string& settingsFolder,
                      const std::string& projectFolder) {
  if (projectFolder == settingsFolder || !projectFolder.starts_with(settingsFolder)) return entries.empty() ? -1 : 0;
  std::string below = projectFolder.substr(settingsFolder.size());
  while (!below.empty() && below.back() == kPathSeparator)
    below.pop_back();
  const std::string wanted = bracketed(below);
  for (size_t i = 1; i < entries.size(); ++i)
    if (entries[i] == wanted) return static_cast<int>(i);
  for (size_t i = 1; i < entries.size(); ++i)
    if (equalsIgnoreCaseAscii(entries[i], wanted)) return static_cast<int>(i);
  return -1;
}

GeneralSettingsForm generalSettingsForm(const std::string& settingsFolder, const std::string& projectFolder,
                                        const GeneralPrefs& prefs) {
  GeneralSettingsForm form;
  form.projectEntries = projectDirectoryEntries(settingsFolder);
  form.selected = projectEntryIndex(form.projectEntries, settingsFolder, projectFolder);
  form.useExplorerDialog = prefs.useExplorerDialog != 0;
  return form;
}

std::string newProjectFolderName(const std::string& typedName) {
  std::string name = typedName;
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos) name.resize(dot);
  if (name == "." || name == ".." || name.find(kPathSeparator) != std::string::npos ||
      name.find('\0') != std::string::npos)
    return std::string();
  return toUpperAscii(name);
}

bool createNewProject(IHost& host, const std::string& settingsFolder, const std::string& typedName,
                      GeneralSettingsForm& form) {
  const std::string name = newProjectFolderName(typedName);
  std::error_code ec;
  if (name.empty() || !fs::create_directory(settingsFolder + name, ec) || ec) {
    host.showMessage(kErrorCreatingDirectory);
    return false;
  }
  const std::string kept = form.selected >= 0 && form.selected < static_cast<int>(form.projectEntries.size())
                               ? form.projectEntries[static_cast<size_t>(form.selected)]
                               : std::string();
  form.projectEntries = projectDirectoryEntries(settingsFolder);
  const auto it = std::find(form.projectEntries.begin(), form.projectEntries.end(), kept);
  form.selected = it == form.projectEntries.end() ? -1 : static_cast<int>(it - form.projectEntries.begin());
  return true;
}

void applyGeneralSettingsForm(const GeneralSettingsForm& form, GeneralPrefs& prefs) {
  prefs.useExplorerDialog = form.useExplorerDialog ? 1 : 0;
  if (form.selected == 0) {
    prefs.projectSubfolder.clear();
  } else if (form.selected > 0 && form.selected < static_cast<int>(form.projectEntries.size())) {
    const std::string& entry = form.projectEntries[static_cast<size_t>(form.selected)];
    if (entry.size() >= 2) prefs.projectSubfolder = entry.substr(1, entry.size() - 2) + kPathSeparator;
  }
}

} // namespace velmora

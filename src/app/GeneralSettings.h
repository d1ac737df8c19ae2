#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/Host.h"
#include "settings/Records.h"

namespace velmora {

inline constexpr const char* kNewProjectPrompt = "Enter name for new Project";
inline constexpr const char* kErrorCreatingDirectory = "Error creating directory.";

// What the "General Settings" dialog shows and gives back.
struct GeneralSettingsForm {
  // "[NAME]" per folder of the settings folder; item 0 is "[.] (" + settings folder + ")".
  std::vector<std::string> projectEntries;
  int selected = 0; // -1 when the project folder is not listed
  bool useExplorerDialog = false;

  bool operator==(const GeneralSettingsForm&) const = default;
};

// "New Project...": creates a folder from the typed name and refills the form.
using NewProjectAction = std::function<void(const std::string& typedName, GeneralSettingsForm& form)>;

// The "General Settings" dialog; true for OK.
class IGeneralSettingsDialog {
public:
  virtual ~IGeneralSettingsDialog() = default;
  virtual bool editGeneralSettings(GeneralSettingsForm& form, const NewProjectAction& newProject) = 0;
};

// The combo box entries: "[.]" with the settings folder first, then every
// other folder, sorted ignoring case. ".." is left out: it names a folder
// outside the settings folder, which a project folder never is.
std::vector<std::string> projectDirectoryEntries(const std::string& settingsFolder);

// The entry naming the project folder: 0 for the settings folder itself,
// -1 when its folder is not listed.
int projectEntryIndex(const std::vector<std::string>& entries, const std::string& settingsFolder,
                      const std::string& projectFolder);

GeneralSettingsForm generalSettingsForm(const std::string& settingsFolder, const std::string& projectFolder,
                                        const GeneralPrefs& prefs);

// The folder a typed project name gives: cut at its last ".", upper case.
// "" when nothing usable is left, for "." and "..", and when it holds a separator.
std::string newProjectFolderName(const std::string& typedName);

// Creates settings folder + the folder name; "Error creating directory."
// when it cannot (bad name, folder exists, no permission). Then the entries
// are refilled and the selection stays on the entry it was on.
bool createNewProject(IHost& host, const std::string& settingsFolder, const std::string& typedName,
                      GeneralSettingsForm& form);

// The record as OK leaves it: item 0 is the settings folder, another entry
// its folder below it; no selection keeps the stored project folder.
void applyGeneralSettingsForm(const GeneralSettingsForm& form, GeneralPrefs& prefs);

} // namespace velmora

#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/Settings.h"

namespace velmora {

// The settings file of that name ("opt.dat", "SCORCNT2.DAT"; case ignored).
std::optional<SettingsFile> settingsFileNamed(std::string_view name);

// Every field of the file's record by its name, in file order, with its value
// as text: flags and integers in decimal, floats in their shortest form.
std::vector<std::pair<std::string, std::string>> settingsFieldValues(CSettings& settings, SettingsFile file);

// Sets one field by name within the dialogs' limits: extensions of at most 3
// characters, upper-cased except in run.dat (just.dat sets no length),
// markLength 0 to 99, markThickness 0.1 to 5.0, flags 0 or 1, list choices
// within their lists. False with a message naming the field and its range;
// the record is then unchanged.
bool setSettingsField(CSettings& settings, SettingsFile file, std::string_view name, std::string_view value,
                      std::string& message);

} // namespace velmora

#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// A file the settings folder gets at start-up when it has none of that name.
struct StartupFile {
  std::string name;         // created under this name in the settings folder
  std::string sourcePath;   // copied from here; "" when `content` holds the bytes
  std::string_view content; // embedded bytes, for a file that ships without a source path
};

// A data file of the program (the manual, the change log): in share/velmora/
// beside the executable's bin/ (the build tree and an installed tree alike),
// else in the configured install prefix. "" when neither has it.
std::string dataFilePath(const std::string& executablePath, std::string_view name);

// "velmora3.pdf" and "changelog.txt", which the Help menu opens, from the data files.
std::vector<StartupFile> helpFiles(const std::string& executablePath);

struct InstallReport {
  std::vector<std::string> installed; // names created
  std::vector<std::string> problems;  // one line per file that could not be written
};

// Writes every listed file that the settings folder lacks (looked up ignoring
// case), atomically and never over an existing file. A file without a source
// (a missing source path, or no content) is skipped without a problem.
InstallReport installMissingFiles(const std::string& settingsFolder, const std::vector<StartupFile>& files);

} // namespace velmora

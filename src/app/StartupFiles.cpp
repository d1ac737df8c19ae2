#include "app/StartupFiles.h"

#include <filesystem>
#include <span>

#include "app/CommandTable.h"
#include "base/AtomicFile.h"
#include "base/FileSystem.h"
#include "edit/SyntaxHelp.h"

#ifndef VELMORA_DATA_FROM_BIN
#define VELMORA_DATA_FROM_BIN "../share/velmora"
#endif
#ifndef VELMORA_DATA_INSTALLED
#define VELMORA_DATA_INSTALLED "/usr/local/share/velmora"
#endif

namespace velmora {

namespace {

// The manual is a few megabytes at most; anything beyond is not ours.
constexpr size_t kMaxDataFileBytes = 64u << 20;

} // namespace

std::string dataFilePath(const std::string& executablePath, std::string_view name) {
  namespace fs = std::filesystem;
  std::vector<fs::path> folders;
  if (!executablePath.empty())
    folders.push_back((fs::path(executablePath).parent_path() / VELMORA_DATA_FROM_BIN).lexically_normal());
  folders.emplace_back(VELMORA_DATA_INSTALLED);
  for (const fs::path& folder : folders) {
    const std::string path = (folder / name).string();
    if (fileExists(path) && !isDirectory(path)) return path;
  }
  return {};
}

std::vector<StartupFile> helpFiles(const std::string& executablePath) {
  return {{kManualFile, dataFilePath(executablePath, kManualFile), {}},
          {kChangelogFile, dataFilePath(executablePath, kChangelogFile), {}},
          {kSyntaxFileName, "", builtInSyntaxText()}};
}

InstallReport installMissingFiles(const std::string& settingsFolder, const std::vector<StartupFile>& files) {
  InstallReport report;
  const std::string folder = withTrailingSeparator(settingsFolder);
  for (const StartupFile& file : files) {
    if (fileExists(resolveCaseInsensitive(folder, file.name))) continue;
    std::vector<uint8_t> bytes;
    std::span<const uint8_t> data;
    if (!file.sourcePath.empty()) {
      if (readWholeFile(file.sourcePath, bytes, kMaxDataFileBytes) != ReadResult::Ok) continue;
      data = bytes;
    } else if (!file.content.empty()) {
      data = std::span(reinterpret_cast<const uint8_t*>(file.content.data()), file.content.size());
    } else {
      continue;
    }
    const std::string target = folder + file.name;
    AtomicFile out;
    if (out.open(target) && out.write(data) && out.commitNoReplace())
      report.installed.push_back(file.name);
    else if (!fileExists(target))
      report.problems.push_back("Unable to install " + target + ": " + out.error());
  }
  return report;
}

} // namespace velmora

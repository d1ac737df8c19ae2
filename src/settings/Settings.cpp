#include "settings/Settings.h"

#include "base/FileSystem.h"
#include "settings/Folders.h"
#include "settings/Messages.h"

namespace velmora {

namespace {

std::string withPath(const char* format, const std::string& path) { return strprintf(format, path.c_str()); }

} // namespace

CSettings::CSettings(std::string settingsFolder)
    : settingsFolder_(withTrailingSeparator(std::move(settingsFolder))), projectFolder_(settingsFolder_) {}

void CSettings::setProjectFolder(const std::string& folder) {
  const std::string path = withTrailingSeparator(folder);
  prefs().projectSubfolder = path.starts_with(settingsFolder_) ? path.substr(settingsFolder_.size()) : std::string();
  applyProjectSubfolder();
}

std::string CSettings::settingsPath(std::string_view name) const {
  return resolveCaseInsensitive(settingsFolder_, name);
}

void CSettings::resetToDefaults() {
  records_ = {};
  projectFolder_ = settingsFolder_;
}

void CSettings::loadAtStartup(IHost& host) {
  resetToDefaults();
  for (SettingsFile file : {SettingsFile::Prefs, SettingsFile::Optimize, SettingsFile::Unoptimize, SettingsFile::Edit,
                            SettingsFile::Justify, SettingsFile::Beam, SettingsFile::Run})
    load(file, host, settings_msg::kUnableToOpen);
  loadItemCountOptions(host);
}

LoadResult CSettings::reload(SettingsFile file, IHost& host) {
  if (file == SettingsFile::ItemCount) return loadItemCountOptions(host);
  return load(file, host, settings_msg::kUnableToOpen);
}

LoadResult CSettings::reloadBeforeDialog(SettingsFile file, IHost& host) {
  switch (file) {
  case SettingsFile::ItemCount: return loadItemCountOptions(host);
  case SettingsFile::Run:
  case SettingsFile::Report: return load(file, host, settings_msg::kUnableToOpen);
  default: return load(file, host, settings_msg::kUnableToOpenBeforeDialog);
  }
}

LoadResult CSettings::load(SettingsFile file, IHost& host, const char* cannotOpenFormat) {
  const std::string path = pathOf(file);
  const LoadResult result = withRecord(*this, file, [&](auto& record) { return loadRecordFile(path, record); });
  if (result == LoadResult::CannotOpen) host.showMessage(withPath(cannotOpenFormat, path));
  if (result == LoadResult::Damaged) host.showMessage(withPath(settings_msg::kDamaged, path));
  if (file == SettingsFile::Prefs && result != LoadResult::CannotOpen) applyProjectSubfolder();
  return result;
}

bool CSettings::save(SettingsFile file, IHost& host) {
  if (file == SettingsFile::ItemCount) return saveItemCountOptions(host);
  if (file == SettingsFile::Prefs) prefs().projectSubfolder = projectSubfolderOf(settingsFolder_, projectFolder_);
  const std::string path = pathOf(file);
  std::string error;
  WriteStage stage = WriteStage::None;
  const bool written =
      withRecord(*this, file, [&](auto& record) {
        return saveRecordFile(path, record, &error, &stage) ? LoadResult::Loaded : LoadResult::CannotOpen;
      }) == LoadResult::Loaded;
  if (!written) {
    const std::string shown = file == SettingsFile::Prefs ? std::string(settings_msg::kPrefsName) : path;
    host.showMessage(writeFailureMessage(path, stage, error, withPath(settings_msg::kUnableToOpen, shown)));
  }
  return written;
}

LoadResult CSettings::loadItemCountOptions(IHost& host) {
  const std::string path = pathOf(SettingsFile::ItemCount);
  const LoadResult result = loadRecordFile(path, itemCount());
  if (result == LoadResult::CannotOpen) host.showMessage(settings_msg::kItemCountLoadFailed);
  if (result == LoadResult::Damaged) host.showMessage(withPath(settings_msg::kDamaged, path));
  return result;
}

bool CSettings::saveItemCountOptions(IHost& host) {
  const std::string path = pathOf(SettingsFile::ItemCount);
  std::string error;
  WriteStage stage = WriteStage::None;
  if (saveRecordFile(path, itemCount(), &error, &stage)) return true;
  host.showMessage(writeFailureMessage(path, stage, error, settings_msg::kItemCountSaveFailed));
  return false;
}

void CSettings::adopt(const GeneralPrefs& prefsFromDialog) {
  prefs() = prefsFromDialog;
  applyProjectSubfolder();
}

void CSettings::applyProjectSubfolder() {
  projectFolder_ = projectFolderFor(settingsFolder_, prefs().projectSubfolder);
  prefs().projectSubfolder = projectSubfolderOf(settingsFolder_, projectFolder_);
}

std::vector<std::string> writeMissingSettingsFiles(const std::string& settingsFolder, IHost& host) {
  CSettings defaults(settingsFolder);
  std::vector<std::string> written;
  for (SettingsFile file : {SettingsFile::Prefs, SettingsFile::Optimize, SettingsFile::Unoptimize, SettingsFile::Edit,
                            SettingsFile::Justify, SettingsFile::Beam, SettingsFile::Run, SettingsFile::Crops,
                            SettingsFile::Report, SettingsFile::ItemCount}) {
    const std::string path = defaults.pathOf(file);
    if (fileExists(path)) continue;
    if (!defaults.save(file, host)) break;
    written.push_back(path);
  }
  return written;
}

} // namespace velmora

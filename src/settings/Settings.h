#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "base/Format.h"
#include "base/Host.h"
#include "settings/Records.h"
#include "settings/Serialize.h"

namespace velmora {

// The settings and project folders, fixed once at start-up, and the one
// in-memory copy of every settings record, shared by the GUI and the CLI.
class CSettings {
public:
  // The folder from locateSettingsFolder(); a separator is appended when missing.
  explicit CSettings(std::string settingsFolder);

  const std::string& settingsFolder() const { return settingsFolder_; }
  // The settings folder itself or a direct subfolder of it; ends in a separator.
  const std::string& projectFolder() const { return projectFolder_; }
  // Anything that is not the settings folder or one folder below it becomes the settings folder.
  void setProjectFolder(const std::string& folder);

  // settings folder + name, preferring an existing entry that matches ignoring case.
  std::string settingsPath(std::string_view name) const;
  std::string pathOf(SettingsFile file) const { return settingsPath(settingsFileName(file)); }

  template <class R> R& get() { return std::get<R>(records_); }
  template <class R> const R& get() const { return std::get<R>(records_); }
  GeneralPrefs& prefs() { return get<GeneralPrefs>(); }
  OptimizeOptions& optimize() { return get<OptimizeOptions>(); }
  UnoptimizeOptions& unoptimize() { return get<UnoptimizeOptions>(); }
  EditOptions& edit() { return get<EditOptions>(); }
  JustifyOptions& justify() { return get<JustifyOptions>(); }
  BeamOptions& beam() { return get<BeamOptions>(); }
  RunOptions& run() { return get<RunOptions>(); }
  CropOptions& crops() { return get<CropOptions>(); }
  ReportOptions& report() { return get<ReportOptions>(); }
  ItemCountOptions& itemCount() { return get<ItemCountOptions>(); }

  // Every record at its default; the project folder is the settings folder.
  void resetToDefaults();

  // Defaults, then prefs, opt, uno, edi, just, beam and run in that order
  // (a message per file that fails), then the item-count file.
  void loadAtStartup(IHost& host);

  // Re-reads one file, as a task does before it runs; failures show
  // "Unable to open file %s for reading" and keep the values in memory.
  LoadResult reload(SettingsFile file, IHost& host);
  // The re-read before a settings dialog; a missing file gets the longer
  // text that says the dialog will create it. Run and Report use reload()'s
  // text, the item-count file its own.
  LoadResult reloadBeforeDialog(SettingsFile file, IHost& host);
  // Writes one file from memory; false after the message.
  bool save(SettingsFile file, IHost& host);

  LoadResult loadItemCountOptions(IHost& host);
  bool saveItemCountOptions(IHost& host);

  // A settings command: re-read, run the dialog on a copy (true for OK), on
  // OK take the copy with its extension upper-cased (Run keeps it as typed)
  // and write the file. Cancel writes nothing. The item-count dialog is the
  // exception: no re-read, and its file is written whenever it closes.
  template <class R> bool editSettings(IHost& host, const std::function<bool(R&)>& dialog);

private:
  LoadResult load(SettingsFile file, IHost& host, const char* cannotOpenFormat);
  template <class R> void adopt(const R& record) { get<R>() = record; }
  void adopt(const GeneralPrefs& prefs);
  // Keeps the stored subfolder and the project folder in step.
  void applyProjectSubfolder();

  std::string settingsFolder_;
  std::string projectFolder_;
  std::tuple<GeneralPrefs, OptimizeOptions, UnoptimizeOptions, EditOptions, JustifyOptions, BeamOptions, RunOptions,
             CropOptions, ReportOptions, ItemCountOptions>
      records_;
};

// Calls f with the record that `file` holds.
template <class F> decltype(auto) withRecord(CSettings& s, SettingsFile file, F&& f) {
  switch (file) {
  case SettingsFile::Prefs: return f(s.prefs());
  case SettingsFile::Optimize: return f(s.optimize());
  case SettingsFile::Unoptimize: return f(s.unoptimize());
  case SettingsFile::Edit: return f(s.edit());
  case SettingsFile::Justify: return f(s.justify());
  case SettingsFile::Beam: return f(s.beam());
  case SettingsFile::Run: return f(s.run());
  case SettingsFile::Crops: return f(s.crops());
  case SettingsFile::Report: return f(s.report());
  case SettingsFile::ItemCount: break;
  }
  return f(s.itemCount());
}

// Writes every settings file the folder lacks (in any case) with its defaults,
// never replacing one, so a new setup starts without the missing-file
// messages. Returns the paths written; stops after the first failure's message.
std::vector<std::string> writeMissingSettingsFiles(const std::string& settingsFolder, IHost& host);

template <class R> bool CSettings::editSettings(IHost& host, const std::function<bool(R&)>& dialog) {
  constexpr SettingsFile file = RecordFile<R>::value;
  if constexpr (file != SettingsFile::ItemCount) reloadBeforeDialog(file, host);
  R edited = get<R>();
  const bool confirmed = dialog && dialog(edited);
  if (confirmed) {
    if constexpr (requires { edited.extension; }) {
      if constexpr (file != SettingsFile::Run) edited.extension = toUpperAscii(edited.extension);
    }
    adopt(edited);
  }
  if (confirmed || file == SettingsFile::ItemCount) save(file, host);
  return confirmed;
}

} // namespace velmora

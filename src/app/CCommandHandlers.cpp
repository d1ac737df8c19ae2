#include "app/CCommandHandlers.h"

#include "app/CommandTable.h"
#include "base/FileSystem.h"

namespace velmora {

bool CCommandHandlers::isEnabled(int commandId) const { return isCommandEnabled(commandId, batch_.busy); }

BatchOutcome CCommandHandlers::onRunItemCount() {
  itemCount_ = ItemCountTotals{};
  doc_.settings.loadItemCountOptions(host_);

  BatchTask task;
  task.task = Task::ItemCount;
  task.progressText = [](const std::string& path) { return " " + path; };
  task.prepare = [this] {
    itemCount_.files = static_cast<int32_t>(batch_.fileList.size());
    return true;
  };
  task.output = BatchTask::Output::None;
  // The count goes on past a file it cannot use; the frame still hears of it.
  task.perFile = [this](const std::string& path, const std::string&) {
    const int result = countFile(host_, path, itemCount_);
    batch_.noteFileFailed(itemCount_.lastFile);
    return result;
  };
  task.afterFinish = [this] {
    const auto rows = itemCountResultBlock(itemCount_, doc_.settings.itemCount().skipBlankStaves != 0);
    for (size_t i = 0; i < rows.size(); ++i) {
      if (i + 1 < rows.size())
        batch_.log.append(rows[i]);
      else
        batch_.log.appendAndFollow(rows[i]);
    }
  };
  task.clearStore = [this] { doc_.clearStore(); };
  return runBatch(batch_, host_, task, doc_.settings.prefs().useExplorerDialog != 0);
}

void CCommandHandlers::onEditSettings(IEditSettingsDialog& dialog) {
  doc_.settings.editSettings<EditOptions>(host_,
                                          [&dialog](EditOptions& options) { return dialog.editEditSettings(options); });
}

void CCommandHandlers::onItemCountSettings(IItemCountDialogs& dialogs) {
  doc_.settings.editSettings<ItemCountOptions>(
      host_, [&dialogs](ItemCountOptions& options) { return dialogs.editItemCountOptions(options); });
}

bool CCommandHandlers::onGeneralSettings(IGeneralSettingsDialog& dialog) {
  CSettings& settings = doc_.settings;
  return settings.editSettings<GeneralPrefs>(host_, [&](GeneralPrefs& prefs) {
    GeneralSettingsForm form = generalSettingsForm(settings.settingsFolder(), settings.projectFolder(), prefs);
    const NewProjectAction newProject = [&](const std::string& typedName, GeneralSettingsForm& shown) {
      createNewProject(host_, settings.settingsFolder(), typedName, shown);
    };
    if (!dialog.editGeneralSettings(form, newProject)) return false;
    applyGeneralSettingsForm(form, prefs);
    return true;
  });
}

namespace {

void openIfPresent(IHost& host, const std::string& path) {
  if (fileExists(path)) host.openInViewer(path);
}

} // namespace

void CCommandHandlers::onManual() { openIfPresent(host_, doc_.settings.settingsPath(kManualFile)); }

void CCommandHandlers::onChangelog() { openIfPresent(host_, doc_.settings.settingsPath(kChangelogFile)); }

} // namespace velmora

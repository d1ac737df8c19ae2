#include "app/CCommandHandlers.h"
#include "base/Format.h"
#include "eps/EpsTools.h"

namespace velmora {

namespace {

// The frame of every PostScript action: the bare title, the EPS filter, one
// progress line per file.
BatchTask epsTask(Task task, PerFileRoutine perFile) {
  BatchTask t;
  t.task = task;
  t.perFile = std::move(perFile);
  // The EPS tools change their files in place; a rename or a split names its own.
  t.output = BatchTask::Output::Input;
  return t;
}

} // namespace

BatchOutcome CCommandHandlers::onAddCropMarks() {
  BatchTask task = epsTask(Task::AddCropMarks, [this](const std::string& path, const std::string&) {
    return CEpsTools(host_, doc_.eps, batch_).addCropMarks(doc_.settings.crops(), path);
  });
  task.reloadSettings = [this] { doc_.settings.reload(SettingsFile::Crops, host_); };
  return runBatch(batch_, host_, task, doc_.settings.prefs().useExplorerDialog != 0);
}

BatchOutcome CCommandHandlers::onRemoveCropMarks() {
  const BatchTask task = epsTask(Task::RemoveCropMarks, [this](const std::string& path, const std::string&) {
    return CEpsTools(host_, doc_.eps, batch_).removeCropMarks(path);
  });
  return runBatch(batch_, host_, task, doc_.settings.prefs().useExplorerDialog != 0);
}

BatchOutcome CCommandHandlers::onRenameEps() {
  const BatchTask task = epsTask(Task::RenameEps, [this](const std::string& path, const std::string&) {
    return CEpsTools(host_, doc_.eps, batch_).renameToScoreFile(path);
  });
  return runBatch(batch_, host_, task, doc_.settings.prefs().useExplorerDialog != 0);
}

BatchOutcome CCommandHandlers::onListFonts() {
  doc_.eps.fontList.clear();
  bool written = true;
  BatchTask task = epsTask(Task::ListFonts, [this](const std::string& path, const std::string&) {
    return CEpsTools(host_, doc_.eps, batch_).listTextFonts(path);
  });
  task.output = BatchTask::Output::None;
  task.afterFinish = [this, &written] {
    if (batch_.run) batch_.run->batchNote(strprintf("%zu font name(s) listed", doc_.eps.fontList.size()));
    if (batch_.dryRun()) return;
    const std::string path = CEpsTools(host_, doc_.eps, batch_).writeFontList(doc_.settings.projectFolder());
    written = !path.empty();
    if (written) host_.openInViewer(path);
  };
  const BatchOutcome outcome = runBatch(batch_, host_, task, doc_.settings.prefs().useExplorerDialog != 0);
  // A font list that could not be written is no success.
  return outcome == BatchOutcome::Finished && !written ? BatchOutcome::Stopped : outcome;
}

BatchOutcome CCommandHandlers::onAlterBoundingBox(IEpsDialogs& dialogs) {
  const BatchTask task = epsTask(Task::AlterBoundingBox, [this, &dialogs](const std::string& path, const std::string&) {
    return CEpsTools(host_, doc_.eps, batch_).alterBoundingBox(dialogs, doc_.settings.projectFolder(), path);
  });
  return runBatch(batch_, host_, task, doc_.settings.prefs().useExplorerDialog != 0);
}

BatchOutcome CCommandHandlers::onSplitEps() {
  const BatchTask task = epsTask(Task::SplitEps, [this](const std::string& path, const std::string&) {
    return CEpsTools(host_, doc_.eps, batch_).splitPages(path);
  });
  return runBatch(batch_, host_, task, doc_.settings.prefs().useExplorerDialog != 0);
}

void CCommandHandlers::onCropSettings(IEpsDialogs& dialogs) {
  doc_.settings.editSettings<CropOptions>(host_, [this, &dialogs](CropOptions& options) {
    CropDialogData data{options, doc_.settings.settingsFolder()};
    if (!dialogs.cropMarkSettings(data)) return false;
    options = data.options;
    return true;
  });
}

} // namespace velmora

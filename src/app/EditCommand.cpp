#include "app/CCommandHandlers.h"

namespace velmora {

BatchOutcome CCommandHandlers::onEdit(IEditDialogs& dialogs) {
  if (!chooseMacro(dialogs, doc_.settings, host_, doc_.lastMacro)) return BatchOutcome::PreparationCancelled;
  const std::string macro = doc_.lastMacro;

  BatchTask task;
  task.task = Task::Edit;
  task.extension = [this] { return doc_.settings.edit().extension; };
  task.reloadSettings = [this] { doc_.settings.reload(SettingsFile::Edit, host_); };
  task.progressText = [macro](const std::string& path) { return macro + " " + path; };
  task.perFile = [this, &dialogs, macro](const std::string& path, const std::string& extension) {
    CEditRun run(EditRunContext{host_, dialogs, doc_.store, doc_.candidates, doc_.settings.edit(),
                                doc_.settings.projectFolder(), batch_});
    return run.editFile(macro, path, extension);
  };
  task.clearStore = [this] { doc_.clearStore(); };
  return runBatch(batch_, host_, task, doc_.settings.prefs().useExplorerDialog != 0);
}

} // namespace velmora

#include "app/CCommandHandlers.h"

namespace velmora {

BatchOutcome CCommandHandlers::onJustify(IJustifyDialogs& dialogs) {
  JustifyRun run{host_, dialogs, doc_.settings.justify(), batch_};
  BatchTask task;
  task.task = Task::Justify;
  task.extension = [this] { return doc_.settings.justify().extension; };
  task.reloadSettings = [this] { doc_.settings.reload(SettingsFile::Justify, host_); };
  // The prompt option as reloaded; "Yes To All" clears only this copy.
  task.prepare = [this, &run] {
    run.prompt = doc_.settings.justify().promptBeforeOperation != 0;
    return true;
  };
  task.perFile = [this, &run](const std::string& path, const std::string& extension) {
    return justifyFile(run, doc_.store, path, extension);
  };
  task.clearStore = [this] { doc_.clearStore(); };
  return runBatch(batch_, host_, task, doc_.settings.prefs().useExplorerDialog != 0);
}

void CCommandHandlers::onJustifySettings(IJustifyDialogs& dialogs) {
  doc_.settings.editSettings<JustifyOptions>(
      host_, [&dialogs](JustifyOptions& options) { return dialogs.editJustifySettings(options); });
}

} // namespace velmora

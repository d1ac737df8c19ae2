#include "app/CCommandHandlers.h"
#include "staves/Optimize.h"
#include "staves/Unoptimize.h"

namespace velmora {

BatchOutcome CCommandHandlers::onOptimize(IStaveDialogs& dialogs, bool instrumentMode) {
  BatchTask task;
  task.task = Task::Optimize;
  task.extension = [this] { return doc_.settings.optimize().extension; };
  task.reloadSettings = [this, instrumentMode] {
    doc_.settings.reload(SettingsFile::Optimize, host_);
    if (instrumentMode) doc_.settings.optimize().showInstrumentDeleteWindow = 1;
  };
  task.prepare = [this, &dialogs] {
    if (doc_.settings.optimize().showInstrumentDeleteWindow == 0) return true;
    if (chooseInstrumentNumbers(dialogs, doc_.optimizeBatch)) return true;
    batch_.log.appendAndFollow(kOperationCancelled);
    return false;
  };
  task.perFile = [this, &dialogs](const std::string& path, const std::string& extension) {
    OptimizeContext context{host_, dialogs, doc_.store, doc_.settings.optimize(), doc_.optimizeBatch, batch_.run};
    return optimizeFile(context, path, extension);
  };
  task.clearStore = [this] { doc_.clearStore(); };
  task.resetBatchState = [this] {
    doc_.optimizeBatch.reset();
    doc_.store.staveFlags.fill(0);
  };
  return runBatch(batch_, host_, task, doc_.settings.prefs().useExplorerDialog != 0);
}

BatchOutcome CCommandHandlers::onUnoptimize(IStaveDialogs& dialogs) {
  BatchTask task;
  task.task = Task::Unoptimize;
  task.extension = [this] { return doc_.settings.unoptimize().extension; };
  task.prepareBeforeReload = [this, &dialogs] {
    TemplateChoice choice = templateChoiceRequest();
    if (!dialogs.chooseTemplate(choice)) {
      doc_.clearStore();
      return false;
    }
    return loadTemplate(host_, choice.path, doc_.unoptimizeTemplate);
  };
  task.reloadSettings = [this] { doc_.settings.reload(SettingsFile::Unoptimize, host_); };
  task.perFile = [this, &dialogs](const std::string& path, const std::string& extension) {
    UnoptimizeContext context{host_,     dialogs, doc_.store, doc_.settings.unoptimize(), doc_.unoptimizeTemplate,
                              batch_.run};
    return unoptimizeFile(context, path, extension);
  };
  task.clearStore = [this] { doc_.clearStore(); };
  task.resetBatchState = [this] {
    doc_.unoptimizeTemplate.clear();
    doc_.store.staveFlags.fill(0);
  };
  return runBatch(batch_, host_, task, doc_.settings.prefs().useExplorerDialog != 0);
}

void CCommandHandlers::onOptimizeSettings(IStaveSettingsDialogs& dialogs) {
  doc_.settings.editSettings<OptimizeOptions>(
      host_, [&dialogs](OptimizeOptions& options) { return dialogs.editOptimizeOptions(options); });
}

void CCommandHandlers::onUnoptimizeSettings(IStaveSettingsDialogs& dialogs) {
  doc_.settings.editSettings<UnoptimizeOptions>(
      host_, [&dialogs](UnoptimizeOptions& options) { return dialogs.editUnoptimizeOptions(options); });
}

} // namespace velmora

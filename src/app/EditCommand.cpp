#include "app/CCommandHandlers.h"

namespace velmora {

BatchOutcome CCommandHandlers::onEdit(IEditDialogs& dialogs) {
  if (!chooseMacro(dialogs, doc_.settings, host_, doc_.lastMacro)) return BatchOutcome::PreparationCancelled;
  return onEditMacro(dialogs, doc_.lastMacro);
}

BatchOutcome CCommandHandlers::onEditMacro(IEditDialogs& dialogs, const std::string& macro) {
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

namespace {

// The preview's second run answers every prompt with "Yes To All": it only lists.
class ListingDialogs final : public IEditDialogs {
public:
  bool selectMacro(const SelectMacroRequest&, std::string&) override { return false; }
  PromptAnswer promptBeforeOperation(const EditPrompt&) override { return PromptAnswer::YesToAll; }
};

} // namespace

BatchOutcome CCommandHandlers::onPreviewEdit(IEditDialogs& dialogs, CRunRecord& record) {
  record.dryRun = true;
  record.keepFiles = true;
  record.files.clear();
  CRunRecord* const previous = batch_.run;
  batch_.run = &record;
  const BatchOutcome outcome = onEdit(dialogs);
  batch_.run = previous;
  return outcome;
}

std::vector<ItemChange> CCommandHandlers::previewItems(const std::string& macro, const std::string& path,
                                                       size_t limit) {
  CRunRecord record;
  record.dryRun = true;
  record.itemLimit = limit;
  CBatchState scratch;
  scratch.run = &record;
  record.beginFile(path);
  ListingDialogs dialogs;
  EditOptions options = doc_.settings.edit();
  CItemStore store;
  CCandidateSets candidates;
  CEditRun run(EditRunContext{host_, dialogs, store, candidates, options, doc_.settings.projectFolder(), scratch});
  if (run.editFile(macro, path, options.extension) != 1) return {};
  return record.current().items;
}

} // namespace velmora

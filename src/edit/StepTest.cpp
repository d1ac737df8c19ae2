#include "edit/StepTest.h"

#include "edit/EditRun.h"
#include "model/ScoreReader.h"
#include "model/ScoreWriter.h"

namespace velmora {

namespace {

class NoPromptDialogs final : public IEditDialogs {
public:
  bool selectMacro(const SelectMacroRequest&, std::string&) override { return false; }
  PromptAnswer promptBeforeOperation(const EditPrompt&) override { return PromptAnswer::YesToAll; }
};

} // namespace

bool testStepOnFile(IHost& host, const std::string& projectFolder, const EditOptions& options, const StepData& step,
                    const std::string& path, size_t limit, StepTestResult& result) {
  CItemStore store;
  if (openAndReadGeneral(host, path, store) != 1) return false;
  CRunRecord record;
  record.dryRun = true;
  record.itemLimit = limit;
  record.beginFile(path);
  CBatchState batch;
  batch.run = &record;
  CCandidateSets candidates;
  EditOptions quiet = options;
  quiet.promptBeforeOperation = 0;
  NoPromptDialogs dialogs;
  CEditRun run(EditRunContext{host, dialogs, store, candidates, quiet, projectFolder, batch});
  StepChanges& counted = record.beginStep("");
  run.recordStep(&counted);
  bool modified = false;
  if (run.runStep(step, path, modified) != 1) return false;
  // The writer's comparison lists the items; the dry run keeps it from writing.
  if (writePlain(host, store, outputPathFor(path, options.extension), &record) != 1) return false;
  const FileChanges& file = record.current();
  result.counts = file.counts;
  result.counts.matched = counted.counts.matched;
  result.items = file.items;
  return true;
}

} // namespace velmora

#include "app/CCommandHandlers.h"

#include "base/Format.h"
#include "beams/BeamTask.h"

namespace velmora {

BatchOutcome CCommandHandlers::onSetBeamAngles(IBeamDialogs& dialogs) {
  BeamRun run{host_,           dialogs,       doc_.store,    doc_.beamLibraries,
              doc_.beamGroups, std::string(), BeamOptions{}, batch_.run};

  long long known = 0;
  BatchTask task;
  task.task = Task::SetBeamAngles;
  task.extension = [this] { return doc_.settings.beam().extension; };
  task.reloadSettings = [this, &run, &known] {
    doc_.settings.reload(SettingsFile::Beam, host_);
    run.options = doc_.settings.beam();
    run.projectFolder = doc_.settings.projectFolder();
    doc_.beamLibraries.loadAll(host_, run.projectFolder);
    known = static_cast<long long>(doc_.beamLibraries.entryCount());
  };
  task.perFile = [&run](const std::string& path, const std::string& extension) {
    return setBeamAnglesInFile(run, path, extension);
  };
  // Only a run that finished every file keeps what it learned.
  bool saved = true;
  task.beforeFinish = [this, &run, &known, &saved] {
    if (batch_.run) {
      const long long learned = static_cast<long long>(doc_.beamLibraries.entryCount()) - known;
      batch_.run->batchNote(strprintf("%lld beam angle(s) learned", learned));
    }
    // A dry run counts what it would have learned and keeps none of it.
    if (!batch_.dryRun()) saved = doc_.beamLibraries.saveAll(host_, run.projectFolder);
  };
  task.clearStore = [this] { doc_.clearStore(true); };
  const BatchOutcome outcome = runBatch(batch_, host_, task, doc_.settings.prefs().useExplorerDialog != 0);
  doc_.beamLibraries.clear();
  // Libraries that could not be saved lose what the run learned: no success.
  return outcome == BatchOutcome::Finished && !saved ? BatchOutcome::Stopped : outcome;
}

void CCommandHandlers::onBeamSettings(IBeamDialogs& dialogs) {
  int shown = beamLibraryShown_;
  const bool confirmed = doc_.settings.editSettings<BeamOptions>(host_, [&](BeamOptions& options) {
    BeamSettingsRequest request;
    request.options = options;
    request.projectFolder = doc_.settings.projectFolder();
    request.libraryIndex = beamLibraryShown_;
    if (!dialogs.editBeamSettings(request)) return false;
    options = request.options;
    shown = request.libraryIndex;
    return true;
  });
  if (confirmed && isValidBeamLibrary(shown)) beamLibraryShown_ = shown;
}

} // namespace velmora

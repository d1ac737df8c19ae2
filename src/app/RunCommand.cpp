#include <optional>

#include "app/CCommandHandlers.h"
#include "base/Format.h"
#include "batch/RunChain.h"
#include "beams/BeamTask.h"
#include "staves/Optimize.h"
#include "staves/Unoptimize.h"

namespace velmora {

BatchOutcome CCommandHandlers::onRunMultipleTasks(IRunDialogs& runDialogs, IStaveDialogs& staveDialogs,
                                                  IBeamDialogs& beamDialogs, IJustifyDialogs& justifyDialogs,
                                                  IEditDialogs& editDialogs) {
  CSettings& settings = doc_.settings;
  BeamRun beamRun{host_, beamDialogs, doc_.store, doc_.beamLibraries, doc_.beamGroups, std::string(), BeamOptions{}};
  JustifyRun justifyRun{host_, justifyDialogs, settings.justify(), batch_};
  std::optional<CRunChain> chain;
  bool beams = false;
  long long known = 0;

  // The chain of the confirmed options, each task prepared in chain order.
  const auto prepare = [&] {
    if (batch_.dryRun()) {
      // The options are asked for as always, but run.dat is left as it is.
      settings.reloadBeforeDialog(SettingsFile::Run, host_);
      RunOptions edited = settings.run();
      if (!runDialogs.editRunOptions(edited)) return false;
      settings.run() = edited;
    } else if (!settings.editSettings<RunOptions>(host_,
                                                  [&](RunOptions& o) { return runDialogs.editRunOptions(o); })) {
      return false;
    }
    const RunOptions& run = settings.run();
    const bool staves = run.runStaveTask != 0;
    const bool unoptimize = staves && run.staveTaskIsUnoptimize != 0;
    beams = run.runBeamAngles != 0;
    std::vector<ChainLink> links;
    // No instrument dialog: an empty list keeps every stave that has a staff item.
    if (staves && !unoptimize) {
      settings.reload(SettingsFile::Optimize, host_);
      links.push_back(
          {Task::Optimize, {}, [&](const ScoreIO& io) {
             OptimizeContext context{host_, staveDialogs, doc_.store, settings.optimize(), doc_.optimizeBatch};
             return optimizeFile(context, io);
           }});
    }
    if (unoptimize) {
      TemplateChoice choice = templateChoiceRequest();
      if (!staveDialogs.chooseTemplate(choice)) {
        doc_.clearStore();
        return false;
      }
      if (!loadTemplate(host_, choice.path, doc_.unoptimizeTemplate)) return false;
      settings.reload(SettingsFile::Unoptimize, host_);
      links.push_back(
          {Task::Unoptimize, {}, [&](const ScoreIO& io) {
             UnoptimizeContext context{host_, staveDialogs, doc_.store, settings.unoptimize(), doc_.unoptimizeTemplate};
             return unoptimizeFile(context, io);
           }});
    }
    if (beams) {
      settings.reload(SettingsFile::Beam, host_);
      beamRun.options = settings.beam();
      beamRun.projectFolder = settings.projectFolder();
      doc_.beamLibraries.loadAll(host_, beamRun.projectFolder);
      known = static_cast<long long>(doc_.beamLibraries.entryCount());
      links.push_back({Task::SetBeamAngles, {}, [&](const ScoreIO& io) {
                         return setBeamAnglesInFile(beamRun, io);
                       }});
    }
    if (run.runJustify != 0) {
      settings.reload(SettingsFile::Justify, host_);
      justifyRun.prompt = settings.justify().promptBeforeOperation != 0;
      links.push_back({Task::Justify, {}, [&](const ScoreIO& io) {
                         return justifyFile(justifyRun, doc_.store, io);
                       }});
    }
    if (run.runEdit != 0) {
      settings.reload(SettingsFile::Edit, host_);
      if (!chooseMacro(editDialogs, settings, host_, doc_.lastMacro)) return false;
      const std::string macro = doc_.lastMacro;
      links.push_back({Task::Edit, [macro](const std::string& path) { return macro + " " + path; },
                       [&, macro](const ScoreIO& io) {
                         CEditRun edit(EditRunContext{host_, editDialogs, doc_.store, doc_.candidates, settings.edit(),
                                                      settings.projectFolder(), batch_});
                         return edit.editFile(macro, io);
                       }});
    }
    chain.emplace(host_, batch_, doc_.store, std::move(links));
    return true;
  };

  BatchTask task;
  task.task = Task::RunMultiple;
  task.extension = [&settings] { return settings.run().extension; };
  task.prepareBeforeFileList = prepare;
  task.ownProgressLines = true;
  task.perFile = [&chain](const std::string& path, const std::string& extension) {
    return chain->runFile(path, extension);
  };
  // Only a run that finished every file keeps what the beam task learned.
  bool saved = true;
  task.beforeFinish = [&] {
    if (!beams) return;
    if (batch_.run) {
      const long long learned = static_cast<long long>(doc_.beamLibraries.entryCount()) - known;
      batch_.run->batchNote(strprintf("%lld beam angle(s) learned", learned));
    }
    // A dry run counts what it would have learned and keeps none of it.
    if (!batch_.dryRun()) saved = doc_.beamLibraries.saveAll(host_, beamRun.projectFolder);
  };
  task.clearStore = [this] {
    doc_.beamGroups.clear();
    doc_.clearStore();
  };
  const BatchOutcome outcome = runBatch(batch_, host_, task, settings.prefs().useExplorerDialog != 0);
  // Whatever ended the run, nothing of its tasks stays in memory.
  doc_.optimizeBatch.reset();
  doc_.unoptimizeTemplate.clear();
  doc_.beamLibraries.clear();
  doc_.store.staveFlags.fill(0);
  return outcome == BatchOutcome::Finished && !saved ? BatchOutcome::Stopped : outcome;
}

} // namespace velmora

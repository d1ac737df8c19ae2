#include "batch/BatchRunner.h"

#include "base/AtomicFile.h"
#include "base/FileSystem.h"
#include "base/Format.h"

namespace velmora {

void CBatchState::notifyStep(const std::string& stepName) { log.replaceLast(currentLine + ", step " + stepName); }

void CBatchState::notifyRenaming(const std::string& newName) {
  currentOutputs.push_back(newName);
  log.replaceLast(currentLine + ", renaming to " + newName);
}

void CBatchState::notifySaving(const std::string& newName) {
  currentOutputs.push_back(newName);
  log.replaceLast(currentLine + ", saving to " + newName);
}

void CBatchState::notifyJustifyWarning(int stave) {
  log.appendAndFollow(strprintf("!!Not enough space to justify ideally on stave %d.", stave));
}

std::string fileListTitle(Task task, const std::string& extension) {
  const TaskStrings& strings = taskStrings(task);
  std::string title = strings.fileListTitle;
  if (!strings.bareTitle) title += " (Output = " + extension + ")";
  return title;
}

std::string outputPathFor(const std::string& inputPath, const std::string& extension) {
  const size_t slash = inputPath.find_last_of(kPathSeparator);
  const size_t dot = inputPath.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return inputPath + "." + extension;
  return inputPath.substr(0, dot + 1) + extension;
}

FileResult classifyFileResult(int routineResult, FileResult noted, bool writeFailed, bool cancelled) {
  if (routineResult == -1) return FileResult::CannotOpen;
  if (routineResult == 1) return noted;
  if (cancelled) return FileResult::Cancelled;
  if (noted != FileResult::Processed) return noted;
  return writeFailed ? FileResult::NotWritten : FileResult::Refused;
}

BatchOutcome runBatch(CBatchState& state, IHost& host, const BatchTask& task, bool explorerStyle) {
  BusyScope busy(state);
  const TaskStrings& strings = taskStrings(task.task);
  const auto extension = [&] { return task.extension ? task.extension() : std::string(); };
  const auto endBatch = [&] {
    state.fileList.clear();
    if (task.resetBatchState) task.resetBatchState();
  };
  if (task.prepareBeforeFileList && !task.prepareBeforeFileList()) {
    endBatch();
    return BatchOutcome::PreparationCancelled;
  }

  FileListRequest request;
  request.title = fileListTitle(task.task, extension());
  request.kind = strings.kind;
  request.explorerStyle = explorerStyle;
  request.filterIndex = state.filterIndex;
  const int chosen = host.chooseFiles(request, state.fileList);
  // The dialog changes the filter only on OK, which an empty list also is.
  state.filterIndex = request.filterIndex;
  if (chosen == 0 || state.fileList.empty()) {
    state.fileList.clear();
    return BatchOutcome::NothingChosen;
  }

  if (task.prepareBeforeReload && !task.prepareBeforeReload()) {
    endBatch();
    return BatchOutcome::PreparationCancelled;
  }
  if (task.reloadSettings) task.reloadSettings();
  if (task.prepare && !task.prepare()) {
    endBatch();
    return BatchOutcome::PreparationCancelled;
  }

  state.log.clear();
  // The routines may not touch the list while it is walked; take a copy.
  const std::vector<std::string> files = state.fileList;
  int processed = 0;
  for (size_t i = 0; i < files.size(); ++i) {
    const std::string& path = files[i];
    if (state.progress) state.progress->fileStarted(i + 1, files.size());
    if (!task.ownProgressLines) {
      state.currentLine = strings.progressPrefix + (task.progressText ? task.progressText(path) : path);
      state.log.appendAndFollow(state.currentLine);
    }
    state.currentOutputs.clear();
    state.currentFailure = FileResult::Processed;
    const unsigned long writeFailures = atomicWriteFailures();
    if (state.run) state.run->beginFile(path);
    const int result = task.perFile ? task.perFile(path, extension()) : 1;
    if (result == 1 && state.run) state.run->endFile();

    FileOutcome outcome;
    outcome.index = i + 1;
    outcome.path = path;
    outcome.result = classifyFileResult(result, state.currentFailure, atomicWriteFailures() != writeFailures,
                                        result == 0 && host.cancelConfirmed());
    if (outcome.result == FileResult::Processed) {
      ++processed;
      outcome.outputs = state.currentOutputs;
      if (outcome.outputs.empty() && task.output == BatchTask::Output::OutputPath)
        outcome.outputs.push_back(outputPathFor(path, extension()));
      if (outcome.outputs.empty() && task.output == BatchTask::Output::Input) outcome.outputs.push_back(path);
    }
    if (state.progress) state.progress->fileFinished(outcome);
    if (result == 1) continue;
    if (state.keepGoing && outcome.result != FileResult::Cancelled) {
      // The next file starts from an empty store, as after a finished one.
      if (task.clearStore) task.clearStore();
      continue;
    }
    state.log.appendAndFollow(kOperationCancelled);
    if (task.clearStore) task.clearStore();
    endBatch();
    return BatchOutcome::Stopped;
  }
  if (task.beforeFinish) task.beforeFinish();
  state.log.appendAndFollow(
      strprintf(strings.finishFormat, state.keepGoing ? processed : static_cast<int>(files.size())));
  if (task.afterFinish) task.afterFinish();
  endBatch();
  return BatchOutcome::Finished;
}

} // namespace velmora

#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/Host.h"
#include "batch/COutputLog.h"
#include "batch/TaskStrings.h"
#include "model/RunRecord.h"

namespace velmora {

// What became of one file of a batch.
enum class FileResult { Processed, Refused, CannotOpen, NotWritten, Cancelled };

// One file when it is done: its 1-based index, its path, what became of it
// and the files it wrote (the output named in its row, else the task's
// output path; empty for a task that writes nothing).
struct FileOutcome {
  size_t index = 0;
  std::string path;
  FileResult result = FileResult::Processed;
  std::vector<std::string> outputs;
};

// Told when a batch starts, as each of its files begins and when the frame
// is idle again, so that a front end can show progress beside the log.
class IBatchProgress {
public:
  virtual ~IBatchProgress() = default;
  virtual void batchStarted() = 0;
  // index counts from 1.
  virtual void fileStarted(size_t index, size_t count) = 0;
  virtual void batchIdle() = 0;
  // After each file's routine, before the next file or the batch's last row.
  virtual void fileFinished(const FileOutcome& outcome) { (void)outcome; }
};

// The batch frame's state: the log, the busy flag and the file list.
class CBatchState {
public:
  COutputLog log;
  bool busy = false;
  IBatchProgress* progress = nullptr;
  // Set for a dry run or when changes are recorded; the tasks hand it to their writers.
  CRunRecord* run = nullptr;
  std::vector<std::string> fileList;
  // The file-type filter last used in the file-list dialog.
  int filterIndex = 0;
  // The last progress line, which notifications extend.
  std::string currentLine;
  // Go on with the next file after one that could not be opened, was refused
  // or could not be written; off, the first such file ends the batch.
  bool keepGoing = false;
  // The files renamed or saved by the file being processed.
  std::vector<std::string> currentOutputs;
  // Set by a routine that carries on past a file it could not use (the item
  // count), so the file is still reported as failed.
  FileResult currentFailure = FileResult::Processed;

  // Progress notifications sent by the per-file routines.
  void notifyStep(const std::string& stepName);
  void notifyRenaming(const std::string& newName);
  void notifySaving(const std::string& newName);
  void notifyJustifyWarning(int stave);
  void noteFileFailed(FileResult result) { currentFailure = result; }

  bool dryRun() const { return run && run->dryRun; }
};

// Sets the busy flag for a scope; every way out clears it.
class BusyScope {
public:
  explicit BusyScope(CBatchState& state) : state_(state) {
    state_.busy = true;
    if (state_.progress) state_.progress->batchStarted();
  }
  ~BusyScope() {
    state_.busy = false;
    if (state_.progress) state_.progress->batchIdle();
  }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

private:
  CBatchState& state_;
};

// Per-file routine: 1 processed, 0 stopped (cancel, refusal, write failure),
// -1 input cannot be opened.
using PerFileRoutine = std::function<int(const std::string& path, const std::string& extension)>;

// One task as the frame runs it. Empty hooks are skipped.
struct BatchTask {
  Task task = Task::Edit;
  // The output extension; read when the title is built and again per file,
  // so a reload in between takes effect for the files.
  std::function<std::string()> extension;
  // Preparation before the file list (the combined run's dialog and the
  // preparations of its tasks). False ends the batch.
  std::function<bool()> prepareBeforeFileList;
  // Preparation that comes before the settings reload (template choice).
  std::function<bool()> prepareBeforeReload;
  std::function<void()> reloadSettings;
  // Preparation after the reload (macro or instrument choice). False ends the
  // batch; the hook has written or shown what its task says.
  std::function<bool()> prepare;
  PerFileRoutine perFile;
  // Runs after the last file, before the finish line (the beam libraries are saved here).
  std::function<void()> beforeFinish;
  // Written after the finish line (the item count's result block).
  std::function<void()> afterFinish;
  std::function<void()> clearStore;
  std::function<void()> resetBatchState;
  // How the line after the progress prefix is built; the path when empty.
  std::function<std::string(const std::string& path)> progressText;
  // The routine writes its own progress lines (a combined run, one per chained task).
  bool ownProgressLines = false;
  // What a processed file reports as its output when its row names none:
  // the output path (SCORE tasks), the input itself (EPS files changed in
  // place) or nothing (tasks that only read).
  enum class Output { OutputPath, Input, None };
  Output output = Output::OutputPath;
};

enum class BatchOutcome { NothingChosen, PreparationCancelled, Stopped, Finished };

// How the frame reads a routine's result: `writeFailed` when a file write
// failed during the routine, `cancelled` when the user confirmed a cancel.
FileResult classifyFileResult(int routineResult, FileResult noted, bool writeFailed, bool cancelled);

// Runs a task over a file list chosen by the user, from the busy flag to the
// finish line or "Operation cancelled.".
BatchOutcome runBatch(CBatchState& state, IHost& host, const BatchTask& task, bool explorerStyle);

// The file-list dialog's title: the task's title, plus " (Output = EXT)" for
// the SCORE tasks.
std::string fileListTitle(Task task, const std::string& extension);

// The input path up to and including the last "." of its file name, then the
// extension; a name without "." gets one.
std::string outputPathFor(const std::string& inputPath, const std::string& extension);

} // namespace velmora

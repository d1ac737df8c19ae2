#include "batch/RunChain.h"

#include <sys/stat.h>

#include <algorithm>

#include "base/AtomicFile.h"
#include "base/ByteReader.h"
#include "base/FileSystem.h"
#include "base/Format.h"
#include "base/Messages.h"
#include "batch/Messages.h"
#include "model/Messages.h"
#include "model/ScoreReader.h"

namespace velmora {

int makeWorkingCopy(IHost& host, CItemStore& store, const std::string& inputPath, ScoreHandover& out) {
  store.clear();
  ScoreFile file;
  int result = openScoreFile(host, inputPath, store, file);
  if (result != 1) return result;
  OptimizeMarking marking;
  marking.zeroStaffP4 = false;
  result = readOptimize(host, file, store, marking);
  if (result == 1) {
    store.staveFlags.fill(1);
    result = layOutStaves(host, store, inputPath, out);
  }
  store.clear();
  store.staveFlags.fill(0);
  return result == 1 ? 1 : 0;
}

void CRunChain::progressLine(size_t link, const std::string& inputPath) {
  const ChainLink& l = links_[link];
  batch_.currentLine = taskStrings(l.task).progressPrefix + (l.progressText ? l.progressText(inputPath) : inputPath);
  batch_.log.appendAndFollow(batch_.currentLine);
}

int CRunChain::chainInMemory(const std::string& inputPath, ScoreHandover& result) {
  const auto stop = [&](int why) {
    store_.clear();
    store_.recycle(result.items);
    result.clear();
    return why;
  };
  if (!links_.empty()) progressLine(0, inputPath);
  const int copied = makeWorkingCopy(host_, store_, inputPath, result);
  if (copied != 1) return stop(copied);
  const ScoreIO io{inputPath, std::string(), &result};
  for (size_t i = 0; i < links_.size(); ++i) {
    if (i != 0) progressLine(i, inputPath);
    const int done = links_[i].perFile ? links_[i].perFile(io) : 1;
    if (done != 1) return stop(done);
  }
  return 1;
}

int CRunChain::runFile(const std::string& inputPath, const std::string& runExtension) {
  const std::string working = outputPathFor(inputPath, kWorkingExtension);
  const auto refuse = [&](const char* format) {
    if (!links_.empty()) progressLine(0, inputPath);
    host_.showMessage(strprintf(format, inputPath.c_str(), working.c_str()));
    return 0;
  };
  if (working == inputPath) return refuse(batch_msg::kInputIsWorkingFile);
  if (unrenamed_.count(working) != 0) return refuse(batch_msg::kWorkingFileTaken);
  // The result may have to stay under that name: a file there is the user's.
  struct stat st {};
  if (::lstat(working.c_str(), &st) == 0) return refuse(batch_msg::kWorkingFileExists);

  const int chained = chainInMemory(inputPath, handover_);
  if (chained != 1) return chained;

  ByteWriter out;
  handover_.encodeTo(out);
  store_.recycle(handover_.items);
  handover_.clear();
  if (batch_.run) {
    // One count for the whole chain, the result against the input: what Edit
    // counted on the way is only its part.
    FileChanges& file = batch_.run->current();
    file.countsKnown = false;
    file.counts.changed = file.counts.deleted = file.counts.inserted = 0;
    const bool renumbers = std::any_of(links_.begin(), links_.end(), [](const ChainLink& l) {
      return l.task == Task::Optimize || l.task == Task::Unoptimize;
    });
    batch_.run->noteScoreOutput(out.buffer(), renumbers);
    if (batch_.run->dryRun) return 1;
  }
  // Renamed straight over the final name, which a read-only file refuses as
  // an atomic write would; a refused result stays under the working name.
  const std::string finalPath = outputPathFor(inputPath, runExtension);
  std::string refusal, error;
  switch (writeFileAtomicOr(finalPath, working, out.buffer(), refusal, error)) {
  case AtomicFile::Placed::Target: break;
  case AtomicFile::Placed::Fallback:
    unrenamed_.insert(working);
    // The run goes on, but this file's result is not where it belongs.
    batch_.noteFileFailed(FileResult::NotWritten);
    batch_.log.appendAndFollow(
        strprintf(batch_msg::kRenameFailed, working.c_str(), finalPath.c_str(), refusal.c_str(), working.c_str()));
    break;
  case AtomicFile::Placed::Neither:
    host_.showMessage(strprintf(msg::kWriteFailed, inputPath.c_str(), error.c_str()));
    return 0;
  }
  return 1;
}

} // namespace velmora

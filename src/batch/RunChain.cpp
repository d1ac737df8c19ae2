#include "batch/RunChain.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/AtomicFile.h"
#include "base/FileSystem.h"
#include "base/Format.h"
#include "batch/Messages.h"
#include "model/ScoreReader.h"
#include "model/ScoreWriter.h"

namespace velmora {

namespace {

// The commit of the run's result: one rename over the final name, which a
// read-only file refuses as an atomic write would.
bool renameOver(const std::string& from, const std::string& to, std::string& error) {
  if (isReadOnlyFile(to)) {
    error = std::strerror(EACCES);
    return false;
  }
  if (const int injected = injectedRenameFailure()) {
    error = std::strerror(injected);
    return false;
  }
  if (std::rename(from.c_str(), to.c_str()) != 0) {
    error = std::strerror(errno);
    return false;
  }
  return true;
}

} // namespace

int makeWorkingCopy(IHost& host, CItemStore& store, const std::string& inputPath, const std::string& workingPath) {
  store.clear();
  ScoreFile file;
  int result = openScoreFile(host, inputPath, store, file);
  if (result != 1) return result;
  OptimizeMarking marking;
  marking.zeroStaffP4 = false;
  result = readOptimize(host, file, store, marking);
  if (result == 1) {
    store.staveFlags.fill(1);
    result = writeStaves(host, store, workingPath);
  }
  store.clear();
  store.staveFlags.fill(0);
  return result == 1 ? 1 : 0;
}

int CRunChain::runFile(const std::string& inputPath, const std::string& runExtension) {
  const std::string working = outputPathFor(inputPath, kWorkingExtension);
  if (working == inputPath) {
    host_.showMessage(strprintf(batch_msg::kInputIsWorkingFile, inputPath.c_str()));
    return 0;
  }
  if (unrenamed_.count(working) != 0) {
    host_.showMessage(strprintf(batch_msg::kWorkingFileTaken, inputPath.c_str(), working.c_str()));
    return 0;
  }
  // Written atomically: a failed copy leaves nothing to remove.
  const int copied = makeWorkingCopy(host_, store_, inputPath, working);
  if (copied != 1) return copied;

  for (const ChainLink& link : links_) {
    batch_.currentLine =
        taskStrings(link.task).progressPrefix + (link.progressText ? link.progressText(inputPath) : inputPath);
    batch_.log.appendAndFollow(batch_.currentLine);
    const int result = link.perFile ? link.perFile(working, kWorkingExtension) : 1;
    if (result != 1) {
      store_.clear();
      // Half-chained work is of no use; the input still holds the original.
      std::remove(working.c_str());
      return result;
    }
  }

  const std::string finalPath = outputPathFor(inputPath, runExtension);
  std::string error;
  if (!renameOver(working, finalPath, error)) {
    unrenamed_.insert(working);
    // The run goes on, but this file's result is not where it belongs.
    batch_.noteFileFailed(FileResult::NotWritten);
    batch_.log.appendAndFollow(
        strprintf(batch_msg::kRenameFailed, working.c_str(), finalPath.c_str(), error.c_str(), working.c_str()));
  }
  return 1;
}

} // namespace velmora

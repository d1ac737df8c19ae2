#pragma once

#include <set>
#include <string>
#include <vector>

#include "base/Host.h"
#include "batch/BatchRunner.h"
#include "model/CItemStore.h"

namespace velmora {

// The extension of the working file that a combined run passes from task to task.
inline constexpr const char* kWorkingExtension = "000";

// One task of a combined run. Its routine is called with the working path and
// "000", so it reads the working file and writes it back in place.
struct ChainLink {
  Task task = Task::Optimize; // gives the progress prefix
  // The line after the prefix, from the input path; the input path when empty.
  std::function<std::string(const std::string& inputPath)> progressText;
  PerFileRoutine perFile;
};

// The working copy: the input through the optimize reader with staff P4 kept,
// written with every stave flagged, so nothing is renumbered. 1 / 0 / -1; the
// store is empty afterwards.
int makeWorkingCopy(IHost& host, CItemStore& store, const std::string& inputPath, const std::string& workingPath);

// The per-file routine of Run Multiple Tasks: the working copy, each link in
// order with its progress line, then the final name. One per batch.
class CRunChain {
public:
  CRunChain(IHost& host, CBatchState& batch, CItemStore& store, std::vector<ChainLink> links)
      : host_(host), batch_(batch), store_(store), links_(std::move(links)) {}

  // 1 when the chain ran (a failed final rename is logged, not a stop), else
  // the result of the step that stopped; the stopped input's working file is
  // removed and the input is untouched.
  int runFile(const std::string& inputPath, const std::string& runExtension);

private:
  IHost& host_;
  CBatchState& batch_;
  CItemStore& store_;
  std::vector<ChainLink> links_;
  // Working files that hold a finished result because its rename failed.
  std::set<std::string> unrenamed_;
};

} // namespace velmora

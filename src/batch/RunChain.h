#pragma once

#include <set>
#include <string>
#include <vector>

#include "base/Host.h"
#include "batch/BatchRunner.h"
#include "model/CItemStore.h"
#include "model/ScoreHandover.h"

namespace velmora {

// The extension of the working file, the name a result stays under when it
// cannot take its final name.
inline constexpr const char* kWorkingExtension = "000";

// One task of a combined run. Its routine reads the hand-over of the task
// before and writes its result back into it.
struct ChainLink {
  Task task = Task::Optimize; // gives the progress prefix
  // The line after the prefix, from the input path; the input path when empty.
  std::function<std::string(const std::string& inputPath)> progressText;
  std::function<int(const ScoreIO& io)> perFile;
};

// The working copy: the input through the optimize reader with staff P4 kept,
// laid out as the stave writer would with every stave flagged, so nothing is
// renumbered. 1 / 0 / -1; the store is empty afterwards.
int makeWorkingCopy(IHost& host, CItemStore& store, const std::string& inputPath, ScoreHandover& out);

// The per-file routine of Run Multiple Tasks: the working copy, each link in
// order with its progress line, all in memory, then one write of the result
// under the final name. One per batch.
class CRunChain {
public:
  CRunChain(IHost& host, CBatchState& batch, CItemStore& store, std::vector<ChainLink> links)
      : host_(host), batch_(batch), store_(store), links_(std::move(links)) {}

  // 1 when the chain ran (a failed final rename is logged, not a stop), else
  // the result of the step that stopped; a stopped input leaves no file
  // behind and the input untouched.
  int runFile(const std::string& inputPath, const std::string& runExtension);

  // The chain without writing anything: the result is left in `result`.
  // Progress lines as runFile writes them; 1, or the result of the step that stopped.
  int chainInMemory(const std::string& inputPath, ScoreHandover& result);

private:
  // The first link's progress line goes out before the input is read, so a
  // refusal never sits under the line of a file that finished.
  void progressLine(size_t link, const std::string& inputPath);

  IHost& host_;
  CBatchState& batch_;
  CItemStore& store_;
  std::vector<ChainLink> links_;
  ScoreHandover handover_;
  // Working files that hold a finished result because its rename failed.
  std::set<std::string> unrenamed_;
};

} // namespace velmora

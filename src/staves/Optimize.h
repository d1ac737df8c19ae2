#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/Host.h"
#include "model/CItemStore.h"
#include "model/RunRecord.h"
#include "model/ScoreHandover.h"
#include "settings/Records.h"
#include "staves/StaveDialogs.h"

namespace velmora {

// Optimize's per-batch state, held by the document; reset at the end of every batch.
struct COptimizeBatch {
  std::vector<int> instruments;
  bool keepListed = false;

  void reset() {
    instruments.clear();
    keepListed = false;
  }
};

// The typed instrument numbers: tokens split at spaces, each giving its
// leading whole number (0 when it has none).
std::vector<int> parseInstrumentNumbers(std::string_view text);

// The Optimize preparation in instrument mode: the dialog, then the list.
// False when the user cancelled.
bool chooseInstrumentNumbers(IStaveDialogs& dialogs, COptimizeBatch& batch);

// Everything the Optimize per-file routine works on.
struct OptimizeContext {
  IHost& host;
  IStaveDialogs& dialogs;
  CItemStore& store;
  // "OK to All" switches the stave window off here, in memory.
  OptimizeOptions& options;
  const COptimizeBatch& batch;
  // The batch's dry-run and change record, handed to the writer.
  CRunRecord* run = nullptr;
};

// Deletes the blank or chosen staves of one file and writes it under the
// extension. 1 written, 0 stopped, -1 the input cannot be opened.
int optimizeFile(OptimizeContext& context, const std::string& path, const std::string& extension);
// The same from and to files or a chain's hand-over.
int optimizeFile(OptimizeContext& context, const ScoreIO& io);

// The barline and anchored-item pass over flagged staves (the store's stave
// flags say which are kept). 0 when the user cancelled.
int moveBarlinesAndAnchors(IHost& host, CItemStore& store, const OptimizeOptions& options);

// Number a kept stave gets once the unflagged staves below it are gone.
int renumberedStave(const CItemStore& store, int stave);

} // namespace velmora

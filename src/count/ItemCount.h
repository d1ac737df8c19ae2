#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/Host.h"
#include "batch/BatchRunner.h"
#include "settings/Records.h"

namespace velmora {

// Totals of one item-count run, summed over its files; 64 bits, so a run
// over many large files cannot wrap.
struct ItemCountTotals {
  int32_t files = 0;
  int64_t items = 0;
  int64_t parameters = 0;
  int64_t staves = 0;
  int64_t blankStaves = 0;
  std::array<int64_t, 19> codeItems{}; // indexed by code 1..18
  std::array<int64_t, 19> codeParameters{};
  // What became of the last file counted: the count goes on past a file it
  // cannot use, which still is no file processed.
  FileResult lastFile = FileResult::Processed;
};

inline constexpr const char* kVersion1File =
    "File is a SCORE version 1 file. %s. Resave as version 2 from SCORE and retranscribe.";
inline constexpr const char* kNotScoreFile = "File is not a SCORE file - %s";
inline constexpr const char* kIntermediateJust =
    "Intermediate Just file format used by file %s. Resave the file in SCORE and retranscribe.";

// The "Item Count Settings" dialog; true for OK.
class IItemCountDialogs {
public:
  virtual ~IItemCountDialogs() = default;
  virtual bool editItemCountOptions(ItemCountOptions& options) = 0;
};

// Counts one file into the totals. Items are read until the word total less
// the trailer is reached or the file ends (a truncated item ends it); a bad
// code number ends it without its staves. 0 when the user confirmed a
// cancel, else 1.
int countFile(IHost& host, const std::string& path, ItemCountTotals& totals);

struct ScoreFile;
// countFile on bytes already in memory.
int countBytes(IHost& host, const ScoreFile& file, ItemCountTotals& totals);

// The result block, one string per log row.
std::vector<std::string> itemCountResultBlock(const ItemCountTotals& totals, bool skipBlankStaves);

} // namespace velmora

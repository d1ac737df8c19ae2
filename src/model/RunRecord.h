#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "model/CItem.h"

namespace velmora {

struct ChangeCounts {
  long long matched = 0; // Edit steps only: items the condition was true for
  long long changed = 0;
  long long deleted = 0;
  long long inserted = 0;
};

struct StepChanges {
  std::string name;
  ChangeCounts counts;
};

// One item of a file's difference: before and after for a changed item,
// only one of them for a deleted or inserted one.
struct ItemChange {
  enum class Kind { Changed, Deleted, Inserted } kind = Kind::Changed;
  CItem before;
  CItem after;
};

struct FileChanges {
  std::string path;
  ChangeCounts counts;
  // Whether an output was compared with the input (an unwritten file changed nothing).
  bool compared = false;
  // Set by a task that recorded its changes as it made them: the output is not compared again.
  bool countsKnown = false;
  std::vector<StepChanges> steps;
  // Short sentences of what a PostScript action did to the file.
  std::vector<std::string> notes;
  // Filled only when the record asks for the items themselves.
  std::vector<ItemChange> items;
};

class IRunObserver {
public:
  virtual ~IRunObserver() = default;
  virtual void fileFinished(const FileChanges& file) = 0;
  // A line about the batch as a whole (what a beam run learned).
  virtual void batchNote(const std::string& text) = 0;
};

// What one batch is told about writing, and what it records while it runs:
// handed through the batch frame to the tasks and their writers. A dry run
// does everything in memory and writes nothing.
class CRunRecord {
public:
  bool dryRun = false;
  // Every file's record is kept in `files` (the preview); else only the current one.
  bool keepFiles = false;
  // The changed items themselves are listed, at most this many per file.
  size_t itemLimit = 0;
  IRunObserver* observer = nullptr;
  std::vector<FileChanges> files;

  void beginFile(const std::string& inputPath);
  void endFile();
  FileChanges& current();

  // An Edit step starts; its counts are kept up to date by the run.
  StepChanges& beginStep(const std::string& name);
  // The bytes a SCORE writer would put in place of the current input;
  // compared with the input as read from disk. `stavesRenumbered`: the
  // writer lowered stave numbers, which by itself is no change.
  void noteScoreOutput(std::span<const uint8_t> output, bool stavesRenumbered);
  void note(std::string sentence);
  void batchNote(const std::string& text);

private:
  bool open_ = false;
};

// A file's changes as an in-memory run makes them: the first form of each
// item touched, the items it adds and the count it deletes. Items are known
// by address, which the stave lists keep stable.
class CChangeTracker {
public:
  // Before an item is changed.
  void touch(const CItem& item) {
    if (!added_.contains(&item)) originals_.try_emplace(&item, item);
  }
  void added(const CItem& item) { added_.insert(&item); }
  // Before or after the item is destroyed; the address is not followed.
  void erased(const CItem* item);
  // Items moved or added where the tracker cannot see them (an appended file).
  void lose() { lost_ = true; }
  bool lost() const { return lost_; }
  ChangeCounts counts() const;

private:
  std::unordered_map<const CItem*, CItem> originals_;
  std::unordered_set<const CItem*> added_;
  long long deleted_ = 0;
  bool lost_ = false;
};

// Counts (and, up to `itemLimit`, lists) the items that differ between two
// SCORE files' bytes. Trailing zero parameters are ignored; with
// `ignoreStave` so is P2. False when either side cannot be framed.
bool compareScoreBytes(std::span<const uint8_t> before, std::span<const uint8_t> after, bool ignoreStave,
                       ChangeCounts& counts, std::vector<ItemChange>* items = nullptr, size_t itemLimit = 0);

// The summary lines under a file's row: per Edit step, then the file's
// counts; for a PostScript file its sentences.
std::vector<std::string> summaryLines(const FileChanges& file);

// The parameters without trailing zeros, as the plain writer leaves them.
std::span<const float> trimmedParams(const CItem& item);
// Bit for bit equal once trailing zeros are dropped.
bool sameTrimmedParams(const CItem& a, const CItem& b);

} // namespace velmora

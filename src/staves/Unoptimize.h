#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/Host.h"
#include "model/CItemStore.h"
#include "model/RunRecord.h"
#include "model/ScoreHandover.h"
#include "model/ScoreReader.h"
#include "settings/Records.h"
#include "staves/StaveDialogs.h"

namespace velmora {

inline constexpr int kLowestStaffCleared = 200;
inline constexpr int kHighestStaffCleared = 1;
inline constexpr float kStaffLeftEdgeStart = 200.0f;

// The Unoptimize template, held by the document from the template load to
// the end of the batch. Tables are indexed by template stave 1..250.
class CUnoptimizeTemplate {
public:
  CUnoptimizeTemplate() { clear(); }

  // The template's items with int(P2) = stave, in file order.
  const std::vector<CItem>& list(int stave) const { return lists_[index(stave)]; }
  // The staff item's P9 as a whole number; 0 when the stave has no staff item.
  int32_t instrument(int stave) const { return inRange(stave) ? instruments_[index(stave)] : 0; }
  // A group's span on its first stave, 0 on the others, 1 elsewhere.
  int32_t span(int stave) const { return inRange(stave) ? spans_[index(stave)] : 1; }
  int lowestStaffStave() const { return lowest_; }
  int highestStaffStave() const { return highest_; }
  bool loaded() const { return loaded_; }

  // The first template stave whose instrument number is `p9`, or 0.
  int staveForInstrument(float p9) const;

  void clear();

private:
  friend class TemplateSink;
  friend int readTemplate(IHost& host, const ScoreFile& file, CItemStore& scratch, CUnoptimizeTemplate& tpl);
  static bool inRange(int stave) { return stave >= 1 && stave <= kMaxStave; }
  static size_t index(int stave) { return static_cast<size_t>(inRange(stave) ? stave : 0); }

  std::array<std::vector<CItem>, kMaxStave + 1> lists_;
  std::array<int32_t, kMaxStave + 1> instruments_{};
  std::array<int32_t, kMaxStave + 1> spans_{};
  int lowest_ = kLowestStaffCleared;
  int highest_ = kHighestStaffCleared;
  bool loaded_ = false;
};

// The template reader over an opened template file.
// 1 read, 0 stopped (the message has been shown).
int readTemplate(IHost& host, const ScoreFile& file, CItemStore& scratch, CUnoptimizeTemplate& tpl);

// Opens and reads the template; false after its message, with the template
// state cleared.
bool loadTemplate(IHost& host, const std::string& path, CUnoptimizeTemplate& tpl);

// Everything the Unoptimize per-file routine works on.
struct UnoptimizeContext {
  IHost& host;
  IStaveDialogs& dialogs;
  CItemStore& store;
  // "OK to All" switches the stave window off here, in memory.
  UnoptimizeOptions& options;
  const CUnoptimizeTemplate& tpl;
  // The batch's dry-run and change record, handed to the writer.
  CRunRecord* run = nullptr;
};

// Per-file state of one Unoptimize file.
struct UnoptimizeFileState {
  // Template stave of each input stave 0..200; 0 when unmatched.
  std::array<int, kMaxReadStave + 1> staveMap{};
  // First P9 of a staff item on each input stave, for the refusal message.
  std::array<float, kMaxReadStave + 1> firstInstrument{};
  std::array<bool, kMaxReadStave + 1> hasStaff{};
  float staffLeftEdge = kStaffLeftEdgeStart;
};

// The unoptimize input reader: items inserted in order, staff items matched
// to template staves, P2 renumbered to the template stave after the trailer.
int readUnoptimizeInput(IHost& host, const ScoreFile& file, CItemStore& store, const CUnoptimizeTemplate& tpl,
                        UnoptimizeFileState& state);

// Widens barlines and moves anchored items to the template's groups.
// 0 when the user cancelled.
int applyTemplateGroups(IHost& host, CItemStore& store, const CUnoptimizeTemplate& tpl);

// Inserts every template stave the store lacks. 0 when there is no free list
// for a stave (the message names `path`).
int insertMissingStaves(IHost& host, CItemStore& store, const CUnoptimizeTemplate& tpl,
                        const UnoptimizeOptions& options, float staffLeftEdge, const std::string& path);

// Inserts the template's missing staves into one file and writes it under the
// extension. 1 written, 0 stopped, -1 the input cannot be opened.
int unoptimizeFile(UnoptimizeContext& context, const std::string& path, const std::string& extension);
// The same from and to files or a chain's hand-over.
int unoptimizeFile(UnoptimizeContext& context, const ScoreIO& io);

} // namespace velmora

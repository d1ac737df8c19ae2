#pragma once

#include <array>
#include <vector>

#include "model/CItemStore.h"

namespace velmora {

// One ordered set of other items behind COMP, COMP2 or COMP3. "Every item of
// the file" is kept as a marker and walked in the store when the set is
// filtered, so filling a set never copies the file.
class CCandidateSet {
public:
  void clear() { runs_.clear(); }
  // Appends every item of the file, lists 0 to 250, each in its order.
  void appendWholeFile() { runs_.push_back(Run{true, {}}); }
  void append(const CCandidateSet& other);

  bool empty(const CItemStore& store) const;
  // The first item, or null when the set is empty.
  const CItem* first(const CItemStore& store) const;
  // The items in order, duplicates included (for tests and diagnostics).
  std::vector<const CItem*> items(const CItemStore& store) const;

  // Keeps the items for which keep(item) holds, in order. `wholeFile`, when
  // given, lists every item of the store in order and is walked instead of it.
  template <class Keep>
  void filter(const CItemStore& store, Keep&& keep, const std::vector<const CItem*>* wholeFile = nullptr);

private:
  struct Run {
    bool wholeFile = false;
    std::vector<const CItem*> items;
  };
  std::vector<Run> runs_;
};

// The three candidate sets of the condition evaluator with their saved sets.
// They live in the document and are emptied before each item is evaluated
// and at the end of each step.
struct CCandidateSets {
  std::array<CCandidateSet, 3> sets;  // COMP, COMP2, COMP3
  std::array<CCandidateSet, 3> saved; // beside each set

  void clear();
};

template <class Keep>
void CCandidateSet::filter(const CItemStore& store, Keep&& keep, const std::vector<const CItem*>* wholeFile) {
  std::vector<const CItem*> kept;
  for (const Run& run : runs_) {
    if (!run.wholeFile || wholeFile) {
      for (const CItem* item : run.wholeFile ? *wholeFile : run.items)
        if (keep(*item)) kept.push_back(item);
      continue;
    }
    for (int l = 0; l < kStaveListCount; ++l)
      for (const CItem& item : store.list(l))
        if (keep(item)) kept.push_back(&item);
  }
  runs_.clear();
  runs_.push_back(Run{false, std::move(kept)});
}

} // namespace velmora

#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "model/CItemStore.h"

namespace velmora {

// One cached COMP result: the items of its source that pass its test, in
// the order of the whole-file list.
struct CCompResult {
  std::vector<const CItem*> items;
  std::vector<uint32_t> positions;     // each item's place in the whole-file list
  std::shared_ptr<CCompResult> source; // null: the whole file
  size_t synced = 0;                   // the cache's changes applied so far
};
using SharedResult = std::shared_ptr<CCompResult>;

inline constexpr size_t kCompCacheMinSource = 128;

// COMP filter results shared by the evaluations of one step: filtering the
// whole file, or such a result, by a test that does not depend on the item
// evaluated gives the same items every time, except that item itself, which
// the set leaves out. When an operation changes one item, each result is
// brought up to date by testing that item again when it is next used.
class CCompCache {
public:
  struct Key {
    const CCompResult* source = nullptr; // null for the whole file
    std::array<uint64_t, 7> test{};
    bool operator==(const Key&) const = default;
  };
  struct Change {
    const CItem* item; // null: deleted
    uint32_t position;
  };

  SharedResult find(const Key& key) const;
  const SharedResult& insert(const Key& key, SharedResult result);
  // The lists changed: nothing cached holds any more.
  void clear();
  // An operation changed (or added) this item, which stands at `position` in the whole-file list.
  void changed(const CItem& item, size_t position) {
    changes_.push_back(Change{&item, static_cast<uint32_t>(position)});
  }
  // An operation deleted the item at `position`; its place stays empty.
  void removed(size_t position) { changes_.push_back(Change{nullptr, static_cast<uint32_t>(position)}); }
  const std::vector<Change>& changes() const { return changes_; }
  // Keeps the cache within a few words per item of the file.
  void setFileItems(size_t items) { budget_ = 2 * items + 4096; }

  // Sources smaller than this are filtered directly: that is as cheap.
  size_t minSource = kCompCacheMinSource;

private:
  struct Hash {
    size_t operator()(const Key& key) const;
  };
  std::unordered_map<Key, SharedResult, Hash> entries_;
  std::vector<Change> changes_;
  size_t held_ = 0;
  size_t budget_ = 4096;
};

// One ordered set of other items behind COMP, COMP2 or COMP3. "Every item of
// the file" is kept as a marker and walked in the store when the set is
// filtered, so filling a set never copies the file.
class CCandidateSet {
public:
  void clear() { runs_.clear(); }
  // Appends every item of the file, lists 0 to 250, each in its order.
  void appendWholeFile() { runs_.push_back(Run{true, {}, nullptr, nullptr}); }
  void append(const CCandidateSet& other);

  bool empty(const CItemStore& store) const;
  // The first item, or null when the set is empty.
  const CItem* first(const CItemStore& store) const;
  // The items in order, duplicates included (for tests and diagnostics).
  std::vector<const CItem*> items(const CItemStore& store) const;

  // Keeps the items for which keep(item) holds, in order. `wholeFile`, when
  // given, lists every item of the store in order (null where one was
  // deleted) and is walked instead of it.
  template <class Keep>
  void filter(const CItemStore& store, Keep&& keep, const std::vector<const CItem*>* wholeFile = nullptr);

  // The same for the candidates other than `self`, through the cache when
  // the set is the whole file or a cached result and `test` says all that
  // keep(item) depends on; keep must not look at `self`.
  template <class Keep>
  void filterCached(const CItemStore& store, Keep&& keep, const std::vector<const CItem*>* wholeFile, CCompCache* cache,
                    const std::array<uint64_t, 7>& test, const CItem* self);

private:
  struct Run {
    bool wholeFile = false;
    std::vector<const CItem*> items;
    // A cached result: its items but `except`.
    SharedResult shared;
    const CItem* except = nullptr;
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
    if (run.shared) {
      for (const CItem* item : run.shared->items)
        if (item != run.except && keep(*item)) kept.push_back(item);
      continue;
    }
    if (!run.wholeFile || wholeFile) {
      // A deleted item leaves an empty place in the whole-file list.
      for (const CItem* item : run.wholeFile ? *wholeFile : run.items)
        if (item && keep(*item)) kept.push_back(item);
      continue;
    }
    for (int l = 0; l < kStaveListCount; ++l)
      for (const CItem& item : store.list(l))
        if (keep(item)) kept.push_back(&item);
  }
  runs_.clear();
  runs_.push_back(Run{false, std::move(kept), nullptr, nullptr});
}

template <class Keep>
void CCandidateSet::filterCached(const CItemStore& store, Keep&& keep, const std::vector<const CItem*>* wholeFile,
                                 CCompCache* cache, const std::array<uint64_t, 7>& test, const CItem* self) {
  const Run* only = runs_.size() == 1 ? &runs_.front() : nullptr;
  SharedResult from;
  const std::vector<const CItem*>* source = nullptr;
  if (only && only->wholeFile && wholeFile) source = wholeFile;
  if (only && only->shared && only->except == self) {
    from = only->shared;
    source = &from->items;
  }
  if (!cache || !source || source->size() < cache->minSource) {
    filter(
        store, [&](const CItem& item) { return &item != self && keep(item); }, wholeFile);
    return;
  }
  // A result keeps `self` when it passes; the set leaves it out.
  const CCompCache::Key key{from.get(), test};
  SharedResult result = cache->find(key);
  const auto& changes = cache->changes();
  // Many changes since: filtering the source again is cheaper.
  if (result && changes.size() - result->synced > source->size() / 8 + 16) result = nullptr;
  if (!result) {
    auto fresh = std::make_shared<CCompResult>();
    fresh->source = from;
    for (size_t i = 0; i < source->size(); ++i) {
      const CItem* item = (*source)[i];
      if (!item || !keep(*item)) continue;
      fresh->items.push_back(item);
      fresh->positions.push_back(from ? from->positions[i] : static_cast<uint32_t>(i));
    }
    fresh->synced = changes.size();
    result = cache->insert(key, std::move(fresh));
  } else {
    // Each changed item is tested again; its source is up to date already.
    for (size_t c = result->synced; c < changes.size(); ++c) {
      const CCompCache::Change change = changes[c];
      const bool inSource =
          !from || std::binary_search(from->positions.begin(), from->positions.end(), change.position);
      const bool wanted = change.item && inSource && keep(*change.item);
      const auto at = std::lower_bound(result->positions.begin(), result->positions.end(), change.position);
      const bool present = at != result->positions.end() && *at == change.position;
      const auto offset = at - result->positions.begin();
      if (wanted && !present) {
        result->positions.insert(at, change.position);
        result->items.insert(result->items.begin() + offset, change.item);
      } else if (!wanted && present) {
        result->positions.erase(at);
        result->items.erase(result->items.begin() + offset);
      }
    }
    result->synced = changes.size();
  }
  runs_.clear();
  runs_.push_back(Run{false, {}, std::move(result), self});
}

} // namespace velmora

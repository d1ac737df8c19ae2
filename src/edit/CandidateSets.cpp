#include "edit/CandidateSets.h"

namespace velmora {

SharedResult CCompCache::find(const Key& key) const {
  const auto it = entries_.find(key);
  return it == entries_.end() ? nullptr : it->second;
}

const SharedResult& CCompCache::insert(const Key& key, SharedResult result) {
  // An entry's own bookkeeping counts as a few items.
  const size_t cost = result->items.size() + 16;
  if (held_ + cost > budget_) {
    entries_.clear();
    held_ = 0;
  }
  held_ += cost;
  return entries_.insert_or_assign(key, std::move(result)).first->second;
}

void CCompCache::clear() {
  entries_.clear();
  changes_.clear();
  held_ = 0;
}

size_t CCompCache::Hash::operator()(const Key& key) const {
  uint64_t h = reinterpret_cast<uintptr_t>(key.source);
  for (uint64_t word : key.test)
    h = (h ^ word) * 0x9E3779B97F4A7C15ull + (h >> 29);
  return static_cast<size_t>(h ^ (h >> 32));
}

void CCandidateSet::append(const CCandidateSet& other) {
  if (this == &other) {
    const auto copy = other.runs_;
    runs_.insert(runs_.end(), copy.begin(), copy.end());
    return;
  }
  runs_.insert(runs_.end(), other.runs_.begin(), other.runs_.end());
}

bool CCandidateSet::empty(const CItemStore& store) const { return first(store) == nullptr; }

const CItem* CCandidateSet::first(const CItemStore& store) const {
  for (const Run& run : runs_) {
    if (run.shared) {
      for (const CItem* item : run.shared->items)
        if (item != run.except) return item;
      continue;
    }
    if (!run.wholeFile) {
      if (!run.items.empty()) return run.items.front();
      continue;
    }
    for (int l = 0; l < kStaveListCount; ++l)
      if (!store.list(l).empty()) return &store.list(l).front();
  }
  return nullptr;
}

std::vector<const CItem*> CCandidateSet::items(const CItemStore& store) const {
  std::vector<const CItem*> out;
  for (const Run& run : runs_) {
    if (run.shared) {
      for (const CItem* item : run.shared->items)
        if (item != run.except) out.push_back(item);
      continue;
    }
    if (!run.wholeFile) {
      out.insert(out.end(), run.items.begin(), run.items.end());
      continue;
    }
    for (int l = 0; l < kStaveListCount; ++l)
      for (const CItem& item : store.list(l))
        out.push_back(&item);
  }
  return out;
}

void CCandidateSets::clear() {
  for (auto& s : sets)
    s.clear();
  for (auto& s : saved)
    s.clear();
}

} // namespace velmora

#include "edit/CandidateSets.h"

namespace velmora {

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

#include "model/RunRecord.h"

#include <algorithm>
#include <cstring>
#include <tuple>

#include "base/ByteReader.h"
#include "base/FileSystem.h"
#include "base/Format.h"
#include "model/ScoreReader.h"

namespace velmora {

namespace {

// The comparison reads files the task has already read; any message was shown then.
class SilentHost final : public IHost {
public:
  void showMessage(const std::string&) override {}
  bool askYesNo(const std::string&, const std::string&) override { return false; }
  bool askOkCancel(const std::string&) override { return false; }
  Pump pump() override { return Pump::GoOn; }
  int chooseFiles(FileListRequest&, std::vector<std::string>&) override { return 0; }
  void openInViewer(const std::string&) override {}
};

// The items of a file in one flat array: no allocation per item.
struct FlatItems {
  std::vector<float> values;
  std::vector<uint32_t> starts{0};

  size_t size() const { return starts.size() - 1; }
  std::span<const float> trimmed(size_t i) const {
    size_t b = starts[i];
    size_t e = starts[i + 1];
    while (e - b > 1 && values[e - 1] == 0.0f)
      --e;
    return {values.data() + b, e - b};
  }
  CItem item(size_t i) const {
    return CItem(std::span<const float>(values.data() + starts[i], starts[i + 1] - starts[i]));
  }
};

class CollectSink final : public IItemSink {
public:
  explicit CollectSink(FlatItems& items) : items_(items) {}
  bool checksCodeAndStave() const override { return false; }
  bool store(std::span<const float> params) override {
    items_.values.insert(items_.values.end(), params.begin(), params.end());
    items_.starts.push_back(static_cast<uint32_t>(items_.values.size()));
    return true;
  }

private:
  FlatItems& items_;
};

bool frameItems(const ScoreFile& file, FlatItems& items) {
  SilentHost host;
  CItemStore store;
  if (openScoreBytes(host, store, file) != 1) return false;
  items.values.reserve(file.bytes.size() / 4);
  CollectSink sink(items);
  return readItems(host, file, store, sink) == 1;
}

bool sameParams(std::span<const float> x, std::span<const float> y, bool ignoreStave) {
  if (x.size() != y.size()) return false;
  if (!ignoreStave || x.size() < 2) return std::memcmp(x.data(), y.data(), x.size() * sizeof(float)) == 0;
  return std::memcmp(x.data(), y.data(), sizeof(float)) == 0 &&
         std::memcmp(x.data() + 2, y.data() + 2, (x.size() - 2) * sizeof(float)) == 0;
}

uint64_t hashOf(std::span<const float> p, bool ignoreStave) {
  // FNV-1a over the parameter bits; P2 left out when stave numbers do not count.
  uint64_t h = 1469598103934665603ull;
  for (size_t n = 0; n < p.size(); ++n) {
    if (ignoreStave && n == 1) continue;
    uint32_t bits;
    std::memcpy(&bits, &p[n], sizeof bits);
    h = (h ^ bits) * 1099511628211ull;
  }
  return h ^ p.size();
}

bool compareFiles(const ScoreFile& beforeFile, const ScoreFile& afterFile, bool ignoreStave, ChangeCounts& counts,
                  std::vector<ItemChange>* items, size_t itemLimit) {
  FlatItems a;
  FlatItems b;
  if (!frameItems(beforeFile, a) || !frameItems(afterFile, b)) return false;
  const auto same = [&](size_t i, size_t j) { return sameParams(a.trimmed(i), b.trimmed(j), ignoreStave); };

  // Items equal in place are passed over; a single item added or dropped is
  // stepped over so the rest stays in step. What is left is matched as a
  // multiset, sorted by hash rather than hashed into nodes.
  std::vector<std::pair<uint64_t, size_t>> restA;
  std::vector<std::pair<uint64_t, size_t>> restB;
  size_t i = 0;
  size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (same(i, j)) {
      ++i;
      ++j;
    } else if (j + 1 < b.size() && same(i, j + 1)) {
      restB.emplace_back(hashOf(b.trimmed(j), ignoreStave), j);
      ++j;
    } else if (i + 1 < a.size() && same(i + 1, j)) {
      restA.emplace_back(hashOf(a.trimmed(i), ignoreStave), i);
      ++i;
    } else {
      restA.emplace_back(hashOf(a.trimmed(i), ignoreStave), i);
      restB.emplace_back(hashOf(b.trimmed(j), ignoreStave), j);
      ++i;
      ++j;
    }
  }
  for (; i < a.size(); ++i)
    restA.emplace_back(hashOf(a.trimmed(i), ignoreStave), i);
  for (; j < b.size(); ++j)
    restB.emplace_back(hashOf(b.trimmed(j), ignoreStave), j);
  std::sort(restA.begin(), restA.end());
  std::sort(restB.begin(), restB.end());
  std::vector<size_t> leftA;
  std::vector<size_t> leftB;
  {
    size_t x = 0;
    size_t y = 0;
    while (x < restA.size() || y < restB.size()) {
      if (y == restB.size() || (x < restA.size() && restA[x].first < restB[y].first)) {
        leftA.push_back(restA[x++].second);
      } else if (x == restA.size() || restB[y].first < restA[x].first) {
        leftB.push_back(restB[y++].second);
      } else if (same(restA[x].second, restB[y].second)) {
        ++x;
        ++y;
      } else {
        // A hash collision: neither side is matched by the other.
        leftA.push_back(restA[x++].second);
        leftB.push_back(restB[y++].second);
      }
    }
  }

  // What is left pairs up by code (and stave) in file order: a changed item;
  // the rest were deleted or inserted.
  const auto pairKey = [&](const FlatItems& side, size_t n) {
    const auto p = side.trimmed(n);
    if (p.empty()) return std::make_pair(0.0f, 0.0f);
    return std::make_pair(p[0], ignoreStave || p.size() < 2 ? 0.0f : p[1]);
  };
  const auto list = [&](ItemChange::Kind kind, long long x, long long y) {
    if (!items || items->size() >= itemLimit) return;
    ItemChange change;
    change.kind = kind;
    if (x >= 0) change.before = a.item(static_cast<size_t>(x));
    if (y >= 0) change.after = b.item(static_cast<size_t>(y));
    items->push_back(std::move(change));
  };
  // NaN codes would break the order; they sort as their bits.
  const auto bits = [](float f) {
    uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return u;
  };
  const auto byKey = [&](const FlatItems& side, std::vector<size_t>& left) {
    std::vector<std::tuple<float, float, size_t>> keyed;
    keyed.reserve(left.size());
    for (const size_t n : left) {
      const auto [code, stave] = pairKey(side, n);
      keyed.emplace_back(code, stave, n);
    }
    std::sort(keyed.begin(), keyed.end(), [&](const auto& l, const auto& r) {
      return std::make_tuple(bits(std::get<0>(l)), bits(std::get<1>(l)), std::get<2>(l)) <
             std::make_tuple(bits(std::get<0>(r)), bits(std::get<1>(r)), std::get<2>(r));
    });
    return keyed;
  };
  const auto keyedA = byKey(a, leftA);
  const auto keyedB = byKey(b, leftB);
  const auto keyOf = [&](const auto& k) { return std::make_pair(bits(std::get<0>(k)), bits(std::get<1>(k))); };
  size_t x = 0;
  size_t y = 0;
  while (x < keyedA.size() || y < keyedB.size()) {
    if (y == keyedB.size() || (x < keyedA.size() && keyOf(keyedA[x]) < keyOf(keyedB[y]))) {
      ++counts.deleted;
      list(ItemChange::Kind::Deleted, static_cast<long long>(std::get<2>(keyedA[x++])), -1);
    } else if (x == keyedA.size() || keyOf(keyedB[y]) < keyOf(keyedA[x])) {
      ++counts.inserted;
      list(ItemChange::Kind::Inserted, -1, static_cast<long long>(std::get<2>(keyedB[y++])));
    } else {
      ++counts.changed;
      list(ItemChange::Kind::Changed, static_cast<long long>(std::get<2>(keyedA[x++])),
           static_cast<long long>(std::get<2>(keyedB[y++])));
    }
  }
  return true;
}

} // namespace

std::span<const float> trimmedParams(const CItem& item) {
  auto values = item.params().values();
  size_t n = values.size();
  while (n > 1 && values[n - 1] == 0.0f)
    --n;
  return values.first(n);
}

bool sameTrimmedParams(const CItem& a, const CItem& b) { return sameParams(trimmedParams(a), trimmedParams(b), false); }

bool compareScoreBytes(std::span<const uint8_t> before, std::span<const uint8_t> after, bool ignoreStave,
                       ChangeCounts& counts, std::vector<ItemChange>* items, size_t itemLimit) {
  ScoreFile a;
  a.bytes.assign(before.begin(), before.end());
  ScoreFile b;
  b.bytes.assign(after.begin(), after.end());
  return compareFiles(a, b, ignoreStave, counts, items, itemLimit);
}

std::vector<std::string> summaryLines(const FileChanges& file) {
  std::vector<std::string> lines;
  if (!file.compared && !file.notes.empty()) {
    for (const std::string& sentence : file.notes)
      lines.push_back("  " + sentence);
    return lines;
  }
  for (const StepChanges& step : file.steps)
    lines.push_back(strprintf("  step %s: %lld matched, %lld changed, %lld deleted, %lld inserted", step.name.c_str(),
                              step.counts.matched, step.counts.changed, step.counts.deleted, step.counts.inserted));
  lines.push_back(strprintf("  %lld item(s) changed, %lld deleted, %lld inserted", file.counts.changed,
                            file.counts.deleted, file.counts.inserted));
  return lines;
}

void CChangeTracker::erased(const CItem* item) {
  if (added_.erase(item) > 0) return;
  originals_.erase(item);
  ++deleted_;
}

ChangeCounts CChangeTracker::counts() const {
  ChangeCounts counts;
  for (const auto& [item, original] : originals_)
    if (!sameTrimmedParams(original, *item)) ++counts.changed;
  counts.deleted = deleted_;
  counts.inserted = static_cast<long long>(added_.size());
  return counts;
}

void CRunRecord::beginFile(const std::string& inputPath) {
  if (!keepFiles) files.clear();
  files.emplace_back();
  files.back().path = inputPath;
  open_ = true;
}

FileChanges& CRunRecord::current() {
  if (files.empty()) files.emplace_back();
  return files.back();
}

void CRunRecord::endFile() {
  if (!open_) return;
  open_ = false;
  if (observer) observer->fileFinished(current());
}

StepChanges& CRunRecord::beginStep(const std::string& name) {
  FileChanges& file = current();
  file.steps.emplace_back();
  file.steps.back().name = name;
  return file.steps.back();
}

void CRunRecord::noteScoreOutput(std::span<const uint8_t> output, bool stavesRenumbered) {
  FileChanges& file = current();
  if (file.countsKnown && itemLimit == 0) {
    file.compared = true;
    return;
  }
  ScoreFile input;
  if (readWholeFile(file.path, input.bytes, kMaxScoreFileBytes) != ReadResult::Ok) return;
  ScoreFile written;
  written.bytes.assign(output.begin(), output.end());
  ChangeCounts counts;
  std::vector<ItemChange> items;
  if (!compareFiles(input, written, stavesRenumbered, counts, itemLimit ? &items : nullptr, itemLimit)) return;
  file.compared = true;
  if (file.countsKnown) {
    file.items = std::move(items);
    return;
  }
  file.counts.changed = counts.changed;
  file.counts.deleted = counts.deleted;
  file.counts.inserted = counts.inserted;
  file.items = std::move(items);
  file.compared = true;
}

void CRunRecord::note(std::string sentence) { current().notes.push_back(std::move(sentence)); }

void CRunRecord::batchNote(const std::string& text) {
  if (observer) observer->batchNote(text);
}

} // namespace velmora

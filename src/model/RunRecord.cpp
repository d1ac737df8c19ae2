#include "model/RunRecord.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <unordered_map>

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

class CollectSink final : public IItemSink {
public:
  explicit CollectSink(std::vector<CItem>& items) : items_(items) {}
  bool checksCodeAndStave() const override { return false; }
  bool store(std::span<const float> params) override {
    items_.emplace_back(params);
    return true;
  }

private:
  std::vector<CItem>& items_;
};

bool frameItems(std::span<const uint8_t> bytes, std::vector<CItem>& items) {
  SilentHost host;
  CItemStore store;
  ScoreFile file;
  file.bytes.assign(bytes.begin(), bytes.end());
  if (openScoreBytes(host, store, file) != 1) return false;
  CollectSink sink(items);
  return readItems(host, file, store, sink) == 1;
}

bool sameItem(const CItem& a, const CItem& b, bool ignoreStave) {
  const auto x = trimmedParams(a);
  const auto y = trimmedParams(b);
  if (x.size() != y.size()) return false;
  if (!ignoreStave || x.size() < 2) return std::memcmp(x.data(), y.data(), x.size() * sizeof(float)) == 0;
  return x[0] == y[0] && std::memcmp(x.data() + 2, y.data() + 2, (x.size() - 2) * sizeof(float)) == 0;
}

std::string keyOf(const CItem& item, bool ignoreStave) {
  const auto p = trimmedParams(item);
  std::string key(reinterpret_cast<const char*>(p.data()), p.size() * sizeof(float));
  if (ignoreStave && p.size() >= 2) std::memset(key.data() + sizeof(float), 0, sizeof(float));
  return key;
}

} // namespace

std::span<const float> trimmedParams(const CItem& item) {
  auto values = item.params().values();
  size_t n = values.size();
  while (n > 1 && values[n - 1] == 0.0f)
    --n;
  return values.first(n);
}

bool sameTrimmedParams(const CItem& a, const CItem& b) { return sameItem(a, b, false); }

bool compareScoreBytes(std::span<const uint8_t> before, std::span<const uint8_t> after, bool ignoreStave,
                       ChangeCounts& counts, std::vector<ItemChange>* items, size_t itemLimit) {
  std::vector<CItem> a;
  std::vector<CItem> b;
  if (!frameItems(before, a) || !frameItems(after, b)) return false;

  // Items equal in place are skipped at once; the rest wait in a pool until
  // an equal item turns up on the other side, so an insertion does not shift
  // every later item out of step.
  std::unordered_map<std::string, std::deque<size_t>> poolA;
  std::unordered_map<std::string, std::deque<size_t>> poolB;
  std::vector<bool> matchedA(a.size(), false);
  std::vector<bool> matchedB(b.size(), false);
  const auto settle = [&](size_t index, const std::vector<CItem>& side, auto& own, auto& other,
                          std::vector<bool>& ownMatched, std::vector<bool>& otherMatched) {
    std::string key = keyOf(side[index], ignoreStave);
    const auto found = other.find(key);
    if (found != other.end() && !found->second.empty()) {
      otherMatched[found->second.front()] = true;
      found->second.pop_front();
      ownMatched[index] = true;
      return;
    }
    own[std::move(key)].push_back(index);
  };
  size_t i = 0;
  size_t j = 0;
  while (i < a.size() || j < b.size()) {
    if (i < a.size() && j < b.size() && sameItem(a[i], b[j], ignoreStave)) {
      matchedA[i++] = true;
      matchedB[j++] = true;
      continue;
    }
    if (i < a.size()) settle(i++, a, poolA, poolB, matchedA, matchedB);
    if (j < b.size()) settle(j++, b, poolB, poolA, matchedB, matchedA);
  }

  // What is left pairs up by code (and stave) in file order: a changed item;
  // the rest were deleted or inserted.
  const auto pairKey = [&](const CItem& item) { return std::make_pair(item.p(1), ignoreStave ? 0.0f : item.p(2)); };
  std::map<std::pair<float, float>, std::deque<size_t>> waiting;
  for (size_t n = 0; n < a.size(); ++n)
    if (!matchedA[n]) waiting[pairKey(a[n])].push_back(n);
  const auto list = [&](ItemChange::Kind kind, const CItem* x, const CItem* y) {
    if (!items || items->size() >= itemLimit) return;
    ItemChange change;
    change.kind = kind;
    if (x) change.before = *x;
    if (y) change.after = *y;
    items->push_back(std::move(change));
  };
  for (size_t n = 0; n < b.size(); ++n) {
    if (matchedB[n]) continue;
    auto found = waiting.find(pairKey(b[n]));
    if (found != waiting.end() && !found->second.empty()) {
      ++counts.changed;
      list(ItemChange::Kind::Changed, &a[found->second.front()], &b[n]);
      found->second.pop_front();
    } else {
      ++counts.inserted;
      list(ItemChange::Kind::Inserted, nullptr, &b[n]);
    }
  }
  for (const auto& [key, rest] : waiting) {
    counts.deleted += static_cast<long long>(rest.size());
    for (const size_t n : rest)
      list(ItemChange::Kind::Deleted, &a[n], nullptr);
  }
  return true;
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
  std::vector<uint8_t> input;
  if (readWholeFile(file.path, input, kMaxScoreFileBytes) != ReadResult::Ok) return;
  ChangeCounts counts;
  std::vector<ItemChange> items;
  if (!compareScoreBytes(input, output, stavesRenumbered, counts, itemLimit ? &items : nullptr, itemLimit)) return;
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

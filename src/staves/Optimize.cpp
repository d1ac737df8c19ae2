#include "staves/Optimize.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "batch/BatchRunner.h"
#include "model/ScoreReader.h"
#include "model/ScoreWriter.h"
#include "staves/Messages.h"

namespace velmora {

namespace {

// Staves outside 1..250 do not exist and count as deleted.
bool kept(const CItemStore& store, long long stave) {
  return stave >= 1 && stave <= kMaxStave && store.staveFlags[static_cast<size_t>(stave)] == 1;
}

void resetFlags(CItemStore& store) { store.staveFlags.fill(0); }

bool deletionOptionOn(const OptimizeOptions& options, float kind) {
  if (kind == 8.0f) return options.deleteBraces != 0;
  if (kind == 9.0f) return options.deleteBrackets != 0;
  if (kind == 10.0f) return options.deleteStraightBrackets != 0;
  return false;
}

bool isOneOf(int code, std::initializer_list<int> codes) {
  for (int c : codes)
    if (c == code) return true;
  return false;
}

// Unflagged staves among first..last, with staves past 250 counted as deleted.
double deletedAmong(const CItemStore& store, long long first, double last) {
  if (!(last >= static_cast<double>(first))) return 0.0;
  double deleted = 0.0;
  const long long end = last > kMaxStave ? kMaxStave : static_cast<long long>(last);
  for (long long s = first; s <= end; ++s)
    if (!kept(store, s)) deleted += 1.0;
  if (last > kMaxStave) deleted += std::floor(last) - kMaxStave;
  return deleted;
}

// Rule for barlines: shorten to the kept staves, delete, or move to the first kept one.
void barlineRule(CItemStore& store, const OptimizeOptions& options, int listIndex, CItem& item) {
  const int s = listIndex + 1;
  const float l = item.count() >= 4 && item.p(4) != 0.0f ? item.p(4) : 1.0f;
  const int j = intPart(item.stave());
  const double last = std::trunc(static_cast<double>(item.stave()) + static_cast<double>(l) - 1.0);
  const double d = deletedAmong(store, j, last);
  const float t = item.count() >= 5 ? item.p(5) : 0.0f;
  const double n = static_cast<double>(l) - d;
  if (n < 2.0 && deletionOptionOn(options, t) && kept(store, s)) {
    store.removeItem(listIndex, item);
    return;
  }
  if (item.count() > 3) item.params().set(3, static_cast<float>(n));
  if (kept(store, j) || !(n > 0.0) || !(l > 0.0f)) return;
  int k = j + 1;
  while (k <= kMaxStave && !kept(store, k))
    ++k;
  // A fractional span may leave no kept stave to move to: it goes with its stave.
  if (k > kMaxStave) return;
  item.params().set(1, static_cast<float>(renumberedStave(store, k)));
  const float p5 = item.p(5);
  const bool group = p5 == 8.0f || p5 == 9.0f || p5 == 10.0f;
  if (item.count() <= 4 || p5 < 8.0f || (p5 > 7.0f && n > 1.0) || (group && !deletionOptionOn(options, p5)))
    store.moveToPlacedList(listIndex, item);
}

void anchoredItemRule(CItemStore& store, int listIndex, CItem& item) {
  const int stave = intPart(item.stave());
  if (kept(store, stave)) return;
  int k = stave - 1;
  while (k >= 1 && !kept(store, k))
    --k;
  if (k < 1) k = 1;
  item.params().set(1, static_cast<float>(renumberedStave(store, k)));
  store.moveToPlacedList(listIndex, item);
}

} // namespace

std::vector<int> parseInstrumentNumbers(std::string_view text) {
  std::vector<int> numbers;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ')
      ++i;
    if (i >= text.size()) break;
    size_t end = i;
    while (end < text.size() && text[end] != ' ')
      ++end;
    const std::string_view token = text.substr(i, end - i);
    size_t p = 0;
    bool negative = false;
    if (p < token.size() && (token[p] == '+' || token[p] == '-')) negative = token[p++] == '-';
    long long value = 0;
    for (; p < token.size() && token[p] >= '0' && token[p] <= '9'; ++p)
      value = std::min<long long>(value * 10 + (token[p] - '0'), static_cast<long long>(INT_MAX) + 1);
    if (negative) value = -value;
    numbers.push_back(static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX)));
    i = end;
  }
  return numbers;
}

bool chooseInstrumentNumbers(IStaveDialogs& dialogs, COptimizeBatch& batch) {
  InstrumentChoice choice;
  if (!dialogs.selectInstrumentNumbers(choice)) return false;
  const std::vector<int> numbers = parseInstrumentNumbers(choice.numbers);
  batch.instruments.insert(batch.instruments.end(), numbers.begin(), numbers.end());
  batch.keepListed = choice.keepListed;
  return true;
}

int renumberedStave(const CItemStore& store, int stave) {
  int deleted = 0;
  for (int s = 1; s < stave && s <= kMaxStave; ++s)
    if (!kept(store, s)) ++deleted;
  return stave - deleted;
}

int moveBarlinesAndAnchors(IHost& host, CItemStore& store, const OptimizeOptions& options) {
  for (int s = 1; s <= kMaxStave; ++s) {
    if (host.pump() == Pump::Cancel) return 0;
    StaveList& list = store.list(s - 1);
    for (auto it = list.begin(); it != list.end();) {
      // The item may leave the list; step past it first.
      CItem& item = *it++;
      const int code = intPart(item.code());
      if (code == 14)
        barlineRule(store, options, s - 1, item);
      else if (isOneOf(code, {16, 9, 10}) && item.p(6) >= 100.0f)
        anchoredItemRule(store, s - 1, item);
    }
  }
  return 1;
}

int optimizeFile(OptimizeContext& context, const std::string& path, const std::string& extension) {
  return optimizeFile(context, ScoreIO{path, outputPathFor(path, extension), nullptr, context.run});
}

int optimizeFile(OptimizeContext& context, const ScoreIO& io) {
  IHost& host = context.host;
  CItemStore& store = context.store;
  // The flags belong to this file alone, whatever ran before.
  resetFlags(store);
  const auto stop = [&store] {
    resetFlags(store);
    store.clear();
    return 0;
  };

  ScoreFile file;
  const int opened = openScore(host, io, store, file);
  if (opened != 1) return opened;
  OptimizeMarking marking;
  marking.instrumentMode = context.options.showInstrumentDeleteWindow != 0;
  marking.keepListed = context.batch.keepListed;
  marking.instruments = context.batch.instruments;
  if (readOptimize(host, file, store, marking) != 1) return stop();
  file.bytes.clear();

  if (context.options.showStaveDeleteWindow != 0) {
    StaveSelection selection = staveSelectionFor(store, staves_msg::kStavesToDeleteTitle);
    const StaveDialogResult answer = context.dialogs.selectStaves(selection);
    if (answer == StaveDialogResult::Cancel) {
      if (askCancelAction(host)) return stop();
    } else {
      applyStaveSelection(selection, store);
      if (answer == StaveDialogResult::OkToAll) context.options.showStaveDeleteWindow = 0;
    }
  }

  if (moveBarlinesAndAnchors(host, store, context.options) == 0) return stop();

  // What stays in a deleted stave's list is not written.
  for (int s = 1; s <= kMaxStave; ++s) {
    if (host.pump() == Pump::Cancel) return stop();
    if (kept(store, s)) continue;
    for (const CItem& item : store.list(s - 1))
      store.headerWord -= 1 + item.count();
  }

  if (writeStaves(host, store, io) != 1) return stop();
  store.clear();
  resetFlags(store);
  return 1;
}

} // namespace velmora

#include "staves/Unoptimize.h"

#include <cmath>
#include <limits>

#include "base/Format.h"
#include "batch/BatchRunner.h"
#include "model/ScoreWriter.h"
#include "staves/Messages.h"

namespace velmora {

namespace {

bool isOneOf(int code, std::initializer_list<int> codes) {
  for (int c : codes)
    if (c == code) return true;
  return false;
}

float paramOf(std::span<const float> params, size_t n) { return params.size() >= n ? params[n - 1] : 0.0f; }

// Sets Pn; an absent Pn is added only when the value differs from what its
// absence means, so copies stay as short as their originals.
void setParam(CItem& item, int32_t n, float value, float absentMeans) {
  if (item.count() >= n)
    item.params().set(n - 1, value);
  else if (value != absentMeans)
    item.params().setAtGrow(n - 1, value);
}

// A barline's span: P4, or 1 when absent or 0.
float barlineSpan(const CItem& item) { return item.count() >= 4 && item.p(4) != 0.0f ? item.p(4) : 1.0f; }

// Group spans longer than the stave range mean the same as the whole range.
int32_t groupSpan(float p4) { return p4 >= static_cast<float>(kMaxStave) ? kMaxStave : static_cast<int32_t>(p4); }

void resetFlags(CItemStore& store) { store.staveFlags.fill(0); }

} // namespace

// The template reader's store step.
class TemplateSink final : public IItemSink {
public:
  TemplateSink(IHost& host, CUnoptimizeTemplate& tpl) : host_(host), tpl_(tpl) {}

  bool checksCodeAndStave() const override { return false; }

  void prepare(std::span<float> params) override {
    if (params.size() >= 4 && intPart(params[0]) == 8) params[3] = 0.0f;
  }

  bool store(std::span<const float> params) override {
    const int t = intPart(paramOf(params, 2));
    // Items outside the stave range have no template list.
    if (!CUnoptimizeTemplate::inRange(t)) return true;
    const size_t at = static_cast<size_t>(t);
    tpl_.lists_[at].emplace_back(params);
    const int code = intPart(paramOf(params, 1));
    if (code == 8) {
      const float p9 = paramOf(params, 9);
      if (p9 == 0.0f) {
        host_.showMessage(strprintf(staves_msg::kNoInstrumentNumber, t));
        return false;
      }
      tpl_.instruments_[at] = intPart(p9);
      tpl_.lowest_ = std::min(tpl_.lowest_, t);
      tpl_.highest_ = std::max(tpl_.highest_, t);
    } else if (code == 14 && params.size() >= 5 && params[4] > 7.0f) {
      int32_t& span = tpl_.spans_[at];
      const float p4 = params[3];
      if (p4 > 0.0f) {
        if (span == 1 || static_cast<float>(span) < p4) span = groupSpan(p4);
      } else {
        span = 1;
      }
      for (int inside = t + 1; inside <= t + span - 1 && inside <= kMaxStave; ++inside)
        tpl_.spans_[static_cast<size_t>(inside)] = 0;
    }
    return true;
  }

private:
  IHost& host_;
  CUnoptimizeTemplate& tpl_;
};

int CUnoptimizeTemplate::staveForInstrument(float p9) const {
  // 0 in the table is a stave without a staff item, not an instrument.
  for (int t = 1; t <= kMaxStave; ++t)
    if (instruments_[static_cast<size_t>(t)] != 0 && static_cast<float>(instruments_[static_cast<size_t>(t)]) == p9)
      return t;
  return 0;
}

void CUnoptimizeTemplate::clear() {
  for (auto& l : lists_)
    l.clear();
  instruments_.fill(0);
  spans_.fill(1);
  lowest_ = kLowestStaffCleared;
  highest_ = kHighestStaffCleared;
  loaded_ = false;
}

int readTemplate(IHost& host, const ScoreFile& file, CItemStore& scratch, CUnoptimizeTemplate& tpl) {
  tpl.clear();
  TemplateSink sink(host, tpl);
  if (readItems(host, file, scratch, sink) != 1) {
    tpl.clear();
    return 0;
  }
  tpl.loaded_ = true;
  return 1;
}

bool loadTemplate(IHost& host, const std::string& path, CUnoptimizeTemplate& tpl) {
  tpl.clear();
  CItemStore scratch;
  ScoreFile file;
  if (openScoreFile(host, path, scratch, file) != 1) return false;
  return readTemplate(host, file, scratch, tpl) == 1;
}

namespace {

class UnoptimizeInputSink final : public IItemSink {
public:
  UnoptimizeInputSink(CItemStore& store, const CUnoptimizeTemplate& tpl, UnoptimizeFileState& state)
      : store_(store), tpl_(tpl), state_(state) {}

  void prepare(std::span<float> params) override {
    if (intPart(paramOf(params, 1)) != 8) return;
    const float p3 = paramOf(params, 3);
    if (p3 < state_.staffLeftEdge) state_.staffLeftEdge = p3;
    if (params.size() >= 4) params[3] = 0.0f;
  }

  bool store(std::span<const float> params) override {
    note(params);
    store_.insertItemInOrder(params);
    return true;
  }
  bool take(StaveList& from, StaveList::iterator at) override {
    note(at->params().values());
    store_.takeItemInOrder(from, at);
    return true;
  }

private:
  // A staff item maps its stave to the template's.
  void note(std::span<const float> params) {
    if (intPart(params[0]) == 8) {
      // The framing has checked P2: 1..200.
      const size_t stave = static_cast<size_t>(intPart(params[1]));
      const float p9 = paramOf(params, 9);
      if (!state_.hasStaff[stave]) {
        state_.hasStaff[stave] = true;
        state_.firstInstrument[stave] = p9;
      }
      const int t = tpl_.staveForInstrument(p9);
      if (t != 0) {
        store_.staveFlags[static_cast<size_t>(t)] = 1;
        state_.staveMap[stave] = t;
      }
    }
  }

  CItemStore& store_;
  const CUnoptimizeTemplate& tpl_;
  UnoptimizeFileState& state_;
};

std::string instrumentText(float p9) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", static_cast<double>(p9));
  return buf;
}

} // namespace

int readUnoptimizeInput(IHost& host, const ScoreFile& file, CItemStore& store, const CUnoptimizeTemplate& tpl,
                        UnoptimizeFileState& state) {
  UnoptimizeInputSink sink(store, tpl, state);
  if (readItems(host, file, store, sink) != 1) return 0;
  for (int k = 0; k < kMaxReadStave; ++k) {
    const size_t stave = static_cast<size_t>(k + 1);
    if (store.list(k).empty() || state.staveMap[stave] != 0) continue;
    if (state.hasStaff[stave] && state.firstInstrument[stave] != 0.0f)
      host.showMessage(strprintf(staves_msg::kUnmatchedInstrument, k + 1, file.path.c_str(),
                                 instrumentText(state.firstInstrument[stave]).c_str()));
    else
      host.showMessage(strprintf(staves_msg::kNoStaffItem, k + 1, file.path.c_str()));
    return 0;
  }
  for (int k = 0; k < kMaxReadStave; ++k)
    for (CItem& item : store.list(k))
      item.params().set(1, static_cast<float>(state.staveMap[static_cast<size_t>(k + 1)]));
  return 1;
}

int applyTemplateGroups(IHost& host, CItemStore& store, const CUnoptimizeTemplate& tpl) {
  for (int k = 0; k < kPlacedList; ++k) {
    if (host.pump() == Pump::Cancel) return 0;
    for (CItem& item : store.list(k)) {
      const int code = intPart(item.code());
      if (isOneOf(code, {16, 9, 10}) && item.p(6) >= 100.0f) {
        // Anchored items end on the last stave of their group.
        int stave = intPart(item.stave());
        while (stave + 1 <= kMaxStave && tpl.span(stave + 1) == 0)
          ++stave;
        item.params().set(1, item.stave() + static_cast<float>(stave - intPart(item.stave())));
      } else if (code == 14) {
        const float l = barlineSpan(item);
        int g = intPart(item.stave());
        const bool present = g >= 1 && g <= kMaxStave && store.staveFlags[static_cast<size_t>(g)] != 0;
        if (tpl.span(g) == 0 && !present) {
          while (g > 1 && tpl.span(g) == 0)
            --g;
          item.params().set(1, static_cast<float>(g));
        }
        const int32_t s = tpl.span(g);
        if (item.count() > 3) {
          if (static_cast<float>(s) > l)
            item.params().set(3, static_cast<float>(s));
          else if (static_cast<float>(s) < l && g == tpl.lowestStaffStave())
            item.params().set(3, static_cast<float>(tpl.highestStaffStave() - g + 1));
        }
      }
    }
  }
  return 1;
}

namespace {

// Whole-bar rests, barlines, key and time signatures for stave t, from the
// bars of the source list.
void copyBars(CItemStore& store, const StaveList& source, StaveList& home, int t, int32_t span, float clefMark) {
  const auto copy = [&](const CItem& item) -> CItem& {
    CItem& c = home.emplace_back(item);
    c.params().set(1, static_cast<float>(t));
    return c;
  };
  float barTotal = 0.0f;
  float positionTotal = 0.0f;
  float lastPosition = -std::numeric_limits<float>::infinity();
  float firstPosition = 0.0f;
  bool barStarted = false;
  for (const CItem& item : source) {
    const int code = intPart(item.code());
    if ((code == 1 || code == 2) && item.count() >= 7) {
      const float value = item.p(7) <= 62.0f ? item.p(7) : 0.0f;
      const float p3 = item.p(3);
      if (p3 > lastPosition + 0.01f) {
        barTotal += positionTotal;
        positionTotal = value;
        lastPosition = p3;
      } else if (p3 >= lastPosition - 0.01f) {
        if (value < positionTotal) positionTotal = value;
      } else {
        continue;
      }
      if (!barStarted) {
        firstPosition = p3;
        barStarted = true;
      }
    } else if (code == 14 && (item.count() < 5 || item.p(5) <= 7.0f)) {
      if (positionTotal > 0.0f) {
        const float rest[] = {2.0f, static_cast<float>(t), firstPosition, 0.0f, -2.0f, 0.0f, barTotal + positionTotal};
        home.emplace_back(rest);
        store.headerWord += 8;
        barTotal = 0.0f;
        positionTotal = 0.0f;
        barStarted = false;
      }
      if (span != 0) {
        CItem& c = copy(item);
        setParam(c, 4, static_cast<float>(span), 1.0f);
        store.headerWord += 1 + c.count();
      }
    } else if (code == 17 || code == 18) {
      CItem& c = copy(item);
      if (code == 17) setParam(c, 6, clefMark, 0.0f);
      store.headerWord += 1 + c.count();
    }
  }
}

bool insertSingleOn(const UnoptimizeOptions& options, float kind) {
  if (kind == 8.0f) return options.insertBraces != 0;
  if (kind == 9.0f) return options.insertBrackets != 0;
  if (kind == 10.0f) return options.insertStraightBrackets != 0;
  return false;
}

} // namespace

int insertMissingStaves(IHost& host, CItemStore& store, const CUnoptimizeTemplate& tpl,
                        const UnoptimizeOptions& options, float staffLeftEdge, const std::string& path) {
  // The bars come from the input's first stave; lists filled below are never it.
  const StaveList* source = nullptr;
  for (int k = 0; k < kPlacedList && !source; ++k)
    if (!store.list(k).empty()) source = &store.list(k);
  for (int t = 1; t <= kMaxStave; ++t) {
    if (tpl.instrument(t) == 0 || store.staveFlags[static_cast<size_t>(t)] != 0) continue;
    int homeIndex = 0;
    while (homeIndex < kPlacedList && !store.list(homeIndex).empty())
      ++homeIndex;
    if (homeIndex == kPlacedList) {
      host.showMessage(strprintf(staves_msg::kNoRoomForStaves, path.c_str()));
      return 0;
    }
    StaveList& home = store.list(homeIndex);
    float clefMark = 0.0f;
    for (const CItem& item : tpl.list(t)) {
      const int code = intPart(item.code());
      const bool wanted =
          code == 8 || code == 3 || code == 16 ||
          (code == 14 && (barlineSpan(item) > 1.0f || (item.count() >= 5 && insertSingleOn(options, item.p(5)))));
      if (!wanted) continue;
      CItem& c = home.emplace_back(item);
      if ((code == 8 || code == 14) && c.p(3) != staffLeftEdge) setParam(c, 3, staffLeftEdge, 0.0f);
      if (code == 3 && c.p(3) != staffLeftEdge) {
        setParam(c, 3, staffLeftEdge + 1.0f, 0.0f);
        if (c.count() > 4) clefMark = c.p(5);
      }
      store.headerWord += 1 + c.count();
    }
    if (source) copyBars(store, *source, home, t, tpl.span(t), clefMark);
  }
  return 1;
}

int unoptimizeFile(UnoptimizeContext& context, const std::string& path, const std::string& extension) {
  return unoptimizeFile(context, ScoreIO{path, outputPathFor(path, extension), nullptr, context.run});
}

int unoptimizeFile(UnoptimizeContext& context, const ScoreIO& io) {
  const std::string& path = io.inputPath;
  IHost& host = context.host;
  CItemStore& store = context.store;
  resetFlags(store);
  const auto stop = [&store] {
    resetFlags(store);
    store.clear();
    return 0;
  };

  ScoreFile file;
  const int opened = openScore(host, io, store, file);
  if (opened != 1) return opened;
  UnoptimizeFileState state;
  if (readUnoptimizeInput(host, file, store, context.tpl, state) != 1) return stop();
  file.bytes.clear();

  if (context.options.showStaveInsertWindow != 0) {
    StaveSelection selection = staveSelectionFor(store, staves_msg::kStavesToInsertTitle);
    const StaveDialogResult answer = context.dialogs.selectStaves(selection);
    if (answer == StaveDialogResult::Cancel) {
      if (askCancelAction(host)) return stop();
    } else {
      applyStaveSelection(selection, store);
      if (answer == StaveDialogResult::OkToAll) context.options.showStaveInsertWindow = 0;
    }
  }

  if (applyTemplateGroups(host, store, context.tpl) == 0) return stop();
  if (insertMissingStaves(host, store, context.tpl, context.options, state.staffLeftEdge, path) == 0) return stop();

  // Every list is written as it stands: its items carry template stave numbers.
  store.staveFlags.fill(1);
  if (writeStaves(host, store, io) != 1) return stop();
  store.clear();
  resetFlags(store);
  return 1;
}

} // namespace velmora

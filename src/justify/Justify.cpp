#include "justify/Justify.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

#include "base/Format.h"
#include "justify/Messages.h"
#include "model/ScoreReader.h"
#include "model/ScoreWriter.h"

namespace velmora {

namespace {

constexpr int kNote = 1, kRest = 2, kBeam = 6, kStaff = 8, kBarline = 14;

int codeOf(const CItem& item) { return intPart(item.code()); }

bool isLineLike(int code) { return code >= 4 && code <= 8; }

// Positions in the correction are compared in thousandths, half up.
double milli(double v) { return std::floor(v * 1000.0 + 0.5); }

double accidentalWidth(const JustifyOptions& w, int code) {
  switch (code) {
  case 1: return w.accidentalFlat;
  case 2: return w.accidentalSharp;
  case 3: return w.accidentalNatural;
  case 4: return w.accidentalDoubleFlat;
  case 5: return w.accidentalDoubleSharp;
  case 6: return w.quarterFlat;
  case 7: return w.threeQuarterFlat;
  case 8: return w.quarterSharp;
  default: return w.threeQuarterSharp;
  }
}

// Grace notes sit 100 above or below their position and are drawn at 0.6.
void graceScale(double& e, double& v) {
  if (v >= 100.0) {
    e = 0.6;
    v -= 100.0;
  } else if (v <= -100.0) {
    e = 0.6;
    v += 100.0;
  }
}

bool needsLedger(double v) { return v >= 13.0 || v <= 1.0; }

// P10: 10 one notehead right, 20 one notehead left, anything else as it stands.
double displacement(double p10, double unit) {
  if (p10 == 10.0) return unit;
  if (p10 == 20.0) return -unit;
  return p10;
}

// Hostile inputs can push a position past the float range; it saturates there.
void setParam(CItem& item, int n, double value) {
  constexpr double kMax = std::numeric_limits<float>::max();
  item.params().set(n - 1, static_cast<float>(std::clamp(value, -kMax, kMax)));
}

// The items of a group, in list order, as a flat array: a correction walks
// them all, and the lists are not changed while the group is justified.
struct GroupItem {
  float* params;
  int count;
  int code;
};

std::vector<GroupItem> groupItems(CItemStore& store, const JustifyGroup& g) {
  std::vector<GroupItem> items;
  for (int k = g.first; k <= g.last() && k <= kMaxStave; ++k)
    for (CItem& item : store.list(k - 1))
      items.push_back(GroupItem{item.params().values().data(), item.count(), codeOf(item)});
  return items;
}

// As setParam, on a flat item.
void setAt(const GroupItem& item, int n, double value) {
  constexpr double kMax = std::numeric_limits<float>::max();
  item.params[n - 1] = static_cast<float>(std::clamp(value, -kMax, kMax));
}

// Beam secondary positions: (parameter, its switch, left threshold scaled by s).
struct Secondary {
  int param;
  int switchParam;
  bool scaled;
};
constexpr Secondary kSecondaries[] = {{11, 10, true}, {12, 10, true}, {14, 13, true}, {15, 13, false}};

bool hasSecondary(const GroupItem& beam, const Secondary& sp) {
  if (beam.count < sp.param || !(beam.params[sp.switchParam - 1] >= 10.0f)) return false;
  const float v = beam.params[sp.param - 1];
  return v != -1.0f && v != 0.0f;
}

bool hasSecondary(const CItem& beam, const Secondary& sp) {
  if (beam.count() < sp.param || !(beam.p(sp.switchParam) >= 10.0f)) return false;
  const float v = beam.p(sp.param);
  return v != -1.0f && v != 0.0f;
}

void leadIn(CItemStore& store, const JustifyGroup& g, double f) {
  const double L = g.left, R = g.right, s = g.staveSize;
  if (R == L || f == 0.0) return;
  const auto moved = [&](double x) { return x + f * (R - x) / (R - L); };
  const auto inRange = [&](double x) { return x >= L - 0.02 * s && x <= R; };
  for (int k = g.first; k <= g.last() && k <= kMaxStave; ++k) {
    for (CItem& item : store.list(k - 1)) {
      const int code = codeOf(item);
      const double x = item.p(3);
      if (item.count() >= 3 && x >= L && x <= R) setParam(item, 3, moved(x));
      if (isLineLike(code) && item.count() >= 6 && inRange(item.p(6))) setParam(item, 6, moved(item.p(6)));
      if (code != kBeam) continue;
      for (const Secondary& sp : kSecondaries)
        if (hasSecondary(item, sp) && inRange(item.p(sp.param))) setParam(item, sp.param, moved(item.p(sp.param)));
    }
  }
}

// A share that would carry a note onto or past its limit, and so past the
// notes beside it, takes half the room instead; later passes use the rest.
double boundedShare(double share, double room) { return share < room ? share : room / 2.0; }

// One correction: the part from L to o pressed toward L, the part from m to R toward R.
class Correction {
public:
  Correction(const JustifyGroup& g, double xo, double xm, double d)
      : L_(g.left), R_(g.right), s_(g.staveSize), xo_(xo), xm_(xm),
        dl_(boundedShare(d * (xo - g.left) / (g.right - g.left), xo - g.left)),
        dr_(boundedShare(d * (g.right - xo) / (g.right - g.left), g.right - xm)),
        leftMoves_(milli(xo) != milli(g.left)), rightMoves_(milli(g.right) != milli(xm)), mL_(milli(L_)),
        mR_(milli(R_)), mxo_(milli(xo_)), mxm_(milli(xm_)), mEndScaled_(milli(xo_ + 0.02 * s_)),
        mEndFixed_(milli(xo_ + 0.02)), mStart_(milli(xm_ - 0.02 * s_)) {}

  bool movesAnything() const { return leftMoves_ || rightMoves_; }

  void apply(const std::vector<GroupItem>& items) const {
    for (const GroupItem& item : items)
      if (item.count >= 3) move(item);
  }

private:
  double left(double x) const { return x - dl_ * (x - L_) / (xo_ - L_); }
  double right(double x) const { return x + dr_ * (R_ - x) / (R_ - xm_); }

  // A value tied to the item's position: left of o's end, or right of m's start.
  double moveEnd(double v, bool scaled) const {
    if (milli(v) <= (scaled ? mEndScaled_ : mEndFixed_)) return leftMoves_ ? left(v) : v;
    if (milli(v) > mStart_) return rightMoves_ ? right(v) : v;
    return v;
  }

  // Inlined into the walk over the items: a call per item costs more than the move.
  [[gnu::always_inline]] void move(const GroupItem& item) const {
    const int code = item.code;
    float* const p = item.params;
    const double x = p[2];
    const double mx = milli(x);
    const bool inLR = mx >= mL_ && mx <= mR_;
    // Ends and secondary beam positions outside L to R are not places on this
    // line (code 4 items hold P6 = 0), so they stay.
    const auto onLine = [&](double v) { return milli(v) >= mL_ && milli(v) <= mR_; };
    if (leftMoves_ && mx >= mL_ && mx <= mxo_)
      setAt(item, 3, left(x));
    else if (rightMoves_ && mx >= mxm_ && mx <= mR_)
      setAt(item, 3, right(x));
    if (isLineLike(code) && item.count >= 6 && inLR && onLine(p[5])) setAt(item, 6, moveEnd(p[5], true));
    if (code == kBeam && mx >= mL_ && mx < mR_) {
      for (const Secondary& sp : kSecondaries)
        if (hasSecondary(item, sp) && onLine(p[sp.param - 1]))
          setAt(item, sp.param, moveEnd(p[sp.param - 1], sp.scaled));
    }
  }

  double L_, R_, s_, xo_, xm_, dl_, dr_;
  bool leftMoves_, rightMoves_;
  // The limits in thousandths, taken once for all the items moved.
  double mL_, mR_, mxo_, mxm_, mEndScaled_, mEndFixed_, mStart_;
};

JustifyPrompt promptFor(const CItem& m, const std::string& path) {
  JustifyPrompt prompt;
  prompt.title = justify_msg::kPromptTitle;
  prompt.text = strprintf(justify_msg::kPromptText, path.c_str());
  for (float p : m.params().values())
    prompt.parameters += strprintf("%.4f ", static_cast<double>(p));
  prompt.question = justify_msg::kPromptQuestion;
  prompt.filePath = path;
  return prompt;
}

enum class Pass { Clean, Corrected, Stuck, Cancelled };

struct NoteEdges {
  CItem* item;
  float p3; // the position the edges were taken at
  double x;
  double left;
  double right;
};

// The edges of a note at its position; a correction changes only P3 of notes.
void takeEdges(NoteEdges& n, double s, const JustifyOptions& options) {
  n.p3 = n.item->p(3);
  n.x = n.p3;
  n.left = leftEdge(*n.item, s, options);
  n.right = rightEdge(*n.item, s, options);
}

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// One pass: the first overlapping pair that the user lets us correct.
Pass runPass(JustifyRun& run, const std::vector<GroupItem>& items, const JustifyGroup& g,
             const std::vector<NoteEdges>& notes, const std::string& path, std::vector<Correction>& applied) {
  const double s = g.staveSize;
  const double gap = static_cast<double>(run.options.minimumSpace) * s;
  // The least reach of the notes right of each position, so that a note no
  // later note overlaps is passed over without a walk over all of them.
  // Kept between passes: a pass allocates nothing once the batch has warmed up.
  static thread_local std::vector<std::pair<double, double>> byX;
  byX.clear();
  for (const NoteEdges& n : notes)
    if (!std::isnan(n.x)) {
      const double reach = n.left - (gap - 0.1);
      byX.emplace_back(n.x, std::isnan(reach) ? std::numeric_limits<double>::infinity() : reach);
    }
  // Notes mostly stand in order already; the order of equal positions does not matter.
  const auto byPosition = [](const auto& a, const auto& b) { return a.first < b.first; };
  if (!std::is_sorted(byX.begin(), byX.end(), byPosition)) std::sort(byX.begin(), byX.end(), byPosition);
  for (size_t i = byX.size(); i-- > 1;)
    byX[i - 1].second = std::min(byX[i - 1].second, byX[i].second);
  for (const NoteEdges& o : notes) {
    if (std::isnan(o.x)) continue;
    const auto right = std::upper_bound(byX.begin(), byX.end(), o.x,
                                        [](double x, const std::pair<double, double>& n) { return x < n.first; });
    if (right == byX.end() || !(right->second < o.right)) continue;
    for (const NoteEdges& m : notes) {
      if (!(m.x > o.x) || !(m.left - (gap - 0.1) < o.right)) continue;
      const double d = o.right - m.left + gap;
      // Without room between the limits, or a finite shift, nothing can clear it.
      std::optional<Correction> correction;
      if (milli(g.right) != milli(g.left) && std::isfinite(d)) correction.emplace(g, o.x, m.x, d);
      const bool stuck = !correction || !correction->movesAnything();
      if (run.prompt) {
        const PromptAnswer answer = run.dialogs.promptBeforeOperation(promptFor(*m.item, path));
        if (answer == PromptAnswer::Cancel) return Pass::Cancelled;
        if (answer == PromptAnswer::No) continue;
        if (answer == PromptAnswer::YesToAll) run.prompt = false;
      }
      if (stuck) return Pass::Stuck;
      const float beforeO = o.item->p(3), beforeM = m.item->p(3);
      correction->apply(items);
      applied.push_back(*correction);
      // A shift too small to change a float repeats itself on every pass.
      if (o.item->p(3) == beforeO && m.item->p(3) == beforeM) return Pass::Stuck;
      return Pass::Corrected;
    }
  }
  return Pass::Clean;
}

// How far the tightest overlapping pair of the stave falls short of the
// wanted space, by the overlap test of the passes; nothing when it is clear.
// For each note only the widest reach of the notes left of it can be the
// tightest, so one sweep in order of position finds it.
std::optional<double> worstClash(const std::vector<NoteEdges>& notes, double gap) {
  static thread_local std::vector<const NoteEdges*> byX;
  byX.clear();
  for (const NoteEdges& n : notes)
    if (!std::isnan(n.x)) byX.push_back(&n);
  const auto byPosition = [](const NoteEdges* a, const NoteEdges* b) { return a->x < b->x; };
  if (!std::is_sorted(byX.begin(), byX.end(), byPosition)) std::sort(byX.begin(), byX.end(), byPosition);
  std::optional<double> worst;
  double reach = -std::numeric_limits<double>::infinity();
  for (size_t i = 0; i < byX.size();) {
    size_t j = i;
    // Notes at one position do not clash with each other.
    for (; j < byX.size() && byX[j]->x == byX[i]->x; ++j) {
      const NoteEdges& m = *byX[j];
      if (m.left - (gap - 0.1) < reach && (!worst || reach - m.left > *worst)) worst = reach - m.left;
    }
    for (; i < j; ++i)
      if (byX[i]->right > reach) reach = byX[i]->right;
  }
  return worst;
}

// The positions a correction can change, for every item of the group.
class GroupPositions {
public:
  void take(const std::vector<GroupItem>& items) {
    values_.clear();
    forEach(items, [&](float& v) { values_.push_back(v); });
  }
  void restore(const std::vector<GroupItem>& items) const {
    size_t i = 0;
    forEach(items, [&](float& v) { v = values_[i++]; });
  }

private:
  template <class F> static void forEach(const std::vector<GroupItem>& items, F f) {
    for (const GroupItem& item : items)
      for (int n : {3, 6, 11, 12, 14, 15})
        if (n <= item.count) f(item.params[n - 1]);
  }
  std::vector<float> values_;
};

// 1 done (clean or given up with the warning), 0 cancelled. A stave that
// cannot be cleared keeps the state whose tightest pair came closest.
int justifyStave(JustifyRun& run, CItemStore& store, const JustifyGroup& g, int stave, const std::string& path) {
  std::vector<NoteEdges> notes;
  for (CItem& item : store.list(stave - 1))
    if (codeOf(item) == kNote)
      takeEdges(notes.emplace_back(NoteEdges{&item, 0.0f, 0.0, 0.0, 0.0}), g.staveSize, run.options);
  // Edges again only for the notes the last correction moved.
  const auto refresh = [&] {
    for (NoteEdges& n : notes)
      if (!sameBits(n.p3, n.item->p(3))) takeEdges(n, g.staveSize, run.options);
  };
  const double gap = static_cast<double>(run.options.minimumSpace) * g.staveSize;
  std::vector<GroupItem> items;
  // The positions before the first correction and the corrections since; the
  // best state is those replayed up to bestCount, so no copy per improvement.
  GroupPositions best;
  std::vector<Correction> applied;
  size_t bestCount = 0;
  double bestClash = 0.0;
  bool taken = false;
  const auto giveUp = [&] {
    refresh();
    const std::optional<double> clash = worstClash(notes, gap);
    if (taken && clash && !(*clash < bestClash) && bestCount < applied.size()) {
      best.restore(items);
      for (size_t i = 0; i < bestCount; ++i) applied[i].apply(items);
    }
    run.batch.notifyJustifyWarning(stave);
    return 1;
  };
  for (int pass = 0; pass < kMaxJustifyPasses; ++pass) {
    refresh();
    const std::optional<double> clash = worstClash(notes, gap);
    if (!clash) return 1;
    if (!taken || *clash < bestClash) {
      bestClash = *clash;
      if (!taken) {
        items = groupItems(store, g);
        best.take(items);
      }
      taken = true;
      bestCount = applied.size();
    }
    switch (runPass(run, items, g, notes, path, applied)) {
    case Pass::Clean: return 1;
    case Pass::Cancelled: return 0;
    case Pass::Stuck: return giveUp();
    case Pass::Corrected: break;
    }
  }
  return giveUp();
}

} // namespace

JustifyGroup openJustifyGroup(const CItemStore& store, int stave, const JustifyOptions& options) {
  JustifyGroup g;
  g.first = stave;
  const StaveList& items = store.list(stave - 1);
  bool anyBarline = false, sized = false;
  for (const CItem& item : items) {
    const int code = codeOf(item);
    const double x = item.p(3);
    if ((code == kNote || code == kRest) && std::isfinite(x) && x < g.left) g.left = x;
    if (code == kBarline && std::isfinite(x) && (!anyBarline || x > g.right)) {
      g.right = x;
      anyBarline = true;
    }
    if (code == kStaff && !sized && item.count() >= 5) {
      sized = true;
      const double size = item.p(5);
      // A size that is no number cannot scale anything.
      if (size != 0.0 && std::isfinite(size)) g.staveSize = size;
    }
  }

  // The group starts at the leftmost barline when it stands at a staff's start
  // and is of the chosen type; it spans that barline's P4 staves.
  double b = 230.0, c = 230.0;
  int r = 1, t = 0;
  for (const CItem& item : items) {
    const int code = codeOf(item);
    if (code == kBarline) {
      if (item.p(3) <= b) {
        const int spans = item.count() >= 4 ? intPart(item.p(4)) : 0;
        r = spans == 0 ? 1 : spans;
        t = item.count() >= 5 ? intPart(item.p(5)) : 0;
        b = item.p(3);
      }
    } else if (code == kStaff) {
      c = item.p(3);
    } else {
      continue;
    }
    if (c >= b - 1.0 && c <= b + 1.0 && t == options.barlineType) break;
  }
  // A group never ends before the stave that opened it.
  g.size = std::clamp(r, 1, kMaxStave - stave + 1);
  return g;
}

double rightEdge(const CItem& o, double s, const JustifyOptions& w) {
  double e = 1.0, v = o.p(4);
  graceScale(e, v);
  if (o.count() >= 15 && o.p(15) > 0.0f) e = o.p(15);
  if (w.recognizeStretchedNotes != 0 && o.count() >= 20 && o.p(20) > 0.0f) e *= o.p(20);
  const double E = e * s;
  double h = o.p(3);
  double d6 = o.p(6);
  if (d6 >= 10.0) {
    h += E * w.noteParenthesis;
    d6 -= 10.0;
  }
  double head = w.noteheadQuarterHalf, ledger = w.ledgerQuarterHalf;
  if (d6 == 2.0) {
    head = w.noteheadWhole;
    ledger = w.ledgerWhole;
  } else if (d6 == 3.0) {
    head = w.noteheadDoubleWhole;
    ledger = w.ledgerDoubleWhole;
  }
  h += E * (needsLedger(v) ? head + ledger : head);
  if (o.count() >= 9) {
    double d = o.p(9), x = 0.0;
    const double quarter = E * w.noteheadQuarterHalf;
    if (d > 1000.0) {
      h += quarter;
      x = quarter;
      d -= 1000.0;
    }
    if (d > 100.0) d -= 100.0;
    if (d >= 10.0 && d <= 99.0) {
      const double dots = E * w.rhythmDot * std::trunc(d / 10.0) + 10.0 * (d - std::trunc(d));
      h += dots;
      x += dots;
    }
    if (d > 0.0) {
      const double flag = E * w.noteFlag;
      const double p5 = o.p(5);
      if (flag > x && p5 > 0.0 && p5 < 20.0) h += flag - x;
    }
  }
  if (o.count() >= 10) h += displacement(o.p(10), E * w.noteheadQuarterHalf);
  return h;
}

double leftEdge(const CItem& m, double s, const JustifyOptions& w) {
  double e = 1.0, v = m.p(4), a = m.p(5);
  graceScale(e, v);
  if (m.count() >= 15 && m.p(15) > 0.0f) e = m.p(15);
  const double K = e * s;
  double g = m.p(3);
  if (m.count() >= 6 && m.p(6) >= 10.0f) g -= K * w.noteParenthesis;
  double width = 0.0;
  if (a == 110.0 || a == 120.0 || a >= 130.0) {
    a = 0.0;
  } else {
    if (a > 100.0 && a < 130.0) {
      width = K * w.accidentalParenthesis;
      a -= 100.0;
    }
    if (a >= 20.0)
      a -= 20.0;
    else if (a >= 10.0)
      a -= 10.0;
  }
  if (needsLedger(v) && a < 1.0) g -= 0.85 * K;
  if (a >= 1.0) {
    const int c = a >= 9.0 ? 9 : static_cast<int>(a);
    width += K * accidentalWidth(w, c);
    a -= c;
  } else {
    a = 0.0;
  }
  double l = g - width;
  if (a > 0.9)
    l += 10.0 * (a - 0.9);
  else
    l -= 10.0 * a;
  if (m.count() >= 10 && width == 0.0) l += displacement(m.p(10), K * w.noteheadQuarterHalf);
  return l;
}

int justifyStore(JustifyRun& run, CItemStore& store, const std::string& path) {
  JustifyGroup group;
  bool open = false;
  for (int k = 1; k <= kMaxStave; ++k) {
    if (run.host.pump() == Pump::Cancel) return 0;
    if (!open) {
      group = openJustifyGroup(store, k, run.options);
      leadIn(store, group, run.options.extraSpaceFirstNote);
      open = true;
    }
    if (justifyStave(run, store, group, k, path) == 0) return 0;
    if (k >= group.last()) open = false;
  }
  return 1;
}

int justifyFile(JustifyRun& run, CItemStore& store, const std::string& path, const std::string& extension) {
  return justifyFile(run, store, ScoreIO{path, outputPathFor(path, extension), nullptr, run.batch.run});
}

int justifyFile(JustifyRun& run, CItemStore& store, const ScoreIO& io) {
  const std::string& path = io.inputPath;
  int result = 0;
  {
    ScoreFile file;
    result = openScore(run.host, io, store, file);
    if (result != 1) return result;
    result = readGeneral(run.host, file, store);
  }
  if (result == 1) result = justifyStore(run, store, path);
  if (result == 1) result = writePlain(run.host, store, io);
  store.clear();
  return result == 1 ? 1 : 0;
}

} // namespace velmora

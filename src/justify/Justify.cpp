#include "justify/Justify.h"

#include <algorithm>
#include <array>
#include <bit>
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

// A correction compares many positions with a few limits in thousandths. The
// largest unrounded value whose milli() is at most the whole number m makes
// each comparison one plain compare, with no rounding per position:
// milli(v) <= m exactly when v * 1000 + 0.5 <= upTo(m), milli(v) > m when it
// is above, and milli(v) >= m when v * 1000 + 0.5 >= m.
double thousandths(double v) { return v * 1000.0 + 0.5; }
double upTo(double m) {
  // From 2^53 on every double is whole, so nothing lies between m and m + 1.
  constexpr double kAllWhole = 9007199254740992.0;
  if (!(std::fabs(m) < kAllWhole)) return m;
  // The double just below m + 1, a whole number, by its bits.
  const double next = m + 1.0;
  if (next == 0.0) return -std::numeric_limits<double>::denorm_min();
  const auto bits = std::bit_cast<uint64_t>(next);
  return std::bit_cast<double>(next > 0.0 ? bits - 1 : bits + 1);
}

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
float saturated(double value) {
  constexpr double kMax = std::numeric_limits<float>::max();
  return static_cast<float>(std::clamp(value, -kMax, kMax));
}

void setParam(CItem& item, int n, double value) { item.params().set(n - 1, saturated(value)); }

// Beam secondary positions: (parameter, its switch, left threshold scaled by s).
struct Secondary {
  int param;
  int switchParam;
  bool scaled;
};
constexpr Secondary kSecondaries[] = {{11, 10, true}, {12, 10, true}, {14, 13, true}, {15, 13, false}};

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

// The positions a correction can change, copied out of the group's items
// into flat arrays while one stave is justified: a correction walks them all,
// up to a hundred times a stave, and the best state so far is a copy. The
// lists do not change meanwhile; put() writes the values back.
class GroupPositions {
public:
  // A value that moves with its item's position: P6 of a line-like item, or
  // a beam's secondary position.
  struct End {
    uint32_t owner; // the index of the item's P3 in x
    bool beam;
    bool scaled;
  };

  // Takes the group's items; the notes of `stave` are given to `note` in list
  // order with the index of their P3, or -1 for a note without one.
  template <class F> void take(CItemStore& store, const JustifyGroup& g, int stave, F note) {
    x.clear();
    ends.clear();
    endInfo.clear();
    xAt_.clear();
    endAt_.clear();
    for (int k = g.first; k <= g.last() && k <= kMaxStave; ++k)
      for (CItem& item : store.list(k - 1)) {
        const int code = codeOf(item);
        if (item.count() < 3) {
          if (k == stave && code == kNote) note(item, -1);
          continue;
        }
        float* const p = item.params().values().data();
        const auto owner = static_cast<uint32_t>(x.size());
        if (k == stave && code == kNote) note(item, static_cast<int32_t>(owner));
        x.push_back(p[2]);
        xAt_.push_back(&p[2]);
        if (isLineLike(code) && item.count() >= 6) addEnd(End{owner, false, true}, &p[5]);
        if (code != kBeam) continue;
        for (const Secondary& sp : kSecondaries)
          if (item.count() >= sp.param && p[sp.switchParam - 1] >= 10.0f)
            addEnd(End{owner, true, sp.scaled}, &p[sp.param - 1]);
      }
  }
  void put() const {
    for (size_t i = 0; i < x.size(); ++i)
      *xAt_[i] = x[i];
    for (size_t i = 0; i < ends.size(); ++i)
      *endAt_[i] = ends[i];
  }

  std::vector<float> x; // P3 of every item that has one
  std::vector<float> ends;
  std::vector<End> endInfo;

private:
  void addEnd(End info, float* at) {
    ends.push_back(*at);
    endInfo.push_back(info);
    endAt_.push_back(at);
  }
  std::vector<float*> xAt_, endAt_;
};

// One correction: the part from L to o pressed toward L, the part from m to R toward R.
class Correction {
public:
  Correction(const JustifyGroup& g, double xo, double xm, double d)
      : L_(g.left), R_(g.right), s_(g.staveSize), xo_(xo), xm_(xm),
        dl_(boundedShare(d * (xo - g.left) / (g.right - g.left), xo - g.left)),
        dr_(boundedShare(d * (g.right - xo) / (g.right - g.left), g.right - xm)),
        leftMoves_(milli(xo) != milli(g.left)), rightMoves_(milli(g.right) != milli(xm)), fromL_(milli(L_)),
        toR_(upTo(milli(R_))), belowR_(milli(R_)), toO_(upTo(milli(xo_))), fromM_(milli(xm_)),
        toEndScaled_(upTo(milli(xo_ + 0.02 * s_))), toEndFixed_(upTo(milli(xo_ + 0.02))),
        toStart_(upTo(milli(xm_ - 0.02 * s_))),
        // No number as a lower bound turns a side off: no position is at or above it.
        leftFrom_(leftMoves_ ? fromL_ : std::numeric_limits<double>::quiet_NaN()),
        rightFrom_(rightMoves_ ? fromM_ : std::numeric_limits<double>::quiet_NaN()) {}

  bool movesAnything() const { return leftMoves_ || rightMoves_; }

  void apply(GroupPositions& group) const {
    // Ends first: they go by their item's position before it moves. Ends
    // outside L to R are not places on this line (code 4 items hold P6 = 0),
    // and a secondary position of 0 or -1 is none, so those stay.
    for (size_t i = 0; i < group.ends.size(); ++i) {
      const GroupPositions::End& info = group.endInfo[i];
      const double t = thousandths(group.x[info.owner]);
      float& v = group.ends[i];
      if (info.beam ? !(t >= fromL_ && t < belowR_) || v == -1.0f || v == 0.0f : !(t >= fromL_ && t <= toR_)) continue;
      const double tv = thousandths(v);
      if (tv >= fromL_ && tv <= toR_) v = saturated(moveEnd(v, info.scaled));
    }
    for (float& x : group.x) {
      const double t = thousandths(x);
      if (t >= leftFrom_ && t <= toO_)
        x = saturated(left(x));
      else if (t >= rightFrom_ && t <= toR_)
        x = saturated(right(x));
    }
  }

private:
  double left(double x) const { return x - dl_ * (x - L_) / (xo_ - L_); }
  double right(double x) const { return x + dr_ * (R_ - x) / (R_ - xm_); }

  // A value tied to the item's position: left of o's end, or right of m's start.
  double moveEnd(double v, bool scaled) const {
    const double t = thousandths(v);
    if (t <= (scaled ? toEndScaled_ : toEndFixed_)) return leftMoves_ ? left(v) : v;
    if (t > toStart_) return rightMoves_ ? right(v) : v;
    return v;
  }

  double L_, R_, s_, xo_, xm_, dl_, dr_;
  bool leftMoves_, rightMoves_;
  // The limits as bounds on thousandths(), taken once for all the items moved.
  double fromL_, toR_, belowR_, toO_, fromM_, toEndScaled_, toEndFixed_, toStart_;
  double leftFrom_, rightFrom_;
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

// An edge is the note's P3 plus these amounts, added in this order. They do
// not depend on P3, so a moved note's edges are the same sums from its new
// place, without reading its other parameters again.
struct EdgeTerms {
  // Unused places add -0, which leaves every value as it is, zeros and their
  // signs included; so every edge is the same six additions.
  std::array<double, 6> amounts{-0.0, -0.0, -0.0, -0.0, -0.0, -0.0};
  size_t size = 0;
  void add(double amount) { amounts[size++] = amount; }
  double at(double x) const { return x + amounts[0] + amounts[1] + amounts[2] + amounts[3] + amounts[4] + amounts[5]; }
};

EdgeTerms rightEdgeTerms(const CItem& o, double s, const JustifyOptions& w) {
  EdgeTerms terms;
  double e = 1.0, v = o.p(4);
  graceScale(e, v);
  if (o.count() >= 15 && o.p(15) > 0.0f) e = o.p(15);
  if (w.recognizeStretchedNotes != 0 && o.count() >= 20 && o.p(20) > 0.0f) e *= o.p(20);
  const double E = e * s;
  double d6 = o.p(6);
  if (d6 >= 10.0) {
    terms.add(E * w.noteParenthesis);
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
  terms.add(E * (needsLedger(v) ? head + ledger : head));
  if (o.count() >= 9) {
    double d = o.p(9), x = 0.0;
    const double quarter = E * w.noteheadQuarterHalf;
    if (d > 1000.0) {
      terms.add(quarter);
      x = quarter;
      d -= 1000.0;
    }
    if (d > 100.0) d -= 100.0;
    if (d >= 10.0 && d <= 99.0) {
      const double dots = E * w.rhythmDot * std::trunc(d / 10.0) + 10.0 * (d - std::trunc(d));
      terms.add(dots);
      x += dots;
    }
    if (d > 0.0) {
      const double flag = E * w.noteFlag;
      const double p5 = o.p(5);
      if (flag > x && p5 > 0.0 && p5 < 20.0) terms.add(flag - x);
    }
  }
  if (o.count() >= 10) terms.add(displacement(o.p(10), E * w.noteheadQuarterHalf));
  return terms;
}

// Subtractions are kept as added negatives: x - c and x + -c are the same in
// binary floating point, to the sign of a zero.
EdgeTerms leftEdgeTerms(const CItem& m, double s, const JustifyOptions& w) {
  EdgeTerms terms;
  double e = 1.0, v = m.p(4), a = m.p(5);
  graceScale(e, v);
  if (m.count() >= 15 && m.p(15) > 0.0f) e = m.p(15);
  const double K = e * s;
  if (m.count() >= 6 && m.p(6) >= 10.0f) terms.add(-(K * w.noteParenthesis));
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
  if (needsLedger(v) && a < 1.0) terms.add(-(0.85 * K));
  if (a >= 1.0) {
    const int c = a >= 9.0 ? 9 : static_cast<int>(a);
    width += K * accidentalWidth(w, c);
    a -= c;
  } else {
    a = 0.0;
  }
  terms.add(-width);
  if (a > 0.9)
    terms.add(10.0 * (a - 0.9));
  else
    terms.add(-(10.0 * a));
  if (m.count() >= 10 && width == 0.0) terms.add(displacement(m.p(10), K * w.noteheadQuarterHalf));
  return terms;
}

enum class Pass { Clean, Corrected, Stuck, Cancelled };

// What the passes read of a note, small so that the sweeps stay in the cache.
struct NoteEdges {
  CItem* item;
  int32_t slot;                    // its P3 in the group's positions, -1 when it has none
  const float* position = nullptr; // that P3, or a 0 for a note without one
  float p3 = 0.0f;                 // the position the edges were taken at
  double x = 0.0;
  double left = 0.0;
  double right = 0.0;
};

struct NoteTerms {
  EdgeTerms left, right;
};

// The edges of a note at its position; a correction changes only P3 of notes.
void takeEdges(NoteEdges& n, const NoteTerms& terms, float p3) {
  n.p3 = p3;
  n.x = p3;
  n.left = terms.left.at(n.x);
  n.right = terms.right.at(n.x);
}

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// What a pass needs to know of the notes' order by position, worked out in
// one sweep: the tightest overlap of the stave and, for each note, the least
// reach of the notes right of it. The order is kept from pass to pass, as a
// correction leaves the notes in order but for rounding.
class NoteOrder {
public:
  void clear() {
    order_.clear();
    fresh_ = true;
  }
  void survey(const std::vector<NoteEdges>& notes, double gap) {
    if (fresh_) {
      fresh_ = false;
      for (uint32_t i = 0; i < notes.size(); ++i)
        if (!std::isnan(notes[i].x)) order_.push_back(i);
    }
    const double slack = gap - 0.1;
    if (!sweep(notes, slack)) {
      // A hostile position can turn into no number; it has no place then.
      std::erase_if(order_, [&](uint32_t i) { return std::isnan(notes[i].x); });
      for (size_t i = 1; i < order_.size(); ++i) {
        const uint32_t n = order_[i];
        size_t j = i;
        for (; j > 0 && notes[n].x < notes[order_[j - 1]].x; --j)
          order_[j] = order_[j - 1];
        order_[j] = n;
      }
      sweep(notes, slack);
    }
    double least = std::numeric_limits<double>::infinity();
    for (size_t i = order_.size(); i-- > 0;) {
      const double r = leastReach_[i] - slack;
      if (!std::isnan(r)) least = std::min(r, least);
      leastReach_[i] = least;
    }
  }
  // How far the tightest overlapping pair falls short of the wanted space,
  // by the overlap test of the passes; nothing when the stave is clear.
  std::optional<double> worstClash() const { return worst_; }
  // Whether a note right of note n may overlap it; when not, a pass skips
  // the walk over all the notes for n.
  bool mayOverlapRight(uint32_t n, double right) const {
    const uint32_t next = after_[n];
    return next < order_.size() && leastReach_[next] < right;
  }

private:
  // One walk over the notes in order: the tightest clash, where each note's
  // right neighbours start, and the left edges for the least reach. Notes at
  // one position do not clash with each other, and the widest reach of the
  // notes left of a note is the one it can clash with most. False when the
  // order needs sorting first, or holds a note that has lost its position.
  bool sweep(const std::vector<NoteEdges>& notes, double slack) {
    constexpr double kNone = -std::numeric_limits<double>::infinity();
    const size_t count = order_.size();
    after_.resize(notes.size());
    leastReach_.resize(count);
    worst_.reset();
    double reach = kNone, groupReach = kNone, groupX = kNone;
    size_t start = 0;
    for (size_t i = 0; i < count; ++i) {
      const NoteEdges& m = notes[order_[i]];
      if (!(m.x >= groupX)) return false;
      if (m.x != groupX) {
        closeGroup(start, i);
        if (groupReach > reach) reach = groupReach;
        groupReach = kNone;
        groupX = m.x;
        start = i;
      }
      if (m.left - slack < reach && (!worst_ || reach - m.left > *worst_)) worst_ = reach - m.left;
      if (m.right > groupReach) groupReach = m.right;
      leastReach_[i] = m.left;
    }
    closeGroup(start, count);
    return true;
  }
  void closeGroup(size_t start, size_t end) {
    for (size_t j = start; j < end; ++j)
      after_[order_[j]] = static_cast<uint32_t>(end);
  }

  std::vector<uint32_t> order_;    // the notes with a position, by position
  std::vector<uint32_t> after_;    // per note: the first place in order_ right of it
  std::vector<double> leastReach_; // beside order_: a sweep leaves the left edges here
  std::optional<double> worst_;
  bool fresh_ = true;
};

// The working state of one stave, kept from stave to stave so that a file
// allocates only as its largest group needs.
struct StaveWork {
  GroupPositions group;
  std::vector<NoteEdges> notes;
  std::vector<NoteTerms> terms; // beside notes
  NoteOrder order;
  std::vector<float> bestX, bestEnds;

  float positionOf(const NoteEdges& n) const { return *n.position; }
};

// One pass: the first overlapping pair that the user lets us correct.
Pass runPass(JustifyRun& run, StaveWork& work, const JustifyGroup& g, const std::string& path) {
  const double gap = static_cast<double>(run.options.minimumSpace) * g.staveSize;
  const std::vector<NoteEdges>& notes = work.notes;
  for (uint32_t io = 0; io < notes.size(); ++io) {
    const NoteEdges& o = notes[io];
    if (std::isnan(o.x) || !work.order.mayOverlapRight(io, o.right)) continue;
    for (const NoteEdges& m : notes) {
      if (!(m.x > o.x) || !(m.left - (gap - 0.1) < o.right)) continue;
      const double d = o.right - m.left + gap;
      // Without room between the limits, or a finite shift, nothing can clear it.
      std::optional<Correction> correction;
      if (milli(g.right) != milli(g.left) && std::isfinite(d)) correction.emplace(g, o.x, m.x, d);
      const bool stuck = !correction || !correction->movesAnything();
      if (run.prompt) {
        // The window shows the note as it stands now.
        work.group.put();
        const PromptAnswer answer = run.dialogs.promptBeforeOperation(promptFor(*m.item, path));
        if (answer == PromptAnswer::Cancel) return Pass::Cancelled;
        if (answer == PromptAnswer::No) continue;
        if (answer == PromptAnswer::YesToAll) run.prompt = false;
      }
      if (stuck) return Pass::Stuck;
      const float beforeO = work.positionOf(o), beforeM = work.positionOf(m);
      correction->apply(work.group);
      // A shift too small to change a float repeats itself on every pass.
      if (work.positionOf(o) == beforeO && work.positionOf(m) == beforeM) return Pass::Stuck;
      return Pass::Corrected;
    }
  }
  return Pass::Clean;
}

// 1 done (clean or given up with the warning), 0 cancelled. A stave that
// cannot be cleared keeps the state whose tightest pair came closest.
int justifyStave(JustifyRun& run, StaveWork& work, CItemStore& store, const JustifyGroup& g, int stave,
                 const std::string& path) {
  const StaveList& list = store.list(stave - 1);
  if (std::none_of(list.begin(), list.end(), [](const CItem& item) { return codeOf(item) == kNote; })) return 1;
  std::vector<NoteEdges>& notes = work.notes;
  GroupPositions& group = work.group;
  std::vector<NoteTerms>& terms = work.terms;
  notes.clear();
  terms.clear();
  work.order.clear();
  group.take(store, g, stave, [&](CItem& item, int32_t slot) {
    const NoteTerms& t = terms.emplace_back(
        NoteTerms{leftEdgeTerms(item, g.staveSize, run.options), rightEdgeTerms(item, g.staveSize, run.options)});
    takeEdges(notes.emplace_back(NoteEdges{&item, slot}), t, item.p(3));
  });
  // A note without a P3 stands at 0 and is never moved.
  static constexpr float kNoPosition = 0.0f;
  for (NoteEdges& n : notes)
    n.position = n.slot >= 0 ? &group.x[static_cast<size_t>(n.slot)] : &kNoPosition;
  // Edges again only for the notes the last correction moved.
  const auto refresh = [&] {
    for (size_t i = 0; i < notes.size(); ++i) {
      const float p3 = work.positionOf(notes[i]);
      if (!sameBits(notes[i].p3, p3)) takeEdges(notes[i], terms[i], p3);
    }
  };
  const double gap = static_cast<double>(run.options.minimumSpace) * g.staveSize;
  double bestClash = 0.0;
  bool taken = false, moved = false;
  const auto finish = [&](int result) {
    if (moved) group.put();
    return result;
  };
  const auto giveUp = [&] {
    refresh();
    work.order.survey(notes, gap);
    const std::optional<double> clash = work.order.worstClash();
    if (taken && clash && !(*clash < bestClash)) {
      group.x = work.bestX;
      group.ends = work.bestEnds;
    }
    run.batch.notifyJustifyWarning(stave);
    return finish(1);
  };
  for (int pass = 0; pass < kMaxJustifyPasses; ++pass) {
    refresh();
    work.order.survey(notes, gap);
    const std::optional<double> clash = work.order.worstClash();
    if (!clash) return finish(1);
    if (!taken || *clash < bestClash) {
      taken = true;
      bestClash = *clash;
      work.bestX = group.x;
      work.bestEnds = group.ends;
    }
    const Pass result = runPass(run, work, g, path);
    moved = moved || result == Pass::Corrected || result == Pass::Stuck;
    switch (result) {
    case Pass::Clean: return finish(1);
    case Pass::Cancelled: return finish(0);
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

double rightEdge(const CItem& o, double s, const JustifyOptions& options) {
  return rightEdgeTerms(o, s, options).at(o.p(3));
}

double leftEdge(const CItem& m, double s, const JustifyOptions& options) {
  return leftEdgeTerms(m, s, options).at(m.p(3));
}

int justifyStore(JustifyRun& run, CItemStore& store, const std::string& path) {
  StaveWork work;
  JustifyGroup group;
  bool open = false;
  for (int k = 1; k <= kMaxStave; ++k) {
    if (run.host.pump() == Pump::Cancel) return 0;
    if (!open) {
      group = openJustifyGroup(store, k, run.options);
      leadIn(store, group, run.options.extraSpaceFirstNote);
      open = true;
    }
    if (justifyStave(run, work, store, group, k, path) == 0) return 0;
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

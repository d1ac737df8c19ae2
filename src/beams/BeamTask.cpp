#include "beams/BeamTask.h"

#include <algorithm>
#include <cmath>

#include "base/Format.h"
#include "batch/BatchRunner.h"
#include "beams/Messages.h"
#include "model/ScoreWriter.h"

namespace velmora {

namespace {

// Far notes are shifted one step at a time; hostile positions must not hang the run.
constexpr int kMaxShiftSteps = 100000;

class BeamSink final : public IItemSink {
public:
  BeamSink(CItemStore& store, CBeamGroups& groups) : store_(store), groups_(groups) {}
  bool store(std::span<const float> params) override { return note(store_.addItem(params)); }
  bool take(StaveList& from, StaveList::iterator at) override { return note(store_.takeItem(from, at)); }

private:
  bool note(CItem& item) {
    if (item.p(1) == 6.0f && item.count() >= 7 && item.p(7) > 0.0f) groups_.push_back(CBeamPosition{&item});
    return true;
  }

  CItemStore& store_;
  CBeamGroups& groups_;
};

float p4(const CItem* item) { return item->p(4); }

void setP(CItem& item, int32_t n, float value) {
  if (n >= 1 && n <= item.count()) item.params().set(n - 1, value);
}

bool stemMatches(bool up, float p5) {
  if (up) return p5 < 20.0f || (p5 >= 111.0f && p5 <= 115.0f);
  return p5 < 10.0f || (p5 >= 20.0f && p5 < 111.0f) || (p5 >= 121.0f && p5 <= 125.0f);
}

// Nearer the beam: higher for stems up, lower for stems down; the first always counts.
bool nearer(bool up, const CItem* current, const CItem& note) {
  if (!current) return true;
  return up ? note.p(4) > current->p(4) : note.p(4) < current->p(4);
}

void placeInColumns(std::vector<CItem*>& columns, CItem& note, bool up) {
  for (CItem*& column : columns) {
    if (std::fabs(column->p(3) - note.p(3)) < 1.0f) {
      if (up ? note.p(4) > column->p(4) : note.p(4) < column->p(4)) column = &note;
      return;
    }
  }
  auto it = columns.begin();
  while (it != columns.end() && (*it)->p(3) <= note.p(3))
    ++it;
  columns.insert(it, &note);
}

bool changesDirection(const std::vector<CItem*>& columns) {
  int sense = 0;
  for (size_t i = 1; i < columns.size(); ++i) {
    const float a = columns[i - 1]->p(4);
    const float b = columns[i]->p(4);
    if (a == b) continue;
    const int step = b > a ? 1 : -1;
    if (sense == 0)
      sense = step;
    else if (step != sense)
      return true;
  }
  return false;
}

int beamsIn(int v) { return v < 10 ? v : v / 10 + v % 10; }

// The lookup sees far notes moved towards the stave; they are put back when the group is done.
class FarNoteShift {
public:
  FarNoteShift(CBeamPosition& group, const BeamClass& kind) {
    CItem* left = group.leftNote;
    CItem* right = group.rightNote;
    if (!left || !right || left->count() < 4 || right->count() < 4 || p4(left) == p4(right)) return;
    const bool grace = kind.graceOffset != 0;
    if (kind.up()) {
      const float t = grace ? -100.0f : 0.0f;
      if (!(p4(left) < t && p4(right) < t && (!group.midNote || p4(group.midNote) < t))) return;
      remember(left, right);
      for (int i = 0; i < kMaxShiftSteps && p4(right) < t && p4(left) < t; ++i)
        move(1.0f);
    } else {
      const float t = grace ? 114.0f : 14.0f;
      if (!(p4(left) > t && p4(right) > t && group.midNote)) return;
      remember(left, right);
      for (int i = 0; i < kMaxShiftSteps && p4(right) > t && p4(left) > t; ++i)
        move(-1.0f);
    }
  }
  ~FarNoteShift() {
    if (!left_) return;
    setP(*left_, 4, leftP4_);
    setP(*right_, 4, rightP4_);
  }
  FarNoteShift(const FarNoteShift&) = delete;
  FarNoteShift& operator=(const FarNoteShift&) = delete;

private:
  void remember(CItem* left, CItem* right) {
    left_ = left;
    right_ = right;
    leftP4_ = p4(left);
    rightP4_ = p4(right);
  }
  void move(float by) {
    setP(*left_, 4, p4(left_) + by);
    setP(*right_, 4, p4(right_) + by);
  }

  CItem* left_ = nullptr;
  CItem* right_ = nullptr;
  float leftP4_ = 0.0f;
  float rightP4_ = 0.0f;
};

constexpr int kCancelled = -2;
constexpr int kNoMatch = -1;

// Index of the first matching entry, kNoMatch, or kCancelled.
int lookUp(IHost& host, const CBeamLibrary& library, const CBeamPosition& group) {
  for (size_t i = 0; i < library.size(); ++i) {
    if (host.pump() == Pump::Cancel) return kCancelled;
    if (entryMatches(library[i], group)) return static_cast<int>(i);
  }
  return kNoMatch;
}

std::string positionText(const CItem* note) {
  return note ? std::to_string(truncateToInt(static_cast<double>(note->p(4)))) : std::string();
}

} // namespace

int readBeams(IHost& host, const ScoreFile& file, CItemStore& store, CBeamGroups& groups) {
  BeamSink sink(store, groups);
  return readItems(host, file, store, sink);
}

int findBeamNotes(IHost& host, CItemStore& store, CBeamGroups& groups, const BeamOptions& options) {
  const bool only = options.horizontalRule == kHorizontalOnly;
  const bool directionTest = only && options.horizontalIfDirectionChanges != 0;
  const bool pitchTest = only && options.horizontalIfPitchRepeated != 0;
  for (size_t gi = 0; gi < groups.size();) {
    CBeamPosition& group = groups[gi];
    const CItem& beam = *group.beam;
    const float d = beam.p(7);
    const bool up = d >= 10.0f && d < 20.0f;
    const bool down = d >= 20.0f;
    const int listIndex = CItemStore::listIndexForStave(beam.p(2));
    const float left = beam.p(3);
    const float right = beam.p(6);
    bool excluded = false;
    std::vector<CItem*> columns;
    if ((up || down) && listIndex >= 0) {
      for (CItem& note : store.list(listIndex)) {
        if (host.pump() == Pump::Cancel) return 0;
        if (note.p(1) != 1.0f || !stemMatches(up, note.p(5))) continue;
        const float x = note.p(3);
        CItem** slot = nullptr;
        bool middle = false;
        if (x >= left - 1.0f && x <= left + 1.0f) {
          slot = &group.leftNote;
        } else if (x >= right - 1.0f && x <= right + 1.0f) {
          slot = &group.rightNote;
        } else if (x > left + 1.0f && x < right - 1.0f) {
          slot = &group.midNote;
          middle = true;
        } else {
          continue;
        }
        if (note.count() > 11 && note.p(12) > 0.0f) {
          excluded = true;
          break;
        }
        if (middle && pitchTest && group.midNote && note.p(4) == group.midNote->p(4) &&
            note.p(3) != group.midNote->p(3))
          group.repeatedPitch = 1;
        if (nearer(up, *slot, note)) *slot = &note;
        if (middle && directionTest) placeInColumns(columns, note, up);
      }
    }
    if (excluded) {
      groups.erase(groups.begin() + static_cast<std::ptrdiff_t>(gi));
      continue;
    }
    if (directionTest) {
      if (group.leftNote) columns.insert(columns.begin(), group.leftNote);
      if (group.rightNote) columns.push_back(group.rightNote);
      if (columns.size() >= 2 && changesDirection(columns)) group.directionChanges = 1;
    }
    if (pitchTest && !group.repeatedPitch && group.leftNote && group.rightNote) {
      const float l = p4(group.leftNote), r = p4(group.rightNote);
      if (group.midNote ? (p4(group.midNote) == l || p4(group.midNote) == r) : l == r) group.repeatedPitch = 1;
    }
    ++gi;
  }
  return 1;
}

int beamCount(const CItem& beam) {
  int n = truncateToInt(std::fmod(static_cast<double>(beam.p(7)), 10.0));
  if (beam.count() >= 10) n = std::max(n, beamsIn(truncateToInt(beam.p(10))));
  if (beam.count() >= 13) n = std::max(n, beamsIn(truncateToInt(beam.p(13))));
  return n;
}

BeamClass classifyBeam(const CItem& beam, bool skip64ths) {
  BeamClass kind;
  const float d = beam.p(7);
  const float m = beam.p(4);
  const bool up = d > 10.0f && d < 20.0f;
  const bool down = d > 20.0f;
  const bool normal = m > -100.0f && m < 100.0f;
  const bool grace = m > 100.0f || m < -100.0f;
  kind.beams = beamCount(beam);
  const int n = kind.beams;
  if (grace && (up || down)) {
    kind.library = up ? kUpGrace : kDownGrace;
    kind.graceOffset = 100;
  } else if (normal && (up || down)) {
    int base = -1;
    if (n == 1) base = kUp8ths;
    if (n == 2) base = kUp16ths;
    if (n == 3 || (n >= 4 && !skip64ths)) base = kUp32nds;
    if (base >= 0) kind.library = base + (down ? 1 : 0);
    if (base == kUp32nds) kind.extraOffset = up ? n - 3 : 3 - n;
  }
  return kind;
}

bool entryMatches(const CBeamAngle& entry, const CBeamPosition& group) {
  const auto end = [](const CItem* note, float value, int32_t compare) {
    if (!note) return false;
    switch (compare) {
    case kCompareEqual: return p4(note) == value;
    case kCompareBelow: return value > p4(note);
    case kCompareAbove: return value < p4(note);
    default: return false;
    }
  };
  if (!end(group.leftNote, entry.left, entry.leftCompare)) return false;
  const CItem* mid = group.midNote;
  switch (entry.midCompare) {
  case kCompareEqual:
    if (!mid || p4(mid) != entry.mid) return false;
    break;
  case kCompareBelow:
    if (mid && !(entry.mid > p4(mid) && p4(mid) != kNoMidNote)) return false;
    break;
  case kCompareAbove:
    if (mid && !(entry.mid < p4(mid) && entry.mid != kNoMidNote)) return false;
    break;
  default: return false;
  }
  return end(group.rightNote, entry.right, entry.rightCompare);
}

void applyBeamAngle(CBeamAngle& entry, CBeamPosition& group, const BeamOptions& options, bool up, int graceOffset,
                    int extraOffset) {
  CItem& beam = *group.beam;
  const bool learning = options.replaceLibraryAngles != 0;
  if (learning) {
    entry.leftEnd = beam.p(4);
    entry.rightEnd = beam.p(5);
  }
  const auto specified = [&] {
    const float x = static_cast<float>(extraOffset);
    const float sign = entry.leftEnd < 0.0f ? -1.0f : 1.0f;
    setP(beam, 4, entry.leftEnd + sign * x);
    setP(beam, 5, entry.rightEnd + sign * x);
  };
  const auto horizontal = [&] {
    float a = static_cast<float>(graceOffset);
    float b = entry.leftEnd;
    if (b >= 100.0f) {
      b -= 100.0f;
    } else if (b <= -100.0f) {
      b += 100.0f;
      if (a == 100.0f) a = -100.0f;
    }
    const float r = entry.rightEnd;
    const float h = up ? std::max(b, r) : std::min(b, r);
    setP(beam, 4, a + h);
    setP(beam, 5, h);
  };
  switch (options.horizontalRule) {
  case kHorizontalAlways: horizontal(); break;
  case kHorizontalOnly:
    if ((options.horizontalIfDirectionChanges != 0 && group.directionChanges == 1) ||
        (options.horizontalIfPitchRepeated != 0 && group.repeatedPitch == 1))
      horizontal();
    else
      specified();
    break;
  default:
    if (!learning) specified();
    break;
  }
}

bool newEntryFromGroup(const CBeamPosition& group, bool up, CBeamAngle& entry) {
  if (!group.leftNote || !group.rightNote) return false;
  entry = CBeamAngle{};
  entry.left = p4(group.leftNote);
  entry.right = p4(group.rightNote);
  entry.mid = group.midNote ? p4(group.midNote) : kNoMidNote;
  entry.leftEnd = group.beam->p(4);
  entry.rightEnd = group.beam->p(5);
  const int u = truncateToInt(entry.left);
  const int w = truncateToInt(entry.right);
  if (up) {
    const auto widen = [](float& value, int32_t& compare) {
      if ((value > -99.0f && value <= -1.0f) || value <= -101.0f) {
        compare = kCompareBelow;
        value += 1.0f;
      }
    };
    widen(entry.left, entry.leftCompare);
    widen(entry.right, entry.rightCompare);
    const int lo = std::min(u, w);
    if (static_cast<float>(lo) >= entry.mid) {
      entry.midCompare = kCompareBelow;
      entry.mid = static_cast<float>(lo + 1);
    }
  } else {
    const auto widen = [](float& value, int32_t& compare) {
      if ((value >= 15.0f && value <= 100.0f) || value >= 115.0f) {
        compare = kCompareAbove;
        value -= 1.0f;
      }
    };
    widen(entry.left, entry.leftCompare);
    widen(entry.right, entry.rightCompare);
    const int hi = std::max(u, w);
    if (static_cast<float>(hi) <= entry.mid || entry.mid == kNoMidNote) {
      entry.midCompare = kCompareAbove;
      entry.mid = static_cast<float>(hi - 1);
    }
  }
  return true;
}

BeamNotFoundQuestion notFoundQuestion(const CBeamPosition& group, int library) {
  BeamNotFoundQuestion q;
  q.libraryIndex = library;
  q.left = positionText(group.leftNote);
  q.mid = positionText(group.midNote);
  q.right = positionText(group.rightNote);
  q.text = strprintf(beams_msg::kNotFoundFormat, beams_msg::kNotFoundSentence, beamLibraryInfo(library).label,
                     q.left.c_str(), q.mid.c_str(), q.right.c_str());
  return q;
}

int setBeamAngles(BeamRun& run) {
  const BeamOptions& options = run.options;
  for (CBeamPosition& group : run.groups) {
    const BeamClass kind = classifyBeam(*group.beam, options.skip64ths != 0);
    if (kind.library < 0) continue;
    const bool up = kind.up();
    const FarNoteShift shift(group, kind);
    const auto library = [&]() -> CBeamLibrary& { return run.libraries[kind.library]; };

    int found = lookUp(run.host, library(), group);
    if (found == kCancelled) return 0;
    if (found >= 0) {
      applyBeamAngle(library()[static_cast<size_t>(found)], group, options, up, kind.graceOffset, kind.extraOffset);
      continue;
    }

    bool retry = true;
    if (options.allowNoAngleDialog != 0) {
      const BeamNotFoundQuestion question = notFoundQuestion(group, kind.library);
      const BeamNotFoundAnswer answer = run.dialogs.askBeamAngleDoesNotExist(question);
      if (answer == BeamNotFoundAnswer::Yes) {
        BeamLibraryRequest request;
        request.projectFolder = run.projectFolder;
        request.libraryIndex = kind.library;
        request.prefilled = true;
        request.left = question.left;
        request.mid = question.mid;
        request.right = question.right;
        const bool confirmed = run.dialogs.editBeamLibrary(request);
        // The dialog wrote these files; the run goes on from what they hold now.
        for (int index = 0; index < kBeamLibraryCount; ++index) {
          const bool written = (request.writtenLibraries >> index) & 1u;
          if (written || (confirmed && index == kind.library)) run.libraries.load(run.host, run.projectFolder, index);
        }
        if (confirmed) {
          found = lookUp(run.host, library(), group);
          if (found == kCancelled) return 0;
          if (found >= 0) applyBeamAngle(library()[static_cast<size_t>(found)], group, options, up, 0, 0);
        } else {
          retry = false;
        }
      } else if (answer == BeamNotFoundAnswer::NoToAll) {
        run.options.allowNoAngleDialog = 0;
      }
    } else {
      CBeamAngle entry;
      if (newEntryFromGroup(group, up, entry)) insertInOrder(library(), entry);
    }

    if (retry && (options.horizontalRule == kHorizontalAlways || options.horizontalRule == kHorizontalOnly)) {
      found = lookUp(run.host, library(), group);
      if (found == kCancelled) return 0;
      if (found >= 0)
        applyBeamAngle(library()[static_cast<size_t>(found)], group, options, up, kind.graceOffset, kind.extraOffset);
    }
  }
  return 1;
}

int setBeamAnglesInFile(BeamRun& run, const std::string& path, const std::string& extension) {
  return setBeamAnglesInFile(run, ScoreIO{path, outputPathFor(path, extension), nullptr, run.record});
}

int setBeamAnglesInFile(BeamRun& run, const ScoreIO& io) {
  // The groups point into the store: empty them first.
  struct ClearAtEnd {
    BeamRun& run;
    ~ClearAtEnd() {
      run.groups.clear();
      run.store.clear();
    }
  } clearAtEnd{run};
  ScoreFile file;
  const int opened = openScore(run.host, io, run.store, file);
  if (opened != 1) return opened;
  if (readBeams(run.host, file, run.store, run.groups) != 1) return 0;
  file.bytes = {};
  if (findBeamNotes(run.host, run.store, run.groups, run.options) != 1) return 0;
  if (setBeamAngles(run) != 1) return 0;
  return writePlain(run.host, run.store, io) == 1 ? 1 : 0;
}

} // namespace velmora

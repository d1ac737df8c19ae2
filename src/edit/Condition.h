#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "edit/CandidateSets.h"
#include "model/CItemStore.h"

namespace velmora {

// What the evaluation of one item reads and leaves behind.
struct ConditionContext {
  const CItemStore& store;
  CCandidateSets& candidates;
  // Parameter 2 is compared with four decimals instead of three.
  bool fourPointPrecision = false;
  // Every item of the store in list order, when the caller keeps such a list
  // up to date; a COMP filter walks it instead of the linked lists.
  const std::vector<const CItem*>* wholeFile = nullptr;
  // COMP results shared between the evaluations of one step, when the caller
  // clears it whenever an item changes; used only together with wholeFile.
  CCompCache* compCache = nullptr;
};

// Rounds to k decimals as the comparisons do: trunc(x * 10^k + 0.5) / 10^k
// with 10^k a 32-bit float.
double roundToDecimals(double value, int decimals);

// A step's conditional argument, prepared once per step and evaluated item
// by item.
class CCondition {
public:
  // The argument as normalised (upper case except TXT texts).
  explicit CCondition(std::string argument);
  ~CCondition();
  CCondition(CCondition&&) noexcept;
  CCondition& operator=(CCondition&&) noexcept;

  // Whether an evaluation fills a candidate set with the whole file.
  bool namesComp() const { return fills_[0]; }
  // Whether the argument has a TXT[...] term, and the text of the first one.
  bool hasTxtTerm() const { return !texts_.empty(); }
  const std::string& txtText() const { return texts_.front(); }

  // True when the argument holds for the item; `matchedEntry` is the entry of
  // the code list that matched it (16 runs the text test). The candidate sets
  // are filled and filtered as the COMP terms say and left for the operation.
  bool evaluate(const CItem& item, int matchedEntry, ConditionContext& context) const;

private:
  struct Lexed;

  std::string argument_;
  std::array<bool, 3> fills_{};
  // The working text without its TXT terms, and their texts.
  std::string withoutTexts_;
  std::vector<std::string> texts_;
  // The working text lexed once, and the texts its brackets reduce to.
  std::unique_ptr<Lexed> lexed_;
};

} // namespace velmora

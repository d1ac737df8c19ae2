#pragma once

#include <string>

#include "inspect/ScoreText.h"

namespace velmora {

// The item-level differences between two files, stave by stave: items whose
// parameters changed ("P4 12 -> 11"), items only in A, items only in B, then
// trailer differences. Items are matched within a stave by a longest common
// subsequence, so inserted and deleted items do not shift the rest. What the
// writers derive is no difference: trailing zero parameters, the word total,
// the header's width and the exact bits of the count words.
struct ScoreDiff {
  bool differ = false;
  std::string text; // empty when the files hold the same items and trailers
};

ScoreDiff diffScores(const RawScore& a, const RawScore& b);

} // namespace velmora

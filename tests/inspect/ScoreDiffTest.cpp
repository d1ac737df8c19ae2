#include <gtest/gtest.h>

#include "inspect/ScoreDiff.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"

namespace velmora {
namespace {

using namespace velmora::test;

RawScore scoreOf(const std::string& items, const std::vector<float>& trailer = scoreTrailer()) {
  FakeHost host;
  RawScore score;
  EXPECT_EQ(readRawScore(host, ScoreFile{"x.mus", buildScore(items, trailer)}, score), 1);
  return score;
}

TEST(ScoreDiff, ListsChangedInsertedAndDeletedItemsPerStave) {
  // A interleaves staves; B is regrouped by stave, as the writers leave it.
  const RawScore a = scoreOf("8 1 0 0 0.75\n"
                             "8 2 0 0 0.75\n"
                             "1 1 10 4 20\n"
                             "1 2 10 6 20\n"
                             "1 1 20 5 20\n"
                             "14 1 30 2\n"
                             "1 2 20 7 20 0 0\n",
                             {0, 0, 0, 4, 0});
  const RawScore b = scoreOf("8 1 0 0 0.75 0\n"
                             "1 1 10 4 20\n"
                             "3 1 15 0 1\n"
                             "1 1 20 6 20\n"
                             "14 1 30 2\n"
                             "8 2 0 0 0.75\n"
                             "1 2 20 7 20\n",
                             {0, 7, 0, 4, 0});
  const ScoreDiff diff = diffScores(a, b);
  EXPECT_TRUE(diff.differ);
  EXPECT_EQ(diff.text, "stave 1:\n"
                       "  item 3 only in B: 3 1 15 0 1\n"
                       "  item 5 / 4 changed: P4 5 -> 6\n"
                       "stave 2:\n"
                       "  item 4 only in A: 1 2 10 6 20\n"
                       "trailer:\n"
                       "  word 2: 0x00000000 -> 0x40E00000\n");
}

TEST(ScoreDiff, WhatTheWritersDeriveIsNoDifference) {
  // Trailing zeros, the word total and the header's width differ; the items do not.
  const RawScore a = scoreOf("1 1 10 4 0 0 0\n3 1 2 0 1\n");
  RawScore b = scoreOf("1 1 10 4\n3 1 2 0 1 0\n");
  b.items[0].countBits ^= 1; // a count word of other bits
  const ScoreDiff diff = diffScores(a, b);
  EXPECT_FALSE(diff.differ);
  EXPECT_EQ(diff.text, "");
}

} // namespace
} // namespace velmora

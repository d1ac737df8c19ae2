#include <gtest/gtest.h>

#include <cmath>

#include "JustifyHelpers.h"

namespace velmora {
namespace {

using test::note;

TEST(JustifyEdges, RightEdgeOfTheEarlierNote) {
  const JustifyOptions w;
  // Plain quarter notes reach one notehead; the stave size scales every width.
  EXPECT_DOUBLE_EQ(rightEdge(note("1 1 20 5 10"), 1.0, w), 23.0);
  EXPECT_DOUBLE_EQ(rightEdge(note("1 1 20 5 10"), 0.5, w), 21.5);
  // P6 = 12: a whole notehead in parentheses; 3 a double whole.
  EXPECT_DOUBLE_EQ(rightEdge(note("1 1 20 5 10 12"), 1.0, w), 20.0 + w.noteParenthesis + w.noteheadWhole);
  EXPECT_DOUBLE_EQ(rightEdge(note("1 1 20 5 10 12"), 2.0, w), 20.0 + 2.0 * w.noteParenthesis + 2.0 * w.noteheadWhole);
  EXPECT_DOUBLE_EQ(rightEdge(note("1 1 20 5 10 3"), 1.0, w), 20.0 + w.noteheadDoubleWhole);
  // Ledger lines from the table, of the notehead's own kind, at 13 and up or 1 and down.
  EXPECT_DOUBLE_EQ(rightEdge(note("1 1 20 13 10"), 1.0, w), 20.0 + w.noteheadQuarterHalf + w.ledgerQuarterHalf);
  EXPECT_DOUBLE_EQ(rightEdge(note("1 1 20 1 10 2"), 1.0, w), 20.0 + w.noteheadWhole + w.ledgerWhole);
  EXPECT_DOUBLE_EQ(rightEdge(note("1 1 20 12 10"), 1.0, w), 23.0);

  // Grace notes at 0.6, their position offset by 100 either way.
  EXPECT_DOUBLE_EQ(rightEdge(note("1 1 20 105 10"), 1.0, w), 20.0 + 0.6 * 3.0);
  EXPECT_DOUBLE_EQ(rightEdge(note("1 1 20 -105 10"), 1.0, w), 20.0 + 0.6 * (3.0 + w.ledgerQuarterHalf));
  // P15 replaces the factor, grace or not; P20 multiplies it only when recognised.
  EXPECT_DOUBLE_EQ(rightEdge(note("1 1 20 105 10 0 0 0 0 0 0 0 0 0 0.5"), 1.0, w), 21.5);
  const CItem stretched = note("1 1 20 5 10 0 0 0 0 0 0 0 0 0 0 0 0 0 0 2");
  EXPECT_DOUBLE_EQ(rightEdge(stretched, 1.0, w), 23.0);
  JustifyOptions p20 = w;
  p20.recognizeStretchedNotes = 1;
  EXPECT_DOUBLE_EQ(rightEdge(stretched, 1.0, p20), 26.0);
  EXPECT_DOUBLE_EQ(rightEdge(note("1 1 20 5 10 0 0 0 0 0 0 0 0 0 0 0 0 0 0 -2"), 1.0, p20), 23.0);

  // Dots: tens are the count, the fraction a shift of ten times itself; a dotted
  // note's flag only reaches past the dots when it is wider.
  EXPECT_DOUBLE_EQ(rightEdge(note("1 1 20 5 10 0 0 0 20"), 1.0, w), 23.0 + 2 * w.rhythmDot);
  EXPECT_NEAR(rightEdge(note("1 1 20 5 10 0 0 0 10.3"), 1.0, w), 23.0 + w.rhythmDot + 3.0, 1e-5);
  EXPECT_DOUBLE_EQ(rightEdge(note("1 1 20 5 20 0 0 0 110"), 1.0, w), 23.0 + w.rhythmDot);
  EXPECT_NEAR(rightEdge(note("1 1 20 5 10 0 0 0 110"), 1.0, w), 23.0 + w.noteFlag, 1e-6);
  EXPECT_DOUBLE_EQ(rightEdge(note("1 1 20 5 10 0 0 0 1010"), 1.0, w), 26.0 + w.rhythmDot);
  // A flag on a stem-up note (0 < P5 < 20) with nothing in front of it.
  EXPECT_DOUBLE_EQ(rightEdge(note("1 1 20 5 10 0 0 0 1"), 1.0, w), 23.0 + w.noteFlag);
  EXPECT_DOUBLE_EQ(rightEdge(note("1 1 20 5 20 0 0 0 1"), 1.0, w), 23.0);
  EXPECT_DOUBLE_EQ(rightEdge(note("1 1 20 5 10 0 0 0 1001"), 1.0, w), 26.0);

  // P10: one notehead right, one left, or the value itself.
  EXPECT_DOUBLE_EQ(rightEdge(note("1 1 20 5 10 0 0 0 0 10"), 1.0, w), 26.0);
  EXPECT_DOUBLE_EQ(rightEdge(note("1 1 20 5 10 0 0 0 0 20"), 1.0, w), 20.0);
  EXPECT_DOUBLE_EQ(rightEdge(note("1 1 20 5 10 0 0 0 0 1.5"), 1.0, w), 24.5);
}

TEST(JustifyEdges, LeftEdgeOfTheLaterNote) {
  JustifyOptions w;
  // A sharp at P4 = 7; in parentheses also the parenthesis width.
  EXPECT_DOUBLE_EQ(leftEdge(note("1 1 50 7 12"), 1.0, w), 50.0 - w.accidentalSharp);
  EXPECT_DOUBLE_EQ(leftEdge(note("1 1 50 7 12"), 1.5, w), 50.0 - 1.5 * w.accidentalSharp);
  EXPECT_DOUBLE_EQ(leftEdge(note("1 1 50 7 112"), 1.0, w), 50.0 - w.accidentalSharp - w.accidentalParenthesis);
  // Ledger lines without an accidental: a fixed 0.85, whatever the table says.
  w.ledgerQuarterHalf = 5.0f;
  EXPECT_DOUBLE_EQ(leftEdge(note("1 1 50 14 10"), 1.0, w), 50.0 - 0.85);
  EXPECT_DOUBLE_EQ(leftEdge(note("1 1 50 14 10"), 2.0, w), 50.0 - 1.7);
  EXPECT_DOUBLE_EQ(leftEdge(note("1 1 50 14 12"), 1.0, w), 50.0 - w.accidentalSharp);
  w = JustifyOptions{};

  // Codes 1 to 9 in the table's order, stem tens removed; above 9 the last.
  const float codes[] = {w.accidentalFlat,       w.accidentalSharp,       w.accidentalNatural,
                         w.accidentalDoubleFlat, w.accidentalDoubleSharp, w.quarterFlat,
                         w.threeQuarterFlat,     w.quarterSharp,          w.threeQuarterSharp};
  for (int c = 1; c <= 9; ++c) {
    EXPECT_DOUBLE_EQ(leftEdge(note("1 1 50 7 " + std::to_string(c)), 1.0, w), 50.0 - codes[c - 1]) << c;
    EXPECT_DOUBLE_EQ(leftEdge(note("1 1 50 7 " + std::to_string(20 + c)), 1.0, w), 50.0 - codes[c - 1]) << c;
  }
  // 110, 120 and 130 up: no accidental at all.
  for (const char* p5 : {"110", "120", "130", "135"})
    EXPECT_DOUBLE_EQ(leftEdge(note(std::string("1 1 50 7 ") + p5), 1.0, w), 50.0) << p5;

  // A fraction displaces the accidental left, or right above 0.9.
  EXPECT_NEAR(leftEdge(note("1 1 50 7 12.5"), 1.0, w), 50.0 - w.accidentalSharp - 5.0, 1e-5);
  EXPECT_NEAR(leftEdge(note("1 1 50 7 12.95"), 1.0, w), 50.0 - w.accidentalSharp + 0.5, 1e-4);
  // A parenthesised note, a grace note, P15; P20 plays no part on this side.
  EXPECT_DOUBLE_EQ(leftEdge(note("1 1 50 7 10 10"), 1.0, w), 50.0 - w.noteParenthesis);
  EXPECT_DOUBLE_EQ(leftEdge(note("1 1 50 107 12"), 1.0, w), 50.0 - 0.6 * w.accidentalSharp);
  EXPECT_DOUBLE_EQ(leftEdge(note("1 1 50 7 12 0 0 0 0 0 0 0 0 0 2"), 1.0, w), 50.0 - 2 * w.accidentalSharp);
  JustifyOptions p20 = w;
  p20.recognizeStretchedNotes = 1;
  EXPECT_DOUBLE_EQ(leftEdge(note("1 1 50 7 12 0 0 0 0 0 0 0 0 0 0 0 0 0 0 3"), 1.0, p20), 50.0 - w.accidentalSharp);
  // P10 counts only without an accidental.
  EXPECT_DOUBLE_EQ(leftEdge(note("1 1 50 7 10 0 0 0 0 10"), 1.0, w), 53.0);
  EXPECT_DOUBLE_EQ(leftEdge(note("1 1 50 7 10 0 0 0 0 20"), 1.0, w), 47.0);
  EXPECT_DOUBLE_EQ(leftEdge(note("1 1 50 7 12 0 0 0 0 10"), 1.0, w), 50.0 - w.accidentalSharp);
}

TEST(JustifyEdges, HostileParametersGiveNumbersOrNothing) {
  const JustifyOptions w;
  // Huge accidentals are capped at code 9 before any cast.
  EXPECT_TRUE(std::isfinite(leftEdge(note("1 1 50 7 1e30"), 1.0, w)));
  const CItem nanPosition(std::vector<float>{1.0f, 1.0f, std::nanf(""), 7.0f, 12.0f});
  EXPECT_TRUE(std::isnan(leftEdge(nanPosition, 1.0, w)));
  CItem bare(std::vector<float>{1.0f});
  EXPECT_DOUBLE_EQ(rightEdge(bare, 1.0, w), 3.0 + w.ledgerQuarterHalf);
  EXPECT_DOUBLE_EQ(leftEdge(bare, 1.0, w), -0.85);
}

} // namespace
} // namespace velmora

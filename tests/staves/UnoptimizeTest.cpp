#include "staves/Unoptimize.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

#include "base/FileSystem.h"
#include "staves/Optimize.h"
#include "staves/StaveFixture.h"

namespace velmora {
namespace {

using namespace test;

struct UnoptimizeSession {
  TempDir dir;
  FakeHost host;
  ScriptedStaveDialogs dialogs;
  CItemStore store;
  UnoptimizeOptions options;
  CUnoptimizeTemplate tpl;
  std::string tplPath = dir.file("full.tpl");
  std::string in = dir.file("in.opt");
  std::string out = dir.file("in.UNO");

  bool load(const std::string& items) {
    writeBytes(tplPath, buildScore(items));
    return loadTemplate(host, tplPath, tpl);
  }
  int run(const std::string& items) {
    writeBytes(in, buildScore(items));
    UnoptimizeContext context{host, dialogs, store, options, tpl};
    return unoptimizeFile(context, in, "UNO");
  }
};

// Staves 1-4 with instruments 10-40 under one brace.
const char* kTemplate1234 = "8 1 0 0 0 0 0 0 10\n"
                            "3 1 1.5 0 0\n"
                            "16 1 5 10 0 0\n"
                            "1 1 10 4 10 0 1\n"
                            "14 1 0 4 8\n"
                            "8 2 0 0 0 0 0 0 20\n"
                            "3 2 1.5 0 1\n"
                            "8 3 0 0 0 0 0 0 30\n"
                            "3 3 1.5 0 1\n"
                            "14 3 50\n"
                            "8 4 0 0 0 0 0 0 40\n"
                            "3 4 1.5 0 0\n";

TEST(UnoptimizeTemplate, TablesFromTheTemplateReader) {
  UnoptimizeSession s;
  ASSERT_TRUE(s.load("8 1 0 0 0 0 0 0 10\n"
                     "14 1 0 4 8\n"
                     "8 2 0 0 0 0 0 0 20\n"
                     "8 3 0 5 0 0 0 0 30\n"
                     "8 4 0 0 0 0 0 0 40.7\n"
                     "14 6 0 1e30 9\n"
                     "16 251 0\n"
                     "16 0.5 0\n"
                     "0 3 7\n"
                     "8 7 0 0 0 0 0 0 20\n"));
  EXPECT_TRUE(s.tpl.loaded());
  EXPECT_TRUE(s.host.messages.empty());
  // Instruments as whole numbers; duplicates resolve to the lower stave.
  EXPECT_EQ(s.tpl.instrument(1), 10);
  EXPECT_EQ(s.tpl.instrument(4), 40);
  EXPECT_EQ(s.tpl.instrument(5), 0);
  EXPECT_EQ(s.tpl.instrument(7), 20);
  EXPECT_EQ(s.tpl.staveForInstrument(20.0f), 2);
  EXPECT_EQ(s.tpl.staveForInstrument(40.0f), 4);
  EXPECT_EQ(s.tpl.staveForInstrument(40.7f), 0);
  EXPECT_EQ(s.tpl.staveForInstrument(0.0f), 0);
  EXPECT_EQ(s.tpl.lowestStaffStave(), 1);
  EXPECT_EQ(s.tpl.highestStaffStave(), 7);
  // A group's first stave holds its span, the others 0; a huge span stops at stave 250.
  EXPECT_EQ(s.tpl.span(1), 4);
  EXPECT_EQ(s.tpl.span(2), 0);
  EXPECT_EQ(s.tpl.span(4), 0);
  EXPECT_EQ(s.tpl.span(5), 1);
  EXPECT_EQ(s.tpl.span(6), 250);
  EXPECT_EQ(s.tpl.span(250), 0);
  EXPECT_EQ(s.tpl.span(251), 1);
  // Staff P4 is zeroed; items off the stave range are skipped, code 0 is kept.
  ASSERT_EQ(s.tpl.list(3).size(), 2u);
  EXPECT_EQ(s.tpl.list(3).front().p(4), 0.0f);
  EXPECT_EQ(s.tpl.list(3).back().code(), 0.0f);
  EXPECT_TRUE(s.tpl.list(251).empty());

  // A smaller group mark keeps the larger span; P4 = 0 resets it to 1.
  ASSERT_TRUE(s.load("14 2 0 3 9\n14 2 0 2 10\n14 8 0 0 9\n8 9 0 0 0 0 0 0 1\n"));
  EXPECT_EQ(s.tpl.span(2), 3);
  EXPECT_EQ(s.tpl.span(3), 0);
  EXPECT_EQ(s.tpl.span(8), 1);
  EXPECT_EQ(s.tpl.lowestStaffStave(), 9);
  EXPECT_EQ(s.tpl.highestStaffStave(), 9);
}

TEST(UnoptimizeTemplate, LoadFailuresClearTheTemplate) {
  UnoptimizeSession s;
  ASSERT_TRUE(s.load(kTemplate1234));
  EXPECT_FALSE(s.load("8 1 0 0 0 0 0 0 10\n8 2 0 0 0 0 0 0 20\n8 3 0 0 0 0 0 0 0\n8 4 0\n"));
  EXPECT_EQ(s.host.messages, std::vector<std::string>{"Staff 3 has no instrument number!"});
  EXPECT_FALSE(s.tpl.loaded());
  EXPECT_EQ(s.tpl.instrument(1), 0);
  EXPECT_TRUE(s.tpl.list(1).empty());

  s.host.messages.clear();
  EXPECT_FALSE(loadTemplate(s.host, s.dir.file("none.tpl"), s.tpl));
  EXPECT_EQ(s.host.messages,
            std::vector<std::string>{"Unable to open file " + s.dir.file("none.tpl") + " for reading"});
}

TEST(Unoptimize, StavesAreMatchedByInstrumentAndTheMissingOnesInserted) {
  UnoptimizeSession s;
  ASSERT_TRUE(s.load(kTemplate1234));
  ASSERT_EQ(s.run("8 1 2 -6 0 0 0 0 20\n"
                  "3 1 3.5 0 1\n"
                  "17 1 6 0 2\n"
                  "18 1 8 0 4 4\n"
                  "1 1 10 4 10 0 1\n"
                  "1 1 10 6 10 0 0.5\n"
                  "1 1 20 4 10 0 1\n"
                  "14 1 30 2\n"
                  "2 1 35 0 0 0 2\n"
                  "14 1 45\n"
                  "8 2 2 0 0 0 0 0 40\n"
                  "1 2 10 4 10 0 1\n"
                  "14 2 30\n"),
            1);
  // Input staves become 2 and 4; staves 1 and 3 follow with whole-bar rests from
  // the bars of input stave 1, its key and time signatures, and its barlines
  // where the template's group starts.
  EXPECT_SCORE_FILE(s.out, "8 2 2 0 0 0 0 0 20\n"
                           "3 2 3.5 0 1\n"
                           "17 2 6 0 2\n"
                           "18 2 8 0 4 4\n"
                           "1 2 10 6 10 0 0.5\n"
                           "1 2 10 4 10 0 1\n"
                           "1 2 20 4 10 0 1\n"
                           "14 2 30 2\n"
                           "2 2 35 0 0 0 2\n"
                           "14 2 45\n"
                           "8 4 2 0 0 0 0 0 40\n"
                           "1 4 10 4 10 0 1\n"
                           "14 4 30\n"
                           "8 1 2 0 0 0 0 0 10\n"
                           "3 1 3 0 0\n"
                           "16 1 5 10 0 0\n"
                           "14 1 2 4 8\n"
                           "17 1 6 0 2\n"
                           "18 1 8 0 4 4\n"
                           "2 1 10 0 -2 0 1.5\n"
                           "14 1 30 4\n"
                           "2 1 35 0 -2 0 2\n"
                           "14 1 45 4\n"
                           "8 3 2 0 0 0 0 0 30\n"
                           "3 3 3 0 1\n"
                           "17 3 6 0 2 1\n"
                           "18 3 8 0 4 4\n"
                           "2 3 10 0 -2 0 1.5\n"
                           "2 3 35 0 -2 0 2\n");
  EXPECT_TRUE(s.host.messages.empty());
  EXPECT_TRUE(s.store.empty());
  for (int32_t f : s.store.staveFlags)
    EXPECT_EQ(f, 0);
}

TEST(Unoptimize, DuplicateInstrumentsAndItemOrder) {
  // An input stave with a doubled instrument takes the lower template stave.
  {
    UnoptimizeSession s;
    ASSERT_TRUE(s.load("8 1 0 0 0 0 0 0 10\n8 2 0 0 0 0 0 0 10\n"));
    ASSERT_EQ(s.run("8 1 0 0 0 0 0 0 10\n1 1 10 4 10 0 1\n14 1 20\n"), 1);
    EXPECT_SCORE_FILE(s.out, "8 1 0 0 0 0 0 0 10\n1 1 10 4 10 0 1\n14 1 20\n"
                             "8 2 0 0 0 0 0 0 10\n2 2 10 0 -2 0 1\n14 2 20\n");
  }
  // A clef, then notes at its P3: the notes follow it, the larger P4 first.
  {
    UnoptimizeSession s;
    ASSERT_TRUE(s.load("8 1 0 0 0 0 0 0 10\n"));
    ASSERT_EQ(s.run("8 1 0 0 0 0 0 0 10\n3 1 10 0 1\n1 1 10 4 10 0 1\n1 1 10 6 10 0 1\n1 1 5 2 10 0 1\n"), 1);
    EXPECT_SCORE_FILE(s.out, "8 1 0 0 0 0 0 0 10\n1 1 5 2 10 0 1\n3 1 10 0 1\n1 1 10 6 10 0 1\n1 1 10 4 10 0 1\n");
  }
}

TEST(Unoptimize, GroupPassWidensBarlinesAndMovesAnchoredItems) {
  UnoptimizeSession s;
  ASSERT_TRUE(s.load("8 1 0 0 0 0 0 0 1\n8 2 0 0 0 0 0 0 2\n8 3 0 0 0 0 0 0 3\n14 3 0 3 9\n"
                     "8 4 0 0 0 0 0 0 4\n8 5 0 0 0 0 0 0 5\n"));
  ASSERT_EQ(s.run("8 1 0 0 0 0 0 0 1\n14 1 40 9\n8 2 0 0 0 0 0 0 3\n16 2 20 0 0 100\n14 2 40 1\n"), 1);
  // Text on stave 3 ends on 5, the group's last stave; the barline on 3 takes the
  // group's span; the one on the lowest staff stave spans to the highest.
  EXPECT_SCORE_FILE(s.out, "8 1 0 0 0 0 0 0 1\n14 1 40 5\n"
                           "8 3 0 0 0 0 0 0 3\n16 5 20 0 0 100\n14 3 40 3\n"
                           "8 2 0 0 0 0 0 0 2\n14 2 40 1\n"
                           "8 4 0 0 0 0 0 0 4\n"
                           "8 5 0 0 0 0 0 0 5\n");
}

TEST(Unoptimize, SingleStaveBracketsFollowTheirOptions) {
  const char* tpl = "8 1 0 0 0 0 0 0 1\n14 1 0 1 9\n14 1 0 1 8\n14 1 0 0 10\n8 2 0 0 0 0 0 0 2\n";
  {
    UnoptimizeSession s;
    ASSERT_TRUE(s.load(tpl));
    ASSERT_EQ(s.run("8 1 0 0 0 0 0 0 2\n"), 1);
    EXPECT_SCORE_FILE(s.out, "8 2 0 0 0 0 0 0 2\n8 1 0 0 0 0 0 0 1\n14 1 0 1 9\n");
  }
  {
    UnoptimizeSession s;
    s.options = {1, 0, 1, 0, "UNO"};
    ASSERT_TRUE(s.load(tpl));
    ASSERT_EQ(s.run("8 1 0 0 0 0 0 0 2\n"), 1);
    EXPECT_SCORE_FILE(s.out, "8 2 0 0 0 0 0 0 2\n8 1 0 0 0 0 0 0 1\n14 1 0 1 8\n14 1 0 0 10\n");
  }
}

TEST(Unoptimize, AnInputWithoutStaveOneTakesItsBarsFromItsLowestStave) {
  UnoptimizeSession s;
  ASSERT_TRUE(s.load("8 1 0 0 0 0 0 0 10\n8 2 0 0 0 0 0 0 20\n"));
  ASSERT_EQ(s.run("8 2 0 0 0 0 0 0 20\n1 2 10 4 10 0 1\n14 2 20\n"), 1);
  EXPECT_SCORE_FILE(s.out, "8 1 0 0 0 0 0 0 10\n2 1 10 0 -2 0 1\n14 1 20\n"
                           "8 2 0 0 0 0 0 0 20\n1 2 10 4 10 0 1\n14 2 20\n");
}

TEST(Unoptimize, StavesTheTemplateCannotPlaceAreRefused) {
  UnoptimizeSession s;
  ASSERT_TRUE(s.load(kTemplate1234));
  EXPECT_EQ(s.run("8 1 0 0 0 0 0 0 20\n8 2 0 0 0 0 0 0 25.5\n"), 0);
  EXPECT_EQ(s.host.messages.back(), "Stave 2 of " + s.in +
                                        " has instrument number 25.5, which no stave of the template has. The file "
                                        "has not been unoptimized.");
  EXPECT_EQ(s.run("8 1 0 0 0 0 0 0 20\n1 3 10 4 10 0 1\n"), 0);
  EXPECT_EQ(s.host.messages.back(), "Stave 3 of " + s.in +
                                        " has no staff item with an instrument number, so no stave of the template "
                                        "matches it. The file has not been unoptimized.");
  EXPECT_EQ(s.run("8 1 0\n"), 0);
  EXPECT_EQ(s.host.messages.size(), 3u);
  EXPECT_FALSE(fileExists(s.out));
  EXPECT_TRUE(s.store.empty());
  for (int32_t f : s.store.staveFlags)
    EXPECT_EQ(f, 0);
}

TEST(Unoptimize, MoreStavesThanAFileHoldsAreRefused) {
  UnoptimizeSession s;
  std::string tpl, input;
  for (int t = 1; t <= 250; ++t)
    tpl += "8 " + std::to_string(t) + " 0 0 0 0 0 0 " + std::to_string(t) + "\n";
  for (int k = 1; k <= 200; ++k)
    input += "8 " + std::to_string(k) + " 0 0 0 0 0 0 1\n";
  ASSERT_TRUE(s.load(tpl));
  EXPECT_EQ(s.run(input), 0);
  EXPECT_EQ(s.host.messages.back(), s.in + " has no room for the staves the template adds: a SCORE file holds at most "
                                           "250 staves. The file has not been unoptimized.");
  EXPECT_FALSE(fileExists(s.out));
}

TEST(Unoptimize, TheStaveDialogChoosesWhatIsInserted) {
  UnoptimizeSession s;
  ASSERT_TRUE(s.load(kTemplate1234));
  s.options.showStaveInsertWindow = 1;
  s.dialogs.staveAnswers = {StaveDialogResult::OkToAll};
  s.dialogs.editSelection = [](StaveSelection& selection) { selection.checked[2] = false; };
  ASSERT_EQ(s.run("8 1 0 0 0 0 0 0 20\n"), 1);
  ASSERT_EQ(s.dialogs.shown.size(), 1u);
  const StaveSelection& shown = s.dialogs.shown[0];
  EXPECT_EQ(shown.title, "Select Staves to Insert");
  EXPECT_TRUE(shown.checked[0]);
  EXPECT_FALSE(shown.checked[1]);
  EXPECT_TRUE(shown.checked[2]);
  EXPECT_TRUE(shown.checked[3]);
  EXPECT_EQ(s.options.showStaveInsertWindow, 0);
  // Stave 3 was unticked: only 1 and 4 are inserted.
  EXPECT_SCORE_FILE(s.out, "8 2 0 0 0 0 0 0 20\n"
                           "8 1 0 0 0 0 0 0 10\n3 1 1 0 0\n16 1 5 10 0 0\n14 1 0 4 8\n"
                           "8 4 0 0 0 0 0 0 40\n3 4 1 0 0\n");

  // Cancel, confirmed: nothing written.
  s.options.showStaveInsertWindow = 1;
  s.dialogs.staveAnswers = {StaveDialogResult::Cancel};
  s.host.yesNoAnswers = {true};
  std::filesystem::remove(s.out);
  EXPECT_EQ(s.run("8 1 0 0 0 0 0 0 20\n"), 0);
  EXPECT_FALSE(fileExists(s.out));
  EXPECT_TRUE(s.store.empty());
}

TEST(Unoptimize, ACancelDuringTheGroupPassWritesNothing) {
  UnoptimizeSession s;
  ASSERT_TRUE(s.load(kTemplate1234));
  const long before = s.host.pumps;
  s.host.keyAtPump = {before + 3};
  s.host.yesNoAnswers = {true};
  EXPECT_EQ(s.run("8 1 0 0 0 0 0 0 20\n1 1 10 4 10 0 1\n"), 0);
  EXPECT_FALSE(fileExists(s.out));
}

} // namespace
} // namespace velmora

namespace velmora {
namespace {

using namespace test;

// NaN, infinite and huge parameters in the places the passes read: no crash,
// and every file either refused with a message or written with a true header.
TEST(StavesHostile, OddValuesStayInBounds) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const std::vector<std::vector<float>> items{{8, 1, nan, nan, 0, 0, 0, 0, 10},
                                              {14, 1, 0, nan, nan},
                                              {14, 1, 0, inf, 8},
                                              {14, 1, 0, -1e30f, 9},
                                              {14, 1, 0, 3e38f, 10},
                                              {14, 1, 0, 0.5f, 8},
                                              {16, 1, 0, 0, 0, inf},
                                              {9, 2, 0, 0, 0, nan},
                                              {1, 1, nan, 4, 10, 0, nan},
                                              {1, 1, 10, 4, 10, 0, inf},
                                              {2, 1, 20, 0, 0, 0, 1e30f},
                                              {14, 1, 30},
                                              {17, 1, nan},
                                              {8, 2, 0, 0, 0, 0, 0, 0, 20},
                                              {14, 2, 0, 1e9f, 9},
                                              {8, 200, 0, 0, 0, 0, 0, 0, 30},
                                              {14, 200, 0, 60, 8},
                                              {10, 200, 0, 0, 0, 100}};
  TempDir dir;
  FakeHost host;
  ScriptedStaveDialogs dialogs;
  CItemStore store;
  writeBytes(dir.file("in.mus"), buildScore(items));

  OptimizeOptions optimizeOptions;
  COptimizeBatch batch;
  OptimizeContext optimize{host, dialogs, store, optimizeOptions, batch};
  ASSERT_EQ(optimizeFile(optimize, dir.file("in.mus"), "OPT"), 1);
  EXPECT_EQ(fileText(readBytes(dir.file("in.OPT"))).rfind("header", 0), std::string::npos);

  std::vector<std::vector<float>> tplItems = items;
  tplItems.push_back({14, 3, 0, 0.5f, 9});
  tplItems.push_back({14, 250, 0, inf, 8});
  tplItems.push_back({8, 250, 0, 0, 0, 0, 0, 0, 40});
  tplItems.push_back({3, 250, nan, 0, nan});
  writeBytes(dir.file("full.tpl"), buildScore(tplItems));
  CUnoptimizeTemplate tpl;
  ASSERT_TRUE(loadTemplate(host, dir.file("full.tpl"), tpl));
  UnoptimizeOptions unoptimizeOptions;
  UnoptimizeContext unoptimize{host, dialogs, store, unoptimizeOptions, tpl};
  ASSERT_EQ(unoptimizeFile(unoptimize, dir.file("in.mus"), "UNO"), 1);
  EXPECT_EQ(fileText(readBytes(dir.file("in.UNO"))).rfind("header", 0), std::string::npos);
  EXPECT_TRUE(host.messages.empty());
}

} // namespace
} // namespace velmora

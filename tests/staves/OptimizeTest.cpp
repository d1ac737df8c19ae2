#include "staves/Optimize.h"

#include <gtest/gtest.h>

#include "base/FileSystem.h"
#include "staves/StaveFixture.h"

namespace velmora {
namespace {

using namespace test;

struct OptimizeSession {
  TempDir dir;
  FakeHost host;
  ScriptedStaveDialogs dialogs;
  CItemStore store;
  OptimizeOptions options;
  COptimizeBatch batch;
  std::string in = dir.file("in.mus");
  std::string out = dir.file("in.OPT");

  int run(const std::string& items) {
    writeBytes(in, buildScore(items));
    return runOnInput();
  }
  int runOnInput() {
    OptimizeContext context{host, dialogs, store, options, batch};
    return optimizeFile(context, in, "OPT");
  }
  bool flagsClear() const {
    for (int32_t f : store.staveFlags)
      if (f != 0) return false;
    return true;
  }
};

// Four staves, each with a staff item; stave 2 holds only rests.
const char* kFourStaves = "8 1 0 -6 0 0 0 0 10\n"
                          "1 1 10 4 10 0 1\n"
                          "8 2 0 0 0 0 0 0 20\n"
                          "2 2 10 4 10 0 1\n"
                          "8 3 0 0 0 0 0 0 30\n"
                          "1 3 10 4 10 0 1\n"
                          "8 4 0 0 0 0 0 0 40\n"
                          "1 4.5 10 4 10 0 1\n";

TEST(Optimize, BlankStaveIsDeletedAndTheOthersCloseUp) {
  OptimizeSession s;
  ASSERT_EQ(s.run(kFourStaves), 1);
  // Staff P4 is zeroed, stave 3 becomes 2, stave 4.5 becomes 3.5.
  EXPECT_SCORE_FILE(s.out, "8 1 0 0 0 0 0 0 10\n"
                           "1 1 10 4 10 0 1\n"
                           "8 2 0 0 0 0 0 0 30\n"
                           "1 2 10 4 10 0 1\n"
                           "8 3 0 0 0 0 0 0 40\n"
                           "1 3.5 10 4 10 0 1\n");
  EXPECT_TRUE(s.host.messages.empty());
  EXPECT_TRUE(s.store.empty());
  EXPECT_TRUE(s.flagsClear());
  EXPECT_TRUE(s.dialogs.shown.empty());
}

TEST(Optimize, BracketsAreShortenedDeletedOrKept) {
  const std::string notes14 = "1 1 10 4 10 0 1\n8 2 0\n8 3 0\n1 4 10 4 10 0 1\n";
  // Bracket over 1-4 with staves 2 and 3 deleted: P4 becomes 2 on stave 1.
  {
    OptimizeSession s;
    ASSERT_EQ(s.run("14 1 0 4 9\n" + notes14), 1);
    EXPECT_SCORE_FILE(s.out, "14 1 0 2 9\n1 1 10 4 10 0 1\n1 2 10 4 10 0 1\n");
  }
  // Staves 2-4 deleted: N = 1, removed with its option on, kept with P4 = 1 without.
  const std::string onlyStave1 = "14 1 0 4 9\n1 1 10 4 10 0 1\n8 2 0\n8 3 0\n8 4 0\n";
  {
    OptimizeSession s;
    s.options.deleteBrackets = 1;
    ASSERT_EQ(s.run(onlyStave1), 1);
    EXPECT_SCORE_FILE(s.out, "1 1 10 4 10 0 1\n");
  }
  {
    OptimizeSession s;
    s.options.deleteBrackets = 0;
    ASSERT_EQ(s.run(onlyStave1), 1);
    EXPECT_SCORE_FILE(s.out, "14 1 0 1 9\n1 1 10 4 10 0 1\n");
  }
  // A plain barline without P4 or P5 stays as it is.
  {
    OptimizeSession s;
    ASSERT_EQ(s.run("14 1 50\n1 1 10 4 10 0 1\n"), 1);
    EXPECT_SCORE_FILE(s.out, "14 1 50\n1 1 10 4 10 0 1\n");
  }
}

TEST(Optimize, BarlinesOfADeletedStaveMoveToTheFirstKeptStave) {
  // Brace on deleted stave 1 over 1-3, staves 2 and 3 kept: placed list, P2 = 1, P4 = 2.
  {
    OptimizeSession s;
    ASSERT_EQ(s.run("14 1 0 3 8\n8 1 0\n1 2 10 4 10 0 1\n1 3 10 4 10 0 1\n"), 1);
    EXPECT_SCORE_FILE(s.out, "1 1 10 4 10 0 1\n1 2 10 4 10 0 1\n14 1 0 2 8\n");
  }
  // Left with one stave: dropped with its option on, moved with P4 = 1 without.
  const std::string oneLeft = "14 1 0 3 8\n8 1 0\n1 2 10 4 10 0 1\n8 3 0\n";
  {
    OptimizeSession s;
    ASSERT_EQ(s.run(oneLeft), 1);
    EXPECT_SCORE_FILE(s.out, "1 1 10 4 10 0 1\n");
  }
  {
    OptimizeSession s;
    s.options.deleteBraces = 0;
    ASSERT_EQ(s.run(oneLeft), 1);
    EXPECT_SCORE_FILE(s.out, "1 1 10 4 10 0 1\n14 1 0 1 8\n");
  }
  // Four parameters move whatever is left; P5 above 10 with one stave goes with its stave.
  {
    OptimizeSession s;
    ASSERT_EQ(s.run("14 1 30 2\n14 1 40 2 11\n8 1 0\n1 2 10 4 10 0 1\n"), 1);
    EXPECT_SCORE_FILE(s.out, "1 1 10 4 10 0 1\n14 1 30 1\n");
  }
  // A span past stave 250 counts the missing staves as deleted and never reads past the table.
  {
    OptimizeSession s;
    ASSERT_EQ(s.run("14 199 0 1e30 8\n1 200 10 4 10 0 1\n1 1 10 4 10 0 1\n"), 1);
    EXPECT_TRUE(s.host.messages.empty());
  }
}

TEST(Optimize, AnchoredItemsMoveToTheNearestKeptStaveBelow) {
  // Text with P6 = 100 on deleted stave 3; stave 2 kept.
  const std::string staves23 = "1 2 10 4 10 0 1\n16 3.5 20 0 0 100\n";
  {
    OptimizeSession s;
    ASSERT_EQ(s.run("1 1 10 4 10 0 1\n" + staves23), 1);
    EXPECT_SCORE_FILE(s.out, "1 1 10 4 10 0 1\n1 2 10 4 10 0 1\n16 2 20 0 0 100\n");
  }
  {
    OptimizeSession s;
    ASSERT_EQ(s.run("8 1 0\n" + staves23), 1);
    EXPECT_SCORE_FILE(s.out, "1 1 10 4 10 0 1\n16 1 20 0 0 100\n");
  }
  // P6 below 100, or no P6 at all, stays with its stave; codes 9 and 10 move like text.
  {
    OptimizeSession s;
    ASSERT_EQ(s.run("1 1 10 4 10 0 1\n16 2 20 0 0 99\n9 2 20\n9 2 20 0 0 150\n10 3 1 0 0 100\n"), 1);
    EXPECT_SCORE_FILE(s.out, "1 1 10 4 10 0 1\n9 1 20 0 0 150\n10 1 1 0 0 100\n");
  }
}

TEST(Optimize, AFileWithoutNotesKeepsOnlyThePlacedList) {
  OptimizeSession s;
  ASSERT_EQ(s.run("8 1 0\n3 1 1.5\n16 2 5 0 0 100\n2 2 10 4 10 0 1\n"), 1);
  EXPECT_SCORE_FILE(s.out, "16 1 5 0 0 100\n");
  EXPECT_TRUE(s.host.messages.empty());
}

TEST(Optimize, InstrumentModeChoosesStavesByTheirStaffItems) {
  const std::string staves = "8 1 0 0 0 0 0 0 5\n"
                             "8 2 0 0 0 0 0 0 6\n"
                             "8 3 0 0 0 0 0 0 7\n"
                             "1 3 10 4 10 0 1\n"
                             "8 4 0 0 0 0 0 0\n"
                             "1 5 10 4 10 0 1\n";
  // Listed staves are deleted; all others with a staff item are kept, blank or not.
  {
    OptimizeSession s;
    s.options.showInstrumentDeleteWindow = 1;
    s.batch.instruments = {5, 7};
    ASSERT_EQ(s.run(staves), 1);
    EXPECT_SCORE_FILE(s.out, "8 1 0 0 0 0 0 0 6\n8 2 0 0 0 0 0 0\n");
  }
  // Keep-listed: only the listed ones stay; a stave without a staff item always goes.
  {
    OptimizeSession s;
    s.options.showInstrumentDeleteWindow = 1;
    s.batch.instruments = {5, 7};
    s.batch.keepListed = true;
    ASSERT_EQ(s.run(staves), 1);
    EXPECT_SCORE_FILE(s.out, "8 1 0 0 0 0 0 0 5\n8 2 0 0 0 0 0 0 7\n1 2 10 4 10 0 1\n");
  }
}

TEST(Optimize, TheStaveDialogChangesTheFlags) {
  OptimizeSession s;
  s.options.showStaveDeleteWindow = 1;
  s.dialogs.staveAnswers = {StaveDialogResult::Ok};
  // The user keeps blank stave 2 and deletes stave 3.
  s.dialogs.editSelection = [](StaveSelection& selection) {
    selection.checked[1] = false;
    selection.checked[2] = true;
  };
  ASSERT_EQ(s.run(kFourStaves), 1);
  ASSERT_EQ(s.dialogs.shown.size(), 1u);
  const StaveSelection& shown = s.dialogs.shown[0];
  EXPECT_EQ(shown.title, "Select Staves to Delete");
  EXPECT_FALSE(shown.checked[0]);
  EXPECT_TRUE(shown.checked[1]);
  EXPECT_FALSE(shown.checked[2]);
  EXPECT_FALSE(shown.checked[3]);
  EXPECT_TRUE(shown.checked[4]);
  EXPECT_TRUE(shown.checked[249]);
  EXPECT_SCORE_FILE(s.out, "8 1 0 0 0 0 0 0 10\n"
                           "1 1 10 4 10 0 1\n"
                           "8 2 0 0 0 0 0 0 20\n"
                           "2 2 10 4 10 0 1\n"
                           "8 3 0 0 0 0 0 0 40\n"
                           "1 3.5 10 4 10 0 1\n");
  EXPECT_EQ(s.options.showStaveDeleteWindow, 1);

  // "OK to All" switches the window off for the files after this one.
  s.dialogs.staveAnswers = {StaveDialogResult::OkToAll};
  s.dialogs.editSelection = nullptr;
  ASSERT_EQ(s.run(kFourStaves), 1);
  EXPECT_EQ(s.options.showStaveDeleteWindow, 0);
  ASSERT_EQ(s.run(kFourStaves), 1);
  EXPECT_EQ(s.dialogs.shown.size(), 2u);
}

TEST(Optimize, CancelsLeaveNoOutput) {
  // Cancel in the stave dialog, confirmed: 0, nothing written, flags reset.
  {
    OptimizeSession s;
    s.options.showStaveDeleteWindow = 1;
    s.dialogs.staveAnswers = {StaveDialogResult::Cancel};
    s.dialogs.editSelection = [](StaveSelection& selection) { selection.checked.fill(true); };
    s.host.yesNoAnswers = {true};
    EXPECT_EQ(s.run(kFourStaves), 0);
    EXPECT_EQ(s.host.questions,
              std::vector<std::string>{"Cancel Action: Do you wish to cancel the current operation?"});
    EXPECT_FALSE(fileExists(s.out));
    EXPECT_TRUE(s.flagsClear());
    EXPECT_TRUE(s.store.empty());
  }
  // Not confirmed: the file goes on with the flags the reader set.
  {
    OptimizeSession s;
    s.options.showStaveDeleteWindow = 1;
    s.dialogs.staveAnswers = {StaveDialogResult::Cancel};
    s.host.yesNoAnswers = {false};
    EXPECT_EQ(s.run(kFourStaves), 1);
    EXPECT_EQ(fileText(readBytes(s.out)).substr(0, 19), "8 1 0 0 0 0 0 0 10\n");
    EXPECT_EQ(parseItems(fileText(readBytes(s.out))).size(), 6u);
  }
  // A key typed during the barline pass (the first pump after the 8 items).
  {
    OptimizeSession s;
    s.host.keyAtPump = {9};
    s.host.yesNoAnswers = {true};
    EXPECT_EQ(s.run(kFourStaves), 0);
    EXPECT_FALSE(fileExists(s.out));
    EXPECT_TRUE(s.flagsClear());
  }
  // ... and during the word-total pass, 250 pumps later.
  {
    OptimizeSession s;
    s.host.keyAtPump = {9 + 250};
    s.host.yesNoAnswers = {true};
    EXPECT_EQ(s.run(kFourStaves), 0);
    EXPECT_FALSE(fileExists(s.out));
  }
}

TEST(Optimize, OpeningAndReadingFailuresArePassedOn) {
  OptimizeSession s;
  EXPECT_EQ(s.runOnInput(), -1);
  EXPECT_EQ(s.host.messages.back(), "Unable to open file " + s.in + " for reading");
  EXPECT_EQ(s.run("1 1 10 4 10 0 1\n1 0 10\n"), 0);
  EXPECT_EQ(s.host.messages.back(), "Error - Item no. 2 found with invalid stave number (usually 0 in "
                                    "Winscore)\nPlease try editing your SCORE file.");
  EXPECT_FALSE(fileExists(s.out));
  EXPECT_TRUE(s.flagsClear());
  EXPECT_TRUE(s.store.empty());
}

TEST(Optimize, FlagsLeftByAnEarlierTaskDoNotKeepStaves) {
  OptimizeSession s;
  s.store.staveFlags.fill(1);
  ASSERT_EQ(s.run("1 1 10 4 10 0 1\n8 2 0\n"), 1);
  EXPECT_SCORE_FILE(s.out, "1 1 10 4 10 0 1\n");
}

TEST(Optimize, InstrumentNumbersAreParsedLikeTheDialogText) {
  EXPECT_EQ(parseInstrumentNumbers("  5   7abc x -3 +4 12345678901 "), (std::vector<int>{5, 7, 0, -3, 4, 2147483647}));
  EXPECT_TRUE(parseInstrumentNumbers("").empty());
  EXPECT_TRUE(parseInstrumentNumbers("    ").empty());

  ScriptedStaveDialogs dialogs;
  COptimizeBatch batch;
  dialogs.instrumentReply = {"20 40", true};
  ASSERT_TRUE(chooseInstrumentNumbers(dialogs, batch));
  EXPECT_EQ(batch.instruments, (std::vector<int>{20, 40}));
  EXPECT_TRUE(batch.keepListed);
  dialogs.instrumentOk = false;
  EXPECT_FALSE(chooseInstrumentNumbers(dialogs, batch));
}

} // namespace
} // namespace velmora

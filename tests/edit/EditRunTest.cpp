#include "edit/EditRun.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/FileSystem.h"

#include "edit/EditFixtures.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

namespace velmora {
namespace {

using test::buildScore;
using test::FakeHost;
using test::fileItems;
using test::hexDump;
using test::parseItems;
using test::readBytes;
using test::TempDir;
using test::writeBytes;
using Rows = std::vector<std::string>;
using Items = std::vector<std::vector<float>>;

class EditRunTest : public ::testing::Test {
protected:
  std::string score(const std::string& name, const std::string& items) {
    writeBytes(scores.file(name), buildScore(items));
    return scores.file(name);
  }
  std::string score(const std::string& name, const Items& items) {
    writeBytes(scores.file(name), buildScore(items));
    return scores.file(name);
  }
  void step(const std::string& name, const std::string& codes, const std::string& argument,
            const std::string& operation, int32_t notFound = 0) {
    test::writeStep(project.path(), name, StepData{"", codes, argument, operation, notFound});
  }
  void macro(const std::string& name, const Rows& steps) { test::writeMacro(project.path(), name, steps); }

  // The per-file routine as the batch frame calls it, after the progress line.
  int edit(const std::string& macroName, const std::string& path) {
    batch.currentLine = "Editing with macro " + macroName + " " + path;
    batch.log.appendAndFollow(batch.currentLine);
    CEditRun run(EditRunContext{host, dialogs, store, candidates, options, project.path(), batch});
    const int result = run.editFile(macroName, path, "EDI");
    EXPECT_TRUE(store.empty());
    return result;
  }
  static std::string output(const std::string& path) { return outputPathFor(path, "EDI"); }
  static bool written(const std::string& path) { return fileExists(output(path)); }
  static Items outputItems(const std::string& path) { return fileItems(readBytes(output(path))); }
  // The output byte for byte against the file these items make.
  static void expectOutput(const std::string& path, const std::string& items) {
    EXPECT_EQ(hexDump(readBytes(output(path))), hexDump(buildScore(items)));
  }

  TempDir project;
  TempDir scores;
  FakeHost host;
  test::ScriptedEditDialogs dialogs;
  CItemStore store;
  CCandidateSets candidates;
  EditOptions options;
  CBatchState batch;
};

TEST_F(EditRunTest, CodeListOneAndNinetyNine) {
  const std::string path = score("a.mus", "8 1 0\n1 1 10 4\n2 1 20 0 1");
  macro("M", {"S"});
  // A true condition: the note matches both entries and is changed twice.
  step("S", "1 99", "", "9 += 1");
  ASSERT_EQ(edit("M", path), 1);
  expectOutput(path, "8 1 0 0 0 0 0 0 1\n1 1 10 4 0 0 0 0 2\n2 1 20 0 1 0 0 0 1");
  EXPECT_TRUE(host.messages.empty());

  // The condition is evaluated again before the second entry; now it fails.
  step("S", "1 99", "P9 < 1", "9 += 1");
  ASSERT_EQ(edit("M", path), 1);
  expectOutput(path, "8 1 0 0 0 0 0 0 1\n1 1 10 4 0 0 0 0 1\n2 1 20 0 1 0 0 0 1");

  // With prompts: one per operation, each showing the item before the change.
  options.promptBeforeOperation = 1;
  step("S", "1 99", "", "9 += 1");
  ASSERT_EQ(edit("M", path), 1);
  ASSERT_EQ(dialogs.prompts.size(), 4u);
  EXPECT_EQ(dialogs.prompts[0].itemLine, "Conditions are TRUE for the following item in file " + path);
  EXPECT_EQ(dialogs.prompts[0].parameters, "8.0000 1.0000 0.0000 ");
  EXPECT_EQ(dialogs.prompts[2].parameters, "1.0000 1.0000 10.0000 4.0000 0.0000 0.0000 0.0000 0.0000 1.0000 ");
  EXPECT_EQ(dialogs.prompts[0].inputPath, path);
}

TEST_F(EditRunTest, PromptAnswers) {
  const std::string path = score("a.mus", "8 1 0\n1 1 10 4\n2 1 20 0 1");
  macro("M", {"S"});
  step("S", "", "", "5 = 7");
  options.promptBeforeOperation = 1;

  // "No" to every prompt leaves the file as it was; with save-only-if-modified it is not written.
  dialogs.defaultAnswer = PromptAnswer::No;
  ASSERT_EQ(edit("M", path), 1);
  EXPECT_EQ(dialogs.prompts.size(), 3u);
  expectOutput(path, "8 1\n1 1 10 4\n2 1 20 0 1");
  std::filesystem::remove(output(path));
  options.saveOnlyIfModified = 1;
  ASSERT_EQ(edit("M", path), 1);
  EXPECT_FALSE(written(path));

  // "Cancel" stops the file: nothing is written.
  dialogs.answers = {PromptAnswer::Yes, PromptAnswer::Cancel};
  EXPECT_EQ(edit("M", path), 0);
  EXPECT_FALSE(written(path));

  // "Yes To All" changes this item and every later one without asking.
  dialogs.prompts.clear();
  dialogs.answers = {PromptAnswer::No, PromptAnswer::YesToAll};
  ASSERT_EQ(edit("M", path), 1);
  EXPECT_EQ(dialogs.prompts.size(), 2u);
  EXPECT_EQ(options.promptBeforeOperation, 0);
  expectOutput(path, "8 1\n1 1 10 4 7\n2 1 20 0 7");
}

TEST_F(EditRunTest, SaveOnlyIfModified) {
  const std::string path = score("a.mus", "1 1 10 4 0 0\n8 2 0");
  // A macro with no steps writes the file unchanged (trailing zeros trimmed), or nothing.
  macro("EMPTY", {});
  ASSERT_EQ(edit("EMPTY", path), 1);
  expectOutput(path, "1 1 10 4\n8 2");
  std::filesystem::remove(output(path));
  options.saveOnlyIfModified = 1;
  ASSERT_EQ(edit("EMPTY", path), 1);
  EXPECT_FALSE(written(path));
  // A false condition modifies nothing.
  macro("M", {"S"});
  step("S", "1", "P4 > 10", "4 = P4");
  ASSERT_EQ(edit("M", path), 1);
  EXPECT_FALSE(written(path));
  // An operation that leaves the values as they were still counts.
  step("S", "1", "P4 == 4", "4 = P4");
  ASSERT_EQ(edit("M", path), 1);
  expectOutput(path, "1 1 10 4\n8 2");
}

TEST_F(EditRunTest, NotFoundAppend) {
  writeBytes(project.file("header.mus"), buildScore("8 1 0 0 0 0 0 0 50\n16 1 5 14\n8 2 0 -6 0 0 0 0 60"));
  const std::string plain = score("plain.mus", "8 1 0\n1 1 10 4\n8 2 0\n1 2 10 4");
  const std::string timed = score("timed.mus", "8 1 0\n18 1 5 0 3 4\n1 1 10 4");
  macro("M", {"HEAD"});
  step("HEAD", "18", "", "APP[HEADER.MUS, B]", 1);
  options.saveOnlyIfModified = 1;

  // Without a matching item the file is appended: its staves move up by 2, the header comes last.
  ASSERT_EQ(edit("M", plain), 1);
  expectOutput(plain, "8 3\n1 3 10 4\n8 4\n1 4 10 4\n8 1 0 0 0 0 0 0 50\n16 1 5 14\n8 2 0 -6 0 0 0 0 60");
  // With one, the flag only keeps the operation from being made.
  ASSERT_EQ(edit("M", timed), 1);
  EXPECT_FALSE(written(timed));

  // The prompt asks once, with the no-items text; "No" appends nothing.
  std::filesystem::remove(output(plain));
  options.promptBeforeOperation = 1;
  dialogs.defaultAnswer = PromptAnswer::No;
  ASSERT_EQ(edit("M", plain), 1);
  ASSERT_EQ(dialogs.prompts.size(), 1u);
  EXPECT_EQ(dialogs.prompts[0].itemLine, "No items found - Conditions are TRUE in file " + plain);
  EXPECT_EQ(dialogs.prompts[0].parameters, "");
  EXPECT_FALSE(written(plain));
  // "Yes To All" appends and switches the prompt off.
  dialogs.defaultAnswer = PromptAnswer::YesToAll;
  ASSERT_EQ(edit("M", plain), 1);
  EXPECT_EQ(options.promptBeforeOperation, 0);
  EXPECT_EQ(outputItems(plain).size(), 7u);
}

TEST_F(EditRunTest, InsertedItemsAreLeftToLaterSteps) {
  const std::string path = score("a.mus", "1 1 10\n1 2 20");
  macro("M", {"INS", "INS"});
  step("INS", "", "", "INS[1, 1, P3 + 1]");
  ASSERT_EQ(edit("M", path), 1);
  // The first step adds two; the second sees all four and adds four, after them.
  expectOutput(path, "1 1 10\n1 2 20\n1 1 11\n1 1 21\n1 1 11\n1 1 21\n1 1 12\n1 1 22");
}

TEST_F(EditRunTest, DeletingWhileWalking) {
  const std::string path = score("a.mus", "8 1 0\n1 1 10 4 0 0 0 0 1\n1 1 20 5\n14 1 30\n1 2 5\n8 2 0");
  macro("M", {"DEL", "MOVE"});
  step("DEL", "1", "P3 < 15 || P2 == 2", "DEL");
  // A later step sees the result of the earlier one.
  step("MOVE", "99", "COMP[1] == 1 && COMP[3] < P3", "3 -= 1");
  ASSERT_EQ(edit("M", path), 1);
  expectOutput(path, "8 1\n1 1 20 5\n14 1 29\n8 2");
}

TEST_F(EditRunTest, CompStepsThatChangeTheLists) {
  const std::string path = score("a.mus", "14 1 10\n14 1 20\n1 1 10\n1 1 30\n14 1 30");
  macro("M", {"BARS", "MARK"});
  // Barlines where a note stands go; each later item is tested against what is left.
  step("BARS", "14", "COMP[1] == 1 && COMP[3] == P3", "DEL");
  // A note with a barline after it gets a symbol at its place.
  step("MARK", "1", "COMP[1] == 14 && COMP[3] > P3", "INS[9, 1, P3]");
  ASSERT_EQ(edit("M", path), 1);
  expectOutput(path, "14 1 20\n1 1 10\n1 1 30\n9 1 10");
}

TEST_F(EditRunTest, TextSteps) {
  const std::string path =
      score("a.mus", Items{test::textItem(1, 20, "_00Allegro"), test::textItem(1, 40, "_01Fine"), {1, 1, 10, 4}});
  macro("M", {"FONT"});
  step("FONT", "16", "TXT[_00]", "TXT[_02]");
  options.promptBeforeOperation = 1;
  dialogs.defaultAnswer = PromptAnswer::YesToAll;
  ASSERT_EQ(edit("M", path), 1);
  // The prompt of a code-16 match shows the text from P14 on.
  ASSERT_EQ(dialogs.prompts.size(), 1u);
  EXPECT_EQ(dialogs.prompts[0].parameters, "16.0000 1.0000 20.0000 0.0000 0.0000 0.0000 0.0000 0.0000 0.0000 0.0000 "
                                           "0.0000 10.0000 0.0000 _00Allegro");
  const Items out = outputItems(path);
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[0], test::textItem(1, 20, "_02Allegro"));
  EXPECT_EQ(out[1], test::textItem(1, 40, "_01Fine"));
}

TEST_F(EditRunTest, ProgressAndFourPointPrecision) {
  const std::string path = score("a.mus", "1 1.0004 10");
  macro("M", {"S1", "S2"});
  step("S1", "1", "P2 == 1", "4 = 1");
  step("S2", "1", "P2 == 1", "5 = 1");
  options.fourPointPrecision = 1;
  batch.log.clear();
  CEditRun run(EditRunContext{host, dialogs, store, candidates, options, project.path(), batch});
  batch.currentLine = "Editing with macro M " + path;
  batch.log.appendAndFollow(batch.currentLine);
  ASSERT_EQ(run.editFile("M", path, "EDI"), 1);
  EXPECT_EQ(run.currentStep(), "S2");
  EXPECT_EQ(batch.log.rows(), Rows{"Editing with macro M " + path + ", step S2"});
  expectOutput(path, "1 1.0004 10");
  options.fourPointPrecision = 0;
  ASSERT_EQ(edit("M", path), 1);
  expectOutput(path, "1 1.0004 10 1 1");
}

TEST_F(EditRunTest, RefusalsLeaveNothingWritten) {
  const std::string path = score("a.mus", "1 1 10");
  // A missing step file: its path, and the file is abandoned.
  macro("M", {"S", "GONE"});
  step("S", "", "", "4 = 1");
  EXPECT_EQ(edit("M", path), 0);
  EXPECT_EQ(host.messages, Rows{"Unable to open file " + project.file("GONE.STP") + " for reading"});
  EXPECT_FALSE(written(path));
  // A missing macro.
  host.messages.clear();
  EXPECT_EQ(edit("NOPE", path), 0);
  EXPECT_EQ(host.messages, Rows{"Unable to open file " + project.file("NOPE.MAC") + " for reading"});
  // A damaged macro runs none of its steps.
  host.messages.clear();
  writeBytes(project.file("BAD.MAC"), {0, 2, 0, 1, 'S', 9});
  EXPECT_EQ(edit("BAD", path), 0);
  EXPECT_EQ(host.messages, Rows{project.file("BAD.MAC") + " is damaged and cannot be processed: string at offset "
                                                          "0x5 claims 9 characters, beyond the end of data at 0x6."});
  // A damaged step.
  host.messages.clear();
  writeBytes(project.file("S.STP"), {0, 0, 0});
  EXPECT_EQ(edit("M", path), 0);
  EXPECT_EQ(host.messages, Rows{project.file("S.STP") + " is damaged and cannot be processed: offset 0x4 is beyond the "
                                                        "end of data at 0x3."});
  // An input that cannot be opened.
  host.messages.clear();
  EXPECT_EQ(edit("M", scores.file("gone.mus")), -1);
  EXPECT_EQ(host.messages, Rows{"Unable to open file " + scores.file("gone.mus") + " for reading"});
  EXPECT_FALSE(written(path));
}

TEST_F(EditRunTest, NothingIsWrittenThatTheReadersRefuse) {
  // Every item must pass the readers' checks before the file is written; the
  // message names the step that left the item so, the item and its value.
  writeBytes(project.file("TAIL.MUS"), buildScore("8 1 0\n1 1 10 4"));
  const std::string stave1 = "8 1 0\n1 1 10 4";
  const std::string code0 = "the invalid Code No. 0 (SCORE files take 1 to 18.99)";
  const auto staveNo = [](const std::string& value) {
    return "the invalid stave number " + value + " (SCORE files take 1 to 200)";
  };
  struct Case {
    std::string input;
    Rows operations; // steps S1, S2, ... on code 1
    std::string expected; // "" when the file is written
  };
  const std::vector<Case> cases{
      {stave1, {"INS[1]"}, "step S1 leaves added item 1 with " + staveNo("0")},
      {stave1, {"INS[0, 1, 5]"}, "step S1 leaves added item 1 with " + code0},
      {stave1, {"INS[1, 300, 5]"}, "step S1 leaves added item 1 with " + staveNo("300")},
      {stave1, {"INS[,]"}, "step S1 leaves added item 1 with " + code0},
      {stave1, {"INS[]"}, "step S1 leaves added item 1 with " + code0},
      {stave1, {"2 = 0"}, "step S1 leaves item 2 of stave 1 with " + staveNo("0")},
      {stave1, {"1 = 0"}, "step S1 leaves item 2 of stave 1 with " + code0},
      {stave1, {"205 -1.5"}, "step S1 leaves item 2 of stave 1 with " + staveNo("-0.5")},
      {"8 200 0\n1 200 10 4", {"APP[TAIL.MUS, A]"}, "step S1 leaves added item 1 with " + staveNo("201")},
      {stave1, {"2500 99"}, "step S1 leaves item 2 of stave 1 with " + staveNo("0")},
      {stave1, {"2 = 200.5"}, "step S1 leaves item 2 of stave 1 with " + staveNo("200.5")},
      // The step named is the one after which the item became unreadable, not the last one.
      {stave1, {"2 = 0", "4 = 5"}, "step S1 leaves item 2 of stave 1 with " + staveNo("0")},
      {stave1, {"4 = 5", "2 = 0"}, "step S2 leaves item 2 of stave 1 with " + staveNo("0")},
      // Only what is written counts: a later step may mend the item.
      {stave1, {"2 = 0", "2 = 200"}, ""},
  };
  options.extendedParameters = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.operations.front());
    const std::string path = score("a.mus", c.input);
    Rows steps;
    for (size_t i = 0; i < c.operations.size(); ++i) {
      steps.push_back("S" + std::to_string(i + 1));
      step(steps.back(), "1", "", c.operations[i]);
    }
    macro("M", steps);
    const std::vector<uint8_t> old{'o', 'l', 'd'};
    writeBytes(output(path), old);
    host.messages.clear();
    if (c.expected.empty()) {
      EXPECT_EQ(edit("M", path), 1);
      EXPECT_TRUE(host.messages.empty());
      continue;
    }
    EXPECT_EQ(edit("M", path), 0);
    EXPECT_EQ(host.messages, Rows{"Unable to write file " + output(path) + ": " + c.expected + "."});
    EXPECT_EQ(readBytes(output(path)), old);
    EXPECT_EQ(scores.listing(), "a.EDI a.mus");
  }
}

TEST_F(EditRunTest, HeaderWordAboveTheFormatIsRefusedByTheWriter) {
  Items items;
  for (int i = 0; i < 16000; ++i)
    items.push_back({1, 1, static_cast<float>(i + 1)});
  const std::string path = score("big.mus", items);
  macro("M", {"S"});
  step("S", "", "", "INS[1, 1, P3]");
  EXPECT_EQ(edit("M", path), 0);
  EXPECT_EQ(host.messages, Rows{"Unable to write file " + output(path) +
                                ": its word total 128005 does not fit in a SCORE file header (0 to 65535)."});
  EXPECT_FALSE(written(path));
}

TEST_F(EditRunTest, CancelWhileWalking) {
  const std::string path = score("a.mus", "1 1 10\n1 1 20\n1 1 30");
  macro("M", {"S"});
  step("S", "", "", "4 = 1");
  // The reader pumps once per item; the third item of the step raises the question.
  host.keyAtPump = {6};
  host.yesNoAnswers = {true};
  EXPECT_EQ(edit("M", path), 0);
  EXPECT_EQ(host.questions, Rows{"Cancel Action: Do you wish to cancel the current operation?"});
  EXPECT_FALSE(written(path));
}

} // namespace
} // namespace velmora

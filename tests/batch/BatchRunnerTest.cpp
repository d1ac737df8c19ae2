#include "batch/BatchRunner.h"

#include <gtest/gtest.h>

#include "base/FileSystem.h"
#include "base/Format.h"
#include "model/ScoreReader.h"
#include "model/ScoreWriter.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

namespace velmora {
namespace {

using test::FakeHost;
using test::TempDir;
using Rows = std::vector<std::string>;

const char* const kSmallScore = "8 1 0 0 0 0 0 0 10\n1 1 10 4 10 0 1\n14 1 20";

// A plain read-and-write task, as the Edit run does without a macro.
struct CopyTask {
  CopyTask(FakeHost& h, CBatchState& s) : host(h), state(s) {
    task.task = Task::Edit;
    task.extension = [] { return std::string("EDI"); };
    task.perFile = [this](const std::string& path, const std::string& ext) {
      seenBusy = seenBusy && state.busy;
      const int opened = openAndReadGeneral(host, path, store);
      if (opened != 1) return opened;
      const int written = writePlain(host, store, outputPathFor(path, ext));
      store.clear();
      return written;
    };
    task.clearStore = [this] { ++clears; };
    task.resetBatchState = [this] { ++resets; };
  }
  FakeHost& host;
  CBatchState& state;
  CItemStore store;
  BatchTask task;
  bool seenBusy = true;
  int clears = 0;
  int resets = 0;
};

TEST(BatchRunner, SecondFileUnopenableStopsTheBatch) {
  TempDir dir;
  test::writeBytes(dir.file("a.mus"), test::buildScore(kSmallScore));
  test::writeBytes(dir.file("c.mus"), test::buildScore(kSmallScore));
  FakeHost host;
  host.fileChoices.push_back({dir.file("a.mus"), dir.file("b.mus"), dir.file("c.mus")});
  CBatchState state;
  CopyTask copy(host, state);

  EXPECT_EQ(runBatch(state, host, copy.task, false), BatchOutcome::Stopped);

  EXPECT_EQ(state.log.rows(), (Rows{"Editing with macro " + dir.file("a.mus"),
                                    "Editing with macro " + dir.file("b.mus"), "Operation cancelled."}));
  EXPECT_EQ(host.messages, (Rows{"Unable to open file " + dir.file("b.mus") + " for reading"}));
  // The first output is kept; the third file is never reached.
  EXPECT_EQ(dir.listing(), "a.EDI a.mus c.mus");
  EXPECT_TRUE(state.fileList.empty());
  EXPECT_FALSE(state.busy);
  EXPECT_TRUE(copy.seenBusy);
  EXPECT_EQ(copy.clears, 1);
  EXPECT_EQ(copy.resets, 1);
}

// What the frame tells a front end of each file.
struct OutcomeLog : IBatchProgress {
  void batchStarted() override {}
  void fileStarted(size_t, size_t) override {}
  void batchIdle() override {}
  void fileFinished(const FileOutcome& outcome) override {
    std::string line =
        std::to_string(outcome.index) + " " + outcome.path + " " + std::to_string(static_cast<int>(outcome.result));
    for (const std::string& output : outcome.outputs)
      line += " > " + output;
    lines.push_back(line);
  }
  Rows lines;
};

// Keep-going: each failed file is reported and the next one runs; the finish
// line counts the processed files, and a confirmed cancel still ends the batch.
TEST(BatchRunner, KeepGoingReportsEachFileAndGoesOn) {
  TempDir dir;
  for (const char* name : {"a.mus", "c.mus", "d.mus"})
    test::writeBytes(dir.file(name), test::buildScore(kSmallScore));
  test::writeBytes(dir.file("c.EDI"), {'o', 'l', 'd'});
  ASSERT_EQ(setReadOnlyFile(dir.file("c.EDI"), true), 0);
  FakeHost host;
  host.fileChoices.push_back({dir.file("a.mus"), dir.file("b.mus"), dir.file("c.mus"), dir.file("d.mus")});
  CBatchState state;
  state.keepGoing = true;
  OutcomeLog outcomes;
  state.progress = &outcomes;
  CopyTask copy(host, state);

  EXPECT_EQ(runBatch(state, host, copy.task, false), BatchOutcome::Finished);
  EXPECT_EQ(outcomes.lines,
            (Rows{"1 " + dir.file("a.mus") + " 0 > " + dir.file("a.EDI"), "2 " + dir.file("b.mus") + " 2",
                  "3 " + dir.file("c.mus") + " 3", "4 " + dir.file("d.mus") + " 0 > " + dir.file("d.EDI")}));
  EXPECT_EQ(state.log.rows().back(), "2 file(s) edited. Finished.");
  EXPECT_EQ(state.log.size(), 5u);
  EXPECT_EQ(copy.clears, 2);
  EXPECT_EQ(test::readBytes(dir.file("c.EDI")), (std::vector<uint8_t>{'o', 'l', 'd'}));
  setReadOnlyFile(dir.file("c.EDI"), false);

  FakeHost cancelling;
  cancelling.fileChoices.push_back({dir.file("a.mus"), dir.file("d.mus")});
  cancelling.keyAtPump = {1};
  cancelling.yesNoAnswers = {true};
  outcomes.lines.clear();
  CopyTask again(cancelling, state);
  EXPECT_EQ(runBatch(state, cancelling, again.task, false), BatchOutcome::Stopped);
  EXPECT_EQ(outcomes.lines, (Rows{"1 " + dir.file("a.mus") + " 4"}));
  EXPECT_EQ(state.log.rows().back(), "Operation cancelled.");
}

TEST(BatchRunner, TypedKeyCancelsOnlyWhenConfirmed) {
  TempDir dir;
  test::writeBytes(dir.file("a.mus"), test::buildScore(kSmallScore));
  test::writeBytes(dir.file("b.mus"), test::buildScore(kSmallScore));

  // "No": the run goes on to its finish line.
  {
    FakeHost host;
    host.fileChoices.push_back({dir.file("a.mus"), dir.file("b.mus")});
    host.keyAtPump = {2};
    host.yesNoAnswers = {false};
    CBatchState state;
    CopyTask copy(host, state);
    EXPECT_EQ(runBatch(state, host, copy.task, false), BatchOutcome::Finished);
    EXPECT_EQ(host.questions, (Rows{"Cancel Action: Do you wish to cancel the current operation?"}));
    EXPECT_EQ(state.log.rows().back(), "2 file(s) edited. Finished.");
    EXPECT_EQ(copy.resets, 1);
  }
  // "Yes" while reading the first file: it is not written and the batch stops.
  {
    TempDir out;
    test::writeBytes(out.file("a.mus"), test::buildScore(kSmallScore));
    FakeHost host;
    host.fileChoices.push_back({out.file("a.mus")});
    host.keyAtPump = {2};
    host.yesNoAnswers = {true};
    CBatchState state;
    CopyTask copy(host, state);
    EXPECT_EQ(runBatch(state, host, copy.task, false), BatchOutcome::Stopped);
    EXPECT_EQ(state.log.rows(), (Rows{"Editing with macro " + out.file("a.mus"), "Operation cancelled."}));
    EXPECT_EQ(out.listing(), "a.mus");
  }
}

TEST(BatchRunner, NothingChosenWritesNoLine) {
  FakeHost host;
  host.fileChoices.push_back({});
  CBatchState state;
  state.log.append("previous batch");
  CopyTask copy(host, state);
  EXPECT_EQ(runBatch(state, host, copy.task, false), BatchOutcome::NothingChosen);
  EXPECT_EQ(state.log.rows(), (Rows{"previous batch"}));
  EXPECT_FALSE(state.busy);
  ASSERT_EQ(host.fileRequests.size(), 1u);
  EXPECT_EQ(host.fileRequests[0].title, "Create Filelist for Conditional Macro Editing (Output = EDI)");
  EXPECT_EQ(host.fileRequests[0].kind, FileKind::Score);
}

TEST(BatchRunner, PreparationCancelEndsBeforeTheLogIsCleared) {
  FakeHost host;
  host.fileChoices.push_back({"/nowhere/a.mus"});
  CBatchState state;
  state.log.append("previous batch");
  BatchTask task;
  task.task = Task::Optimize;
  task.prepare = [&] {
    state.log.appendAndFollow(kOperationCancelled);
    return false;
  };
  bool ran = false;
  task.perFile = [&](const std::string&, const std::string&) { return ran = true, 1; };
  EXPECT_EQ(runBatch(state, host, task, false), BatchOutcome::PreparationCancelled);
  EXPECT_FALSE(ran);
  EXPECT_EQ(state.log.rows(), (Rows{"previous batch", "Operation cancelled."}));
  EXPECT_TRUE(state.fileList.empty());
  EXPECT_FALSE(state.busy);
}

TEST(BatchRunner, TitlesAndFinishLines) {
  // SCORE tasks show their output extension; PostScript tools and the count do not.
  EXPECT_EQ(fileListTitle(Task::Optimize, "OPT"), "Create Filelist for Optimization (Output = OPT)");
  EXPECT_EQ(fileListTitle(Task::RunMultiple, "run"), "Create Filelist for Running Multiple Tasks (Output = run)");
  EXPECT_EQ(fileListTitle(Task::ItemCount, "X"), "Select Files for Counting");
  EXPECT_EQ(fileListTitle(Task::AddCropMarks, "X"), "Create Filelist for Adding Crop Marks");
  EXPECT_EQ(taskStrings(Task::SplitEps).kind, FileKind::PostScript);
  EXPECT_EQ(strprintf(taskStrings(Task::SetBeamAngles).finishFormat, 3), "Beam angles set in 3 file(s). Finished.");
  EXPECT_EQ(strprintf(taskStrings(Task::ListFonts).finishFormat, 1),
            "1 file(s) processed creating font list. Finished.");
}

TEST(BatchRunner, OutputNaming) {
  EXPECT_EQ(outputPathFor("/scores/song.mus", "opt"), "/scores/song.opt");
  EXPECT_EQ(outputPathFor("/scores/song.v2.mus", "EDI"), "/scores/song.v2.EDI");
  // A name without "." gets one; a "." in a folder name does not count.
  EXPECT_EQ(outputPathFor("/scores/song", "EDI"), "/scores/song.EDI");
  EXPECT_EQ(outputPathFor("/my.scores/song", "EDI"), "/my.scores/song.EDI");
  EXPECT_EQ(outputPathFor("/scores/song.", "EDI"), "/scores/song.EDI");
}

TEST(BatchRunner, ProgressNotifications) {
  CBatchState state;
  state.currentLine = "Editing with macro BEAM /s/a.mus";
  state.log.appendAndFollow(state.currentLine);
  // Each notification replaces the last row; the justify warning adds one.
  state.notifyStep("UP");
  state.notifyStep("DOWN");
  EXPECT_EQ(state.log.rows(), (Rows{"Editing with macro BEAM /s/a.mus, step DOWN"}));
  state.notifyRenaming("A.EPS");
  EXPECT_EQ(state.log.rows().back(), "Editing with macro BEAM /s/a.mus, renaming to A.EPS");
  state.notifySaving("B.EPS");
  EXPECT_EQ(state.log.rows().back(), "Editing with macro BEAM /s/a.mus, saving to B.EPS");
  state.notifyJustifyWarning(7);
  EXPECT_EQ(state.log.rows(), (Rows{"Editing with macro BEAM /s/a.mus, saving to B.EPS",
                                    "!!Not enough space to justify ideally on stave 7."}));
}

} // namespace
} // namespace velmora

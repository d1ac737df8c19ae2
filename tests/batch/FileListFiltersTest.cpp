#include "batch/FileListFilters.h"

#include <gtest/gtest.h>

#include "batch/BatchRunner.h"
#include "support/FakeHost.h"

namespace velmora {
namespace {

using Patterns = std::vector<std::string>;

TEST(FileListFilters, BothListsExactly) {
  const auto& score = fileListFilters(FileKind::Score);
  ASSERT_EQ(score.size(), 11u);
  EXPECT_EQ(score[0], (FileFilter{"SCORE files (*.mus)", {"*.mus"}}));
  EXPECT_EQ(score[5], (FileFilter{"SCORE files (*.pt; *.pts)", {"*.pt", "*.pts"}}));
  EXPECT_EQ(score[9], (FileFilter{"SCORE files (*.bim)", {"*.bim"}}));
  EXPECT_EQ(score[10], (FileFilter{"All Files (*.*)", {"*.*"}}));
  const auto& postScript = fileListFilters(FileKind::PostScript);
  EXPECT_EQ(postScript,
            (std::vector<FileFilter>{
                {"EPS files (*.eps)", {"*.eps"}}, {"PS files (*.ps)", {"*.ps"}}, {"All Files (*.*)", {"*.*"}}}));
  // A pair without its pattern and anything after an empty description are dropped.
  EXPECT_EQ(parseFilterString("A (*.a) | *.a|B"), (std::vector<FileFilter>{{"A (*.a)", {"*.a"}}}));
  EXPECT_TRUE(parseFilterString("").empty());
}

TEST(FileListFilters, NamePatternOfTheRememberedFilter) {
  const Patterns expected{"*.mus", "*.jst", "*.jus", "*.pge", "*.pag", "*.pt",
                          "*.opt", "*.uno", "*.edi", "*.bim", "*.*"};
  for (int i = 0; i < 11; ++i)
    EXPECT_EQ(initialNamePattern(FileKind::Score, i), expected[static_cast<size_t>(i)]);
  // Out of range falls back to the first entry; the PostScript tasks always start with "*.eps".
  EXPECT_EQ(initialNamePattern(FileKind::Score, 11), "*.mus");
  EXPECT_EQ(initialNamePattern(FileKind::Score, -1), "*.mus");
  EXPECT_EQ(validFilterIndex(FileKind::PostScript, 5), 0);
  EXPECT_EQ(validFilterIndex(FileKind::PostScript, 2), 2);
  EXPECT_EQ(initialNamePattern(FileKind::PostScript, 1), "*.eps");
}

// Records what a front end is told.
struct ProgressLog : IBatchProgress {
  void batchStarted() override { events.push_back("started busy=" + std::to_string(state->busy)); }
  void fileStarted(size_t index, size_t count) override {
    events.push_back("file " + std::to_string(index) + " of " + std::to_string(count));
  }
  void batchIdle() override { events.push_back("idle busy=" + std::to_string(state->busy)); }
  CBatchState* state = nullptr;
  std::vector<std::string> events;
};

TEST(BatchProgress, FilesThenIdleOnEveryWayOut) {
  CBatchState state;
  ProgressLog progress;
  progress.state = &state;
  state.progress = &progress;
  test::FakeHost host;
  BatchTask task;
  task.task = Task::ItemCount;
  int calls = 0;
  task.perFile = [&](const std::string&, const std::string&) { return ++calls == 2 ? 0 : 1; };

  // Finished.
  host.fileChoices.push_back({"a", "b"});
  calls = 5;
  EXPECT_EQ(runBatch(state, host, task, false), BatchOutcome::Finished);
  EXPECT_EQ(progress.events, (Patterns{"started busy=1", "file 1 of 2", "file 2 of 2", "idle busy=0"}));
  // Stopped at the second of three.
  progress.events.clear();
  calls = 0;
  host.fileChoices.push_back({"a", "b", "c"});
  EXPECT_EQ(runBatch(state, host, task, false), BatchOutcome::Stopped);
  EXPECT_EQ(progress.events, (Patterns{"started busy=1", "file 1 of 3", "file 2 of 3", "idle busy=0"}));
  // Nothing chosen: no file, still idle at the end.
  progress.events.clear();
  EXPECT_EQ(runBatch(state, host, task, false), BatchOutcome::NothingChosen);
  EXPECT_EQ(progress.events, (Patterns{"started busy=1", "idle busy=0"}));
}

TEST(BatchProgress, FilterRememberedEvenWhenNothingIsChosen) {
  // The dialog returns the filter it was left on; an OK with an empty list keeps it too.
  struct FilterHost : test::FakeHost {
    int chooseFiles(FileListRequest& request, std::vector<std::string>& files) override {
      request.filterIndex = 3;
      return test::FakeHost::chooseFiles(request, files);
    }
  } host;
  CBatchState state;
  BatchTask task;
  task.task = Task::Optimize;
  EXPECT_EQ(runBatch(state, host, task, false), BatchOutcome::NothingChosen);
  EXPECT_EQ(state.filterIndex, 3);
}

} // namespace
} // namespace velmora

#include <gtest/gtest.h>

#include <filesystem>

#include "app/CCommandHandlers.h"
#include "base/FileSystem.h"
#include "staves/StaveFixture.h"

namespace velmora {
namespace {

using namespace test;
using Rows = std::vector<std::string>;

struct ScriptedSettingsDialogs : IStaveSettingsDialogs {
  bool editOptimizeOptions(OptimizeOptions& options) override {
    options.extension = "abc";
    options.showStaveDeleteWindow = 1;
    return true;
  }
  bool editUnoptimizeOptions(UnoptimizeOptions& options) override {
    options.insertBraces = 1;
    return false;
  }
};

class StaveCommandsTest : public ::testing::Test {
protected:
  void SetUp() override {
    FakeHost quiet;
    ASSERT_TRUE(doc.create(quiet, settingsDir.path()));
    // Both settings files exist, so the reloads are silent.
    ASSERT_TRUE(doc.settings.save(SettingsFile::Optimize, quiet));
    ASSERT_TRUE(doc.settings.save(SettingsFile::Unoptimize, quiet));
  }
  void saveOptimize(const OptimizeOptions& options) {
    doc.settings.optimize() = options;
    ASSERT_TRUE(doc.settings.save(SettingsFile::Optimize, host));
  }

  TempDir settingsDir;
  TempDir scores;
  CVelmoraDoc doc;
  CBatchState batch;
  FakeHost host;
  ScriptedStaveDialogs dialogs;
  CCommandHandlers handlers{doc, batch, host};
};

const char* kThreeStaves = "8 1 0 0 0 0 0 0 10\n1 1 10 4 10 0 1\n8 2 0 0 0 0 0 0 20\n8 3 0 0 0 0 0 0 30\n"
                           "1 3 10 4 10 0 1\n";

TEST_F(StaveCommandsTest, OptimizeRunsOverTheFilesAndOkToAllLastsOneBatch) {
  OptimizeOptions options;
  options.showStaveDeleteWindow = 1;
  saveOptimize(options);
  writeBytes(scores.file("a.mus"), buildScore(kThreeStaves));
  writeBytes(scores.file("b.mus"), buildScore(kThreeStaves));
  host.fileChoices.push_back({scores.file("a.mus"), scores.file("b.mus")});
  dialogs.staveAnswers = {StaveDialogResult::OkToAll};

  EXPECT_EQ(handlers.onOptimize(dialogs), BatchOutcome::Finished);
  ASSERT_EQ(host.fileRequests.size(), 1u);
  EXPECT_EQ(host.fileRequests[0].title, "Create Filelist for Optimization (Output = OPT)");
  EXPECT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.instrumentCalls, 0);
  EXPECT_EQ(batch.log.rows(), (Rows{"Optimizing " + scores.file("a.mus"), "Optimizing " + scores.file("b.mus"),
                                    "2 file(s) optimized. Finished."}));
  EXPECT_SCORE_FILE(scores.file("b.OPT"), "8 1 0 0 0 0 0 0 10\n1 1 10 4 10 0 1\n8 2 0 0 0 0 0 0 30\n"
                                          "1 2 10 4 10 0 1\n");
  EXPECT_TRUE(host.messages.empty());
  EXPECT_FALSE(batch.busy);

  // The next batch reads the window setting again.
  host.fileChoices.push_back({scores.file("a.mus")});
  EXPECT_EQ(handlers.onOptimize(dialogs), BatchOutcome::Finished);
  EXPECT_EQ(dialogs.shown.size(), 2u);
}

TEST_F(StaveCommandsTest, InstrumentNumbersAreAskedAfterTheReload) {
  OptimizeOptions options;
  options.showInstrumentDeleteWindow = 1;
  saveOptimize(options);
  doc.settings.optimize().showInstrumentDeleteWindow = 0;
  writeBytes(scores.file("a.mus"), buildScore(kThreeStaves));

  // Cancel: the line, no file, a clean batch state.
  batch.log.append("earlier batch");
  host.fileChoices.push_back({scores.file("a.mus")});
  dialogs.instrumentOk = false;
  EXPECT_EQ(handlers.onOptimize(dialogs), BatchOutcome::PreparationCancelled);
  EXPECT_EQ(dialogs.instrumentCalls, 1);
  EXPECT_EQ(batch.log.rows(), (Rows{"earlier batch", "Operation cancelled."}));
  EXPECT_FALSE(fileExists(scores.file("a.OPT")));
  EXPECT_TRUE(batch.fileList.empty());

  // OK: instruments 20 and 30 deleted; the list is gone after the batch.
  host.fileChoices.push_back({scores.file("a.mus")});
  dialogs.instrumentOk = true;
  dialogs.instrumentReply = {"20 30", false};
  EXPECT_EQ(handlers.onOptimize(dialogs), BatchOutcome::Finished);
  EXPECT_SCORE_FILE(scores.file("a.OPT"), "8 1 0 0 0 0 0 0 10\n1 1 10 4 10 0 1\n");
  EXPECT_TRUE(doc.optimizeBatch.instruments.empty());
  EXPECT_FALSE(doc.optimizeBatch.keepListed);

  // Forced instrument mode (the command line's --instruments) with opt.dat off.
  saveOptimize(OptimizeOptions{});
  host.fileChoices.push_back({scores.file("a.mus")});
  dialogs.instrumentReply = {"10", true};
  EXPECT_EQ(handlers.onOptimize(dialogs, true), BatchOutcome::Finished);
  EXPECT_SCORE_FILE(scores.file("a.OPT"), "8 1 0 0 0 0 0 0 10\n1 1 10 4 10 0 1\n");
}

TEST_F(StaveCommandsTest, UnoptimizeChoosesTheTemplateBeforeTheReload) {
  std::filesystem::remove(settingsDir.file("uno.dat"));
  writeBytes(scores.file("a.opt"), buildScore("8 1 0 0 0 0 0 0 20\n1 1 10 4 10 0 1\n14 1 20\n"));

  // Cancelled choice: no line, no message, nothing loaded.
  host.fileChoices.push_back({scores.file("a.opt")});
  EXPECT_EQ(handlers.onUnoptimize(dialogs), BatchOutcome::PreparationCancelled);
  ASSERT_EQ(dialogs.templateRequests.size(), 1u);
  const TemplateChoice& request = dialogs.templateRequests[0];
  EXPECT_EQ(request.title, "Choose Template for Unoptimization");
  EXPECT_EQ(request.defaultExtension, "tpl");
  EXPECT_EQ(request.initialName, "*.tpl");
  ASSERT_EQ(request.filters.size(), 12u);
  EXPECT_EQ(request.filters[0], (std::pair<std::string, std::string>{"TEMPLATE files (*.mus)", "*.mus"}));
  EXPECT_EQ(request.filters[11], (std::pair<std::string, std::string>{"All Files (*.*)", "*.*"}));
  EXPECT_EQ(request.selectedFilter, 10u);
  EXPECT_TRUE(batch.log.rows().empty());
  EXPECT_TRUE(host.messages.empty());

  // A template that cannot be opened ends the batch before uno.dat is read.
  dialogs.templatePath = scores.file("none.tpl");
  host.fileChoices.push_back({scores.file("a.opt")});
  EXPECT_EQ(handlers.onUnoptimize(dialogs), BatchOutcome::PreparationCancelled);
  EXPECT_EQ(host.messages, Rows{"Unable to open file " + scores.file("none.tpl") + " for reading"});
  EXPECT_TRUE(batch.log.rows().empty());

  // A good template: loaded, then uno.dat, then the files; cleared after the batch.
  host.messages.clear();
  writeBytes(scores.file("full.tpl"), buildScore("8 1 0 0 0 0 0 0 10\n8 2 0 0 0 0 0 0 20\n"));
  dialogs.templatePath = scores.file("full.tpl");
  host.fileChoices.push_back({scores.file("a.opt")});
  EXPECT_EQ(handlers.onUnoptimize(dialogs), BatchOutcome::Finished);
  EXPECT_EQ(host.messages, Rows{"Unable to open file " + settingsDir.file("uno.dat") + " for reading"});
  EXPECT_EQ(host.fileRequests.back().title, "Create Filelist for Unoptimization (Output = UNO)");
  EXPECT_EQ(batch.log.rows(), (Rows{"Unoptimizing " + scores.file("a.opt"), "1 file(s) unoptimized. Finished."}));
  EXPECT_SCORE_FILE(scores.file("a.UNO"), "8 2 0 0 0 0 0 0 20\n1 2 10 4 10 0 1\n14 2 20\n"
                                          "8 1 0 0 0 0 0 0 10\n2 1 10 0 -2 0 1\n14 1 20\n");
  EXPECT_FALSE(doc.unoptimizeTemplate.loaded());
}

TEST_F(StaveCommandsTest, ARefusedFileStopsTheBatch) {
  writeBytes(scores.file("full.tpl"), buildScore("8 1 0 0 0 0 0 0 10\n"));
  writeBytes(scores.file("a.opt"), buildScore("8 1 0 0 0 0 0 0 10\n"));
  writeBytes(scores.file("b.opt"), buildScore("8 1 0 0 0 0 0 0 99\n"));
  writeBytes(scores.file("c.opt"), buildScore("8 1 0 0 0 0 0 0 10\n"));
  dialogs.templatePath = scores.file("full.tpl");
  host.fileChoices.push_back({scores.file("a.opt"), scores.file("b.opt"), scores.file("c.opt")});
  EXPECT_EQ(handlers.onUnoptimize(dialogs), BatchOutcome::Stopped);
  EXPECT_EQ(batch.log.rows(), (Rows{"Unoptimizing " + scores.file("a.opt"), "Unoptimizing " + scores.file("b.opt"),
                                    "Operation cancelled."}));
  EXPECT_TRUE(fileExists(scores.file("a.UNO")));
  EXPECT_FALSE(fileExists(scores.file("b.UNO")));
  EXPECT_FALSE(fileExists(scores.file("c.UNO")));
  EXPECT_FALSE(doc.unoptimizeTemplate.loaded());
  EXPECT_TRUE(doc.store.empty());
}

TEST_F(StaveCommandsTest, SettingsCommandsWriteOnOkOnly) {
  ScriptedSettingsDialogs settingsDialogs;
  handlers.onOptimizeSettings(settingsDialogs);
  EXPECT_EQ(doc.settings.optimize().extension, "ABC");
  OptimizeOptions stored;
  ASSERT_EQ(loadRecordFile(settingsDir.file("opt.dat"), stored), LoadResult::Loaded);
  EXPECT_EQ(stored.extension, "ABC");
  EXPECT_EQ(stored.showStaveDeleteWindow, 1);

  handlers.onUnoptimizeSettings(settingsDialogs);
  EXPECT_EQ(doc.settings.unoptimize().insertBraces, 0);
  UnoptimizeOptions unoStored;
  ASSERT_EQ(loadRecordFile(settingsDir.file("uno.dat"), unoStored), LoadResult::Loaded);
  EXPECT_EQ(unoStored.insertBraces, 0);
}

} // namespace
} // namespace velmora

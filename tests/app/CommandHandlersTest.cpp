#include "app/CCommandHandlers.h"

#include <gtest/gtest.h>

#include <set>

#include "app/CommandTable.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

namespace velmora {
namespace {

using test::FakeHost;
using test::TempDir;
using Rows = std::vector<std::string>;

struct ScriptedItemCountDialog : IItemCountDialogs {
  bool editItemCountOptions(ItemCountOptions& options) override {
    shown = options.skipBlankStaves;
    options.skipBlankStaves = 1;
    return answer;
  }
  bool answer = true;
  int shown = -1;
};

class CommandHandlersTest : public ::testing::Test {
protected:
  void SetUp() override {
    FakeHost quiet;
    ASSERT_TRUE(doc.create(quiet, settingsDir.path()));
  }
  TempDir settingsDir;
  TempDir scores;
  CVelmoraDoc doc;
  CBatchState batch;
  FakeHost host;
  CCommandHandlers handlers{doc, batch, host};
};

TEST_F(CommandHandlersTest, ItemCountRunsOverTheChosenFiles) {
  test::writeBytes(scores.file("a.mus"), test::buildScore("8 1 0\n1 1 10 4 10 0 1\n8 2 0\n3 2 1.5"));
  host.fileChoices.push_back({scores.file("a.mus"), scores.file("gone.mus")});

  EXPECT_EQ(handlers.onRunItemCount(), BatchOutcome::Finished);

  // The missing settings file, then the missing score; the run goes on.
  EXPECT_EQ(host.messages, (Rows{"Unable to load settings! Using Defaults...",
                                 "Unable to open file " + scores.file("gone.mus") + " for reading"}));
  ASSERT_EQ(host.fileRequests.size(), 1u);
  EXPECT_EQ(host.fileRequests[0].title, "Select Files for Counting");
  const Rows& rows = batch.log.rows();
  ASSERT_EQ(rows.size(), 3u + 28u);
  EXPECT_EQ(rows[0], "Reading item count for " + scores.file("a.mus"));
  EXPECT_EQ(rows[1], "Reading item count for " + scores.file("gone.mus"));
  EXPECT_EQ(rows[2], "2 file(s) edited. Finished.");
  EXPECT_EQ(rows[4], "The 2 file(s) selected contain(s):");
  EXPECT_EQ(rows[6], "\tStaves:\t2");
  EXPECT_EQ(rows[8], "\tItems:\t\t4");
  EXPECT_EQ(rows.back(), "");
  EXPECT_FALSE(batch.busy);
  EXPECT_TRUE(batch.fileList.empty());
}

TEST_F(CommandHandlersTest, ItemCountCancelAndEmptyChoice) {
  // Choosing nothing: no line at all.
  host.fileChoices.push_back({});
  EXPECT_EQ(handlers.onRunItemCount(), BatchOutcome::NothingChosen);
  EXPECT_TRUE(batch.log.rows().empty());

  // A confirmed key stops the count without a result block.
  test::writeBytes(scores.file("a.mus"), test::buildScore("1 1 10 4\n1 1 20 4"));
  host.fileChoices.push_back({scores.file("a.mus"), scores.file("a.mus")});
  host.keyAtPump = {host.pumps + 1};
  host.yesNoAnswers = {true};
  EXPECT_EQ(handlers.onRunItemCount(), BatchOutcome::Stopped);
  EXPECT_EQ(batch.log.rows(), (Rows{"Reading item count for " + scores.file("a.mus"), "Operation cancelled."}));
}

TEST_F(CommandHandlersTest, ItemCountSettingsAreWrittenWhenTheDialogCloses) {
  ScriptedItemCountDialog dialog;
  dialog.answer = false;
  handlers.onItemCountSettings(dialog);
  // Cancel keeps the value but still writes the file.
  EXPECT_EQ(doc.settings.itemCount().skipBlankStaves, 0);
  EXPECT_EQ(test::readBytes(settingsDir.file("SCORCNT2.DAT")), (std::vector<uint8_t>{0x7B, 1, 0, 0, 0, 0, 0, 0}));

  dialog.answer = true;
  handlers.onItemCountSettings(dialog);
  EXPECT_EQ(doc.settings.itemCount().skipBlankStaves, 1);
  EXPECT_EQ(test::readBytes(settingsDir.file("SCORCNT2.DAT")), (std::vector<uint8_t>{0x7B, 1, 0, 0, 1, 0, 0, 0}));

  // The next run reads the option and leaves out the blank stave.
  test::writeBytes(scores.file("a.mus"), test::buildScore("8 1 0\n1 1 10 4 10 0 1\n8 2 0\n3 2 1.5"));
  host.fileChoices.push_back({scores.file("a.mus")});
  handlers.onRunItemCount();
  EXPECT_EQ(batch.log.rows()[5], "\tStaves:\t\t1");
  EXPECT_EQ(batch.log.rows()[6], "\t(1 blank stave(s) NOT included)");
}

TEST(CommandTable, BusyRuleAndToolbars) {
  const std::set<int> guarded{32771, 32772, 32774, 32775, 32776, 32785, 32788, 32789, 32790, 32791, 32792, 32793, 32794,
                              32795, 32796, 32797, 32798, 32799, 32801, 32802, 32805, 32811, 32812, 32813, 57665};
  for (const CommandInfo& c : commandTable()) {
    EXPECT_TRUE(isCommandEnabled(c.id, false)) << c.id;
    EXPECT_EQ(isCommandEnabled(c.id, true), !guarded.count(c.id)) << c.id;
  }
  EXPECT_EQ(commandTable().size(), 29u);
  EXPECT_EQ(mainToolbar().size(), 18u);
  EXPECT_EQ(postScriptToolbar().size(), 8u);
  ASSERT_NE(findCommand(cmd::kCropSettings), nullptr);
  EXPECT_STREQ(findCommand(cmd::kCropSettings)->text, "&Crop Mark Settings...\tCrtl+M");
  EXPECT_STREQ(findCommand(cmd::kJustify)->prompt, "Remove overlaps between notes in SCORE files\nJustify");
}

} // namespace
} // namespace velmora

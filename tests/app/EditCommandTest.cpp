#include <gtest/gtest.h>

#include "app/CCommandHandlers.h"
#include "edit/EditFixtures.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

namespace velmora {
namespace {

using test::FakeHost;
using test::TempDir;
using Rows = std::vector<std::string>;

class EditCommandTest : public ::testing::Test {
protected:
  void SetUp() override {
    FakeHost quiet;
    ASSERT_TRUE(doc.create(quiet, settingsDir.path()));
    ASSERT_TRUE(doc.settings.save(SettingsFile::Edit, quiet));
    project = doc.settings.projectFolder();
    test::writeStep(project, "S1", {"", "1", "", "5 = 9", 0});
    test::writeStep(project, "S2", {"", "1", "", "6 = 9", 0});
    test::writeMacro(project, "DEMO", {"S1", "S2"});
    test::writeMacro(project, "A", {});
    test::writeBytes(scores.file("a.mus"), test::buildScore("1 1 10 4\n1 1 20 4"));
    test::writeBytes(scores.file("b.mus"), test::buildScore("1 1 10 4"));
  }
  Rows outputItems(const std::string& name) {
    Rows rows;
    for (const auto& item : test::fileItems(test::readBytes(scores.file(name)))) {
      std::string row;
      for (float p : item)
        row += (row.empty() ? "" : " ") + std::to_string(static_cast<int>(p));
      rows.push_back(row);
    }
    return rows;
  }

  TempDir settingsDir;
  TempDir scores;
  std::string project;
  CVelmoraDoc doc;
  CBatchState batch;
  FakeHost host;
  test::ScriptedEditDialogs dialogs;
  CCommandHandlers handlers{doc, batch, host};
};

TEST_F(EditCommandTest, CancelInSelectAMacroDoesNothing) {
  EXPECT_EQ(handlers.onEdit(dialogs), BatchOutcome::PreparationCancelled);
  ASSERT_EQ(dialogs.requests.size(), 1u);
  EXPECT_EQ(dialogs.requests[0].macros, (Rows{"A", "DEMO"}));
  EXPECT_EQ(dialogs.requests[0].preselected, "A");
  EXPECT_EQ(dialogs.requests[0].projectFolder, project);
  EXPECT_TRUE(host.fileRequests.empty());
  EXPECT_TRUE(batch.log.rows().empty());
  EXPECT_TRUE(doc.lastMacro.empty());
}

TEST_F(EditCommandTest, RunsTheChosenMacroOverTheFiles) {
  dialogs.choices = {"DEMO"};
  host.fileChoices.push_back({scores.file("a.mus"), scores.file("b.mus")});
  EXPECT_EQ(handlers.onEdit(dialogs), BatchOutcome::Finished);
  ASSERT_EQ(host.fileRequests.size(), 1u);
  EXPECT_EQ(host.fileRequests[0].title, "Create Filelist for Conditional Macro Editing (Output = EDI)");
  EXPECT_EQ(batch.log.rows(),
            (Rows{"Editing with macro DEMO " + scores.file("a.mus") + ", step S2",
                  "Editing with macro DEMO " + scores.file("b.mus") + ", step S2", "2 file(s) edited. Finished."}));
  EXPECT_EQ(outputItems("a.EDI"), (Rows{"1 1 10 4 9 9", "1 1 20 4 9 9"}));
  EXPECT_EQ(outputItems("b.EDI"), (Rows{"1 1 10 4 9 9"}));
  EXPECT_TRUE(host.messages.empty());
  EXPECT_FALSE(batch.busy);

  // The last macro is preselected next time, or the first one when the option is off.
  EXPECT_EQ(doc.lastMacro, "DEMO");
  EXPECT_EQ(handlers.onEdit(dialogs), BatchOutcome::PreparationCancelled);
  EXPECT_EQ(dialogs.requests.back().preselected, "DEMO");
  doc.settings.edit().rememberLastMacro = 0;
  EXPECT_EQ(handlers.onEdit(dialogs), BatchOutcome::PreparationCancelled);
  EXPECT_EQ(dialogs.requests.back().preselected, "A");
}

TEST_F(EditCommandTest, YesToAllHoldsUntilEdiDatIsReadAgain) {
  doc.settings.edit().promptBeforeOperation = 1;
  ASSERT_TRUE(doc.settings.save(SettingsFile::Edit, host));
  doc.settings.edit().promptBeforeOperation = 0;
  // The batch re-reads edi.dat, so the prompt comes back on; "Yes To All" covers both files.
  dialogs.choices = {"DEMO", "DEMO"};
  dialogs.defaultAnswer = PromptAnswer::YesToAll;
  host.fileChoices.push_back({scores.file("a.mus"), scores.file("b.mus")});
  EXPECT_EQ(handlers.onEdit(dialogs), BatchOutcome::Finished);
  EXPECT_EQ(dialogs.prompts.size(), 1u);
  EXPECT_EQ(doc.settings.edit().promptBeforeOperation, 0);
  EXPECT_EQ(outputItems("b.EDI"), (Rows{"1 1 10 4 9 9"}));
  // The next run reads edi.dat again and asks again.
  host.fileChoices.push_back({scores.file("b.mus")});
  EXPECT_EQ(handlers.onEdit(dialogs), BatchOutcome::Finished);
  EXPECT_EQ(dialogs.prompts.size(), 2u);
}

TEST_F(EditCommandTest, AStoppedFileEndsTheBatch) {
  dialogs.choices = {"DEMO"};
  host.fileChoices.push_back({scores.file("a.mus"), scores.file("gone.mus"), scores.file("b.mus")});
  EXPECT_EQ(handlers.onEdit(dialogs), BatchOutcome::Stopped);
  EXPECT_EQ(batch.log.rows(), (Rows{"Editing with macro DEMO " + scores.file("a.mus") + ", step S2",
                                    "Editing with macro DEMO " + scores.file("gone.mus"), "Operation cancelled."}));
  EXPECT_EQ(host.messages, Rows{"Unable to open file " + scores.file("gone.mus") + " for reading"});
  EXPECT_FALSE(test::readBytes(scores.file("a.EDI")).empty());
  EXPECT_TRUE(test::readBytes(scores.file("b.EDI")).empty());
  EXPECT_TRUE(doc.store.empty());
  EXPECT_TRUE(batch.fileList.empty());
}

} // namespace
} // namespace velmora

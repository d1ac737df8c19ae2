#include <gtest/gtest.h>

#include "app/CCommandHandlers.h"
#include "justify/JustifySettings.h"
#include "settings/Serialize.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

namespace velmora {
namespace {

using test::FakeHost;
using test::TempDir;
using Rows = std::vector<std::string>;

struct ScriptedDialogs : IJustifyDialogs {
  PromptAnswer promptBeforeOperation(const JustifyPrompt& prompt) override {
    prompts.push_back(prompt.text);
    if (answers.empty()) return PromptAnswer::Yes;
    const PromptAnswer a = answers.front();
    answers.erase(answers.begin());
    return a;
  }
  bool editJustifySettings(JustifyOptions& options) override {
    shown = options;
    options.extension = "jus";
    options.minimumSpace = 0.75f;
    return confirm;
  }
  std::vector<std::string> prompts;
  std::vector<PromptAnswer> answers;
  JustifyOptions shown;
  bool confirm = true;
};

constexpr const char* kClash = "2 1 10 1\n1 1 20 5 10\n1 1 22 5 10\n14 1 110\n";
// Notes on L and R: cannot be cleared.
constexpr const char* kStuck = "1 1 20 5 10\n1 1 22 5 10\n14 1 22\n";

class JustifyCommandsTest : public ::testing::Test {
protected:
  void SetUp() override {
    FakeHost quiet;
    ASSERT_TRUE(doc.create(quiet, settingsDir.path()));
    test::writeBytes(scores.file("a.mus"), test::buildScore(kStuck));
    test::writeBytes(scores.file("b.mus"), test::buildScore(kClash));
  }
  void saveJustDat(const JustifyOptions& options) {
    ASSERT_TRUE(saveRecordFile(settingsDir.file("just.dat"), options));
  }
  TempDir settingsDir;
  TempDir scores;
  CVelmoraDoc doc;
  CBatchState batch;
  FakeHost host;
  ScriptedDialogs dialogs;
  CCommandHandlers handlers{doc, batch, host};
};

TEST_F(JustifyCommandsTest, RunsOverTheChosenFiles) {
  host.fileChoices.push_back({scores.file("a.mus"), scores.file("b.mus")});
  EXPECT_EQ(handlers.onJustify(dialogs), BatchOutcome::Finished);
  ASSERT_EQ(host.fileRequests.size(), 1u);
  EXPECT_EQ(host.fileRequests[0].title, "Create Filelist for Justification (Output = JST)");
  // The missing "just.dat" is reported and the values in memory are used.
  EXPECT_EQ(host.messages, (Rows{"Unable to open file " + settingsDir.file("just.dat") + " for reading"}));
  EXPECT_EQ(batch.log.rows(),
            (Rows{"Justifying " + scores.file("a.mus"), "!!Not enough space to justify ideally on stave 1.",
                  "Justifying " + scores.file("b.mus"), "2 file(s) justified. Finished."}));
  EXPECT_EQ(scores.listing(), "a.JST a.mus b.JST b.mus");
  EXPECT_FALSE(batch.busy);
  EXPECT_TRUE(batch.fileList.empty());
  EXPECT_TRUE(doc.store.empty());
}

TEST_F(JustifyCommandsTest, SettingsAreReloadedAndYesToAllLastsOneRun) {
  JustifyOptions options;
  options.extension = "JUS";
  options.promptBeforeOperation = 1;
  saveJustDat(options);
  const auto stored = test::readBytes(settingsDir.file("just.dat"));
  test::writeBytes(scores.file("c.mus"), test::buildScore(kClash));
  // The title shows the extension in memory; the files get the reloaded one.
  host.fileChoices.push_back({scores.file("b.mus"), scores.file("c.mus")});
  dialogs.answers = {PromptAnswer::YesToAll};
  EXPECT_EQ(handlers.onJustify(dialogs), BatchOutcome::Finished);
  EXPECT_EQ(host.fileRequests[0].title, "Create Filelist for Justification (Output = JST)");
  EXPECT_EQ(dialogs.prompts, (Rows{"Conditions are TRUE for the following item in file " + scores.file("b.mus")}));
  EXPECT_EQ(scores.listing(), "a.mus b.JUS b.mus c.JUS c.mus");
  // Not saved: the next run asks again.
  EXPECT_EQ(test::readBytes(settingsDir.file("just.dat")), stored);
  EXPECT_EQ(doc.settings.justify().promptBeforeOperation, 1);
  host.fileChoices.push_back({scores.file("b.mus")});
  EXPECT_EQ(handlers.onJustify(dialogs), BatchOutcome::Finished);
  EXPECT_EQ(dialogs.prompts.size(), 2u);
}

TEST_F(JustifyCommandsTest, CancelAtThePromptStopsTheRun) {
  JustifyOptions options;
  options.promptBeforeOperation = 1;
  saveJustDat(options);
  host.fileChoices.push_back({scores.file("b.mus"), scores.file("a.mus")});
  dialogs.answers = {PromptAnswer::Cancel};
  EXPECT_EQ(handlers.onJustify(dialogs), BatchOutcome::Stopped);
  EXPECT_EQ(batch.log.rows(), (Rows{"Justifying " + scores.file("b.mus"), "Operation cancelled."}));
  EXPECT_EQ(scores.listing(), "a.mus b.mus");
  EXPECT_TRUE(doc.store.empty());

  // Nothing chosen: no line at all.
  host.fileChoices.push_back({});
  EXPECT_EQ(handlers.onJustify(dialogs), BatchOutcome::NothingChosen);
  EXPECT_EQ(batch.log.rows().size(), 2u);
}

TEST_F(JustifyCommandsTest, SettingsCommandWritesJustDatOnOk) {
  // Cancel writes nothing; the re-read before the dialog has the longer text.
  dialogs.confirm = false;
  handlers.onJustifySettings(dialogs);
  EXPECT_EQ(host.messages, (Rows{"Unable to open file " + settingsDir.file("just.dat") +
                                 " for reading. Please press OK to continue - Settings file will open where you can "
                                 "define new settings and save to file."}));
  EXPECT_EQ(settingsDir.listing(), "");
  EXPECT_EQ(doc.settings.justify(), JustifyOptions{});

  // OK stores the dialog's values with the extension upper-cased.
  dialogs.confirm = true;
  handlers.onJustifySettings(dialogs);
  JustifyOptions expected;
  expected.extension = "JUS";
  expected.minimumSpace = 0.75f;
  EXPECT_EQ(doc.settings.justify(), expected);
  EXPECT_EQ(test::readBytes(settingsDir.file("just.dat")), storeRecord(expected));
  EXPECT_EQ(dialogs.shown, JustifyOptions{});
}

} // namespace
} // namespace velmora

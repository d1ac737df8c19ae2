#include <gtest/gtest.h>

#include <filesystem>

#include "app/CCommandHandlers.h"
#include "beams/ScriptedBeamDialogs.h"
#include "edit/EditFixtures.h"
#include "justify/JustifyHelpers.h"
#include "staves/StaveFixture.h"

namespace velmora {
namespace {

using namespace test;

struct ConfirmingRunDialogs : IRunDialogs {
  bool editRunOptions(RunOptions& options) override {
    options = RunOptions{1, 0, 0, 1, "RUN", 0};
    return true;
  }
};

// Real SCORE files, copied before anything is written beside them.
TEST(RunCorpusTest, OptimizeAndEditInOneRunGiveWhatTheyGiveOneAfterTheOther) {
  if (corpusDir().empty()) GTEST_SKIP() << "no corpus";
  TempDir settingsDir, chained, separate;
  FakeHost quiet, host;
  CVelmoraDoc doc;
  ASSERT_TRUE(doc.create(quiet, settingsDir.path()));
  for (SettingsFile file : {SettingsFile::Run, SettingsFile::Optimize, SettingsFile::Edit})
    ASSERT_TRUE(doc.settings.save(file, quiet));
  const std::string project = doc.settings.projectFolder();
  writeStep(project, "NOTES", {"", "1", "P4 > 5", "9 = 77", 0});
  writeStep(project, "TEXTS", {"", "16", "", "DEL", 0});
  writeMacro(project, "M", {"NOTES", "TEXTS"});

  std::vector<std::string> inputs, optimized, names;
  for (const char* name : {"chor005.mus", "chopin2801.mus", "ex1.mus"}) {
    names.push_back(name);
    std::filesystem::copy_file(corpusDir() + name, chained.file(name));
    std::filesystem::copy_file(corpusDir() + name, separate.file(name));
    inputs.push_back(chained.file(name));
    optimized.push_back(outputPathFor(separate.file(name), "OPT"));
  }
  CBatchState batch;
  CCommandHandlers handlers(doc, batch, host);
  ConfirmingRunDialogs runDialogs;
  ScriptedStaveDialogs staveDialogs;
  ScriptedBeamDialogs beamDialogs;
  ScriptedJustifyDialogs justifyDialogs;
  ScriptedEditDialogs editDialogs;
  editDialogs.choices = {"M", "M"};

  host.fileChoices.push_back(inputs);
  EXPECT_EQ(handlers.onRunMultipleTasks(runDialogs, staveDialogs, beamDialogs, justifyDialogs, editDialogs),
            BatchOutcome::Finished);
  host.fileChoices.push_back({});
  for (const std::string& name : names)
    host.fileChoices.back().push_back(separate.file(name));
  EXPECT_EQ(handlers.onOptimize(staveDialogs), BatchOutcome::Finished);
  host.fileChoices.push_back(optimized);
  EXPECT_EQ(handlers.onEdit(editDialogs), BatchOutcome::Finished);
  EXPECT_EQ(host.messages, std::vector<std::string>{});

  for (const std::string& name : names) {
    const Bytes run = readBytes(outputPathFor(chained.file(name), "RUN"));
    ASSERT_FALSE(run.empty()) << name;
    EXPECT_EQ(fileItems(run), fileItems(readBytes(outputPathFor(separate.file(name), "EDI")))) << name;
    EXPECT_NE(fileItems(run), fileItems(readBytes(outputPathFor(separate.file(name), "OPT")))) << name;
    EXPECT_FALSE(std::filesystem::exists(outputPathFor(chained.file(name), "000"))) << name;
  }
}

} // namespace
} // namespace velmora

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>

#include "beams/BeamLibrary.h"
#include "count/ItemCount.h"
#include "edit/MacroFiles.h"
#include "edit/StepSyntax.h"
#include "settings/Settings.h"
#include "staves/Unoptimize.h"
#include "support/FakeHost.h"
#include "support/TempDir.h"

namespace velmora {
namespace {

using Names = std::vector<std::string>;

// The sample project as velmora-mksample writes it, into a folder whose name has a blank.
class SamplesTest : public ::testing::Test {
protected:
  void SetUp() override {
    settingsFolder = dir.path() + "my samples/";
    const std::string command = std::string("'") + VELMORA_MKSAMPLE + "' '" + settingsFolder + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    project = settingsFolder + "SAMPLES/";
  }

  test::TempDir dir;
  test::FakeHost host;
  std::string settingsFolder, project;
};

TEST_F(SamplesTest, SettingsFolderAndProjectFolder) {
  // Every settings file is there: a start-up shows no message.
  CSettings settings(settingsFolder);
  settings.loadAtStartup(host);
  EXPECT_TRUE(host.messages.empty()) << host.messages.front();
  EXPECT_EQ(settings.projectFolder(), project);
  // Run Multiple Tasks runs the whole chain but Unoptimize.
  const RunOptions& run = settings.run();
  EXPECT_EQ(run.runStaveTask, 1);
  EXPECT_EQ(run.staveTaskIsUnoptimize, 0);
  EXPECT_EQ(run.runBeamAngles, 1);
  EXPECT_EQ(run.runJustify, 1);
  EXPECT_EQ(run.runEdit, 1);
  EXPECT_EQ(settings.edit(), EditOptions{});
}

TEST_F(SamplesTest, EveryStepPassesTheEditorsChecks) {
  CEditFiles files(project, host);
  const Names steps = files.list(EditFileKind::Step);
  EXPECT_EQ(steps, (Names{"ALLEGRO", "BEAMSUP", "DELSLURS", "FOOTER", "STEMDOWN", "TEXTLEFT"}));
  for (const std::string& name : steps) {
    StepData step;
    ASSERT_TRUE(files.loadStep(name, step)) << name;
    // Stored as the editor's OK stores it: checking changes nothing.
    StepData checked = step;
    const FieldCheck check = normaliseAndCheckStep(checked, false);
    EXPECT_TRUE(check.ok()) << name << ": " << check.message;
    EXPECT_EQ(checked, step) << name;
  }
  // The language shown off: COMP, a TXT replacement, APP with the not-found flag.
  StepData step;
  ASSERT_TRUE(files.loadStep("TEXTLEFT", step));
  EXPECT_EQ(step.argument, "P4 < 17 && COMP[1] == 8 && COMP[2] == P2");
  EXPECT_EQ(step.operation, "3 = COMP[3]");
  ASSERT_TRUE(files.loadStep("ALLEGRO", step));
  EXPECT_EQ(step.argument, "TXT[Andante]");
  EXPECT_EQ(step.operation, "TXT[Allegro moderato]");
  ASSERT_TRUE(files.loadStep("FOOTER", step));
  EXPECT_EQ(step.operation, "APP[FOOTER.PGE, T]");
  EXPECT_TRUE(step.notFoundFlag());
  EXPECT_EQ(step.description, "Appends the engraver's line under the last stave\r\nof a page that has none");
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(SamplesTest, EveryMacroNamesExistingSteps) {
  CEditFiles files(project, host);
  EXPECT_EQ(files.list(EditFileKind::Macro), (Names{"DEMO", "FOOTER", "LAYOUT", "STEMS", "TEMPO"}));
  std::set<std::string> used;
  for (const std::string& name : files.list(EditFileKind::Macro)) {
    MacroData macro;
    ASSERT_TRUE(files.loadMacroForEditing(name, macro)) << name;
    EXPECT_FALSE(macro.steps.empty()) << name;
    used.insert(macro.steps.begin(), macro.steps.end());
  }
  // Loading for editing reports a missing step; there is none.
  EXPECT_TRUE(host.messages.empty());
  // DELSLURS stays unused, for the report's redundant-step line.
  EXPECT_EQ(used, (std::set<std::string>{"ALLEGRO", "BEAMSUP", "FOOTER", "STEMDOWN", "TEXTLEFT"}));
}

TEST_F(SamplesTest, ScoresAndTemplateReadCleanly) {
  // The chorale: three staves, the organ's blank, four beams, two texts.
  ItemCountTotals chorale;
  ASSERT_EQ(countFile(host, project + "chorale.mus", chorale), 1);
  EXPECT_EQ(chorale.staves, 3);
  EXPECT_EQ(chorale.blankStaves, 1);
  EXPECT_EQ(chorale.codeItems[6], 4);
  EXPECT_EQ(chorale.codeItems[16], 2);
  EXPECT_EQ(chorale.codeItems[5], 1);
  for (const char* name : {"minuet.mus", "FOOTER.PGE", "chorale.tpl"}) {
    ItemCountTotals totals;
    EXPECT_EQ(countFile(host, project + name, totals), 1) << name;
    EXPECT_GT(totals.items, 0) << name;
  }
  EXPECT_TRUE(host.messages.empty()) << host.messages.front();
  // The template names the chorale's instruments and braces the choir staves.
  CUnoptimizeTemplate tpl;
  ASSERT_TRUE(loadTemplate(host, project + "chorale.tpl", tpl));
  EXPECT_EQ(tpl.instrument(1), 10);
  EXPECT_EQ(tpl.instrument(2), 20);
  EXPECT_EQ(tpl.instrument(3), 30);
  EXPECT_EQ(tpl.span(1), 2);
  EXPECT_EQ(tpl.span(2), 0);
}

TEST_F(SamplesTest, EightBeamLibraries) {
  for (int index = 0; index < kBeamLibraryCount; ++index) {
    std::vector<std::string> records;
    std::string why;
    const std::string path = beamLibraryPath(project, index);
    ASSERT_EQ(readLibraryRecords(path, records, why), LibraryRead::Loaded) << path << ": " << why;
    EXPECT_FALSE(records.empty()) << path;
    // Written in the run's own record format.
    for (const std::string& record : records)
      EXPECT_EQ(beamRecordText(parseBeamRecord(record)), record) << path;
  }
  std::vector<std::string> records;
  std::string why;
  ASSERT_EQ(readLibraryRecords(project + "BUP8THS.DAT", records, why), LibraryRead::Loaded);
  ASSERT_FALSE(records.empty());
  EXPECT_EQ(records[0], "\t9\t<9\t8\t16.000\t15.000\t");
}

} // namespace
} // namespace velmora

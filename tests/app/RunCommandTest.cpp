#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <optional>

#include "app/CCommandHandlers.h"
#include "base/FileSystem.h"
#include "beams/BeamLibrary.h"
#include "beams/ScriptedBeamDialogs.h"
#include "edit/EditFixtures.h"
#include "justify/JustifyHelpers.h"
#include "settings/Serialize.h"
#include "staves/StaveFixture.h"

namespace velmora {
namespace {

using namespace test;
using Rows = std::vector<std::string>;

// "Run Multiple Tasks" as a scripted user: no reply cancels.
struct ScriptedRunDialogs : IRunDialogs {
  bool editRunOptions(RunOptions& options) override {
    shown.push_back(options);
    if (!reply) return false;
    options = *reply;
    return true;
  }
  std::optional<RunOptions> reply;
  std::vector<RunOptions> shown;
};

// The edit prompt, with a look at the disk while it is up.
struct WatchingEditDialogs : ScriptedEditDialogs {
  PromptAnswer promptBeforeOperation(const EditPrompt& prompt) override {
    if (onPrompt) onPrompt();
    return ScriptedEditDialogs::promptBeforeOperation(prompt);
  }
  std::function<void()> onPrompt;
};

RunOptions chain(bool staves, bool unoptimize, bool beams, bool justify, bool edit, std::string extension = "RUN") {
  return RunOptions{staves, unoptimize, beams, edit, std::move(extension), justify};
}

// Stave 2 has a staff item and no note; stave 3 a note and no staff item.
const char* kScore = "8 1 0 0 0 0 0 0 10\n1 1 10 4 10 0 1\n8 2 0 0 0 0 0 0 20\n1 3 10 4 10 0 1\n";
// Optimized (stave 2 gone), then edited (P5 of the notes 9).
const char* kResult = "8 1 0 0 0 0 0 0 10\n1 1 10 4 9 0 1\n1 2 10 4 9 0 1\n";

class RunCommandTest : public ::testing::Test {
protected:
  void SetUp() override {
    FakeHost quiet;
    ASSERT_TRUE(doc.create(quiet, settingsDir.path()));
    for (SettingsFile file : {SettingsFile::Run, SettingsFile::Optimize, SettingsFile::Unoptimize, SettingsFile::Edit,
                              SettingsFile::Justify, SettingsFile::Beam})
      ASSERT_TRUE(doc.settings.save(file, quiet));
    project = doc.settings.projectFolder();
    writeStep(project, "S1", {"", "1", "", "5 = 9", 0});
    writeMacro(project, "M", {"S1"});
    writeBytes(scores.file("a.mus"), buildScore(kScore));
    writeBytes(scores.file("b.mus"), buildScore(kScore));
  }
  BatchOutcome run(const RunOptions& options, const Rows& files) {
    runDialogs.reply = options;
    editDialogs.choices.push_back("M");
    host.fileChoices.push_back(files);
    return handlers.onRunMultipleTasks(runDialogs, staveDialogs, beamDialogs, justifyDialogs, editDialogs);
  }
  std::string in(const std::string& name) const { return scores.file(name); }

  TempDir settingsDir;
  TempDir scores;
  std::string project;
  CVelmoraDoc doc;
  CBatchState batch;
  FakeHost host;
  ScriptedRunDialogs runDialogs;
  ScriptedStaveDialogs staveDialogs;
  ScriptedBeamDialogs beamDialogs;
  ScriptedJustifyDialogs justifyDialogs;
  WatchingEditDialogs editDialogs;
  CCommandHandlers handlers{doc, batch, host};
};

TEST_F(RunCommandTest, OptimizeAndEditEndUnderTheRunExtension) {
  EXPECT_EQ(run(chain(true, false, false, false, true, "run"), {in("a.mus"), in("b.mus")}), BatchOutcome::Finished);
  EXPECT_EQ(host.fileRequests.at(0).title, "Create Filelist for Running Multiple Tasks (Output = run)");
  EXPECT_EQ(batch.log.rows(), (Rows{"Optimizing " + in("a.mus"), "Editing with macro M " + in("a.mus") + ", step S1",
                                    "Optimizing " + in("b.mus"), "Editing with macro M " + in("b.mus") + ", step S1",
                                    "2 file(s) run. Finished."}));
  EXPECT_SCORE_FILE(in("b.run"), kResult);
  EXPECT_EQ(scores.listing(), "a.mus a.run b.mus b.run");
  EXPECT_TRUE(host.messages.empty());
  EXPECT_FALSE(batch.busy);
  // The extension is stored as typed; the dialog opened on run.dat.
  RunOptions stored;
  ASSERT_EQ(loadRecordFile(settingsDir.file("run.dat"), stored), LoadResult::Loaded);
  EXPECT_EQ(stored, chain(true, false, false, false, true, "run"));
  EXPECT_EQ(runDialogs.shown.at(0), RunOptions{});
}

TEST_F(RunCommandTest, ARunExtensionEqualToTheInputsReplacesItOnlyAtTheEnd) {
  doc.settings.edit().promptBeforeOperation = 1;
  ASSERT_TRUE(doc.settings.save(SettingsFile::Edit, host));
  const Bytes original = readBytes(in("a.mus"));
  int prompts = 0;
  editDialogs.defaultAnswer = PromptAnswer::YesToAll;
  editDialogs.onPrompt = [&] {
    ++prompts;
    EXPECT_EQ(readBytes(in("a.mus")), original);
  };
  EXPECT_EQ(run(chain(true, false, false, false, true, "mus"), {in("a.mus")}), BatchOutcome::Finished);
  EXPECT_EQ(prompts, 1);
  // The tasks work in memory: the prompt names the input.
  EXPECT_EQ(editDialogs.prompts.at(0).inputPath, in("a.mus"));
  EXPECT_SCORE_FILE(in("a.mus"), kResult);
  EXPECT_EQ(scores.listing(), "a.mus b.mus");
}

TEST_F(RunCommandTest, NoTaskCopiesThroughTheWorkingFileAndInstrumentModeAsksNothing) {
  // Regrouped by stave; staff P4 and trailing zeros stay; no progress line.
  writeBytes(in("c.mus"), buildScore("8 2 0 5 0 0 0 0 20\n1 1 10 4 10 0 0\n8 1 0 3 0 0 0 0 10\n"));
  EXPECT_EQ(run(chain(false, false, false, false, false), {in("c.mus")}), BatchOutcome::Finished);
  EXPECT_SCORE_FILE(in("c.RUN"), "1 1 10 4 10 0 0\n8 1 0 3 0 0 0 0 10\n8 2 0 5 0 0 0 0 20\n");
  EXPECT_EQ(batch.log.rows(), Rows{"1 file(s) run. Finished."});
  EXPECT_TRUE(editDialogs.requests.empty());

  // Instrument mode: no dialog, so every stave with a staff item is kept.
  doc.settings.optimize().showInstrumentDeleteWindow = 1;
  ASSERT_TRUE(doc.settings.save(SettingsFile::Optimize, host));
  EXPECT_EQ(run(chain(true, false, false, false, false), {in("a.mus")}), BatchOutcome::Finished);
  EXPECT_EQ(staveDialogs.instrumentCalls, 0);
  EXPECT_SCORE_FILE(in("a.RUN"), "8 1 0 0 0 0 0 0 10\n1 1 10 4 10 0 1\n8 2 0 0 0 0 0 0 20\n");
}

TEST_F(RunCommandTest, AStopKeepsEarlierResultsAndLeavesNoWorkingFile) {
  // A JUST file is refused when it is copied.
  Bytes just = buildScore(kScore);
  const int32_t marker = kJustMarker;
  std::memcpy(just.data(), &marker, 4);
  writeBytes(in("j.mus"), just);
  EXPECT_EQ(run(chain(true, false, false, false, false), {in("a.mus"), in("j.mus"), in("b.mus")}),
            BatchOutcome::Stopped);
  EXPECT_EQ(batch.log.rows(), (Rows{"Optimizing " + in("a.mus"), "Optimizing " + in("j.mus"), "Operation cancelled."}));
  EXPECT_EQ(host.messages, Rows{in("j.mus") + " has been processed by the JUST program. Resave this file with the "
                                              "SM command in SCORE before processing with VELMORA"});
  EXPECT_EQ(scores.listing(), "a.RUN a.mus b.mus j.mus");
  EXPECT_TRUE(batch.fileList.empty());

  // A task that stops: its working file goes, the input stays as it was.
  host.messages.clear();
  writeMacro(project, "BROKEN", {"GONE"});
  const Bytes original = readBytes(in("b.mus"));
  editDialogs.choices = {"BROKEN"};
  host.fileChoices.push_back({in("b.mus")});
  runDialogs.reply = chain(true, false, false, false, true);
  EXPECT_EQ(handlers.onRunMultipleTasks(runDialogs, staveDialogs, beamDialogs, justifyDialogs, editDialogs),
            BatchOutcome::Stopped);
  EXPECT_EQ(batch.log.rows(),
            (Rows{"Optimizing " + in("b.mus"), "Editing with macro BROKEN " + in("b.mus") + ", step GONE",
                  "Operation cancelled."}));
  EXPECT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(readBytes(in("b.mus")), original);
  EXPECT_EQ(scores.listing(), "a.RUN a.mus b.mus j.mus");
  EXPECT_TRUE(doc.store.empty());
}

TEST_F(RunCommandTest, AFailedRenameIsLoggedAndKeepsBothFiles) {
  // A folder and a read-only file under the final names.
  std::filesystem::create_directory(in("a.RUN"));
  writeBytes(in("b.RUN"), {1, 2, 3});
  ASSERT_EQ(setReadOnlyFile(in("b.RUN"), true), 0);
  writeBytes(in("a.opt"), buildScore("1 1 10 4"));
  EXPECT_EQ(run(chain(false, false, false, false, false), {in("a.mus"), in("b.mus")}), BatchOutcome::Finished);
  EXPECT_EQ(batch.log.rows(), (Rows{"Unable to rename " + in("a.000") + " to " + in("a.RUN") +
                                        " (Is a directory); the result stays in " + in("a.000"),
                                    "Unable to rename " + in("b.000") + " to " + in("b.RUN") +
                                        " (Permission denied); the result stays in " + in("b.000"),
                                    "2 file(s) run. Finished."}));
  EXPECT_EQ(readBytes(in("b.RUN")), (Bytes{1, 2, 3}));
  EXPECT_SCORE_FILE(in("b.000"), kScore);

  // A file under the working name is the user's before the chain starts.
  EXPECT_EQ(run(chain(false, false, false, false, false), {in("b.mus")}), BatchOutcome::Stopped);
  EXPECT_EQ(host.messages, Rows{in("b.mus") + " cannot be run with multiple tasks: a file named like its working "
                                              "file, " + in("b.000") + ", already exists. Move or rename that file "
                                              "and try again."});
  EXPECT_SCORE_FILE(in("b.000"), kScore);

  // Later in the same run, an input needing that working file is refused.
  host.messages.clear();
  std::filesystem::remove(in("a.000"));
  std::filesystem::remove(in("b.000"));
  EXPECT_EQ(run(chain(false, false, false, false, false), {in("a.mus"), in("a.opt")}), BatchOutcome::Stopped);
  EXPECT_EQ(host.messages, Rows{in("a.opt") + " cannot be run with multiple tasks: its working file " + in("a.000") +
                                " holds the result of an earlier file of this run, which could not be renamed."});
  EXPECT_SCORE_FILE(in("a.000"), kScore);

  // An input that is its own working file is refused untouched.
  host.messages.clear();
  writeBytes(in("x.000"), buildScore("1 1 10 4"));
  EXPECT_EQ(run(chain(true, false, false, false, false), {in("x.000")}), BatchOutcome::Stopped);
  EXPECT_EQ(host.messages, Rows{in("x.000") + " cannot be run with multiple tasks: its extension is that of the "
                                              "working file (000). Rename the file and try again."});
  EXPECT_EQ(readBytes(in("x.000")), buildScore("1 1 10 4"));
}

TEST_F(RunCommandTest, TheFinalRenameWritesThroughLinksAndKeepsTheOldMode) {
  // An output kept as a link elsewhere: the file it names is replaced, the link stays.
  std::filesystem::create_directory(in("shared"));
  writeBytes(in("shared/a.RUN"), {1, 2, 3});
  ASSERT_EQ(::chmod(in("shared/a.RUN").c_str(), 0640), 0);
  std::filesystem::create_symlink(in("shared/a.RUN"), in("a.RUN"));
  EXPECT_EQ(run(chain(false, false, false, false, false), {in("a.mus")}), BatchOutcome::Finished);
  EXPECT_TRUE(std::filesystem::is_symlink(in("a.RUN")));
  EXPECT_SCORE_FILE(in("shared/a.RUN"), kScore);
  struct stat st {};
  ASSERT_EQ(::stat(in("shared/a.RUN").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);

  // A hard-linked output is left whole; the result stays in the working file.
  std::filesystem::remove(in("a.RUN"));
  writeBytes(in("a.RUN"), {4, 5});
  std::filesystem::create_hard_link(in("a.RUN"), in("twin"));
  EXPECT_EQ(run(chain(false, false, false, false, false), {in("a.mus")}), BatchOutcome::Finished);
  EXPECT_EQ(batch.log.rows(), (Rows{"Unable to rename " + in("a.000") + " to " + in("a.RUN") +
                                        " (it has other hard links; it was left unchanged); the result stays in " +
                                        in("a.000"),
                                    "1 file(s) run. Finished."}));
  EXPECT_EQ(readBytes(in("twin")), (Bytes{4, 5}));
  EXPECT_SCORE_FILE(in("a.000"), kScore);
}

TEST_F(RunCommandTest, EveryTaskPreparesAndRunsInTheFixedOrder) {
  // Only the chosen tasks' files are read, in chain order.
  for (const char* name : {"opt.dat", "uno.dat", "beam.dat", "just.dat", "edi.dat"})
    std::filesystem::remove(settingsDir.file(name));
  writeBytes(in("t.tpl"), buildScore("8 1 0 0 0 0 0 0 10\n8 2 0 0 0 0 0 0 20\n"));
  writeBytes(in("u.opt"), buildScore("8 1 0 0 0 0 0 0 10\n1 1 10 4 10 0 1\n14 1 20\n"));
  staveDialogs.templatePath = in("t.tpl");
  EXPECT_EQ(run(chain(true, true, true, true, true), {in("u.opt")}), BatchOutcome::Finished);
  Rows expected{"Unable to open file " + settingsDir.file("uno.dat") + " for reading",
                "Unable to open file " + settingsDir.file("beam.dat") + " for reading"};
  for (int i = 0; i < kBeamLibraryCount; ++i)
    expected.push_back("Unable to open file " + project + beamLibraryInfo(i).fileName + " for reading");
  expected.push_back("Unable to open file " + settingsDir.file("just.dat") + " for reading");
  expected.push_back("Unable to open file " + settingsDir.file("edi.dat") + " for reading");
  EXPECT_EQ(host.messages, expected);
  EXPECT_EQ(batch.log.rows(),
            (Rows{"Unoptimizing " + in("u.opt"), "Setting beam angles in " + in("u.opt"), "Justifying " + in("u.opt"),
                  "Editing with macro M " + in("u.opt") + ", step S1", "1 file(s) run. Finished."}));
  EXPECT_SCORE_FILE(in("u.RUN"), "8 1 0 0 0 0 0 0 10\n1 1 10 4 9 0 1\n14 1 20\n8 2 0 0 0 0 0 0 20\n"
                                 "2 2 10 0 -2 0 1\n14 2 20\n");
  // The libraries were saved after the last file; nothing stays in memory.
  EXPECT_TRUE(fileExists(project + beamLibraryInfo(kUp8ths).fileName));
  EXPECT_FALSE(doc.unoptimizeTemplate.loaded());
  EXPECT_TRUE(doc.beamLibraries.empty());
}

TEST_F(RunCommandTest, CancelsAndStopsInThePreparationsEndTheRun) {
  // Dialog cancelled: nothing saved, no file list.
  std::filesystem::remove(settingsDir.file("run.dat"));
  EXPECT_EQ(handlers.onRunMultipleTasks(runDialogs, staveDialogs, beamDialogs, justifyDialogs, editDialogs),
            BatchOutcome::PreparationCancelled);
  EXPECT_EQ(host.messages, Rows{"Unable to open file " + settingsDir.file("run.dat") + " for reading"});
  EXPECT_FALSE(fileExists(settingsDir.file("run.dat")));
  EXPECT_TRUE(host.fileRequests.empty());

  // Template cancelled, then the macro choice cancelled after the template and libraries loaded.
  runDialogs.reply = chain(true, true, true, false, true);
  EXPECT_EQ(handlers.onRunMultipleTasks(runDialogs, staveDialogs, beamDialogs, justifyDialogs, editDialogs),
            BatchOutcome::PreparationCancelled);
  EXPECT_TRUE(editDialogs.requests.empty());
  writeBytes(in("t.tpl"), buildScore("8 1 0 0 0 0 0 0 10\n"));
  staveDialogs.templatePath = in("t.tpl");
  EXPECT_EQ(handlers.onRunMultipleTasks(runDialogs, staveDialogs, beamDialogs, justifyDialogs, editDialogs),
            BatchOutcome::PreparationCancelled);
  EXPECT_EQ(editDialogs.requests.size(), 1u);
  EXPECT_TRUE(host.fileRequests.empty());
  EXPECT_FALSE(doc.unoptimizeTemplate.loaded());
  EXPECT_TRUE(batch.log.rows().empty());
  EXPECT_FALSE(batch.busy);

  // A beam run that stops saves no library.
  writeBytes(in("g.mus"), buildScore("6 1 10 9 8 30 11\n1 1 10 5 10\n1 1 20 7 10\n1 1 30 6 10\n"));
  EXPECT_EQ(run(chain(false, false, true, false, false), {in("g.mus"), in("gone.mus")}), BatchOutcome::Stopped);
  // The file that cannot be opened still gets its row: the cancel is not g's.
  EXPECT_EQ(batch.log.rows(), (Rows{"Setting beam angles in " + in("g.mus"), "Setting beam angles in " + in("gone.mus"),
                                    "Operation cancelled."}));
  EXPECT_FALSE(fileExists(project + beamLibraryInfo(kUp8ths).fileName));
  EXPECT_TRUE(doc.beamLibraries.empty());
}

} // namespace
} // namespace velmora

#include "app/GeneralSettings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/CCommandHandlers.h"
#include "app/CommandTable.h"
#include "edit/SyntaxHelp.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

namespace velmora {
namespace {

using test::FakeHost;
using test::TempDir;
using Rows = std::vector<std::string>;
namespace fs = std::filesystem;

// Chooses an entry and the explorer flag, or cancels; may press "New Project..." first.
struct ScriptedGeneralDialog : IGeneralSettingsDialog {
  bool editGeneralSettings(GeneralSettingsForm& form, const NewProjectAction& newProject) override {
    shown = form;
    for (const std::string& name : newProjects)
      newProject(name, form);
    afterNewProjects = form;
    if (choose >= 0) form.selected = choose;
    form.useExplorerDialog = explorer;
    return answer;
  }
  GeneralSettingsForm shown, afterNewProjects;
  Rows newProjects;
  int choose = -1;
  bool explorer = false;
  bool answer = true;
};

TEST(GeneralSettings, EntriesAndSelection) {
  TempDir dir;
  for (const char* name : {"beta", "Alpha", "SAMPLES", "..hidden"})
    fs::create_directory(dir.path() + name);
  test::writeBytes(dir.file("prefs.dat"), {});
  // Item 0 is the settings folder; then the folders only, sorted ignoring case; no "..".
  const Rows entries = projectDirectoryEntries(dir.path());
  EXPECT_EQ(entries, (Rows{"[.] (" + dir.path() + ")", "[..hidden]", "[Alpha]", "[beta]", "[SAMPLES]"}));
  // The project folder picks its entry; the settings folder item 0; a vanished folder none.
  EXPECT_EQ(projectEntryIndex(entries, dir.path(), dir.path()), 0);
  EXPECT_EQ(projectEntryIndex(entries, dir.path(), dir.path() + "SAMPLES/"), 4);
  EXPECT_EQ(projectEntryIndex(entries, dir.path(), dir.path() + "samples/"), 4);
  EXPECT_EQ(projectEntryIndex(entries, dir.path(), dir.path() + "gone/"), -1);
  // A settings folder that cannot be listed still offers item 0.
  EXPECT_EQ(projectDirectoryEntries(dir.path() + "missing/"), (Rows{"[.] (" + dir.path() + "missing/)"}));
}

TEST(GeneralSettings, NewProjectNames) {
  EXPECT_EQ(newProjectFolderName("my.project.mus"), "MY.PROJECT");
  EXPECT_EQ(newProjectFolderName("Songs"), "SONGS");
  EXPECT_EQ(newProjectFolderName("Songs."), "SONGS");
  EXPECT_EQ(newProjectFolderName(".mus"), "");
  EXPECT_EQ(newProjectFolderName("a/b"), "");
  EXPECT_EQ(newProjectFolderName("..."), "");

  TempDir dir;
  FakeHost host;
  GeneralSettingsForm form{projectDirectoryEntries(dir.path()), 0, false};
  // Created below the settings folder; the selection stays on its entry.
  EXPECT_TRUE(createNewProject(host, dir.path(), "zeta.txt", form));
  EXPECT_TRUE(fs::is_directory(dir.path() + "ZETA"));
  EXPECT_EQ(form.projectEntries.back(), "[ZETA]");
  EXPECT_EQ(form.selected, 0);
  form.selected = 1;
  EXPECT_TRUE(createNewProject(host, dir.path(), "alpha", form));
  EXPECT_EQ(form.projectEntries, (Rows{"[.] (" + dir.path() + ")", "[ALPHA]", "[ZETA]"}));
  EXPECT_EQ(form.selected, 2);
  EXPECT_TRUE(host.messages.empty());
  // An existing folder, nothing usable, a separator, "." or "..": the message, the form unchanged.
  const GeneralSettingsForm before = form;
  for (const char* bad : {"zeta", ".txt", "x/y", "..", "..."})
    EXPECT_FALSE(createNewProject(host, dir.path(), bad, form)) << bad;
  EXPECT_EQ(host.messages, Rows(5, "Error creating directory."));
  EXPECT_EQ(form, before);
  EXPECT_FALSE(fs::exists(dir.path() + "x"));
}

TEST(GeneralSettings, ApplyingTheForm) {
  GeneralPrefs prefs;
  prefs.projectSubfolder = "OLD/";
  GeneralSettingsForm form{{"[.] (/s/)", "[A]", "[B]"}, 2, true};
  applyGeneralSettingsForm(form, prefs);
  EXPECT_EQ(prefs.projectSubfolder, "B/");
  EXPECT_EQ(prefs.useExplorerDialog, 1);
  form.selected = 0;
  form.useExplorerDialog = false;
  applyGeneralSettingsForm(form, prefs);
  EXPECT_EQ(prefs.projectSubfolder, "");
  EXPECT_EQ(prefs.useExplorerDialog, 0);
  // No selection keeps the project folder.
  prefs.projectSubfolder = "A/";
  form.selected = -1;
  applyGeneralSettingsForm(form, prefs);
  EXPECT_EQ(prefs.projectSubfolder, "A/");
}

class GeneralSettingsCommand : public ::testing::Test {
protected:
  void SetUp() override {
    FakeHost quiet;
    ASSERT_TRUE(doc.create(quiet, settings.path()));
    fs::create_directory(settings.path() + "SAMPLES");
  }
  TempDir settings;
  CVelmoraDoc doc;
  CBatchState batch;
  FakeHost host;
  CCommandHandlers handlers{doc, batch, host};
};

TEST_F(GeneralSettingsCommand, OkWritesPrefsAndCancelWritesNothing) {
  ScriptedGeneralDialog dialog;
  dialog.choose = 1;
  dialog.explorer = true;
  // No prefs.dat yet: the re-read says so with the longer text.
  EXPECT_TRUE(handlers.onGeneralSettings(dialog));
  EXPECT_EQ(host.messages, (Rows{"Unable to open file " + settings.file("prefs.dat") +
                                 " for reading. Please press OK to continue - Settings file will open where you can "
                                 "define new settings and save to file."}));
  EXPECT_EQ(dialog.shown.projectEntries, (Rows{"[.] (" + settings.path() + ")", "[SAMPLES]"}));
  EXPECT_EQ(dialog.shown.selected, 0);
  EXPECT_EQ(doc.settings.projectFolder(), settings.path() + "SAMPLES/");
  // version 379, "SAMPLES/", explorer on.
  const std::vector<uint8_t> written = test::readBytes(settings.file("prefs.dat"));
  const std::vector<uint8_t> expected{0x7B, 1, 0, 0, 8, 'S', 'A', 'M', 'P', 'L', 'E', 'S', '/', 1, 0, 0, 0};
  EXPECT_EQ(written, expected);

  // The next dialog shows the choice; Cancel leaves file and folder alone, even after a new project.
  host.messages.clear();
  dialog.answer = false;
  dialog.choose = 0;
  dialog.newProjects = {"extra"};
  EXPECT_FALSE(handlers.onGeneralSettings(dialog));
  EXPECT_EQ(dialog.shown.selected, 1);
  EXPECT_EQ(dialog.afterNewProjects.projectEntries.back(), "[SAMPLES]");
  EXPECT_EQ(dialog.afterNewProjects.selected, 2);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(test::readBytes(settings.file("prefs.dat")), expected);
  EXPECT_EQ(doc.settings.projectFolder(), settings.path() + "SAMPLES/");

  // Item 0 makes the settings folder the project folder again.
  dialog.answer = true;
  dialog.newProjects.clear();
  EXPECT_TRUE(handlers.onGeneralSettings(dialog));
  EXPECT_EQ(doc.settings.projectFolder(), settings.path());
}

TEST_F(GeneralSettingsCommand, PrefsThatCannotBeWrittenAreNamedPrefsDat) {
  fs::create_directory(settings.path() + "prefs.dat");
  ScriptedGeneralDialog dialog;
  EXPECT_TRUE(handlers.onGeneralSettings(dialog));
  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(host.messages[1], "Unable to open file PREFS.DAT for reading");
}

TEST_F(GeneralSettingsCommand, HelpFilesOpenWhenPresent) {
  // Missing: nothing, not even a message.
  handlers.onManual();
  handlers.onChangelog();
  EXPECT_TRUE(host.opened.empty());
  EXPECT_TRUE(host.messages.empty());
  test::writeBytes(settings.file("velmora3.pdf"), {'%'});
  test::writeBytes(settings.file("CHANGELOG.TXT"), {'x'});
  handlers.onManual();
  handlers.onChangelog();
  EXPECT_EQ(host.opened, (Rows{settings.file("velmora3.pdf"), settings.file("CHANGELOG.TXT")}));
  EXPECT_EQ(aboutLine(), "Velmora Version 3.8 for Linux");
}

} // namespace
} // namespace velmora

#include <gtest/gtest.h>

#include "Bytes.h"
#include "settings/Settings.h"
#include "support/FakeHost.h"
#include "support/TempDir.h"

namespace velmora {
namespace {

using test::Bytes;
using test::operator+;
using test::chars;
using test::kStamp379;
using test::readBytes;
using test::word;
using test::writeBytes;

std::string unableToOpen(const std::string& path) { return "Unable to open file " + path + " for reading"; }

std::string damaged(const std::string& path) {
  return "The settings file " + path + " is damaged; the values read before the damage are used.";
}

std::string unableToOpenBeforeDialog(const std::string& path) {
  return "Unable to open file " + path +
         " for reading. Please press OK to continue - Settings file will open where you can define new settings "
         "and save to file.";
}

TEST(SettingsStartup, EmptyFolderShowsSevenMessagesThenTheItemCountText) {
  test::TempDir dir;
  test::FakeHost host;
  CSettings s(dir.path());
  s.optimize().extension = "dirty"; // start-up resets to defaults first
  s.loadAtStartup(host);

  const std::string d = dir.path();
  EXPECT_EQ(host.messages, (std::vector<std::string>{
                               unableToOpen(d + "prefs.dat"), unableToOpen(d + "opt.dat"), unableToOpen(d + "uno.dat"),
                               unableToOpen(d + "edi.dat"), unableToOpen(d + "just.dat"), unableToOpen(d + "beam.dat"),
                               unableToOpen(d + "run.dat"), "Unable to load settings! Using Defaults..."}));
  EXPECT_EQ(s.prefs(), GeneralPrefs{});
  EXPECT_EQ(s.optimize(), OptimizeOptions{});
  EXPECT_EQ(s.unoptimize(), UnoptimizeOptions{});
  EXPECT_EQ(s.edit(), EditOptions{});
  EXPECT_EQ(s.justify(), JustifyOptions{});
  EXPECT_EQ(s.beam(), BeamOptions{});
  EXPECT_EQ(s.run(), RunOptions{});
  EXPECT_EQ(s.crops(), CropOptions{});
  EXPECT_EQ(s.report(), ReportOptions{});
  EXPECT_EQ(s.itemCount(), ItemCountOptions{});
  EXPECT_EQ(s.projectFolder(), d);
  // Reading never creates files.
  EXPECT_EQ(dir.listing(), "");
}

TEST(SettingsStartup, ReadsExistingFilesAndTheProjectFolder) {
  test::TempDir dir;
  test::FakeHost host;
  // A Windows-written prefs.dat with a backslash after the project name.
  writeBytes(dir.file("prefs.dat"), kStamp379 + Bytes{0x05} + chars("PROJ\\") + word(1));
  writeBytes(dir.file("OPT.DAT"), kStamp379 + Bytes{0x00, 0x00, 0x00, 0x01, 0x02} + chars("OO") + Bytes{0x01});
  writeBytes(dir.file("scorcnt2.dat"), kStamp379 + word(1));
  CSettings s(dir.path());
  s.loadAtStartup(host);

  ASSERT_EQ(host.messages.size(), 5u);
  EXPECT_EQ(host.messages.front(), unableToOpen(dir.file("uno.dat")));
  EXPECT_EQ(host.messages.back(), unableToOpen(dir.file("run.dat")));
  EXPECT_EQ(s.projectFolder(), dir.file("PROJ/"));
  EXPECT_EQ(s.prefs(), (GeneralPrefs{"PROJ/", 1}));
  // Looked up ignoring case: "OPT.DAT" and "scorcnt2.dat".
  EXPECT_EQ(s.optimize(), (OptimizeOptions{0, 0, 0, 1, "OO", 1}));
  EXPECT_EQ(s.itemCount().skipBlankStaves, 1);
}

TEST(SettingsStartup, HostileProjectSubfolderFallsBackToTheSettingsFolder) {
  for (const Bytes& stored : {Bytes{0x06} + chars("../up/"), Bytes{0x05} + chars("/etc/"), Bytes{0x04} + chars("a/b/"),
                              Bytes{0x03} + Bytes{'a', 0x00, 'b'}}) {
    test::TempDir dir;
    test::FakeHost host;
    writeBytes(dir.file("prefs.dat"), kStamp379 + stored + word(0));
    CSettings s(dir.path());
    s.loadAtStartup(host);
    EXPECT_EQ(s.projectFolder(), dir.path());
    EXPECT_EQ(s.prefs().projectSubfolder, "");
  }
}

TEST(SettingsStartup, DamagedFilesKeepWhatWasReadAndSayWhere) {
  test::TempDir dir;
  test::FakeHost host;
  // opt.dat: flags present, then an extension claiming 200 characters.
  writeBytes(dir.file("opt.dat"), kStamp379 + Bytes{0x00, 0x01, 0x00, 0x01, 0xC8} + chars("OPT") + Bytes{0x01});
  // edi.dat cut in the middle of limitNameLength.
  writeBytes(dir.file("edi.dat"), kStamp379 + Bytes{0x01} + chars("E") + Bytes{0x00, 0x01, 0x01, 0x01, 0x05});
  // prefs.dat cut after the subfolder: it still takes effect.
  writeBytes(dir.file("prefs.dat"), kStamp379 + Bytes{0x02} + chars("P/") + Bytes{0x01});
  CSettings s(dir.path());
  s.loadAtStartup(host);

  ASSERT_EQ(host.messages.size(), 8u);
  EXPECT_EQ(host.messages[0], damaged(dir.file("prefs.dat")));
  EXPECT_EQ(host.messages[1], damaged(dir.file("opt.dat")));
  EXPECT_EQ(host.messages[2], unableToOpen(dir.file("uno.dat")));
  EXPECT_EQ(host.messages[3], damaged(dir.file("edi.dat")));
  EXPECT_EQ(s.prefs(), (GeneralPrefs{"P/", 0}));
  EXPECT_EQ(s.projectFolder(), dir.file("P/"));
  EXPECT_EQ(s.optimize(), (OptimizeOptions{0, 1, 0, 1, "OPT", 0}));
  EXPECT_EQ(s.edit(), (EditOptions{"E", 0, 1, 1, 1, 0, 0, 0}));
  // The item-count text follows as for any missing file.
  EXPECT_EQ(host.messages[7], "Unable to load settings! Using Defaults...");
}

TEST(SettingsFiles, ReloadAndSaveMessages) {
  test::TempDir dir;
  test::FakeHost host;
  CSettings s(dir.path());

  // A task's re-read of a missing file: the short text, values in memory stay.
  s.beam().skip64ths = 1;
  EXPECT_EQ(s.reload(SettingsFile::Beam, host), LoadResult::CannotOpen);
  EXPECT_EQ(host.messages, (std::vector<std::string>{unableToOpen(dir.file("beam.dat"))}));
  EXPECT_EQ(s.beam().skip64ths, 1);

  // Before a settings dialog: the longer text with the path.
  host.messages.clear();
  EXPECT_EQ(s.reloadBeforeDialog(SettingsFile::Crops, host), LoadResult::CannotOpen);
  EXPECT_EQ(host.messages, (std::vector<std::string>{unableToOpenBeforeDialog(dir.file("crops.dat"))}));

  // A damaged file before a dialog is named as damaged, not as missing.
  host.messages.clear();
  writeBytes(dir.file("crops.dat"), kStamp379 + word(4));
  EXPECT_EQ(s.reloadBeforeDialog(SettingsFile::Crops, host), LoadResult::Damaged);
  EXPECT_EQ(host.messages, (std::vector<std::string>{damaged(dir.file("crops.dat"))}));
  EXPECT_EQ(s.crops().paperSize, 4);

  // Saving writes the file under its own name and nothing else.
  host.messages.clear();
  EXPECT_TRUE(s.save(SettingsFile::Beam, host));
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(readBytes(dir.file("beam.dat")), kStamp379 + Bytes{0x03} + chars("BIM") + word(0) + word(0) + word(1) +
                                                 word(0) + word(0) + word(0) + word(0));
  EXPECT_EQ(dir.listing(), "beam.dat crops.dat");
  EXPECT_EQ(s.reload(SettingsFile::Beam, host), LoadResult::Loaded);
  EXPECT_TRUE(host.messages.empty());
}

TEST(SettingsFiles, SaveFailuresInAMissingFolder) {
  test::TempDir dir;
  test::FakeHost host;
  CSettings s(dir.file("gone"));
  ASSERT_EQ(s.settingsFolder(), dir.file("gone/"));

  // General Settings names "PREFS.DAT"; the others give the full path.
  EXPECT_FALSE(s.save(SettingsFile::Prefs, host));
  EXPECT_FALSE(s.save(SettingsFile::Optimize, host));
  // The item-count file has its own text.
  EXPECT_FALSE(s.saveItemCountOptions(host));
  EXPECT_EQ(s.loadItemCountOptions(host), LoadResult::CannotOpen);
  EXPECT_EQ(host.messages, (std::vector<std::string>{"Unable to open file PREFS.DAT for reading",
                                                     unableToOpen(dir.file("gone/opt.dat")), "Unable to save settings!",
                                                     "Unable to load settings! Using Defaults..."}));
  EXPECT_EQ(dir.listing(), "");
}

TEST(SettingsFiles, ItemCountFileIsFoundWhateverItsCase) {
  test::TempDir dir;
  test::FakeHost host;
  CSettings s(dir.path());

  // Created as "SCORCNT2.DAT".
  s.itemCount().skipBlankStaves = 1;
  EXPECT_TRUE(s.saveItemCountOptions(host));
  EXPECT_EQ(dir.listing(), "SCORCNT2.DAT");

  // A file named "scorcnt2.dat" is the same file: read, and replaced in place.
  ASSERT_EQ(std::rename(dir.file("SCORCNT2.DAT").c_str(), dir.file("scorcnt2.dat").c_str()), 0);
  s.itemCount().skipBlankStaves = 0;
  EXPECT_EQ(s.loadItemCountOptions(host), LoadResult::Loaded);
  EXPECT_EQ(s.itemCount().skipBlankStaves, 1);
  s.itemCount().skipBlankStaves = 0;
  EXPECT_TRUE(s.saveItemCountOptions(host));
  EXPECT_EQ(dir.listing(), "scorcnt2.dat");
  EXPECT_EQ(readBytes(dir.file("scorcnt2.dat")), kStamp379 + word(0));
  EXPECT_EQ(s.settingsPath("SCORCNT2.DAT"), dir.file("scorcnt2.dat"));
  EXPECT_TRUE(host.messages.empty());

  // A damaged item-count file is named as damaged, as is one too large to be a settings file.
  writeBytes(dir.file("scorcnt2.dat"), kStamp379);
  EXPECT_EQ(s.reload(SettingsFile::ItemCount, host), LoadResult::Damaged);
  writeBytes(dir.file("scorcnt2.dat"), Bytes((1u << 20) + 1, 0));
  EXPECT_EQ(s.loadItemCountOptions(host), LoadResult::Damaged);
  EXPECT_EQ(host.messages,
            (std::vector<std::string>{damaged(dir.file("scorcnt2.dat")), damaged(dir.file("scorcnt2.dat"))}));
}

TEST(SettingsFiles, GeneralPrefsStoresTheProjectFolderBelowTheSettingsFolder) {
  test::TempDir dir;
  test::FakeHost host;
  CSettings s(dir.path());

  // Project folder equal to the settings folder: an empty string.
  s.prefs().projectSubfolder = "stale/";
  s.setProjectFolder(dir.path());
  ASSERT_TRUE(s.save(SettingsFile::Prefs, host));
  EXPECT_EQ(readBytes(dir.file("prefs.dat")), kStamp379 + Bytes{0x00} + word(0));

  // A subfolder is stored as its tail, separator included.
  s.setProjectFolder(dir.file("SONGS"));
  EXPECT_EQ(s.projectFolder(), dir.file("SONGS/"));
  ASSERT_TRUE(s.save(SettingsFile::Prefs, host));
  EXPECT_EQ(readBytes(dir.file("prefs.dat")), kStamp379 + Bytes{0x06} + chars("SONGS/") + word(0));

  // Outside the settings folder or deeper than one level: the settings folder.
  s.setProjectFolder("/elsewhere/");
  EXPECT_EQ(s.projectFolder(), dir.path());
  s.setProjectFolder(dir.file("a/b/"));
  EXPECT_EQ(s.projectFolder(), dir.path());
  EXPECT_TRUE(host.messages.empty());
}

TEST(SettingsCommand, ExtensionIsUpperCasedExceptForRun) {
  test::TempDir dir;
  test::FakeHost host;
  CSettings s(dir.path());

  // "opt" typed in Optimize Settings is kept and stored as "OPT".
  EXPECT_TRUE(s.editSettings<OptimizeOptions>(host, [](OptimizeOptions& o) {
    o.extension = "opt";
    o.deleteBraces = 0;
    return true;
  }));
  EXPECT_EQ(s.optimize().extension, "OPT");
  EXPECT_EQ(readBytes(dir.file("opt.dat")),
            (kStamp379 + Bytes{0x00, 0x00, 0x01, 0x00, 0x03} + chars("OPT") + Bytes{0x00}));

  // Justify has no length limit and is upper-cased too.
  EXPECT_TRUE(s.editSettings<JustifyOptions>(host, [](JustifyOptions& o) {
    o.extension = "jst1";
    return true;
  }));
  EXPECT_EQ(s.justify().extension, "JST1");

  // Run Multiple Tasks keeps what was typed; its missing file gets the short text.
  EXPECT_TRUE(s.editSettings<RunOptions>(host, [](RunOptions& o) {
    o.extension = "rUn";
    return true;
  }));
  EXPECT_EQ(s.run().extension, "rUn");
  EXPECT_EQ(readBytes(dir.file("run.dat")),
            kStamp379 + word(0) + word(0) + word(0) + word(0) + Bytes{0x03} + chars("rUn") + word(0));

  EXPECT_EQ(host.messages, (std::vector<std::string>{unableToOpenBeforeDialog(dir.file("opt.dat")),
                                                     unableToOpenBeforeDialog(dir.file("just.dat")),
                                                     unableToOpen(dir.file("run.dat"))}));
}

TEST(SettingsCommand, CancelWritesNothingAndKeepsTheRereadValues) {
  test::TempDir dir;
  test::FakeHost host;
  CSettings s(dir.path());
  const Bytes onDisk = kStamp379 + Bytes{0x01, 0x01, 0x01, 0x01, 0x01} + chars("Z");
  writeBytes(dir.file("uno.dat"), onDisk);
  s.unoptimize().extension = "MEM";

  // The dialog sees the re-read values; Cancel discards its edits.
  UnoptimizeOptions seen;
  EXPECT_FALSE(s.editSettings<UnoptimizeOptions>(host, [&](UnoptimizeOptions& o) {
    seen = o;
    o.extension = "NEW";
    return false;
  }));
  EXPECT_EQ(seen, (UnoptimizeOptions{1, 1, 1, 1, "Z"}));
  EXPECT_EQ(s.unoptimize(), (UnoptimizeOptions{1, 1, 1, 1, "Z"}));
  EXPECT_EQ(readBytes(dir.file("uno.dat")), onDisk);
  EXPECT_EQ(dir.listing(), "uno.dat");

  // Create Report: the short text before the dialog, nothing written on Cancel.
  EXPECT_FALSE(s.editSettings<ReportOptions>(host, [](ReportOptions&) { return false; }));
  EXPECT_EQ(host.messages, (std::vector<std::string>{unableToOpen(dir.file("report.dat"))}));
  EXPECT_EQ(dir.listing(), "uno.dat");
}

TEST(SettingsCommand, ItemCountIsNotRereadAndIsWrittenOnCancel) {
  test::TempDir dir;
  test::FakeHost host;
  CSettings s(dir.path());
  writeBytes(dir.file("SCORCNT2.DAT"), kStamp379 + word(1));

  // The dialog starts from memory, not the file; Cancel still writes memory out.
  int32_t seen = -1;
  EXPECT_FALSE(s.editSettings<ItemCountOptions>(host, [&](ItemCountOptions& o) {
    seen = o.skipBlankStaves;
    o.skipBlankStaves = 1;
    return false;
  }));
  EXPECT_EQ(seen, 0);
  EXPECT_EQ(readBytes(dir.file("SCORCNT2.DAT")), kStamp379 + word(0));

  // OK writes the dialog's value.
  EXPECT_TRUE(s.editSettings<ItemCountOptions>(host, [](ItemCountOptions& o) {
    o.skipBlankStaves = 1;
    return true;
  }));
  EXPECT_EQ(readBytes(dir.file("SCORCNT2.DAT")), kStamp379 + word(1));
  EXPECT_TRUE(host.messages.empty());
}

TEST(SettingsCommand, GeneralSettingsMovesTheProjectFolder) {
  test::TempDir dir;
  test::FakeHost host;
  CSettings s(dir.path());
  writeBytes(dir.file("prefs.dat"), kStamp379 + Bytes{0x04} + chars("OLD\\") + word(0));

  // Re-read before the dialog: the project folder follows the file.
  std::string seenSubfolder;
  EXPECT_TRUE(s.editSettings<GeneralPrefs>(host, [&](GeneralPrefs& p) {
    seenSubfolder = p.projectSubfolder;
    EXPECT_EQ(s.projectFolder(), dir.file("OLD/"));
    p.projectSubfolder = "NEW/";
    p.useExplorerDialog = 1;
    return true;
  }));
  EXPECT_EQ(seenSubfolder, "OLD/");
  EXPECT_EQ(s.projectFolder(), dir.file("NEW/"));
  EXPECT_EQ(readBytes(dir.file("prefs.dat")), kStamp379 + Bytes{0x04} + chars("NEW/") + word(1));

  // Back to the settings folder (item 0 of the dialog): an empty string.
  EXPECT_TRUE(s.editSettings<GeneralPrefs>(host, [](GeneralPrefs& p) {
    p.projectSubfolder.clear();
    return true;
  }));
  EXPECT_EQ(s.projectFolder(), dir.path());
  EXPECT_EQ(readBytes(dir.file("prefs.dat")), kStamp379 + Bytes{0x00} + word(1));
  EXPECT_TRUE(host.messages.empty());
}

TEST(SettingsCommand, FailedWriteOnOkKeepsTheNewValuesInMemory) {
  test::TempDir dir;
  test::FakeHost host;
  CSettings s(dir.file("gone"));
  EXPECT_TRUE(s.editSettings<EditOptions>(host, [](EditOptions& o) {
    o.extension = "ed";
    return true;
  }));
  EXPECT_EQ(s.edit().extension, "ED");
  EXPECT_EQ(host.messages, (std::vector<std::string>{unableToOpenBeforeDialog(dir.file("gone/edi.dat")),
                                                     unableToOpen(dir.file("gone/edi.dat"))}));
}

} // namespace
} // namespace velmora

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <optional>

#include "app/CCommandHandlers.h"
#include "base/FileSystem.h"
#include "beams/BeamLibrary.h"
#include "edit/EditFixtures.h"
#include "settings/Serialize.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

namespace velmora {
namespace {

using test::FakeHost;
using test::TempDir;
using Rows = std::vector<std::string>;

constexpr std::time_t kJan2 = 315626635; // Wed Jan  2 02:03:55 1980 UTC
constexpr const char* kJan2Text = "Wed Jan  2 02:03:55 1980\n";
constexpr const char* kNoLibraries = "BUP8THS.DAT not found\nBDN8THS.DAT not found\nBUP16THS.DAT not found\n"
                                     "BDN16THS.DAT not found\nBUP32NDS.DAT not found\nBDN32NDS.DAT not found\n"
                                     "BUPGRACE.DAT not found\nBDNGRACE.DAT not found\n";

// "Create Report" answers with `answer`; each selection takes the front entry, nullopt cancels, none selects all.
struct ScriptedReportDialogs : IReportDialogs {
  bool createReport(ReportOptions& options) override {
    shownOptions.push_back(options);
    if (confirm) options = answer;
    return confirm;
  }
  bool selectForReport(const FileSelectionRequest& request, std::vector<std::string>& chosen) override {
    requests.push_back(request);
    if (selections.empty()) {
      chosen = namesMatching(request);
      return true;
    }
    auto next = selections.front();
    selections.pop_front();
    if (next) chosen = *next;
    return next.has_value();
  }

  bool confirm = true;
  ReportOptions answer;
  std::vector<ReportOptions> shownOptions;
  std::vector<FileSelectionRequest> requests;
  std::deque<std::optional<Rows>> selections;
};

ReportOptions noSections() {
  ReportOptions o;
  o.listMacros = o.listSteps = o.listMacrosPerStep = o.listBeamAngles = o.listOptions = 0;
  return o;
}

void setMtime(const std::string& path, std::time_t time) {
  const struct timespec times[2] = {{time, 0}, {time, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

class ReportTest : public ::testing::Test {
protected:
  void SetUp() override {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    FakeHost quiet;
    ASSERT_TRUE(doc.create(quiet, settingsDir.path()));
    project = doc.settings.projectFolder();
  }
  std::string run(const ReportOptions& options) {
    dialogs.answer = options;
    outcome = handlers.onCreateReport(dialogs);
    return fileExists(reportPath()) ? std::string(readText(reportPath())) : std::string();
  }
  static std::string readText(const std::string& path) {
    const auto bytes = test::readBytes(path);
    return std::string(bytes.begin(), bytes.end());
  }
  std::string reportPath() const { return project + "VELRPT.TXT"; }
  std::string heading() const {
    return "VELMORA VERSION 3 REPORT\n\nLibrary Path: " + settingsDir.path() + "\nPROJECT DIRECTORY: " + project +
           "\n\n";
  }

  TempDir settingsDir;
  std::string project;
  CVelmoraDoc doc;
  CBatchState batch;
  FakeHost host;
  ScriptedReportDialogs dialogs;
  CCommandHandlers handlers{doc, batch, host};
  BatchOutcome outcome = BatchOutcome::NothingChosen;
};

TEST_F(ReportTest, EveryFlagAtItsDefaultOnAnEmptyProject) {
  const std::string text = run(ReportOptions{});
  EXPECT_EQ(outcome, BatchOutcome::Finished);
  // No settings file exists, so every block is undated and shows the defaults.
  const std::string expected =
      heading() + "MACROS\n\n\nTotal macros found = 0\n\nSTEPS\n\n\nTotal steps found = 0\n\n" +
      "MACROS USED BY EACH STEP (blank indicates redundant step)\n\n\tStep\tMacros\n\n\n" + kNoLibraries +
      "OPTIONS\n\nOPTIMIZE OPTIONS\n\n" + settingsDir.file("opt.dat") +
      "\n"
      "Delete single stave braces (p5 = 8) = TRUE\n"
      "Delete single stave brackets (p5 = 9) = FALSE\n"
      "Delete single stave straight brackets (p5 = 10) = TRUE\n"
      "Show stave delete window on transcription = FALSE\n"
      "Extension to use for optimized files = OPT\n\n"
      "UNOPTIMIZE OPTIONS\n\n" +
      settingsDir.file("uno.dat") +
      "\n"
      "Insert single stave braces (p5 = 8) = FALSE\n"
      "Insert single stave brackets (p5 = 9) = TRUE\n"
      "Insert single stave straight brackets (p5 = 10) = FALSE\n"
      "Show stave insert window on transcription = FALSE\n"
      "Extension to use for unoptimized files = UNO\n\n"
      "EDIT OPTIONS\n\n" +
      settingsDir.file("edi.dat") +
      "\n"
      "Remember last macro used = TRUE\n"
      "Prompt for each item before Operation is made = FALSE\n"
      "Allow dragging in Selected Steps List Box = FALSE\n"
      "Recognize Winscore extended parameters 20 to 30 = FALSE\n"
      "Limit macro/step name length to 8 characters (for compatibility with DOS Score) = FALSE\n"
      "Extension to use for edited files = EDI\n\n"
      "JUSTIFY OPTIONS\n\n" +
      settingsDir.file("just.dat") +
      "\n"
      "Prompt for each item before Operation is made = FALSE\n"
      "Recognize Winscore stretched notes = FALSE\n"
      "Minimum space for note justification = 0.500000\n"
      "Extra space before first note/rest = 0.000000\n"
      "Extra space for opening tie = 0.000000\n"
      "Barline type to use for stave group = 0\n"
      "Extension to use for justified files = JST\n"
      "Widths (in Score units at stave size 1.0)\n"
      "Notehead widths - Quarter/half = 3.000000, Whole = 3.400000, Double whole = 3.600000\n"
      "Accidental widths - Flat = 2.700000, Sharp = 3.200000, Natural = 2.600000, Double flat = 4.700000, "
      "Double sharp = 3.200000\n"
      "1/4 Flat = 2.700000, 3/4 Flat = 4.100000, 1/4 Sharp = 3.100000, 3/4 Sharp = 3.600000, \n"
      "Ledger line widths (one side only) - Quarter/half = 0.850000, Whole = 0.800000, Double whole = 0.900000\n"
      "Other widths - Rhythm dot = 2.050000, Note flag = 2.100000, Note parenthesis = 2.300000, "
      "Accidental parenthesis = 2.100000\n\n"
      "BEAM OPTIONS\n\n" +
      settingsDir.file("beam.dat") +
      "\n"
      "Replace angles in library with those in files = FALSE\n"
      "Allow Beam Angle Does Not Exist dialog = FALSE\n"
      "Treat value in p18 as grace beams = FALSE\n"
      "Dont process 64th notes = FALSE\n"
      "Extension to use for edited files = BIM\n"
      "Rules: Set beams horizontal as specified in Beam Angles dialog.\n\n"
      "CROP MARK OPTIONS\n\n" +
      settingsDir.file("crops.dat") +
      "\n"
      "Bounding Box = 0 0 595 841\n"
      "Align with Bounding box in file = TRUE\n"
      "Translate Origin = 0 0\n"
      "Crop mark line length = 22\n"
      "Crop mark line thickness = 0.50\n"
      "Rename file to Score filename+EPS = TRUE\n\n"
      "ITEM COUNT OPTIONS\n\n" +
      settingsDir.file("scorcnt2.dat") +
      "\n"
      "Don't include blank staves in stave count = FALSE\n";
  EXPECT_EQ(text, expected);
  EXPECT_EQ(batch.log.rows(), (Rows{"Creating report VELRPT.TXT", "Finished."}));
  EXPECT_EQ(host.opened, Rows{reportPath()});
  ASSERT_EQ(host.messages.size(), 8u); // report.dat, then each settings file of the options
  EXPECT_EQ(host.messages[7], "Unable to open file " + settingsDir.file("scorcnt2.dat") + " for reading");
  ASSERT_EQ(dialogs.requests.size(), 2u);
  EXPECT_EQ(dialogs.requests[0].title, "Select for report");
  EXPECT_EQ(dialogs.requests[0].label + dialogs.requests[0].mask, "Macros*.MAC");
  EXPECT_EQ(dialogs.requests[1].label + dialogs.requests[1].mask, "Steps*.STP");
  EXPECT_FALSE(batch.busy);
}

TEST_F(ReportTest, DatesInTheCLibraryForm) {
  // The day of the month is padded with a blank, as ctime pads it.
  const std::pair<std::time_t, const char*> cases[] = {
      {1614834367, "Thu Mar  4 05:06:07 2021\n"}, {1619827200, "Sat May  1 00:00:00 2021\n"},
      {1707480001, "Fri Feb  9 12:00:01 2024\n"}, {946684799, "Fri Dec 31 23:59:59 1999\n"},
      {1700000000, "Tue Nov 14 22:13:20 2023\n"},
  };
  for (const auto& [time, text] : cases)
    EXPECT_EQ(reportTimeText(time), text);
}

TEST_F(ReportTest, MacrosWithDatesDescriptionsStepsAndAVanishedOne) {
  test::writeMacro(project, "ABC", {"A", "B", "C"}, "Three steps");
  test::writeMacro(project, "NONE", {});
  setMtime(project + "ABC.MAC", kJan2);
  setMtime(project + "NONE.MAC", 1700000000);
  ReportOptions o = noSections();
  o.listMacros = 1;
  // A name whose file went after the listing gets its not-found line, and counts.
  dialogs.selections.push_back(Rows{"ABC", "GONE", "NONE"});
  EXPECT_EQ(run(o), heading() + "MACROS\n\nABC.MAC\tDate: " + kJan2Text +
                        "\n\tDescription: Three steps\n\tSteps: A | B | C\n\n"
                        "Macro " +
                        project + "GONE.MAC note found\nNONE.MAC\tDate: Tue Nov 14 22:13:20 2023\n\n" +
                        "\tDescription: \n\tSteps: \n\n\nTotal macros found = 3\n\n");

  // With description and steps off nothing is read.
  o.macroDate = o.macroDescription = 0;
  o.macroSteps = 0;
  test::writeBytes(project + "BAD.MAC", {3, 'a'});
  EXPECT_EQ(run(o), heading() + "MACROS\n\nABC.MAC\nBAD.MAC\nNONE.MAC\n\nTotal macros found = 3\n\n");
}

TEST_F(ReportTest, StepsWithTheirFieldsAndTheNotFoundFlag) {
  test::writeStep(project, "APP", {"Adds\r\nlines", "1 3", "P4 = 2", "APP 9 1 0", 1});
  test::writeStep(project, "TWO", {"", "99", "", "DEL", 2});
  // A step that ends before its flag still lists, without the flag line.
  std::vector<uint8_t> shortFlag = encodeStep({"", "1", "X", "DEL", 1});
  shortFlag.resize(shortFlag.size() - 2);
  test::writeBytes(project + "SHORT.STP", shortFlag);
  for (const char* f : {"APP.STP", "SHORT.STP", "TWO.STP"})
    setMtime(project + f, kJan2);
  ReportOptions o = noSections();
  o.listSteps = 1;
  dialogs.selections.push_back(Rows{"APP", "GONE", "SHORT", "TWO"});
  const std::string dated = std::string("\tDate: ") + kJan2Text + "\n";
  EXPECT_EQ(run(o), heading() + "STEPS\n\nAPP.STP" + dated +
                        "\tDescription: Adds\r\nlines\n\n\tCode no(s): 1 3\n\tConditional argument: IF (P4 = 2)\n"
                        "\tIf no item of this kind found: TRUE\n\tOperation: APP 9 1 0\n\n"
                        "Step " +
                        project + "GONE.STP note found\nSHORT.STP" + dated +
                        "\tDescription: \n\n\tCode no(s): 1\n\tConditional argument: IF (X)\n\tOperation: DEL\n\n"
                        "TWO.STP" +
                        dated +
                        "\tDescription: \n\n\tCode no(s): 99\n\tConditional argument: IF ()\n\tOperation: DEL\n\n" +
                        "\nTotal steps found = 4\n\n");
}

TEST_F(ReportTest, MacrosUsedByEachStep) {
  ReportOptions o = noSections();
  o.listMacrosPerStep = 1;
  o.listBeamAngles = 1;
  // No step file at all: the empty section, and the report goes on.
  const std::string title = "MACROS USED BY EACH STEP (blank indicates redundant step)\n\n\tStep\tMacros\n\n";
  EXPECT_EQ(run(o), heading() + title + "\n" + kNoLibraries);
  EXPECT_EQ(outcome, BatchOutcome::Finished);

  o.listBeamAngles = 0;
  test::writeStep(project, "A", {});
  test::writeStep(project, "B", {});
  test::writeStep(project, "UNUSED", {});
  test::writeMacro(project, "M1", {"B", "A", "B"});
  test::writeMacro(project, "M2", {"B", "a"});
  ASSERT_EQ(::mkdir((project + "DIR.STP").c_str(), 0755), 0);
  EXPECT_EQ(run(o), heading() + title + "\tA - M1, \n\tB - M1, M2, \n\tUNUSED - \n\n");
}

TEST_F(ReportTest, BeamLibrariesWithTheirHeadingsAndDates) {
  const std::string up8 = beamLibraryPath(project, kUp8ths);
  // An empty record in the middle: the table goes on to the end of the file.
  std::vector<uint8_t> up8Bytes = libraryBytes(Rows{"\t<3\t>7\t5\t13.500\t12.000\t"});
  up8Bytes.push_back(0);
  const std::vector<uint8_t> last = libraryBytes(Rows{"\t4"});
  up8Bytes.insert(up8Bytes.end(), last.begin(), last.end());
  test::writeBytes(up8, up8Bytes);
  const std::string upGrace = beamLibraryPath(project, kUpGrace);
  ASSERT_TRUE(writeLibraryRecords(upGrace, Rows{}));
  // A record whose length runs past the end ends the table there.
  test::writeBytes(project + "bdngrace.dat", {2, '\t', '1', 9, '\t'});
  setMtime(up8, kJan2);
  setMtime(upGrace, kJan2);
  setMtime(project + "bdngrace.dat", kJan2);
  ReportOptions o = noSections();
  o.listBeamAngles = 1;
  const std::string columns = "\tLeft note pos\tMid note pos\tRight note pos\tLeft beam endp\t Right beam endp\n\n";
  const std::string dated = std::string("\tDate: ") + kJan2Text + "\n";
  const std::string missing = "BDN8THS.DAT not found\nBUP16THS.DAT not found\nBDN16THS.DAT not found\n"
                              "BUP32NDS.DAT not found\nBDN32NDS.DAT not found\n";
  EXPECT_EQ(run(o), heading() + "UPSTEM 8TH NOTE BEAM ANGLES" + dated + columns +
                        "\t<3\t>7\t5\t13.500\t12.000\t\n\t4\n\n" + missing + "UPSTEM GRACE BEAM ANGLES" + dated +
                        columns + "\n" + "DOWNSTEM GRACE NOTE BEAM ANGLES" + dated + columns + "\t1\n\n");
  ASSERT_EQ(host.messages.size(), 2u); // report.dat, then the damaged library
  EXPECT_EQ(host.messages[1].rfind(project + "bdngrace.dat is damaged: ", 0), 0u) << host.messages[1];
  EXPECT_EQ(outcome, BatchOutcome::Finished);
}

TEST_F(ReportTest, OptionsWithAndWithoutDates) {
  FakeHost quiet;
  doc.settings.beam().horizontalRule = 2;
  doc.settings.beam().horizontalIfPitchRepeated = 1;
  doc.settings.crops().markThickness = 1.25f;
  doc.settings.justify().noteFlag = 9.5f;
  doc.settings.justify().barlineType = 2;
  for (SettingsFile f : {SettingsFile::Optimize, SettingsFile::Unoptimize, SettingsFile::Edit, SettingsFile::Justify,
                         SettingsFile::Beam, SettingsFile::Crops, SettingsFile::ItemCount}) {
    ASSERT_TRUE(doc.settings.save(f, quiet));
    setMtime(doc.settings.pathOf(f), kJan2);
  }
  ReportOptions o = noSections();
  o.listOptions = 1;
  std::string text = run(o);
  EXPECT_EQ(host.messages, Rows{"Unable to open file " + settingsDir.file("report.dat") + " for reading"});
  EXPECT_NE(text.find("OPTIONS\n\nOPTIMIZE OPTIONS\n\n" + settingsDir.file("opt.dat") + "\tDate: " + kJan2Text +
                      "\nDelete single stave braces (p5 = 8) = TRUE\n"),
            std::string::npos);
  EXPECT_NE(text.find("Extension to use for edited files = BIM\nRules: Set beams horizontal only if \n"
                      "\tnotes of the same pitch are repeated within beam group.\n\nCROP MARK OPTIONS"),
            std::string::npos);
  EXPECT_NE(text.find("Crop mark line thickness = 1.25\n"), std::string::npos);
  // The item-count file is created upper case, found and named by its lower-case name.
  EXPECT_NE(text.find("ITEM COUNT OPTIONS\n\n" + settingsDir.file("scorcnt2.dat") + "\tDate: " + kJan2Text +
                      "\nDon't include blank staves in stave count = FALSE\n"),
            std::string::npos);

  // Undated, the heading is followed by the path alone; numbers keep their '.' in any locale.
  const bool comma = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
  o.optionsDate = 0;
  text = run(o);
  std::setlocale(LC_NUMERIC, "C");
  EXPECT_EQ(text.find("\tDate: "), std::string::npos);
  EXPECT_NE(text.find("JUSTIFY OPTIONS\n\n" + settingsDir.file("just.dat") +
                      "\nPrompt for each item before Operation is made = FALSE\n"
                      "Recognize Winscore stretched notes = FALSE\nMinimum space for note justification = 0.500000\n"
                      "Extra space before first note/rest = 0.000000\nExtra space for opening tie = 0.000000\n"
                      "Barline type to use for stave group = 2\nExtension to use for justified files = JST\n"
                      "Widths (in Score units at stave size 1.0)\n"
                      "Notehead widths - Quarter/half = 3.000000, Whole = 3.400000, Double whole = 3.600000\n"
                      "Accidental widths - Flat = 2.700000, Sharp = 3.200000, Natural = 2.600000, Double flat = "
                      "4.700000, Double sharp = 3.200000\n"
                      "1/4 Flat = 2.700000, 3/4 Flat = 4.100000, 1/4 Sharp = 3.100000, 3/4 Sharp = 3.600000, \n"
                      "Ledger line widths (one side only) - Quarter/half = 0.850000, Whole = 0.800000, Double whole "
                      "= 0.900000\nOther widths - Rhythm dot = 2.050000, Note flag = 9.500000, Note parenthesis = "
                      "2.300000, Accidental parenthesis = 2.100000\n\nBEAM OPTIONS\n\n"),
            std::string::npos)
      << comma << text;
}

TEST_F(ReportTest, EveryLineOfAFullReportWithEachBeamRule) {
  FakeHost quiet;
  constexpr std::time_t kNov14 = 1700000000; // Tue Nov 14 22:13:20 2023 UTC
  const std::string jan2 = kJan2Text, nov14 = "Tue Nov 14 22:13:20 2023\n";
  test::writeMacro(project, "TWO", {"FIRST", "SECOND"}, "Two steps");
  test::writeStep(project, "FIRST", {"Drops braces", "1 2", "P5 = 8", "DEL", 1});
  test::writeStep(project, "SECOND", {"", "3", "", "APP 9 1 0", 0});
  test::writeStep(project, "SPARE", {"Unused", "14", "P4 > 1", "DEL", 2});
  const std::string down16 = beamLibraryPath(project, kDown16ths);
  ASSERT_TRUE(writeLibraryRecords(down16, Rows{"\t1\t2\t3\t10.000\t11.000\t", "\t<2\t>4\t6\t9.500\t8.250\t"}));
  for (const char* f : {"TWO.MAC", "FIRST.STP", "SECOND.STP", "SPARE.STP"})
    setMtime(project + f, kNov14);
  setMtime(down16, kJan2);

  // Every printed option away from its default; widths distinct so their order shows.
  doc.settings.optimize() = {0, 1, 0, 1, "OPX", 1};
  doc.settings.unoptimize() = {1, 0, 1, 1, "UNX"};
  doc.settings.edit() = {"EDX", 0, 1, 1, 1, 1, 1, 1};
  JustifyOptions& j = doc.settings.justify();
  j = {"JSX", 1,      1,    0.0625f, 3.125f, 3.25f,  3.375f, 2.5f,   2.625f, 2.75f, 2.875f, 3.5f, 1.125f,
       1.25f, 1.375f, 1.5f, 0.625f,  0.75f,  0.875f, 1.625f, 1.875f, 2.125f, 0.25f, 0.375f, 3,    1.75f};
  doc.settings.beam() = {"BMX", 1, 1, 1, 1, 2, 1, 1};
  doc.settings.crops() = {3, -15, 30, 10, 580, 20, 820, 40, 0.75f, 0, 1, 0};
  doc.settings.itemCount().skipBlankStaves = 1;
  const auto saveAll = [&] {
    for (SettingsFile f : {SettingsFile::Optimize, SettingsFile::Unoptimize, SettingsFile::Edit, SettingsFile::Justify,
                           SettingsFile::Beam, SettingsFile::Crops, SettingsFile::ItemCount, SettingsFile::Report}) {
      ASSERT_TRUE(doc.settings.save(f, quiet));
      setMtime(doc.settings.pathOf(f), kJan2);
    }
  };
  saveAll();

  const std::string columns = "\tLeft note pos\tMid note pos\tRight note pos\tLeft beam endp\t Right beam endp\n\n";
  const auto expected = [&](const std::string& rules) {
    return heading() + "MACROS\n\n" + "TWO.MAC\tDate: " + nov14 + "\n" + "\tDescription: Two steps\n" +
           "\tSteps: FIRST | SECOND\n\n" + "\nTotal macros found = 1\n\n" + "STEPS\n\n" + "FIRST.STP\tDate: " + nov14 +
           "\n" + "\tDescription: Drops braces\n\n" + "\tCode no(s): 1 2\n" + "\tConditional argument: IF (P5 = 8)\n" +
           "\tIf no item of this kind found: TRUE\n" + "\tOperation: DEL\n\n" + "SECOND.STP\tDate: " + nov14 + "\n" +
           "\tDescription: \n\n" + "\tCode no(s): 3\n" + "\tConditional argument: IF ()\n" +
           "\tOperation: APP 9 1 0\n\n" + "SPARE.STP\tDate: " + nov14 + "\n" + "\tDescription: Unused\n\n" +
           "\tCode no(s): 14\n" + "\tConditional argument: IF (P4 > 1)\n" + "\tOperation: DEL\n\n" +
           "\nTotal steps found = 3\n\n" + "MACROS USED BY EACH STEP (blank indicates redundant step)\n\n" +
           "\tStep\tMacros\n\n" + "\tFIRST - TWO, \n" + "\tSECOND - TWO, \n" + "\tSPARE - \n" + "\n" +
           "BUP8THS.DAT not found\n" + "BDN8THS.DAT not found\n" + "BUP16THS.DAT not found\n" +
           "DOWNSTEM 16TH NOTE BEAM ANGLES\tDate: " + jan2 + "\n" + columns + "\t1\t2\t3\t10.000\t11.000\t\n" +
           "\t<2\t>4\t6\t9.500\t8.250\t\n" + "\n" + "BUP32NDS.DAT not found\n" + "BDN32NDS.DAT not found\n" +
           "BUPGRACE.DAT not found\n" + "BDNGRACE.DAT not found\n" + "OPTIONS\n\n" + "OPTIMIZE OPTIONS\n\n" +
           settingsDir.file("opt.dat") + "\tDate: " + jan2 + "\n" + "Delete single stave braces (p5 = 8) = FALSE\n" +
           "Delete single stave brackets (p5 = 9) = TRUE\n" +
           "Delete single stave straight brackets (p5 = 10) = FALSE\n" +
           "Show stave delete window on transcription = TRUE\n" + "Extension to use for optimized files = OPX\n\n" +
           "UNOPTIMIZE OPTIONS\n\n" + settingsDir.file("uno.dat") + "\tDate: " + jan2 + "\n" +
           "Insert single stave braces (p5 = 8) = TRUE\n" + "Insert single stave brackets (p5 = 9) = FALSE\n" +
           "Insert single stave straight brackets (p5 = 10) = TRUE\n" +
           "Show stave insert window on transcription = TRUE\n" + "Extension to use for unoptimized files = UNX\n\n" +
           "EDIT OPTIONS\n\n" + settingsDir.file("edi.dat") + "\tDate: " + jan2 + "\n" +
           "Remember last macro used = FALSE\n" + "Prompt for each item before Operation is made = TRUE\n" +
           "Allow dragging in Selected Steps List Box = TRUE\n" +
           "Recognize Winscore extended parameters 20 to 30 = TRUE\n" +
           "Limit macro/step name length to 8 characters (for compatibility with DOS Score) = TRUE\n" +
           "Extension to use for edited files = EDX\n\n" + "JUSTIFY OPTIONS\n\n" + settingsDir.file("just.dat") +
           "\tDate: " + jan2 + "\n" + "Prompt for each item before Operation is made = TRUE\n" +
           "Recognize Winscore stretched notes = TRUE\n" + "Minimum space for note justification = 0.062500\n" +
           "Extra space before first note/rest = 0.250000\n" + "Extra space for opening tie = 0.375000\n" +
           "Barline type to use for stave group = 3\n" + "Extension to use for justified files = JSX\n" +
           "Widths (in Score units at stave size 1.0)\n" +
           "Notehead widths - Quarter/half = 3.125000, Whole = 3.250000, Double whole = 3.375000\n" +
           "Accidental widths - Flat = 2.500000, Sharp = 2.625000, Natural = 2.750000, Double flat = 2.875000, "
           "Double sharp = 3.500000\n" +
           "1/4 Flat = 1.125000, 3/4 Flat = 1.250000, 1/4 Sharp = 1.375000, 3/4 Sharp = 1.500000, \n" +
           "Ledger line widths (one side only) - Quarter/half = 0.625000, Whole = 0.750000, Double whole = 0.875000\n" +
           "Other widths - Rhythm dot = 1.625000, Note flag = 1.750000, Note parenthesis = 1.875000, "
           "Accidental parenthesis = 2.125000\n\n" +
           "BEAM OPTIONS\n\n" + settingsDir.file("beam.dat") + "\tDate: " + jan2 + "\n" +
           "Replace angles in library with those in files = TRUE\n" +
           "Allow Beam Angle Does Not Exist dialog = TRUE\n" + "Treat value in p18 as grace beams = TRUE\n" +
           "Dont process 64th notes = TRUE\n" + "Extension to use for edited files = BMX\n" + rules +
           "CROP MARK OPTIONS\n\n" + settingsDir.file("crops.dat") + "\tDate: " + jan2 + "\n" +
           "Bounding Box = 10 20 580 820\n" + "Align with Bounding box in file = FALSE\n" +
           "Translate Origin = -15 30\n" + "Crop mark line length = 40\n" + "Crop mark line thickness = 0.75\n" +
           "Rename file to Score filename+EPS = FALSE\n\n" + "ITEM COUNT OPTIONS\n\n" +
           settingsDir.file("scorcnt2.dat") + "\tDate: " + jan2 + "\n" +
           "Don't include blank staves in stave count = TRUE\n";
  };

  // Rule 2 with both conditions: one line for each.
  EXPECT_EQ(run(ReportOptions{}), expected("Rules: Set beams horizontal only if \n"
                                           "\tnote direction changes within beam group.\n\n"
                                           "\tnotes of the same pitch are repeated within beam group.\n\n"));
  EXPECT_EQ(outcome, BatchOutcome::Finished);
  EXPECT_TRUE(host.messages.empty()) << host.messages.front();

  // Rules 0 and 1 ignore the two conditions.
  doc.settings.beam().horizontalRule = 0;
  saveAll();
  EXPECT_EQ(run(ReportOptions{}), expected("Rules: Set beams horizontal as specified in Beam Angles dialog.\n\n"));
  doc.settings.beam().horizontalRule = 1;
  saveAll();
  EXPECT_EQ(run(ReportOptions{}), expected("Rules: Set beams horizontal always.\n\n"));

  // Rule 2 with one condition only.
  doc.settings.beam().horizontalRule = 2;
  doc.settings.beam().horizontalIfPitchRepeated = 0;
  saveAll();
  EXPECT_EQ(run(ReportOptions{}), expected("Rules: Set beams horizontal only if \n"
                                           "\tnote direction changes within beam group.\n\n"));
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(ReportTest, CancelAndFailureKeepTheOldReport) {
  test::writeBytes(reportPath(), {'o', 'l', 'd'});
  // "Create Report" cancelled: nothing is written, not even report.dat.
  dialogs.confirm = false;
  EXPECT_EQ(run(ReportOptions{}), "old");
  EXPECT_EQ(outcome, BatchOutcome::PreparationCancelled);
  EXPECT_FALSE(fileExists(settingsDir.file("report.dat")));
  EXPECT_TRUE(batch.log.rows().empty());

  // "OK..." stores the flags, which the next dialog shows; Cancel in a selection ends the report.
  dialogs.confirm = true;
  ReportOptions o;
  o.stepDate = 0;
  dialogs.selections.push_back(Rows{});
  dialogs.selections.push_back(std::nullopt);
  EXPECT_EQ(run(o), "old");
  EXPECT_EQ(outcome, BatchOutcome::Stopped);
  ReportOptions stored;
  ASSERT_EQ(loadRecordFile(settingsDir.file("report.dat"), stored), LoadResult::Loaded);
  EXPECT_EQ(stored, o);
  EXPECT_EQ(batch.log.rows(), (Rows{"Creating report VELRPT.TXT", "Operation cancelled."}));
  EXPECT_TRUE(host.opened.empty());
  EXPECT_EQ(settingsDir.listing(), "VELRPT.TXT report.dat") << "no temporary file left";

  // The next dialog shows the stored flags; a damaged step is reported and ends the report the same way.
  dialogs.confirm = false;
  run(ReportOptions{});
  EXPECT_EQ(dialogs.shownOptions.back(), o);
  dialogs.confirm = true;
  test::writeBytes(project + "BAD.STP", {9, 'x'});
  host.messages.clear();
  EXPECT_EQ(run(ReportOptions{}), "old");
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].rfind(project + "BAD.STP is damaged", 0), 0u) << host.messages[0];
  EXPECT_EQ(batch.log.rows().back(), "Operation cancelled.");
}

} // namespace
} // namespace velmora

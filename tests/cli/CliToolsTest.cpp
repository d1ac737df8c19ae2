#include <gtest/gtest.h>

#include "cli/CliRun.h"
#include "edit/MacroFiles.h"
#include "edit/StepSyntax.h"
#include "settings/Settings.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

namespace velmora::cli {
namespace {

using clitest::runVelmoraCli;
using test::TempDir;

std::vector<std::string> with(const TempDir& settings, std::vector<std::string> args) {
  args.insert(args.begin(), {"--settings", settings.path()});
  return args;
}

TEST(CliTools, DiffListsWhatAnEditRunChanged) {
  TempDir settings;
  TempDir scores;
  ASSERT_EQ(runVelmoraCli(with(settings, {"settings", "init"})).status, 0);
  // Two steps and a macro built from the command line, then run by Edit.
  auto r = runVelmoraCli(with(settings, {"step", "save", "raise", "--codes", "1", "--if", "p4 == 5", "--op", "4 6"}));
  ASSERT_EQ(r.status, 0) << r.err;
  r = runVelmoraCli(with(settings, {"step", "save", "nobar", "--codes", "14", "--if", "P3 > 25", "--op", "del"}));
  ASSERT_EQ(r.status, 0) << r.err;
  r = runVelmoraCli(with(settings, {"macro", "save", "demo", "--description", "Raise and clear", "raise", "nobar"}));
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string input = scores.file("a.mus");
  test::writeBytes(input, test::buildScore("8 1 0 0 0.75\n"
                                           "8 2 0 0 0.75\n"
                                           "1 1 10 5 20 0 0\n"
                                           "1 2 10 5 20\n"
                                           "14 1 20 2\n"
                                           "1 1 22 4 20\n"
                                           "14 1 30 2\n"
                                           "14 2 30 2\n"));
  r = runVelmoraCli(with(settings, {"edit", "--macro", "DEMO", input}));
  ASSERT_EQ(r.status, 0) << r.err;

  r = runVelmoraCli({"diff", input, scores.file("a.EDI")});
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(r.out, "--- " + input + "\n+++ " + scores.file("a.EDI") +
                       "\n"
                       "stave 1:\n"
                       "  item 3 / 2 changed: P4 5 -> 6\n"
                       "  item 7 only in A: 14 1 30 2\n"
                       "stave 2:\n"
                       "  item 4 / 6 changed: P4 5 -> 6\n"
                       "  item 8 only in A: 14 2 30 2\n");
  // The same file twice, and trouble.
  EXPECT_EQ(runVelmoraCli({"diff", input, input}).status, 0);
  r = runVelmoraCli({"diff", input, scores.file("none.mus")});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "velmora-cli: Unable to open file " + scores.file("none.mus") + " for reading\n");

  // A dump edited by hand comes back, and OUTPUT is never replaced without --force.
  r = runVelmoraCli({"dump", input});
  ASSERT_EQ(r.status, 0);
  std::string text = r.out;
  text.replace(text.find("\n1 1 22 4 20\n"), 13, "\n1 1 22 3 20\n");
  test::writeBytes(scores.file("a.txt"), std::vector<uint8_t>(text.begin(), text.end()));
  EXPECT_EQ(runVelmoraCli({"undump", scores.file("a.txt"), scores.file("b.mus")}).status, 0);
  r = runVelmoraCli({"diff", input, scores.file("b.mus")});
  EXPECT_EQ(r.out, "--- " + input + "\n+++ " + scores.file("b.mus") + "\nstave 1:\n  item 6 / 6 changed: P4 4 -> 3\n");
  r = runVelmoraCli({"undump", scores.file("a.txt"), input});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "velmora-cli: " + input + " already exists; --force replaces it.\n");
  EXPECT_EQ(runVelmoraCli({"undump", "--force", scores.file("a.txt"), input}).status, 0);
  EXPECT_EQ(test::readBytes(input), test::readBytes(scores.file("b.mus")));
}

TEST(CliTools, StepSaveRefusesWithTheEditorsMessages) {
  TempDir settings;
  ASSERT_EQ(runVelmoraCli(with(settings, {"settings", "init"})).status, 0);
  ASSERT_EQ(runVelmoraCli(with(settings, {"step", "save", "kept", "--codes", "1", "--if", "", "--op", "DEL"})).status,
            0);
  const auto kept = test::readBytes(settings.file("KEPT.STP"));
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const std::vector<Case> cases{
      {{"x", "--codes", "1,5", "--if", "", "--op", "DEL"},
       "Invalid characters found. Please use only numerical digits in Code No(s) to Affect field!"},
      {{"x", "--codes", "1 19", "--if", "", "--op", "DEL"}, "Invalid Code Number 19 in Code No(s) to Affect field!"},
      {{"x", "--codes", "1", "--if", "COMP5 == 3", "--op", "DEL"},
       "No left square bracket found after COMP function - syntax = COMP[x]"},
      {{"x", "--codes", "1", "--if", "P4 > 2", "--op", "5 == 3"}, "Invalid operator == in Operation field!"},
      {{"x", "--codes", "1", "--if", "", "--op", "5000 25"},
       "Invalid float value 25 used with current Parameter Number in Operation field! Please use values between 1.0 "
       "and 19.0."},
      {{"kept", "--codes", "1", "--if", "", "--op", "DEL"}, "The step KEPT already exists; --overwrite replaces it."},
      {{" .stp", "--codes", "1", "--if", "", "--op", "DEL"},
       "The step name \" .stp\" is empty once leading blanks and everything from the first \".\" are dropped."},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args{"step", "save"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const auto r = runVelmoraCli(with(settings, args));
    SCOPED_TRACE(c.message);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "velmora-cli: " + c.message + "\n");
  }
  EXPECT_EQ(settings.listing(),
            "KEPT.STP SCORCNT2.DAT beam.dat crops.dat edi.dat just.dat opt.dat prefs.dat report.dat "
            "run.dat uno.dat");
  EXPECT_EQ(test::readBytes(settings.file("KEPT.STP")), kept);

  // With the 8-character option a longer new name is refused; an old one stays usable.
  ASSERT_EQ(runVelmoraCli(with(settings, {"settings", "set", "edi.dat", "limitNameLength=1"})).status, 0);
  auto r = runVelmoraCli(with(settings, {"step", "save", "ninechars", "--codes", "1", "--if", "", "--op", "DEL"}));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "velmora-cli: The step name NINECHARS is longer than 8 characters, the limit that Edit Settings "
                   "sets for compatibility with DOS Score.\n");
  // A macro naming a step without a file.
  r = runVelmoraCli(with(settings, {"macro", "save", "m", "kept", "gone"}));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "velmora-cli: Unable to open step " + settings.file("GONE.STP") + " for reading\n");
  EXPECT_EQ(runVelmoraCli(with(settings, {"macro", "save", "m", "--allow-missing", "kept", "gone"})).status, 0);
}

TEST(CliTools, SavedFilesAreTheBytesTheWindowWrites) {
  TempDir cli;
  TempDir window;
  // The window: the step editor's OK, the macro editor's OK and a settings dialog's OK.
  test::FakeHost host;
  const CEditFiles files(window.path(), host);
  StepData step{"Renames\r\nthe title", "16", "p4 > 10 && TXT[Abc]", "4 += 1 txt[Xyz]", 1};
  ASSERT_TRUE(normaliseAndCheckStep(step, false).ok());
  ASSERT_TRUE(files.saveStep("BEAM", step));
  ASSERT_TRUE(files.saveMacro("DEMO", MacroData{"Two\r\nlines", {"BEAM", "BEAM"}}));
  CSettings windowSettings(window.path());
  ASSERT_TRUE(windowSettings.editSettings<CropOptions>(host, [](CropOptions& o) {
    o.markLength = 30;
    o.markThickness = 1.25f;
    return true;
  }));
  ASSERT_TRUE(windowSettings.editSettings<OptimizeOptions>(host, [](OptimizeOptions& o) {
    o.extension = "nxt";
    return true;
  }));

  ASSERT_EQ(runVelmoraCli(with(cli, {"step", "save", "  beam.up", "--codes", "16", "--if", "p4 > 10 && TXT[Abc]",
                                     "--op", "4 += 1 txt[Xyz]", "--description", "Renames\nthe title", "--not-found"}))
                .status,
            0);
  ASSERT_EQ(runVelmoraCli(with(cli, {"macro", "save", "demo", "--description", "Two\nlines", "beam", "BEAM"})).status,
            0);
  ASSERT_EQ(runVelmoraCli(with(cli, {"settings", "set", "crops.dat", "markLength=30", "markThickness=1.25"})).status,
            0);
  ASSERT_EQ(runVelmoraCli(with(cli, {"settings", "set", "opt.dat", "extension=nxt"})).status, 0);
  for (const char* name : {"BEAM.STP", "DEMO.MAC", "crops.dat", "opt.dat"}) {
    SCOPED_TRACE(name);
    const auto bytes = test::readBytes(cli.file(name));
    EXPECT_FALSE(bytes.empty());
    EXPECT_EQ(test::hexDump(bytes), test::hexDump(test::readBytes(window.file(name))));
  }
  // show prints the report's entry.
  const auto shown = runVelmoraCli(with(cli, {"step", "show", "beam"}));
  const std::string body = "\tDescription: Renames\r\nthe title\n\n\tCode no(s): 16\n"
                           "\tConditional argument: IF (P4 > 10 && TXT[Abc])\n"
                           "\tIf no item of this kind found: TRUE\n\tOperation: 4 += 1 TXT[Xyz]\n\n";
  ASSERT_GE(shown.out.size(), body.size());
  EXPECT_EQ(shown.out.substr(0, 14), "BEAM.STP\tDate:");
  EXPECT_EQ(shown.out.substr(shown.out.size() - body.size()), body);
  // Bad values name the field and its range.
  const auto bad = runVelmoraCli(with(cli, {"settings", "set", "crops.dat", "markThickness=5.5"}));
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.err, "velmora-cli: crops.dat: markThickness must be a number from 0.1 to 5.0, not \"5.5\".\n");
}

} // namespace
} // namespace velmora::cli

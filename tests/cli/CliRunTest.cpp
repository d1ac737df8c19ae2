#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "base/AtomicFile.h"
#include "cli/CliRun.h"
#include "edit/EditFixtures.h"
#include "settings/Serialize.h"
#include "staves/StaveFixture.h"

namespace velmora::cli {
namespace {

using namespace test;
using clitest::CliRun;
const auto run = clitest::runVelmoraCli;

TEST(CliRun, TheChainOfRunDatWithTheOptionsItNeeds) {
  TempDir settings, scores;
  const std::string in = scores.file("a.mus");
  writeBytes(in, buildScore("8 1 0 0 0 0 0 0 10\n1 1 10 4 10 0 1\n8 2 0 0 0 0 0 0 20\n"));
  ASSERT_TRUE(saveRecordFile(settings.file("opt.dat"), OptimizeOptions{}));
  ASSERT_TRUE(saveRecordFile(settings.file("edi.dat"), EditOptions{}));
  writeStep(settings.path(), "S1", {"", "1", "", "5 = 9", 0});
  writeMacro(settings.path(), "M", {"S1"});

  // Edit on without --macro, Unoptimize on without --template: usage errors.
  ASSERT_TRUE(saveRecordFile(settings.file("run.dat"), RunOptions{1, 0, 0, 1, "out", 0}));
  CliRun r = run({"--settings", settings.path(), "run", in});
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(r.err.starts_with("velmora-cli: run needs --macro NAME: Edit is on in run.dat\n")) << r.err;
  ASSERT_TRUE(saveRecordFile(settings.file("run.dat"), RunOptions{1, 1, 0, 0, "out", 0}));
  r = run({"--settings", settings.path(), "run", "--macro", "M", in});
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(r.err.starts_with("velmora-cli: run needs --template TPL: Unoptimize is on in run.dat\n")) << r.err;

  ASSERT_TRUE(saveRecordFile(settings.file("run.dat"), RunOptions{1, 0, 0, 1, "out", 0}));
  r = run({"--settings", settings.path(), "run", "--macro", "M", in});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Optimizing " + in + "\nEditing with macro M " + in + ", step S1\n1 file(s) run. Finished.\n");
  EXPECT_EQ(r.err, "");
  EXPECT_SCORE_FILE(scores.file("a.out"), "8 1 0 0 0 0 0 0 10\n1 1 10 4 9 0 1\n");
  EXPECT_EQ(scores.listing(), "a.mus a.out");

  // A result left in its working file is no success.
  ASSERT_TRUE(saveRecordFile(settings.file("run.dat"), RunOptions{1, 0, 0, 0, "opt2", 0}));
  // run.dat is written first; then the final rename fails, not the one to the working name.
  setRenameFailure(EACCES, 1, 1);
  r = run({"--settings", settings.path(), "run", in});
  setRenameFailure(0);
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_EQ(scores.listing(), "a.000 a.mus a.out");
}

// A folder named like an output: every SCORE task shows the common open text
// with the output's path, writes nothing, and leaves the folder alone.
TEST(CliOutputs, AFolderInTheWayOfAnOutput) {
  struct Case {
    std::vector<std::string> args;
    const char* output;
  };
  const std::vector<Case> cases = {
      {{"edit", "--macro", "M"}, "a.EDI"},
      {{"optimize"}, "a.OPT"},
      {{"unoptimize", "--template", "TPL"}, "a.UNO"},
      {{"justify"}, "a.JST"},
      {{"beams"}, "a.BIM"},
      {{"run"}, "a.000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.output);
    TempDir settings, scores;
    ASSERT_TRUE(saveRecordFile(settings.file("opt.dat"), OptimizeOptions{}));
    ASSERT_TRUE(saveRecordFile(settings.file("uno.dat"), UnoptimizeOptions{}));
    ASSERT_TRUE(saveRecordFile(settings.file("edi.dat"), EditOptions{}));
    ASSERT_TRUE(saveRecordFile(settings.file("just.dat"), JustifyOptions{}));
    ASSERT_TRUE(saveRecordFile(settings.file("beam.dat"), BeamOptions{}));
    ASSERT_TRUE(saveRecordFile(settings.file("run.dat"), RunOptions{1, 0, 0, 0, "RUN", 0}));
    writeStep(settings.path(), "S1", {"", "1", "", "5 = 9", 0});
    writeMacro(settings.path(), "M", {"S1"});
    const std::string in = scores.file("a.mus");
    writeBytes(in, buildScore("8 1 0 0 0 0 0 0 10\n1 1 10 4 10 0 1\n"));
    writeBytes(scores.file("t.tpl"), buildScore("8 1 0 0 0 0 0 0 10\n"));
    ASSERT_TRUE(std::filesystem::create_directory(scores.file(c.output)));

    std::vector<std::string> args{"--settings", settings.path()};
    for (const std::string& arg : c.args)
      args.push_back(arg == "TPL" ? scores.file("t.tpl") : arg);
    args.push_back(in);
    const CliRun r = run(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.ends_with("Operation cancelled.\n")) << r.out;
    // Beams first says which of its libraries are missing.
    // A folder under the working file's name is refused before the chain starts.
    const std::string message =
        c.args[0] == "run"
            ? "velmora-cli: " + in + " cannot be run with multiple tasks: a file named like its working file, " +
                  scores.file(c.output) + ", already exists. Move or rename that file and try again.\n"
            : "velmora-cli: " + in + ": Unable to open file " + scores.file(c.output) + " for reading\n";
    if (c.args[0] == "beams") {
      EXPECT_TRUE(r.err.ends_with("BDNGRACE.DAT for reading\n" + message)) << r.err;
    } else {
      EXPECT_EQ(r.err, message);
    }
    EXPECT_EQ(scores.listing(), std::string(c.output) + " a.mus t.tpl");
    EXPECT_TRUE(std::filesystem::is_empty(scores.file(c.output)));
  }
}

} // namespace
} // namespace velmora::cli

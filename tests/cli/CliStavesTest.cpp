#include <gtest/gtest.h>

#include <cstdio>

#include "cli/CliRun.h"
#include "staves/StaveFixture.h"

namespace velmora::cli {
namespace {

using namespace test;

using clitest::CliRun;
const auto run = clitest::runVelmoraCli;

const char* kThreeStaves = "8 1 0 0 0 0 0 0 10\n1 1 10 4 10 0 1\n8 2 0 0 0 0 0 0 20\n8 3 0 0 0 0 0 0 30\n"
                           "1 3 10 4 10 0 1\n";

TEST(CliStaves, OptimizeInBothModes) {
  TempDir settings, scores;
  const std::string in = scores.file("a.mus");
  writeBytes(in, buildScore(kThreeStaves));
  // Blank staves: stave 2 goes.
  CliRun r = run({"--settings", settings.path(), "optimize", in});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "Optimizing " + in + "\n1 file(s) optimized. Finished.\n");
  EXPECT_EQ(r.err, "velmora-cli: Unable to open file " + settings.file("opt.dat") + " for reading\n");
  EXPECT_SCORE_FILE(scores.file("a.OPT"), "8 1 0 0 0 0 0 0 10\n1 1 10 4 10 0 1\n8 2 0 0 0 0 0 0 30\n"
                                          "1 2 10 4 10 0 1\n");
  // Instrument numbers answer the dialog and switch instrument mode on.
  r = run({"--settings", settings.path(), "optimize", "--instruments", "20 30", "--keep-listed", in});
  EXPECT_EQ(r.status, 0);
  EXPECT_SCORE_FILE(scores.file("a.OPT"), "8 1 0 0 0 0 0 0 20\n8 2 0 0 0 0 0 0 30\n1 2 10 4 10 0 1\n");
  r = run({"--settings", settings.path(), "optimize", "--instruments=10", in});
  EXPECT_EQ(r.status, 0);
  EXPECT_SCORE_FILE(scores.file("a.OPT"), "8 1 0 0 0 0 0 0 20\n8 2 0 0 0 0 0 0 30\n1 2 10 4 10 0 1\n");
}

TEST(CliStaves, UnoptimizeWithATemplate) {
  TempDir settings, scores;
  const std::string in = scores.file("a.opt");
  writeBytes(in, buildScore("8 1 0 0 0 0 0 0 20\n1 1 10 4 10 0 1\n14 1 20\n"));
  writeBytes(scores.file("full.tpl"), buildScore("8 1 0 0 0 0 0 0 10\n8 2 0 0 0 0 0 0 20\n"));
  CliRun r = run({"--settings", settings.path(), "unoptimize", "--template", scores.file("full.tpl"), in});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "Unoptimizing " + in + "\n1 file(s) unoptimized. Finished.\n");
  EXPECT_SCORE_FILE(scores.file("a.UNO"), "8 2 0 0 0 0 0 0 20\n1 2 10 4 10 0 1\n14 2 20\n"
                                          "8 1 0 0 0 0 0 0 10\n2 1 10 0 -2 0 1\n14 1 20\n");
  // A template that cannot be read: its message, no log, status 1.
  writeBytes(scores.file("bad.tpl"), buildScore("8 1 0\n"));
  r = run({"--settings", settings.path(), "unoptimize", "--template", scores.file("bad.tpl"), in});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "velmora-cli: Staff 1 has no instrument number!\n");
}

TEST(CliStaves, UsageErrors) {
  TempDir settings;
  for (const auto& args : std::vector<std::vector<std::string>>{{"unoptimize", "a.mus"},
                                                                {"optimize", "--keep-listed", "a.mus"},
                                                                {"optimize", "--keep-listed=1", "a.mus"},
                                                                {"optimize", "--template", "t.tpl", "a.mus"}}) {
    std::vector<std::string> full{"--settings", settings.path()};
    full.insert(full.end(), args.begin(), args.end());
    const CliRun r = run(full);
    EXPECT_EQ(r.status, 2) << args[1];
    EXPECT_TRUE(r.out.empty());
  }
  EXPECT_EQ(run({"unoptimize", "a.mus"}).err,
            "velmora-cli: unoptimize needs --template\nTry 'velmora-cli --help' for more information.\n");
  const std::string usage = run({"--help"}).out;
  EXPECT_NE(usage.find("  optimize [--instruments \"N N ...\" [--keep-listed]]\n                 delete blank"),
            std::string::npos)
      << usage;
  EXPECT_NE(usage.find("  unoptimize --template TPL\n                 insert"), std::string::npos) << usage;
}

} // namespace
} // namespace velmora::cli

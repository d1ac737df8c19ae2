#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "cli/Arguments.h"
#include "cli/CliRun.h"
#include "support/TempDir.h"

namespace velmora::cli {
namespace {

using test::TempDir;

const auto cli = clitest::runVelmoraCli;

std::string page(const std::string& box) {
  return "%!PS-Adobe-2.0 EPSF-1.2\n%%Creator: SCORE\n%%Title: SONG.MUS\n%%BoundingBox: " + box +
         "\n save\nshowpage\n%%Trailer\n%%DocumentFonts: Times-Roman\n";
}

void writeText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(EpsCli, AlterBoundingBoxTakesTheBoxAsOption) {
  TempDir settings, files;
  writeText(files.file("a.eps"), page("10 20 30 40"));
  const clitest::CliRun r = cli({"--settings", settings.path(), "alter-bbox", "--box", "+5,,*2,100", files.file("a.eps")});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "Altering bounding box in file " + files.file("a.eps") + "\n1 file(s) altered. Finished.\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(readText(files.file("a.eps")), page("15 20 60 100"));

  // Blank-separated values; a missing or short box is a usage error.
  EXPECT_EQ(cli({"--settings", settings.path(), "alter-bbox", "--box=-5 -5 +5 +5", files.file("a.eps")}).status, 0);
  EXPECT_EQ(readText(files.file("a.eps")), page("10 15 65 105"));
  for (const auto& args :
       std::vector<std::vector<std::string>>{{"alter-bbox", files.file("a.eps")},
                                             {"alter-bbox", "--box", "1,2,3", files.file("a.eps")},
                                             {"add-crops", "--box", "1,2,3,4", files.file("a.eps")}}) {
    const clitest::CliRun bad = cli(args);
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.err.rfind("velmora-cli: ", 0), 0u);
  }
  EXPECT_EQ(readText(files.file("a.eps")), page("10 15 65 105"));
}

TEST(EpsCli, ToolsPrintTheLogAndExitStatus) {
  TempDir settings, files;
  writeText(files.file("p.eps"), page("100 100 400 600"));
  clitest::CliRun r = cli({"--settings", settings.path(), "add-crops", files.file("p.eps")});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "Adding crop marks to " + files.file("p.eps") + ", renaming to " + files.file("SONG.EPS") +
                       "\n1 file(s) processed adding crop marks. Finished.\n");
  EXPECT_EQ(r.err, "velmora-cli: Unable to open file " + settings.file("crops.dat") + " for reading\n");

  r = cli({"--settings", settings.path(), "remove-crops", files.file("SONG.EPS")});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(readText(files.file("SONG.EPS")), page("100 100 400 600"));

  // list-fonts prints the path of FONTLIST.TXT.
  r = cli({"--settings", settings.path(), "list-fonts", files.file("SONG.EPS")});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "Recording text fonts needed in " + files.file("SONG.EPS") +
                       "\n1 file(s) processed creating font list. Finished.\n" + settings.file("FONTLIST.TXT") + "\n");
  EXPECT_EQ(readText(settings.file("FONTLIST.TXT")), "TEXT FONTS REQUIRED IN SELECTED EPS FILES\n\nTimes-Roman\n");

  writeText(files.file("two.eps"), page("1 1 2 2") + "%!PS-Adobe-2.0 EPSF-1.2\n%%Creator: SCORE\n%%Title: B.MUS\n");
  r = cli({"--settings", settings.path(), "split-eps", files.file("two.eps")});
  EXPECT_EQ(r.status, 0);
  // A row per page file; SONG.EPS was an earlier page of SONG.MUS.
  EXPECT_EQ(r.out, "Splitting file " + files.file("two.eps") + ", replacing " + files.file("SONG.EPS") +
                       "\nSplitting file " + files.file("two.eps") + ", saving to " + files.file("B.EPS") +
                       "\n1 file(s) split. Finished.\n");
  EXPECT_EQ(files.listing(), "B.EPS SONG.EPS two.eps");
  EXPECT_EQ(readText(files.file("SONG.EPS")), page("1 1 2 2"));

  // A refused file: the message on stderr, status 1.
  writeText(files.file("w.eps"), "%!PS-Adobe-2.0\nWinscore\n");
  r = cli({"--settings", settings.path(), "rename-eps", files.file("w.eps")});
  EXPECT_EQ(r.status, 1);
  // The message names the file it is about.
  EXPECT_EQ(r.err, "velmora-cli: " + files.file("w.eps") + ": This file is not a SCORE EPS file\n");
  EXPECT_EQ(r.out, "Renaming file " + files.file("w.eps") + "\nOperation cancelled.\n");
  EXPECT_EQ(files.listing(), "B.EPS SONG.EPS two.eps w.eps");
}

TEST(EpsCli, SplitNeverReplacesAFileWaitingInTheBatch) {
  TempDir settings, files;
  const std::string twoPages = page("1 1 2 2") + "%!PS-Adobe-2.0 EPSF-1.2\n%%Creator: SCORE\n%%Title: B.MUS\n";
  writeText(files.file("multi.eps"), twoPages);
  writeText(files.file("B.EPS"), twoPages);
  const clitest::CliRun r =
      cli({"--settings", settings.path(), "split-eps", files.file("multi.eps"), files.file("B.EPS")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "velmora-cli: " + files.file("multi.eps") + " holds a page for " + files.file("B.EPS") +
                       ", which is waiting in this batch; no page file was written.\n");
  EXPECT_EQ(r.out, "Splitting file " + files.file("multi.eps") + "\nOperation cancelled.\n");
  EXPECT_EQ(files.listing(), "B.EPS multi.eps");
  EXPECT_EQ(readText(files.file("B.EPS")), twoPages);
}

} // namespace
} // namespace velmora::cli

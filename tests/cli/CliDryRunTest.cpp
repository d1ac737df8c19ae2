#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "base/Format.h"
#include "cli/CliRun.h"
#include "edit/EditFixtures.h"
#include "model/RunRecord.h"
#include "settings/Settings.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

namespace velmora::cli {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

void writeText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string epsPage(const std::string& title) {
  return "%!PS-Adobe-2.0 EPSF-1.2\n%%Creator: SCORE\n%%Title: " + title +
         "\n%%BoundingBox: 100 100 400 600\n save\nshowpage\n%%Trailer\n%%DocumentFonts: Times-Roman\n";
}

// Every entry under the folder with its kind, permissions and bytes.
std::map<std::string, std::string> snapshot(const std::string& root) {
  std::map<std::string, std::string> entries;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    std::string value = std::to_string(static_cast<int>(entry.status().permissions()));
    if (entry.is_regular_file()) {
      std::ifstream in(entry.path(), std::ios::binary);
      std::ostringstream bytes;
      bytes << in.rdbuf();
      value += ":" + bytes.str();
    } else {
      value += entry.is_directory() ? ":dir" : ":other";
    }
    entries[fs::relative(entry.path(), root).string()] = value;
  }
  return entries;
}

std::string summaryOf(const std::string& out) {
  std::istringstream in(out);
  std::string summary;
  for (std::string line; std::getline(in, line);)
    if (line.starts_with("  ")) summary += line + "\n";
  return summary;
}

// Settings with a two-step macro, scores and PostScript pages to run on.
void makeTree(const std::string& settings, const std::string& scores) {
  fs::create_directories(settings);
  fs::create_directories(scores);
  test::FakeHost quiet;
  CSettings files(settings);
  files.edit().promptBeforeOperation = 0;
  ASSERT_TRUE(files.save(SettingsFile::Edit, quiet));
  test::writeStep(settings, "SET5", {"", "1", "P4 > 2", "5 = 7", 0});
  test::writeStep(settings, "DROP", {"", "1", "P3 = 30", "DEL", 0});
  test::writeMacro(settings, "DEMO", {"SET5", "DROP"});
  test::writeBytes(scores + "a.mus", test::buildScore("8 1 0 0 0 0 0 0 10\n1 1 10 4 10 0 1\n8 2 0 0 0 0 0 0 20\n"
                                                      "8 3 0 0 0 0 0 0 30\n1 3 30 4 10 0 1\n1 3 40 0 0 0 0\n"));
  test::writeBytes(scores + "full.tpl", test::buildScore("8 1 0 0 0 0 0 0 10\n8 2 0 0 0 0 0 0 20\n"
                                                         "8 3 0 0 0 0 0 0 30\n8 4 0 0 0 0 0 0 40\n"));
  test::writeBytes(scores + "b.mus", test::buildScore("6 1 10 9 8 30 11\n1 1 10 5 10\n1 1 20 7 10\n1 1 30 6 10"));
  writeText(scores + "p.eps", epsPage("SONG.MUS"));
  writeText(scores + "two.eps", epsPage("ONE.MUS") + epsPage("TWO.MUS"));
}

struct Row {
  std::vector<std::string> args; // "@" stands for the scores folder
  bool optionFirst;              // --dry-run before the command, else after it
  std::string summary;
  std::string realTail = ""; // what only the real run prints at the end
  bool rewritesSame = false; // the real run writes the bytes it read
};

TEST(CliDryRun, WritesNothingAndSaysWhatTheRunDoes) {
  const std::vector<Row> rows{
      {{"edit", "--macro", "DEMO", "@a.mus"},
       true,
       "  step SET5: 2 matched, 2 changed, 0 deleted, 0 inserted\n"
       "  step DROP: 1 matched, 0 changed, 1 deleted, 0 inserted\n"
       "  1 item(s) changed, 1 deleted, 0 inserted\n"},
      {{"optimize", "@a.mus"}, false, "  0 item(s) changed, 1 deleted, 0 inserted\n"},
      {{"unoptimize", "--template", "@full.tpl", "@a.mus"}, true, "  0 item(s) changed, 0 deleted, 1 inserted\n"},
      {{"justify", "@a.mus"}, false, "  0 item(s) changed, 0 deleted, 0 inserted\n"},
      {{"beams", "@b.mus"}, true, "  0 item(s) changed, 0 deleted, 0 inserted\n  1 beam angle(s) learned\n"},
      {{"add-crops", "@p.eps"}, false, "  crop marks and paper box added\n  new name @SONG.EPS\n"},
      {{"remove-crops", "@p.eps"}, true, "  no crop marks to remove\n", "", true},
      {{"rename-eps", "@p.eps"}, false, "  new name @SONG.EPS\n"},
      {{"split-eps", "@two.eps"}, true, "  split into 2 pages\n"},
      {{"list-fonts", "@p.eps"}, false, "  1 new font name(s)\n  1 font name(s) listed\n", "#FONTLIST.TXT\n"},
      {{"alter-bbox", "--box", "+5,,,", "@p.eps"}, true, "  bounding box altered\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.args.front());
    TempDir root;
    const std::string settings = root.file("settings/");
    const std::string scores = root.file("scores/");
    makeTree(settings, scores);

    std::vector<std::string> args{"--settings", settings};
    for (std::string a : row.args)
      args.push_back(a.starts_with("@") ? scores + a.substr(1) : a);
    std::vector<std::string> dryArgs = args;
    dryArgs.insert(dryArgs.begin() + (row.optionFirst ? 0 : 3), "--dry-run");
    std::vector<std::string> realArgs = args;
    realArgs.push_back("--summary");

    const auto before = snapshot(root.path());
    const clitest::CliRun dry = clitest::runVelmoraCli(dryArgs);
    EXPECT_EQ(snapshot(root.path()), before);
    const auto paths = [&](std::string text) {
      for (size_t at; (at = text.find_first_of("@#")) != std::string::npos;)
        text.replace(at, 1, text[at] == '@' ? scores : settings);
      return text;
    };
    const std::string expected = paths(row.summary);
    EXPECT_EQ(summaryOf(dry.out), expected) << dry.out;

    // The real run prints the same rows, messages and summary, and does write.
    const clitest::CliRun real = clitest::runVelmoraCli(realArgs);
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(dry.status, real.status);
    EXPECT_EQ(dry.out + paths(row.realTail), real.out);
    EXPECT_EQ(dry.err, real.err);
    if (!row.rewritesSame) {
      EXPECT_NE(snapshot(root.path()), before);
    }
  }
}

struct ChainRow {
  RunOptions options;
  std::vector<std::string> args; // "@" stands for the scores folder
  std::string summary;
};

// A chain writes nothing dry, and its one file line is the real result against the input.
TEST(CliDryRun, RunChainsWriteNothingAndCountTheirWholeResult) {
  const auto chain = [](int staves, int unoptimize, int beams, int justify, int edit) {
    RunOptions o;
    o.runStaveTask = staves;
    o.staveTaskIsUnoptimize = unoptimize;
    o.runBeamAngles = beams;
    o.runJustify = justify;
    o.runEdit = edit;
    return o;
  };
  const std::vector<ChainRow> rows{
      {chain(1, 0, 0, 0, 1),
       {"--macro", "DEMO", "@a.mus"},
       "  step SET5: 2 matched, 2 changed, 0 deleted, 0 inserted\n"
       "  step DROP: 1 matched, 0 changed, 1 deleted, 0 inserted\n"
       "  1 item(s) changed, 2 deleted, 0 inserted\n"},
      {chain(1, 1, 0, 1, 0), {"--template", "@full.tpl", "@a.mus"}, "  0 item(s) changed, 0 deleted, 1 inserted\n"},
      {chain(0, 0, 1, 1, 0), {"@b.mus"}, "  0 item(s) changed, 0 deleted, 0 inserted\n  1 beam angle(s) learned\n"},
  };
  for (const ChainRow& row : rows) {
    SCOPED_TRACE(row.args.back() + " " + std::to_string(row.options.runStaveTask + 2 * row.options.runEdit));
    TempDir root;
    const std::string settings = root.file("settings/");
    const std::string scores = root.file("scores/");
    makeTree(settings, scores);
    test::FakeHost quiet;
    CSettings files(settings);
    files.run() = row.options;
    ASSERT_TRUE(files.save(SettingsFile::Run, quiet));
    std::vector<std::string> args{"--settings", settings, "run"};
    for (const std::string& a : row.args)
      args.push_back(a.starts_with("@") ? scores + a.substr(1) : a);
    std::vector<std::string> dryArgs = args;
    dryArgs.push_back("--dry-run");
    std::vector<std::string> realArgs = args;
    realArgs.push_back("--summary");

    const auto before = snapshot(root.path());
    const clitest::CliRun dry = clitest::runVelmoraCli(dryArgs);
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(snapshot(root.path()), before);
    EXPECT_EQ(summaryOf(dry.out), row.summary) << dry.out;

    const clitest::CliRun real = clitest::runVelmoraCli(realArgs);
    EXPECT_EQ(real.status, dry.status);
    EXPECT_EQ(real.out, dry.out);
    EXPECT_EQ(real.err, dry.err);
    // The one new score is the result; what it differs by is the file line.
    std::vector<std::string> added;
    for (const auto& [path, value] : snapshot(root.path()))
      if (!before.contains(path) && path.starts_with("scores/")) added.push_back(path);
    ASSERT_EQ(added.size(), 1u) << real.out;
    const std::string input = scores + row.args.back().substr(1);
    ChangeCounts counts;
    ASSERT_TRUE(compareScoreBytes(test::readBytes(input), test::readBytes(root.file(added.front())),
                                  row.options.runStaveTask != 0, counts));
    const std::string summary = summaryOf(real.out);
    EXPECT_NE(summary.find(strprintf("  %lld item(s) changed, %lld deleted, %lld inserted\n", counts.changed,
                                     counts.deleted, counts.inserted)),
              std::string::npos)
        << summary;
  }
}

std::multiset<std::vector<float>> trimmedItems(const std::vector<uint8_t>& bytes) {
  std::multiset<std::vector<float>> items;
  for (std::vector<float> item : test::fileItems(bytes)) {
    while (item.size() > 1 && item.back() == 0.0f)
      item.pop_back();
    items.insert(item);
  }
  return items;
}

size_t missingFrom(const std::multiset<std::vector<float>>& a, const std::multiset<std::vector<float>>& b) {
  std::vector<std::vector<float>> rest;
  std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(rest));
  return rest.size();
}

// The counts agree with a plain comparison of input and real output on real scores.
TEST(CliDryRun, EditCountsMatchTheRealOutputOnTheCorpus) {
  const std::string corpus = test::corpusDir();
  if (corpus.empty()) GTEST_SKIP() << "no corpus";
  TempDir settings, scores;
  test::FakeHost quiet;
  CSettings files(settings.path());
  files.edit().promptBeforeOperation = 0;
  ASSERT_TRUE(files.save(SettingsFile::Edit, quiet));
  test::writeStep(settings.path(), "SET5", {"", "1", "P4 > 2", "5 = 7", 0});
  test::writeStep(settings.path(), "NOCLEF", {"", "3", "P3 > 0", "DEL", 0});
  test::writeMacro(settings.path(), "DEMO", {"SET5", "NOCLEF"});
  long long touched = 0;
  for (const auto& entry : fs::directory_iterator(corpus)) {
    if (entry.path().extension() != ".mus") continue;
    SCOPED_TRACE(entry.path().string());
    const std::string in = scores.file(entry.path().filename().string());
    fs::copy_file(entry.path(), in);
    const clitest::CliRun dry =
        clitest::runVelmoraCli({"--settings", settings.path(), "--dry-run", "edit", "--macro", "DEMO", in});
    const clitest::CliRun real = clitest::runVelmoraCli({"--settings", settings.path(), "edit", "--macro", "DEMO", in});
    ASSERT_EQ(real.status, 0) << real.err;
    long long changed = -1, deleted = -1, inserted = -1;
    const std::string summary = summaryOf(dry.out);
    const std::string last = summary.substr(summary.rfind("\n", summary.size() - 2) + 1);
    ASSERT_EQ(
        std::sscanf(last.c_str(), "  %lld item(s) changed, %lld deleted, %lld inserted", &changed, &deleted, &inserted),
        3)
        << summary;
    const auto before = trimmedItems(test::readBytes(in));
    const auto after = trimmedItems(test::readBytes(in.substr(0, in.size() - 3) + "EDI"));
    EXPECT_EQ(static_cast<size_t>(changed + deleted), missingFrom(before, after));
    EXPECT_EQ(static_cast<size_t>(changed + inserted), missingFrom(after, before));
    touched += changed + deleted;
  }
  EXPECT_GT(touched, 0);
}

// In JSON the file event carries the same counts, per step for Edit.
TEST(CliDryRun, JsonFileEventsCarryTheChanges) {
  TempDir settings, scores;
  test::writeStep(settings.path(), "SET5", {"", "1", "P4 > 2", "5 = 7", 0});
  test::writeStep(settings.path(), "DROP", {"", "3", "", "DEL", 0});
  test::writeMacro(settings.path(), "M", {"SET5", "DROP"});
  const std::string in = scores.file("a.mus");
  test::writeBytes(in, test::buildScore("3 1 0 0\n1 1 10 4 0\n1 1 20 1 0\n"));
  const clitest::CliRun r = clitest::runVelmoraCli(
      {"--settings", settings.path(), "--format=json", "--dry-run", "edit", "--macro", "M", in});
  ASSERT_EQ(r.status, 0) << r.err;
  std::istringstream lines(r.out);
  nlohmann::json file;
  for (std::string line; std::getline(lines, line);)
    if (const auto event = nlohmann::json::parse(line); event["event"] == "file") file = event;
  ASSERT_TRUE(file.contains("changes")) << r.out;
  EXPECT_EQ(file["changes"], nlohmann::json::parse(R"({"changed":1,"deleted":1,"inserted":0,"steps":[
      {"name":"SET5","matched":1,"changed":1,"deleted":0,"inserted":0},
      {"name":"DROP","matched":1,"changed":0,"deleted":1,"inserted":0}]})"));
  EXPECT_FALSE(fs::exists(scores.file("a.EDI")));
}

TEST(CliDryRun, NotForReportOrCount) {
  TempDir settings;
  for (const std::string command : {"report", "count"}) {
    std::vector<std::string> args{"--settings", settings.path(), "--dry-run", command};
    if (command != "report") args.push_back(settings.file("a.mus"));
    const clitest::CliRun r = clitest::runVelmoraCli(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "velmora-cli: --dry-run is not available for " + command);
  }
}

} // namespace
} // namespace velmora::cli

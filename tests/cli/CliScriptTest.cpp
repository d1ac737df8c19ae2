// The command line as a script uses it: messages, keep-going, file lists,
// JSON events, the terminal status line, exit statuses and usage errors.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "base/FileSystem.h"
#include "beams/BeamLibrary.h"
#include "cli/Arguments.h"
#include "cli/CliRun.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

extern char** environ;

namespace velmora::cli {
namespace {

using clitest::CliRun;
using clitest::slurp;
using nlohmann::json;
using test::TempDir;

const auto runCommand = clitest::runVelmoraCli;
const std::string kNoSettings = "velmora-cli: Unable to load settings! Using Defaults...\n";

const char* const kGood = "8 1 0 0 0 0 0 0 10\n1 1 10 4 10 0 1\n";
// Its second item has code 0, which every reader refuses.
const char* const kBadCode = "8 1 0 0 0 0 0 0 10\n0 1 10 4 10 0 1\n";
const std::string kInvalidCode =
    "Error - Item no. 2 found with invalid Code No. (= 0!! CIEL)\nPlease try editing your SCORE file.";

// The CLI with both output streams on one file, so their order shows; `in` is its standard input.
std::string runInterleaved(std::vector<std::string> args, int& status, std::FILE* in = stdin) {
  args.insert(args.begin(), "velmora-cli");
  std::vector<const char*> argv;
  for (auto& a : args)
    argv.push_back(a.c_str());
  argv.push_back(nullptr);
  std::FILE* both = std::tmpfile();
  status = runCli(static_cast<int>(args.size()), argv.data(), both, both, in);
  return slurp(both);
}

std::FILE* textStream(const std::string& text) {
  std::FILE* f = std::tmpfile();
  std::fputs(text.c_str(), f);
  std::rewind(f);
  return f;
}

TEST(CliScript, MessagesFollowTheirFilesRowAndNameTheFile) {
  TempDir settings, scores;
  test::writeBytes(scores.file("a.mus"), test::buildScore(kGood));
  test::writeBytes(scores.file("z.mus"), test::buildScore(kBadCode));
  int status = 0;
  const std::string out = runInterleaved(
      {"--settings", settings.path(), "optimize", scores.file("a.mus"), scores.file("z.mus"), scores.file("a.mus")},
      status);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(out, "velmora-cli: Unable to open file " + settings.file("opt.dat") + " for reading\n" + "Optimizing " +
                     scores.file("a.mus") + "\nOptimizing " + scores.file("z.mus") +
                     "\nvelmora-cli: " + scores.file("z.mus") + ": " + kInvalidCode + "\nOperation cancelled.\n");
}

// Good, missing, refused and unwritable files: each gets its row and its
// messages, the batch goes on, and the closing block lists the three.
TEST(CliScript, KeepGoingListsTheFilesNotProcessed) {
  TempDir settings, scores;
  for (const char* name : {"a.mus", "w.mus", "b.mus"})
    test::writeBytes(scores.file(name), test::buildScore(kGood));
  test::writeBytes(scores.file("z.mus"), test::buildScore(kBadCode));
  test::writeBytes(scores.file("w.OPT"), {'o', 'l', 'd'});
  ASSERT_EQ(setReadOnlyFile(scores.file("w.OPT"), true), 0);
  const std::string a = scores.file("a.mus"), m = scores.file("m.mus"), z = scores.file("z.mus"),
                    w = scores.file("w.mus"), b = scores.file("b.mus");
  for (const bool after : {false, true}) {
    std::vector<std::string> args{"--settings", settings.path(), "optimize", a, m, z, w, b};
    args.insert(after ? args.end() : args.begin() + 2, "--keep-going");
    const CliRun r = runCommand(args);
    EXPECT_EQ(r.status, 1);
    const std::string unwritable = "Unable to open file " + scores.file("w.OPT") + " for reading";
    EXPECT_EQ(r.out, "Optimizing " + a + "\nOptimizing " + m + "\nOptimizing " + z + "\nOptimizing " + w +
                         "\nOptimizing " + b + "\n2 file(s) optimized. Finished.\n3 file(s) not processed:\n" + m +
                         ": Unable to open file " + m + " for reading\n" + z +
                         ": Error - Item no. 2 found with invalid Code No. (= 0!! CIEL) Please try editing your "
                         "SCORE file.\n" +
                         w + ": " + unwritable + "\n");
    EXPECT_EQ(r.err, "velmora-cli: Unable to open file " + settings.file("opt.dat") +
                         " for reading\nvelmora-cli: Unable to open file " + m + " for reading\nvelmora-cli: " + z +
                         ": " + kInvalidCode + "\nvelmora-cli: " + w + ": " + unwritable + "\n");
  }
  EXPECT_TRUE(fileExists(scores.file("a.OPT")));
  EXPECT_TRUE(fileExists(scores.file("b.OPT")));
  setReadOnlyFile(scores.file("w.OPT"), false);
  EXPECT_EQ(test::readBytes(scores.file("w.OPT")), (std::vector<uint8_t>{'o', 'l', 'd'}));
}

TEST(CliScript, FilesFromAddsTheListedPaths) {
  TempDir settings, scores;
  for (const char* name : {"a.mus", "b mus.mus", "c.mus"})
    test::writeBytes(scores.file(name), test::buildScore(kGood));
  const std::string list = scores.file("b mus.mus") + "\r\n\n   \n" + scores.file("c.mus") + "\n";
  test::writeBytes(scores.file("list.txt"), std::vector<uint8_t>(list.begin(), list.end()));
  const std::string rows = "Reading item count for " + scores.file("a.mus") + "\nReading item count for " +
                           scores.file("b mus.mus") + "\nReading item count for " + scores.file("c.mus") +
                           "\n3 file(s) edited. Finished.\n";
  // From a file, after the FILE arguments, the option before or after COMMAND.
  CliRun r = runCommand(
      {"--files-from", scores.file("list.txt"), "--settings", settings.path(), "count", scores.file("a.mus")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, rows.size()), rows);
  EXPECT_EQ(r.err, "velmora-cli: Unable to load settings! Using Defaults...\n");
  // From standard input, with no FILE argument at all.
  std::FILE* in = textStream(scores.file("a.mus") + "\n" + list);
  int status = 0;
  const std::string out = runInterleaved({"--settings", settings.path(), "count", "--files-from=-"}, status, in);
  std::fclose(in);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(out.substr(0, kNoSettings.size() + rows.size()), kNoSettings + rows);
  // A folder, a missing list and an empty one are usage errors.
  r = runCommand({"--settings", settings.path(), "count", "--files-from", scores.path()});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "velmora-cli: --files-from: " + scores.path() +
                       " is a folder, not a list of files\nTry 'velmora-cli --help' for more information.\n");
  r = runCommand({"--settings", settings.path(), "count", "--files-from", scores.file("none.txt")});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err.rfind("velmora-cli: --files-from: cannot read " + scores.file("none.txt") + ": ", 0), 0u) << r.err;
  test::writeBytes(scores.file("empty.txt"), {'\n'});
  r = runCommand({"--settings", settings.path(), "count", "--files-from", scores.file("empty.txt")});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "velmora-cli: no FILE given: " + scores.file("empty.txt") +
                       " lists none\nTry 'velmora-cli --help' for more information.\n");
}

// Every event parses back; a name that is not UTF-8 comes out as Latin-1
// characters, with its exact bytes beside it.
TEST(CliScript, JsonEventsParseBack) {
  TempDir settings, scores;
  const std::string latin = scores.file("\xE9t\xE9.mus");
  test::writeBytes(latin, test::buildScore(kGood));
  test::writeBytes(scores.file("z.mus"), test::buildScore(kBadCode));
  const CliRun r = runCommand({"--format=json", "--settings", settings.path(), "optimize", "--keep-going", latin,
                               scores.file("z.mus"), scores.file("m.mus")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "");
  std::vector<json> events;
  std::istringstream lines(r.out);
  for (std::string line; std::getline(lines, line);)
    events.push_back(json::parse(line));
  const std::string shown = scores.path() + "\u00e9t\u00e9.mus";
  const std::string shownOut = scores.path() + "\u00e9t\u00e9.OPT";
  const std::vector<json> expected{
      {{"event", "message"},
       {"file", nullptr},
       {"text", "Unable to open file " + settings.file("opt.dat") + " for reading"}},
      {{"event", "row"}, {"text", "Optimizing " + shown}},
      {{"event", "file"},
       {"path", shown},
       {"result", "processed"},
       {"output", shownOut},
       {"outputs", {shownOut}},
       {"path_bytes", std::vector<unsigned char>(latin.begin(), latin.end())}},
      {{"event", "row"}, {"text", "Optimizing " + scores.file("z.mus")}},
      {{"event", "message"}, {"file", scores.file("z.mus")}, {"text", kInvalidCode}},
      {{"event", "file"},
       {"path", scores.file("z.mus")},
       {"result", "refused"},
       {"output", nullptr},
       {"outputs", json::array()}},
      {{"event", "row"}, {"text", "Optimizing " + scores.file("m.mus")}},
      {{"event", "message"},
       {"file", scores.file("m.mus")},
       {"text", "Unable to open file " + scores.file("m.mus") + " for reading"}},
      {{"event", "file"},
       {"path", scores.file("m.mus")},
       {"result", "cannot-open"},
       {"output", nullptr},
       {"outputs", json::array()}},
      {{"event", "row"}, {"text", "1 file(s) optimized. Finished."}},
      {{"event", "end"}, {"finished", true}, {"processed", 1}, {"failed", 2}},
  };
  ASSERT_EQ(events.size(), expected.size()) << r.out;
  for (size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(events[i], expected[i]) << i;
}

// A pseudo-terminal as standard error: the status line is drawn there and
// cleared, and never reaches the log or a stderr that is not a terminal.
TEST(CliScript, StatusLineOnlyOnATerminal) {
  TempDir settings, scores;
  test::writeBytes(scores.file("a.mus"), test::buildScore(kGood));
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  std::FILE* terminal = std::fopen(ptsname(master), "w");
  ASSERT_TRUE(terminal);
  std::vector<std::string> args{"velmora-cli", "--settings",         settings.path(),
                                "count",       scores.file("a.mus"), scores.file("a.mus")};
  std::vector<const char*> argv;
  for (auto& a : args)
    argv.push_back(a.c_str());
  argv.push_back(nullptr);
  std::FILE* out = std::tmpfile();
  EXPECT_EQ(runCli(static_cast<int>(args.size()), argv.data(), out, terminal), 0);
  std::fclose(terminal);
  std::string shown;
  char buf[4096];
  for (pollfd p{master, POLLIN, 0}; poll(&p, 1, 200) > 0 && (p.revents & POLLIN);) {
    const ssize_t n = read(master, buf, sizeof buf);
    if (n <= 0) break;
    shown.append(buf, static_cast<size_t>(n));
  }
  close(master);
  const std::string a = scores.file("a.mus");
  // The terminal turns "\n" into "\r\n".
  EXPECT_EQ(shown, "velmora-cli: Unable to load settings! Using Defaults...\r\n\r[1/2] " + a +
                       "\033[K\r\033[K\r[1/2] " + a + "\033[K\r\033[K\r[2/2] " + a + "\033[K\r\033[K");
  EXPECT_EQ(slurp(out).find('['), std::string::npos);
  const CliRun plain = runCommand({"--settings", settings.path(), "count", a, a});
  EXPECT_EQ(plain.err.find('['), std::string::npos);
}

TEST(CliScript, ExitStatusesSayWhatHappened) {
  TempDir settings, scores;
  test::writeBytes(scores.file("a.mus"), test::buildScore(kGood));
  test::writeBytes(scores.file("z.mus"), test::buildScore(kBadCode));
  // The count goes on past a file it cannot use, prints its block and still fails.
  for (const char* name : {"z.mus", "m.mus"}) {
    const CliRun r = runCommand({"--settings", settings.path(), "count", scores.file("a.mus"), scores.file(name)});
    EXPECT_EQ(r.status, 1) << name;
    EXPECT_NE(r.out.find("The 2 file(s) selected contain(s):"), std::string::npos);
  }
  // Beam libraries that cannot be saved lose what the run learned.
  TempDir project;
  for (int i = 0; i < kBeamLibraryCount; ++i)
    std::filesystem::create_directory(beamLibraryPath(project.path(), i));
  const CliRun beams = runCommand({"--settings", project.path(), "beams", scores.file("a.mus")});
  EXPECT_EQ(beams.status, 1) << beams.out << beams.err;
  EXPECT_NE(beams.out.find("Finished."), std::string::npos);
  // A settings folder named on the command line must be one.
  const std::string missing = settings.file("nowhere");
  CliRun r = runCommand({"--settings", missing, "count", scores.file("a.mus")});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "velmora-cli: settings folder " + missing +
                       " does not exist\nTry 'velmora-cli --help' for more information.\n");
  r = runCommand({"count", scores.file("a.mus"), "--settings", scores.file("a.mus")});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "velmora-cli: settings folder " + scores.file("a.mus") +
                       " is not a folder\nTry 'velmora-cli --help' for more information.\n");
  EXPECT_FALSE(fileExists(missing));
}

// SIGTERM and SIGHUP cancel as Ctrl+C does: the batch ends at the next item,
// no temporary is left behind, and the status is 128 + the signal.
TEST(CliScript, TerminateAndHangUpCancelTheBatch) {
  std::string items;
  for (int i = 0; i < 4000; ++i)
    items += "1 1 " + std::to_string(i) + " 4\n";
  for (const auto& [signal, expected] : {std::pair{SIGTERM, 143}, std::pair{SIGHUP, 129}}) {
    TempDir settings, scores;
    test::writeBytes(scores.file("big.mus"), test::buildScore("8 1 0 0 0 0 0 0 10\n" + items));
    std::vector<std::string> args{VELMORA_CLI_BINARY, "--settings", settings.path(), "optimize"};
    for (int i = 0; i < 400; ++i)
      args.push_back(scores.file("big.mus"));
    int outFd = -1;
    const pid_t pid = clitest::spawnWithOutputPipe(args, outFd);
    ASSERT_GT(pid, 0);
    std::string out;
    char buf[4096];
    // Two rows: the first file has been written and the second is under way.
    while (std::count(out.begin(), out.end(), '\n') < 2) {
      const ssize_t n = read(outFd, buf, sizeof buf);
      ASSERT_GT(n, 0);
      out.append(buf, static_cast<size_t>(n));
    }
    kill(pid, signal);
    for (ssize_t n; (n = read(outFd, buf, sizeof buf)) > 0;)
      out.append(buf, static_cast<size_t>(n));
    close(outFd);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), expected);
    EXPECT_NE(out.find("\nOperation cancelled.\n"), std::string::npos);
    EXPECT_EQ(scores.listing(), "big.OPT big.mus");
  }
}

TEST(CliScript, UsageErrorsHelpAndVersion) {
  const std::string tryHelp = "Try 'velmora-cli --help' for more information.\n";
  for (const auto& [args, what] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{}, "no command given"},
           {{"frobnicate", "a.mus"}, "unknown command frobnicate"},
           {{"count"}, "no FILE given"},
           {{"--bogus", "count", "a.mus"}, "unknown option --bogus"},
           {{"--format=xml", "count", "a.mus"}, "unknown format 'xml' (text or json)"},
           {{"edit", "a.mus"}, "edit needs --macro NAME"},
       }) {
    const CliRun r = runCommand(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "velmora-cli: " + what + "\n" + tryHelp);
  }
  // Every help text fits 80 columns.
  std::vector<std::string> texts{runCommand({"--help"}).out};
  for (const CommandSpec& c : commandSpecs()) {
    const CliRun r = runCommand({c.name, "--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, commandUsageText(c));
    texts.push_back(r.out);
  }
  for (const std::string& text : texts) {
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
      EXPECT_LE(line.size(), 80u) << line;
  }
  EXPECT_EQ(runCommand({"optimize", "--help"}).out,
            "Usage: velmora-cli [OPTION]...\n"
            "         optimize [--instruments \"N N ...\" [--keep-listed]] FILE...\n"
            "\n"
            "Delete blank or chosen staves (Optimize).\n"
            "\n"
            "Options of optimize:\n"
            "  --instruments \"N N ...\"\n"
            "                      delete the staves whose staff items carry these\n"
            "                      instrument numbers\n"
            "  --keep-listed       keep only those staves instead (needs --instruments)\n"
            "\n"
            "Options, before or after COMMAND:\n"
            "  --settings DIR      the settings folder (default:\n"
            "                      $XDG_CONFIG_HOME/corvane software/velmora3/)\n"
            "  --keep-going        go on after a file that cannot be opened, is refused or\n"
            "                      cannot be written, and list such files at the end\n"
            "  --files-from FILE   also process the paths FILE lists, one a line (\"-\":\n"
            "                      standard input)\n"
            "  --format=FORMAT     \"text\" (the default) or \"json\": one JSON object per event\n"
            "  --dry-run           run in memory and write nothing; show what would change\n"
            "                      under each file\n"
            "  --summary           show what changed under each file\n"
            "  --help              show this text; after COMMAND, that command's usage\n"
            "  --version           show the version and the licence\n");
  EXPECT_EQ(runCommand({"--version"}).out,
            "velmora-cli 3.7\nCopyright (C) 2026 Corvane Software\nLicense GPLv3+: GNU GPL version 3 or later "
            "<https://gnu.org/licenses/gpl.html>.\nThis is free software: you are free to change and redistribute "
            "it.\nThere is NO WARRANTY, to the extent permitted by law.\n");
}

} // namespace
} // namespace velmora::cli

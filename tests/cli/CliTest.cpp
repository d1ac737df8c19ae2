#include "cli/CliMain.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "base/AtomicFile.h"
#include "cli/Arguments.h"
#include "cli/CliHost.h"
#include "cli/CliRun.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

extern char** environ;

namespace velmora::cli {
namespace {

using test::TempDir;

using clitest::CliRun;
using clitest::slurp;
const auto runCommand = clitest::runVelmoraCli;

TEST(Cli, UsageErrorsExitWithTwo) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {}, {"frobnicate", "a.mus"}, {"count"}, {"--bogus", "count", "a.mus"}, {"--settings"}}) {
    const CliRun r = runCommand(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(r.err.rfind("velmora-cli: ", 0), 0u) << r.err;
    // One line on what is wrong, then where to read more; never the whole usage.
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 2) << r.err;
    EXPECT_TRUE(r.err.ends_with("\nTry 'velmora-cli --help' for more information.\n")) << r.err;
  }
  EXPECT_EQ(runCommand({"--help"}).status, 0);
  EXPECT_EQ(runCommand({"--version"}).out.rfind("velmora-cli 3.7\nCopyright (C) ", 0), 0u);
}

TEST(Cli, UsageListsCommandsInColumns) {
  // Optional options in brackets; a synopsis too long for the column gets its own line.
  const std::string usage = usageText();
  const std::string commands = "Commands:\n"
                               "  count          count staves, items and parameters (Run Item Count)\n"
                               "  optimize [--instruments \"N N ...\" [--keep-listed]]\n"
                               "                 delete blank or chosen staves (Optimize)\n"
                               "  unoptimize --template TPL\n"
                               "                 insert the missing staves from a template (Unoptimize)\n"
                               "  justify        remove overlaps between notes (Justify)\n"
                               "  add-crops      add crop marks to SCORE EPS files (settings from crops.dat)\n"
                               "  remove-crops   remove the crop marks added before\n"
                               "  rename-eps     rename EPS files to their SCORE file name + .EPS\n"
                               "  split-eps      split multi-page EPS files into one file per page\n"
                               "  list-fonts     write the text fonts of the files to FONTLIST.TXT and print\n"
                               "                 its path\n"
                               "  alter-bbox --box \"X1,Y1,X2,Y2\"\n"
                               "                 alter the bounding box; each field is +N, -N, *N, /N, N or\n"
                               "                 empty\n"
                               "  beams          set beam angles from the libraries (Set Beam Angles)\n"
                               "  edit --macro NAME\n"
                               "                 run the macro NAME over the files (Edit)\n"
                               "  report         write VELRPT.TXT with every macro and step and print its path\n"
                               "                 (no FILE)\n"
                               "  run [--macro NAME] [--template TPL]\n"
                               "                 run the tasks ticked in run.dat (Run Multiple Tasks); --macro\n"
                               "                 for Edit, --template for Unoptimize\n"
                               "\n";
  EXPECT_NE(usage.find(commands), std::string::npos) << usage;
}

TEST(Cli, CountPrintsTheLogAndMessagesApart) {
  TempDir settings, scores;
  test::writeBytes(scores.file("a.mus"), test::buildScore("8 1 0\n1 1 10 4 10 0 1"));
  const CliRun r =
      runCommand({"--settings", settings.path(), "count", scores.file("a.mus"), scores.file("missing.mus")});
  // The count goes on past the missing file, but it was not counted.
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "velmora-cli: Unable to load settings! Using Defaults...\nvelmora-cli: Unable to open file " +
                       scores.file("missing.mus") + " for reading\n");
  const std::string expectedHead = "Reading item count for " + scores.file("a.mus") + "\nReading item count for " +
                                   scores.file("missing.mus") +
                                   "\n2 file(s) edited. Finished.\n\nThe 2 file(s) selected contain(s):\n\n"
                                   "\tStaves:\t1\n\n\tItems:\t\t2\n\n\tParameters:\t10\n\n"
                                   "\tCode 1\t\tItems:\t1\tParameters:\t7\n";
  EXPECT_EQ(r.out.substr(0, expectedHead.size()), expectedHead);
  const std::string tail = "\tCode 18\t\tItems:\t0\tParameters:\t0\n\n";
  ASSERT_GE(r.out.size(), tail.size());
  EXPECT_EQ(r.out.substr(r.out.size() - tail.size()), tail);
  // The settings folder named on the command line is used as is.
  EXPECT_EQ(settings.listing(), "");
}

TEST(Cli, ConsoleLogPrintsExtendedRowsOnce) {
  COutputLog log;
  std::FILE* out = std::tmpfile();
  ConsoleLog console(log, out);
  log.setObserver(&console);
  log.appendAndFollow("Editing with macro M /a.mus");
  log.replaceLast("Editing with macro M /a.mus, step ONE");
  log.replaceLast("Editing with macro M /a.mus, step TWO");
  log.appendAndFollow("Operation cancelled.");
  log.clear();
  log.append("next");
  console.flush();
  log.setObserver(nullptr);
  EXPECT_EQ(slurp(out), "Editing with macro M /a.mus, step TWO\nOperation cancelled.\nnext\n");
}

// Ctrl+C cancels at the next item: the batch ends as cancelled and the
// process exits with 130.
TEST(Cli, InterruptEndsTheBatchWith130) {
  TempDir settings, scores;
  std::string items;
  for (int i = 0; i < 4000; ++i)
    items += "1 1 " + std::to_string(i) + " 4\n";
  test::writeBytes(scores.file("big.mus"), test::buildScore(items));
  std::vector<std::string> args{VELMORA_CLI_BINARY, "--settings", settings.path(), "count"};
  for (int i = 0; i < 400; ++i)
    args.push_back(scores.file("big.mus"));
  int outFd = -1;
  const pid_t pid = clitest::spawnWithOutputPipe(args, outFd);
  ASSERT_GT(pid, 0);

  // Wait for the first progress row, then interrupt.
  std::string out;
  char buf[4096];
  while (out.find('\n') == std::string::npos) {
    const ssize_t n = read(outFd, buf, sizeof buf);
    ASSERT_GT(n, 0);
    out.append(buf, static_cast<size_t>(n));
  }
  kill(pid, SIGINT);
  for (ssize_t n; (n = read(outFd, buf, sizeof buf)) > 0;)
    out.append(buf, static_cast<size_t>(n));
  close(outFd);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 130);
  EXPECT_NE(out.find("\nOperation cancelled.\n"), std::string::npos);
  EXPECT_EQ(out.find("Finished."), std::string::npos);
}

// A Ctrl+C after the last pump still counts: the run exits with 130.
TEST(Cli, InterruptAfterTheLastPumpCounts) {
  CliHost host(stdout, stderr);
  CliHost::interrupted = false;
  EXPECT_FALSE(host.wasInterrupted());
  CliHost::interrupted = true;
  EXPECT_TRUE(host.wasInterrupted());
  // Taken at a pump, it is still remembered.
  EXPECT_EQ(host.pump(), Pump::Cancel);
  EXPECT_FALSE(CliHost::interrupted.load());
  EXPECT_TRUE(host.wasInterrupted());
}

// A second Ctrl+C before the next pump exits 130 and takes the half-written temporary along.
TEST(Cli, SecondInterruptRemovesTheFileBeingWritten) {
  TempDir dir;
  test::writeBytes(dir.file("out.mus"), {'o', 'l', 'd'});
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    AtomicFile file;
    if (!file.open(dir.file("out.mus")) || !file.write("new", 3)) _exit(3);
    CliHost::interrupted = false;
    onInterrupt(SIGINT);
    onInterrupt(SIGINT);
    _exit(4);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 130);
  EXPECT_EQ(dir.listing(), "out.mus");
  EXPECT_EQ(test::readBytes(dir.file("out.mus")), (std::vector<uint8_t>{'o', 'l', 'd'}));
}

} // namespace
} // namespace velmora::cli

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "beams/BeamLibrary.h"
#include "cli/CliBeamDialogs.h"
#include "settings/Serialize.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

extern char** environ;

namespace velmora::cli {
namespace {

using test::TempDir;

struct SpawnedRun {
  int status = -1;
  std::string out;
  std::string err;
};

// The real binary with stdin closed off, as a script would run it.
SpawnedRun spawnCli(const TempDir& dir, std::vector<std::string> args) {
  args.insert(args.begin(), VELMORA_CLI_BINARY);
  std::vector<char*> argv;
  for (auto& a : args)
    argv.push_back(a.data());
  argv.push_back(nullptr);
  const std::string out = dir.file("stdout.txt"), err = dir.file("stderr.txt");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid;
  SpawnedRun run;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) return run;
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  waitpid(pid, &status, 0);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  const auto text = [](const std::string& path) {
    const auto bytes = test::readBytes(path);
    return std::string(bytes.begin(), bytes.end());
  };
  run.out = text(out);
  run.err = text(err);
  return run;
}

TEST(CliBeams, NotFoundIsAnsweredNoToAllOffATerminal) {
  TempDir settings, scores, io;
  BeamOptions options;
  options.allowNoAngleDialog = 1;
  ASSERT_TRUE(saveRecordFile(settings.file("beam.dat"), options));
  // The same position twice: the first is asked about and left alone, the second is learned silently.
  test::writeBytes(scores.file("a.mus"), test::buildScore("6 1 10 9 8 30 11\n1 1 10 5 10\n1 1 20 7 10\n1 1 30 6 10\n"
                                                          "6 2 10 3 4 30 11\n1 2 10 5 10\n1 2 20 7 10\n1 2 30 6 10"));
  const SpawnedRun r = spawnCli(io, {"--settings", settings.path(), "beams", scores.file("a.mus")});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "Setting beam angles in " + scores.file("a.mus") + "\nBeam angles set in 1 file(s). Finished.\n");
  std::string expectedErr;
  for (int i = 0; i < kBeamLibraryCount; ++i)
    expectedErr +=
        "velmora-cli: Unable to open file " + settings.path() + beamLibraryInfo(i).fileName + " for reading\n";
  expectedErr += "velmora-cli: Beam Angle Does Not Exist: The following beam angle position was not found. Do you wish "
                 "to add it to the array? Direction: Up 8ths\tLeft note: 5\tMid note: 7\tRight note: 6 "
                 "[no/No To All] No To All\n";
  EXPECT_EQ(r.err, expectedErr);
  EXPECT_EQ(test::readBytes(settings.file("BUP8THS.DAT")),
            libraryBytes(std::vector<std::string>{"\t5\t7\t6\t3.000\t4.000\t"}));

  // A missing score stops the run with status 1 and saves nothing.
  const SpawnedRun stopped = spawnCli(io, {"--settings", settings.path(), "beams", scores.file("gone.mus")});
  EXPECT_EQ(stopped.status, 1);
  EXPECT_EQ(stopped.out, "Setting beam angles in " + scores.file("gone.mus") + "\nOperation cancelled.\n");
}

TEST(CliBeams, OnATerminalTheAnswerIgnoresCase) {
  std::FILE* in = std::tmpfile();
  ASSERT_TRUE(in);
  std::fputs("No\nn\nNO TO ALL\na\n  No To All \nA\nyes\n\n", in);
  std::rewind(in);
  std::FILE* err = std::tmpfile();
  CliBeamDialogs dialogs(err, true, in);
  const BeamNotFoundQuestion question;
  for (BeamNotFoundAnswer expected :
       {BeamNotFoundAnswer::No, BeamNotFoundAnswer::No, BeamNotFoundAnswer::NoToAll, BeamNotFoundAnswer::NoToAll,
        BeamNotFoundAnswer::NoToAll, BeamNotFoundAnswer::NoToAll, BeamNotFoundAnswer::No, BeamNotFoundAnswer::No})
    EXPECT_EQ(dialogs.askBeamAngleDoesNotExist(question), expected);
  // End of input stops asking.
  EXPECT_EQ(dialogs.askBeamAngleDoesNotExist(question), BeamNotFoundAnswer::NoToAll);
  std::fclose(in);
  std::fclose(err);
}

} // namespace
} // namespace velmora::cli

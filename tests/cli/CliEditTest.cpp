#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "cli/CliEditDialogs.h"
#include "cli/CliMain.h"
#include "edit/EditFixtures.h"
#include "settings/Settings.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

extern char** environ;

namespace velmora::cli {
namespace {

using test::TempDir;

std::string slurp(std::FILE* f) {
  std::rewind(f);
  std::string s;
  char buf[4096];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
    s.append(buf, n);
  std::fclose(f);
  return s;
}

struct Spawned {
  int status;
  std::string out;
  std::string err;
};

// The binary itself, with stdin not a terminal, as a script would run it.
Spawned spawnCli(const std::vector<std::string>& args) {
  std::vector<std::string> all{VELMORA_CLI_BINARY};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : all)
    argv.push_back(a.data());
  argv.push_back(nullptr);
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fileno(out), STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, fileno(err), STDERR_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  pid_t pid;
  int status = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) waitpid(pid, &status, 0);
  posix_spawn_file_actions_destroy(&actions);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(out), slurp(err)};
}

class CliEdit : public ::testing::Test {
protected:
  void SetUp() override {
    test::FakeHost quiet;
    CSettings settingsFiles(settings.path());
    settingsFiles.edit().promptBeforeOperation = 0;
    ASSERT_TRUE(settingsFiles.save(SettingsFile::Edit, quiet));
    test::writeStep(settings.path(), "SET5", {"", "1", "P4 > 2", "5 = 7", 0});
    test::writeMacro(settings.path(), "DEMO", {"SET5"});
    test::writeBytes(scores.file("a.mus"), test::buildScore("1 1 10 4\n1 1 20 1"));
    test::writeBytes(scores.file("b.mus"), test::buildScore("1 1 10 4"));
  }
  void promptOn() {
    test::FakeHost quiet;
    CSettings settingsFiles(settings.path());
    settingsFiles.edit().promptBeforeOperation = 1;
    ASSERT_TRUE(settingsFiles.save(SettingsFile::Edit, quiet));
  }
  std::vector<std::vector<float>> output(const std::string& name) {
    return test::fileItems(test::readBytes(scores.file(name)));
  }

  TempDir settings;
  TempDir scores;
};

TEST_F(CliEdit, RunsTheNamedMacro) {
  // The name is normalised as the name dialog would.
  const Spawned r = spawnCli({"--settings", settings.path(), "edit", "--macro", "demo", scores.file("a.mus")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Editing with macro DEMO " + scores.file("a.mus") + ", step SET5\n1 file(s) edited. Finished.\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(output("a.EDI"), (std::vector<std::vector<float>>{{1, 1, 10, 4, 7}, {1, 1, 20, 1}}));
}

TEST_F(CliEdit, RefusalsAndUsage) {
  // A macro without its file is a refusal.
  Spawned r = spawnCli({"--settings", settings.path(), "edit", "--macro", "NOPE", scores.file("a.mus")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "velmora-cli: Unable to open file " + settings.file("NOPE.MAC") + " for reading\n");
  // A missing score stops the batch.
  r = spawnCli({"--settings", settings.path(), "edit", "--macro=DEMO", scores.file("gone.mus")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "Editing with macro DEMO " + scores.file("gone.mus") + "\nOperation cancelled.\n");
  // --macro is required.
  r = spawnCli({"--settings", settings.path(), "edit", scores.file("a.mus")});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "velmora-cli: edit needs --macro NAME\nTry 'velmora-cli --help' for more information.\n");
}

TEST_F(CliEdit, PromptsAreAnsweredYesToAllWithoutATerminal) {
  promptOn();
  const Spawned r =
      spawnCli({"--settings", settings.path(), "edit", "--macro", "DEMO", scores.file("a.mus"), scores.file("b.mus")});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "velmora-cli: Prompt before Operation: Conditions are TRUE for the following item in file " +
                       scores.file("a.mus") +
                       "\nvelmora-cli: Parameters: 1.0000 1.0000 10.0000 4.0000 \n"
                       "velmora-cli: Do you wish to perform the operation? [y/a/n/c] a\n");
  EXPECT_EQ(output("b.EDI"), (std::vector<std::vector<float>>{{1, 1, 10, 4, 7}}));
}

TEST_F(CliEdit, OnATerminalEachPromptIsAsked) {
  test::FakeHost host;
  std::FILE* in = std::tmpfile();
  std::fputs("n\ny\na\nc\n", in);
  std::rewind(in);
  std::FILE* err = std::tmpfile();
  CliEditDialogs dialogs(host, err, in, "demo", true);
  // A Cancel answer ends a --keep-going batch too.
  int cancels = 0;
  dialogs.onCancel = [&cancels] { ++cancels; };
  const EditPrompt prompt{"/a.mus", "Conditions are TRUE for the following item in file /a.mus", "1.0000 "};
  EXPECT_EQ(dialogs.promptBeforeOperation(prompt), PromptAnswer::No);
  EXPECT_EQ(dialogs.promptBeforeOperation(prompt), PromptAnswer::Yes);
  EXPECT_EQ(dialogs.promptBeforeOperation(prompt), PromptAnswer::YesToAll);
  EXPECT_EQ(dialogs.promptBeforeOperation(prompt), PromptAnswer::Cancel);
  // End of input cancels.
  EXPECT_EQ(dialogs.promptBeforeOperation(prompt), PromptAnswer::Cancel);
  EXPECT_EQ(cancels, 2);
  std::fclose(in);
  std::fclose(err);
  // The macro's file decides, not the list.
  SelectMacroRequest request;
  request.projectFolder = settings.path();
  std::string chosen;
  EXPECT_TRUE(dialogs.selectMacro(request, chosen));
  EXPECT_EQ(chosen, "DEMO");
}

} // namespace
} // namespace velmora::cli

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <thread>

#include "edit/EditFixtures.h"
#include "model/ScoreReader.h"
#include "settings/Settings.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

extern char** environ;

namespace velmora {
namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<uint8_t>;

// Sanitizer builds run the binary several times slower: a smaller batch keeps the test short.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kFiles = 20;
constexpr int kKills = 16;
#else
constexpr int kFiles = 50;
constexpr int kKills = 36;
#endif

// velmora-cli edit over the files; returns the pid, output to /dev/null.
pid_t spawnEdit(const std::string& settings, const std::vector<std::string>& files) {
  std::vector<std::string> args{VELMORA_CLI_BINARY, "--settings", settings, "edit", "--macro", "DEMO"};
  args.insert(args.end(), files.begin(), files.end());
  std::vector<char*> argv;
  for (auto& a : args)
    argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
    posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY, 0);
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return spawned == 0 ? pid : -1;
}

int waitFor(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return status;
}

// A file of about 2,000 items over four staves, different per index.
Bytes inputScore(int index) {
  std::vector<std::vector<float>> items;
  for (int stave = 1; stave <= 4; ++stave)
    items.push_back({8, static_cast<float>(stave), 0, 0, 200, 0, 0, 0, static_cast<float>(stave)});
  for (int i = 0; i < 2000; ++i)
    items.push_back(
        {1, static_cast<float>(1 + i % 4), static_cast<float>(i % 200), static_cast<float>((i + index) % 9), 10, 0, 1});
  return test::buildScore(items);
}

// SIGKILL at many points of one edit batch: every output is absent or the
// complete file a full run writes, every input is as it was, and nothing
// but inputs, outputs and hidden temporaries of the outputs is in the folder.
TEST(KillTest, EditBatchKilledAtManyPoints) {
  test::TempDir settings, scores;
  {
    test::FakeHost quiet;
    CSettings files(settings.path());
    files.edit().promptBeforeOperation = 0;
    ASSERT_TRUE(files.save(SettingsFile::Edit, quiet));
  }
  test::writeStep(settings.path(), "RAISE", {"", "1", "P4 > 2", "4 += 1 5 = 7", 0});
  test::writeStep(settings.path(), "DROP", {"", "1", "P4 == 9", "DEL", 0});
  test::writeMacro(settings.path(), "DEMO", {"RAISE", "DROP"});

  std::vector<std::string> inputs;
  std::map<std::string, Bytes> original;
  for (int i = 0; i < kFiles; ++i) {
    const std::string path = scores.file("S" + std::to_string(i) + ".MUS");
    original[path] = inputScore(i);
    test::writeBytes(path, original[path]);
    inputs.push_back(path);
  }
  const auto outputOf = [](const std::string& input) { return input.substr(0, input.size() - 3) + "EDI"; };

  // A full run gives the complete outputs and the batch's length.
  const auto start = Clock::now();
  const int full = waitFor(spawnEdit(settings.path(), inputs));
  const auto length = Clock::now() - start;
  ASSERT_TRUE(WIFEXITED(full) && WEXITSTATUS(full) == 0);
  std::map<std::string, Bytes> complete;
  for (const auto& input : inputs) {
    complete[outputOf(input)] = test::readBytes(outputOf(input));
    ASSERT_FALSE(complete[outputOf(input)].empty());
  }

  int killed = 0, partialBatches = 0, temporariesLeft = 0;
  for (int k = 0; k < kKills; ++k) {
    // Every other run starts clean; the rest replace the outputs of the run before.
    if (k % 2 == 0)
      for (const auto& input : inputs)
        std::filesystem::remove(outputOf(input));
    const pid_t pid = spawnEdit(settings.path(), inputs);
    ASSERT_GT(pid, 0);
    std::this_thread::sleep_for(length * (k + 1) / (kKills + 1));
    ::kill(pid, SIGKILL);
    const int status = waitFor(pid);
    if (WIFSIGNALED(status)) ++killed;

    int present = 0;
    for (const auto& entry : std::filesystem::directory_iterator(scores.path())) {
      const std::string name = entry.path().filename().string();
      const std::string path = entry.path().string();
      if (original.count(path)) {
        EXPECT_EQ(test::readBytes(path), original[path]) << "input changed: " << name;
      } else if (complete.count(path)) {
        ++present;
        EXPECT_EQ(test::readBytes(path), complete[path]) << "incomplete output: " << name;
        test::FakeHost host;
        CItemStore store;
        EXPECT_EQ(openAndReadGeneral(host, path, store), 1) << name;
      } else {
        // A killed write leaves its hidden temporary; it never takes an output's name.
        EXPECT_EQ(name.front(), '.') << "stray file: " << name;
        ++temporariesLeft;
        std::filesystem::remove(entry.path());
      }
    }
    if (k % 2 == 0 && present > 0 && present < kFiles) ++partialBatches;
  }
  EXPECT_GE(killed, kKills / 2);
  // Most kills land inside the batch, between its first and last output.
  EXPECT_GE(partialBatches, kKills / 4);
  std::printf("kill test: %d runs killed (%d mid-batch from a clean folder), %d temporaries left behind\n", killed,
              partialBatches, temporariesLeft);
}

} // namespace
} // namespace velmora

#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliMain.h"

namespace velmora::cli::clitest {

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

// Reads a temporary stream from its start and closes it.
inline std::string slurp(std::FILE* f) {
  std::rewind(f);
  std::string s;
  char buf[4096];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
    s.append(buf, n);
  std::fclose(f);
  return s;
}

// The CLI in-process on `args` (without the program name), its streams captured.
inline CliRun runVelmoraCli(std::vector<std::string> args) {
  args.insert(args.begin(), "velmora-cli");
  std::vector<const char*> argv;
  for (auto& a : args)
    argv.push_back(a.c_str());
  argv.push_back(nullptr);
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  const int status = runCli(static_cast<int>(args.size()), argv.data(), out, err);
  return {status, slurp(out), slurp(err)};
}

// The CLI binary as its own process on `args` (the binary first), its
// standard output on a pipe; standard input and error are /dev/null.
// Returns the process id (-1 when it cannot start) and the pipe's read end.
inline pid_t spawnWithOutputPipe(std::vector<std::string> args, int& outFd) {
  std::vector<char*> argv;
  for (auto& a : args)
    argv.push_back(a.data());
  argv.push_back(nullptr);
  int pipeFd[2];
  if (pipe(pipeFd) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFd[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeFd[0]);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFd[1]);
  outFd = pipeFd[0];
  return pid;
}

} // namespace velmora::cli::clitest

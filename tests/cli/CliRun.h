#pragma once

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

} // namespace velmora::cli::clitest

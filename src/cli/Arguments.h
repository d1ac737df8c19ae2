#pragma once

#include <string>
#include <vector>

namespace velmora::cli {

inline constexpr int kExitFinished = 0;
inline constexpr int kExitCancelled = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitInterrupted = 130;

// One command of the CLI and the options it takes ("--macro NAME").
struct CommandSpec {
  const char* name;
  const char* summary;
  std::vector<std::string> valueOptions;  // each takes one value
  std::vector<std::string> flagOptions{}; // each stands alone
  std::vector<std::string> requiredOptions{};
  bool takesFiles = true;                     // false: the command works on the project folder
  std::vector<std::string> optionalOptions{}; // value options that may be left out
};

const std::vector<CommandSpec>& commandSpecs();

struct Arguments {
  bool help = false;
  bool version = false;
  std::string settingsFolder; // empty: the default folder
  bool dryRun = false;        // --dry-run: nothing is written, what would change is shown
  bool summary = false;       // --summary: what changed is shown under each file
  std::string command;
  // Values of the command's options, by option name without "--".
  std::vector<std::pair<std::string, std::string>> options;
  std::vector<std::string> files;

  // The value of an option, or "" when not given.
  std::string option(const std::string& name) const;
  bool hasOption(const std::string& name) const;
};

// Parses argv; false with a message in `error` for a usage error.
bool parseArguments(int argc, const char* const* argv, Arguments& out, std::string& error);

std::string usageText();

} // namespace velmora::cli

#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora::cli {

inline constexpr int kExitFinished = 0;
inline constexpr int kExitCancelled = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitInterrupted = 130; // 128 + SIGINT; SIGTERM and SIGHUP give 143 and 129

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
  bool keepGoing = false;
  bool json = false;
  std::string filesFrom; // a list of paths, one a line; "-" for standard input
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
// "velmora-cli COMMAND --help": the command's synopsis, what it does and its options.
std::string commandUsageText(const CommandSpec& command);
const CommandSpec* findCommand(std::string_view name);

// A usage error as printed: what is wrong, then where to read more.
std::string usageError(const std::string& what);

// `text` broken at blanks into lines of at most `width` columns, every line
// after the first indented by `indent` blanks.
std::string wrapText(const std::string& text, size_t indent, size_t width = 79);

} // namespace velmora::cli

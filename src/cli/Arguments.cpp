#include "cli/Arguments.h"

#include <string_view>

namespace velmora::cli {

namespace {

constexpr const char* kCommands[] = {"count"};

bool isCommand(std::string_view word) {
  for (const char* c : kCommands)
    if (word == c) return true;
  return false;
}

} // namespace

std::string usageText() {
  return "Usage: velmora-cli [--settings DIR] COMMAND [OPTIONS] FILE...\n"
         "\n"
         "Runs one Velmora task over the SCORE files given, as the program's window would,\n"
         "with the settings read from the settings folder.\n"
         "\n"
         "Commands:\n"
         "  count          count staves, items and parameters (Run Item Count)\n"
         "\n"
         "Options:\n"
         "  --settings DIR the settings folder (default: $XDG_CONFIG_HOME/corvane software/velmora3/)\n"
         "  --help         show this text\n"
         "  --version      show the version\n"
         "\n"
         "The output log goes to standard output, one row per line; messages go to standard\n"
         "error. Exit status: 0 finished, 1 cancelled or refused, 2 usage error, 130 interrupted.\n";
}

bool parseArguments(int argc, const char* const* argv, Arguments& out, std::string& error) {
  bool filesOnly = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (!filesOnly && arg == "--") {
      filesOnly = true;
    } else if (!filesOnly && (arg == "--help" || arg == "-h")) {
      out.help = true;
    } else if (!filesOnly && arg == "--version") {
      out.version = true;
    } else if (!filesOnly && (arg == "--settings" || arg.starts_with("--settings="))) {
      if (arg == "--settings") {
        if (i + 1 >= argc) {
          error = "--settings needs a folder";
          return false;
        }
        out.settingsFolder = argv[++i];
      } else {
        out.settingsFolder = std::string(arg.substr(11));
      }
      if (out.settingsFolder.empty()) {
        error = "--settings needs a folder";
        return false;
      }
    } else if (!filesOnly && arg.size() > 1 && arg[0] == '-') {
      error = "unknown option " + std::string(arg);
      return false;
    } else if (out.command.empty()) {
      if (!isCommand(arg)) {
        error = "unknown command " + std::string(arg);
        return false;
      }
      out.command = std::string(arg);
    } else {
      out.files.emplace_back(arg);
    }
  }
  if (out.help || out.version) return true;
  if (out.command.empty()) {
    error = "no command given";
    return false;
  }
  if (out.files.empty()) {
    error = "no FILE given";
    return false;
  }
  return true;
}

} // namespace velmora::cli

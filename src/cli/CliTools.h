#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace velmora::cli {

// The commands that look inside SCORE files and build a project without the
// window: dump, undump, diff, macro, step and settings. They parse their own
// arguments; every other command goes to the task dispatch.

// True when argv names one of these commands; `status` is then its exit status.
bool runToolCommand(int argc, const char* const* argv, std::FILE* out, std::FILE* err, int& status);

// Their lines for the usage text.
std::string toolUsageText();

// A tool command's words once the global options are taken out.
struct ToolArgs {
  std::string settingsFolder;
  std::string command;
  std::vector<std::string> words; // after the command, options removed
  std::vector<std::pair<std::string, std::string>> options;

  bool has(const std::string& name) const;
  std::string value(const std::string& name) const;
};

// Exit 2 with the message and a pointer to --help.
int usageError(std::FILE* err, const std::string& message);

int runDump(const ToolArgs& args, std::FILE* out, std::FILE* err);
int runUndump(const ToolArgs& args, std::FILE* out, std::FILE* err);
int runDiff(const ToolArgs& args, std::FILE* out, std::FILE* err);
int runMacroCommand(const ToolArgs& args, std::FILE* out, std::FILE* err);
int runStepCommand(const ToolArgs& args, std::FILE* out, std::FILE* err);
int runSettingsCommand(const ToolArgs& args, std::FILE* out, std::FILE* err);

} // namespace velmora::cli

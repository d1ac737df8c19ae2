#include "cli/CliTools.h"

#include <algorithm>
#include <string_view>

#include "cli/Arguments.h"

namespace velmora::cli {

namespace {

struct ToolSpec {
  const char* name;
  std::vector<std::string> valueOptions;
  std::vector<std::string> flagOptions;
  int (*run)(const ToolArgs&, std::FILE*, std::FILE*);
};

const std::vector<ToolSpec>& toolSpecs() {
  static const std::vector<ToolSpec> specs{
      {"dump", {}, {"pmx"}, runDump},
      {"undump", {}, {"force"}, runUndump},
      {"diff", {}, {}, runDiff},
      {"macro", {"description"}, {"overwrite", "allow-missing"}, runMacroCommand},
      {"step", {"description", "codes", "if", "op"}, {"overwrite", "not-found"}, runStepCommand},
      {"settings", {}, {}, runSettingsCommand},
  };
  return specs;
}

bool listed(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

} // namespace

bool ToolArgs::has(const std::string& name) const {
  return std::any_of(options.begin(), options.end(), [&](const auto& o) { return o.first == name; });
}

std::string ToolArgs::value(const std::string& name) const {
  for (const auto& [key, v] : options)
    if (key == name) return v;
  return {};
}

int usageError(std::FILE* err, const std::string& message) {
  std::fprintf(err, "velmora-cli: %s\nTry 'velmora-cli --help' for more information.\n", message.c_str());
  return kExitUsage;
}

std::string toolUsageText() {
  return "Commands on single SCORE files and on the project folder (no file list):\n"
         "  dump [--pmx] FILE...\n"
         "                 print each SCORE file as text, one line per item (--pmx: the\n"
         "                 fixed-decimal .pmx layout)\n"
         "  undump [--force] TEXT OUTPUT\n"
         "                 write the SCORE file a dump describes (--force replaces OUTPUT)\n"
         "  diff A B       list the items that differ between two SCORE files, stave by\n"
         "                 stave\n"
         "  macro list | show NAME | delete NAME...\n"
         "  macro save NAME [--description TEXT] [--overwrite] [--allow-missing] STEP...\n"
         "                 the macros of the project folder\n"
         "  step list | show NAME | delete NAME...\n"
         "  step save NAME --codes TEXT --if TEXT --op TEXT [--description TEXT]\n"
         "                 [--not-found] [--overwrite]\n"
         "                 the steps of the project folder, checked as the step editor\n"
         "                 does\n"
         "  settings show [FILE...] | set FILE FIELD=VALUE... | init\n"
         "                 the settings files by field name; init writes the missing ones\n"
         "diff exits with 0 when the files are the same, 1 when they differ, 2 on trouble.\n"
         "\n";
}

bool runToolCommand(int argc, const char* const* argv, std::FILE* out, std::FILE* err, int& status) {
  ToolArgs args;
  const ToolSpec* tool = nullptr;
  bool wordsOnly = false;
  bool help = false;
  bool settingsGiven = false;
  std::string error;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (!wordsOnly && arg == "--") {
      wordsOnly = true;
    } else if (!wordsOnly && (arg == "--help" || arg == "-h" || arg == "--version")) {
      help = true;
    } else if (!wordsOnly && arg == "--settings") {
      if (i + 1 >= argc) return false;
      args.settingsFolder = argv[++i];
      settingsGiven = true;
    } else if (!wordsOnly && arg.starts_with("--settings=")) {
      args.settingsFolder = std::string(arg.substr(11));
      settingsGiven = true;
    } else if (!wordsOnly && arg.starts_with("--") && tool) {
      const size_t eq = arg.find('=');
      const std::string name(arg.substr(2, eq == std::string_view::npos ? std::string_view::npos : eq - 2));
      if (listed(tool->flagOptions, name)) {
        if (eq != std::string_view::npos && error.empty()) error = "--" + name + " takes no value";
        args.options.emplace_back(name, std::string());
      } else if (listed(tool->valueOptions, name)) {
        if (eq != std::string_view::npos) {
          args.options.emplace_back(name, std::string(arg.substr(eq + 1)));
        } else if (i + 1 < argc) {
          args.options.emplace_back(name, argv[++i]);
        } else if (error.empty()) {
          error = "--" + name + " needs a value";
        }
      } else if (error.empty()) {
        error = "unknown option " + std::string(arg) + " for " + tool->name;
      }
    } else if (!wordsOnly && arg.size() > 1 && arg[0] == '-' && !tool) {
      // An option of the task commands: not ours.
      return false;
    } else if (!tool) {
      for (const ToolSpec& s : toolSpecs())
        if (arg == s.name) tool = &s;
      if (!tool) return false;
      args.command = tool->name;
    } else {
      args.words.emplace_back(arg);
    }
  }
  if (!tool) return false;
  if (help) {
    std::fputs(usageText().c_str(), out);
    status = kExitFinished;
    return true;
  }
  if (settingsGiven && args.settingsFolder.empty()) error = "--settings needs a folder";
  status = error.empty() ? tool->run(args, out, err) : usageError(err, error);
  std::fflush(out);
  return true;
}

} // namespace velmora::cli

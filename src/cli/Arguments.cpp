#include "cli/Arguments.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace velmora::cli {

const std::vector<CommandSpec>& commandSpecs() {
  static const std::vector<CommandSpec> specs{
      {"count", "count staves, items and parameters (Run Item Count)", {}},
      {"optimize",
       "delete blank or chosen staves (Optimize)",
       {"instruments"},
       {"keep-listed"},
       {},
       true,
       {"instruments"}},
      {"unoptimize", "insert the missing staves from a template (Unoptimize)", {"template"}, {}, {"template"}},
      {"justify", "remove overlaps between notes (Justify)", {}},
      {"add-crops", "add crop marks to SCORE EPS files (settings from crops.dat)", {}},
      {"remove-crops", "remove the crop marks added before", {}},
      {"rename-eps", "rename EPS files to their SCORE file name + .EPS", {}},
      {"split-eps", "split multi-page EPS files into one file per page", {}},
      {"list-fonts", "write the text fonts of the files to FONTLIST.TXT and print its path", {}},
      {"alter-bbox", "alter the bounding box; each field is +N, -N, *N, /N, N or empty", {"box"}},
      {"beams", "set beam angles from the libraries (Set Beam Angles)", {}},
      {"edit", "run the macro NAME over the files (Edit)", {"macro"}},
      {"report", "write VELRPT.TXT with every macro and step and print its path (no FILE)", {}, {}, {}, false},
      {"run",
       "run the tasks ticked in run.dat (Run Multiple Tasks); --macro for Edit, --template for Unoptimize",
       {"macro", "template"},
       {},
       {},
       true,
       {"macro", "template"}},
  };
  return specs;
}

namespace {

bool contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

std::string valueName(const std::string& option) {
  if (option == "instruments") return "\"N N ...\"";
  if (option == "template") return "TPL";
  if (option == "box") return "\"X1,Y1,X2,Y2\"";
  return "NAME";
}

// "optimize [--instruments "N N ..." [--keep-listed]]": flags refine the last optional value.
std::string synopsis(const CommandSpec& c) {
  std::string flags;
  for (const auto& o : c.flagOptions)
    flags += " [--" + o + "]";
  std::string line = c.name;
  for (size_t i = 0; i < c.valueOptions.size(); ++i) {
    const std::string& o = c.valueOptions[i];
    std::string part = "--" + o + " " + valueName(o);
    if (!contains(c.optionalOptions, o)) {
      line += " " + part;
      continue;
    }
    if (i + 1 == c.valueOptions.size()) part += std::exchange(flags, std::string());
    line += " [" + part + "]";
  }
  return line + flags;
}

const CommandSpec* findSpec(std::string_view word) {
  for (const CommandSpec& c : commandSpecs())
    if (word == c.name) return &c;
  return nullptr;
}

} // namespace

std::string Arguments::option(const std::string& name) const {
  for (const auto& [key, value] : options)
    if (key == name) return value;
  return {};
}

bool Arguments::hasOption(const std::string& name) const {
  for (const auto& entry : options)
    if (entry.first == name) return true;
  return false;
}

std::string usageText() {
  // Descriptions start in column 17; a longer synopsis has its own line.
  constexpr size_t kColumn = 17;
  std::string commands;
  for (const CommandSpec& c : commandSpecs()) {
    std::string line = "  " + synopsis(c);
    if (line.size() >= kColumn) line = line + "\n" + std::string(kColumn, ' ');
    line.resize(std::max(line.size(), kColumn), ' ');
    commands += line + c.summary + "\n";
  }
  return "Usage: velmora-cli [--settings DIR] COMMAND [OPTIONS] FILE...\n"
         "\n"
         "Runs one Velmora task over the files given, as the program's window would,\n"
         "with the settings read from the settings folder.\n"
         "\n"
         "Commands:\n" +
         commands +
         "\n"
         "Options:\n"
         "  --settings DIR the settings folder (default: $XDG_CONFIG_HOME/corvane software/velmora3/)\n"
         "  --dry-run      run in memory and write nothing; show what would change under each file\n"
         "  --summary      show what changed under each file\n"
         "  --help         show this text\n"
         "  --version      show the version\n"
         "\n"
         "The output log goes to standard output, one row per line; messages go to standard\n"
         "error. Exit status: 0 finished, 1 cancelled or refused, 2 usage error, 130 interrupted.\n";
}

bool parseArguments(int argc, const char* const* argv, Arguments& out, std::string& error) {
  bool filesOnly = false;
  const CommandSpec* chosen = nullptr;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (!filesOnly && arg == "--") {
      filesOnly = true;
    } else if (!filesOnly && (arg == "--help" || arg == "-h")) {
      out.help = true;
    } else if (!filesOnly && arg == "--version") {
      out.version = true;
    } else if (!filesOnly && arg == "--dry-run") {
      out.dryRun = true;
    } else if (!filesOnly && arg == "--summary") {
      out.summary = true;
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
    } else if (!filesOnly && chosen && arg.starts_with("--")) {
      // A command option: "--name VALUE" or "--name=VALUE".
      const size_t eq = arg.find('=');
      const std::string name(arg.substr(2, eq == std::string_view::npos ? std::string_view::npos : eq - 2));
      bool known = false;
      for (const auto& o : chosen->valueOptions)
        known = known || o == name;
      bool flag = false;
      for (const auto& o : chosen->flagOptions)
        flag = flag || o == name;
      if (flag) {
        if (eq != std::string_view::npos) {
          error = "--" + name + " takes no value";
          return false;
        }
        out.options.emplace_back(name, std::string());
        continue;
      }
      if (!known) {
        error = "unknown option " + std::string(arg) + " for " + chosen->name;
        return false;
      }
      std::string value;
      if (eq != std::string_view::npos) {
        value = std::string(arg.substr(eq + 1));
      } else if (i + 1 < argc) {
        value = argv[++i];
      } else {
        error = "--" + name + " needs a value";
        return false;
      }
      out.options.emplace_back(name, value);
    } else if (!filesOnly && arg.size() > 1 && arg[0] == '-') {
      error = "unknown option " + std::string(arg);
      return false;
    } else if (out.command.empty()) {
      chosen = findSpec(arg);
      if (!chosen) {
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
  for (const auto& o : chosen->requiredOptions) {
    if (!out.hasOption(o)) {
      error = out.command + " needs --" + o;
      return false;
    }
  }
  if (chosen->takesFiles && out.files.empty()) {
    error = "no FILE given";
    return false;
  }
  if (!chosen->takesFiles && !out.files.empty()) {
    error = out.command + " takes no FILE";
    return false;
  }
  return true;
}

} // namespace velmora::cli

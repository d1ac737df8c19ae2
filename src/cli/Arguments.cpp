#include "cli/Arguments.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <utility>

#include "cli/CliTools.h"

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

// What each command option means, for "COMMAND --help".
std::string optionHelp(const std::string& option) {
  if (option == "instruments") return "delete the staves whose staff items carry these instrument numbers";
  if (option == "keep-listed") return "keep only those staves instead (needs --instruments)";
  if (option == "template") return "the template to renumber and insert the staves from (Unoptimize)";
  if (option == "box") return "the new bounding box: each field +N, -N, *N, /N, N, or empty to keep it";
  if (option == "macro") return "the macro of the project folder to run (Edit)";
  return {};
}

// "  NAME" padded to `column`, then the text wrapped after it; a long NAME has a line of its own.
std::string helpRow(const std::string& name, const std::string& text, size_t column) {
  std::string line = "  " + name;
  if (line.size() >= column) line += "\n" + std::string(column, ' ');
  line.resize(std::max(line.size(), column), ' ');
  return line + wrapText(text, column) + "\n";
}

constexpr size_t kOptionColumn = 22;

const char* const kGlobalOptions[][2] = {
    {"--settings DIR", "the settings folder (default:\n$XDG_CONFIG_HOME/corvane software/velmora3/)"},
    {"--keep-going", "go on after a file that cannot be opened, is refused or cannot be written, and list such "
                     "files at the end"},
    {"--files-from FILE", "also process the paths FILE lists, one a line (\"-\": standard input)"},
    {"--format=FORMAT", "\"text\" (the default) or \"json\": one JSON object per event"},
    {"--dry-run", "run in memory and write nothing; show what would change under each file"},
    {"--summary", "show what changed under each file"},
    {"--help", "show this text; after COMMAND, that command's usage"},
    {"--version", "show the version and the licence"},
};

std::string globalOptionsText() {
  std::string text = "Options, before or after COMMAND:\n";
  for (const auto& row : kGlobalOptions)
    text += helpRow(row[0], row[1], kOptionColumn);
  return text;
}

} // namespace

const CommandSpec* findCommand(std::string_view word) {
  for (const CommandSpec& c : commandSpecs())
    if (word == c.name) return &c;
  return nullptr;
}

std::string wrapText(const std::string& text, size_t indent, size_t width) {
  // A "\n" in the text starts a new line there.
  if (const size_t newline = text.find('\n'); newline != std::string::npos)
    return wrapText(text.substr(0, newline), indent, width) + "\n" + std::string(indent, ' ') +
           wrapText(text.substr(newline + 1), indent, width);
  std::string out;
  size_t column = indent;
  size_t start = 0;
  bool first = true;
  while (start < text.size()) {
    size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(start, end - start);
    start = end + 1;
    if (word.empty()) continue;
    if (!first && column + 1 + word.size() > width) {
      out += "\n" + std::string(indent, ' ');
      column = indent;
      first = true;
    }
    if (!first) {
      out += ' ';
      ++column;
    }
    out += word;
    column += word.size();
    first = false;
  }
  return out;
}

std::string usageError(const std::string& what) {
  return "velmora-cli: " + what + "\nTry 'velmora-cli --help' for more information.\n";
}

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
  for (const CommandSpec& c : commandSpecs())
    commands += helpRow(synopsis(c), c.summary, kColumn);
  return "Usage: velmora-cli [OPTION]... COMMAND [COMMAND OPTION]... FILE...\n"
         "\n"
         "Runs one Velmora task over the files given, as the program's window would,\n"
         "with the settings read from the settings folder.\n"
         "\n"
         "Commands:\n" +
         commands + "\n" + toolUsageText() + globalOptionsText() +
         "\n"
         "The output log goes to standard output, one row per line; messages go to\n"
         "standard error as 'velmora-cli: FILE: TEXT'.\n"
         "\n"
         "Exit status: 0 every file processed and every result saved; 1 a file not\n"
         "processed, a result not saved or the batch cancelled; 2 usage error; 130\n"
         "interrupted (143 terminated, 129 hung up).\n";
}

std::string commandUsageText(const CommandSpec& c) {
  // A synopsis too long for the usage line goes on the next one.
  std::string text = "Usage: velmora-cli [OPTION]... ";
  const std::string line = synopsis(c) + (c.takesFiles ? " FILE..." : "");
  if (text.size() + line.size() > 79) text = "Usage: velmora-cli [OPTION]...\n         ";
  text += line + "\n";
  text +=
      "\n" + wrapText(std::string(1, static_cast<char>(std::toupper(c.summary[0]))) + (c.summary + 1) + ".", 0) + "\n";
  if (!c.valueOptions.empty() || !c.flagOptions.empty()) {
    text += "\nOptions of " + std::string(c.name) + ":\n";
    for (const auto& o : c.valueOptions)
      text += helpRow("--" + o + " " + valueName(o), optionHelp(o), kOptionColumn);
    for (const auto& o : c.flagOptions)
      text += helpRow("--" + o, optionHelp(o), kOptionColumn);
  }
  return text + "\n" + globalOptionsText();
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
    } else if (!filesOnly && arg == "--keep-going") {
      out.keepGoing = true;
    } else if (!filesOnly && (arg == "--files-from" || arg.starts_with("--files-from="))) {
      if (arg == "--files-from" && i + 1 < argc) out.filesFrom = argv[++i];
      if (arg != "--files-from") out.filesFrom = std::string(arg.substr(13));
      if (out.filesFrom.empty()) {
        error = "--files-from needs a file";
        return false;
      }
    } else if (!filesOnly && (arg == "--format" || arg.starts_with("--format="))) {
      std::string format;
      if (arg == "--format" && i + 1 < argc) format = argv[++i];
      if (arg != "--format") format = std::string(arg.substr(9));
      if (format != "text" && format != "json") {
        error = format.empty() ? "--format needs text or json" : "unknown format '" + format + "' (text or json)";
        return false;
      }
      out.json = format == "json";
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
      chosen = findCommand(arg);
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
  if (chosen->takesFiles && out.files.empty() && out.filesFrom.empty()) {
    error = "no FILE given";
    return false;
  }
  if (!chosen->takesFiles && (!out.files.empty() || !out.filesFrom.empty())) {
    error = out.command + " takes no FILE";
    return false;
  }
  return true;
}

} // namespace velmora::cli

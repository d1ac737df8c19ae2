#include "app/CVelmoraDoc.h"
#include "app/Report.h"
#include "app/SettingsFields.h"
#include "base/FileSystem.h"
#include "base/Format.h"
#include "base/Messages.h"
#include "cli/Arguments.h"
#include "cli/CliHost.h"
#include "cli/CliTools.h"
#include "edit/SavingFiles.h"

namespace velmora::cli {

namespace {

// The document as the window has it after start-up, without the start-up boxes.
bool openDocument(const ToolArgs& args, CliHost& host, CVelmoraDoc& doc) {
  if (!doc.locateSettingsFolder(host, args.settingsFolder)) return false;
  host.setQuiet(true);
  doc.loadSettings(host);
  host.setQuiet(false);
  return true;
}

// Re-reads one settings file; a missing one leaves the values in memory.
bool reloadQuietly(CSettings& settings, SettingsFile file, CliHost& host, std::FILE* err) {
  const std::string path = settings.pathOf(file);
  if (!fileExists(path)) return true;
  host.setQuiet(true);
  const LoadResult result = settings.reload(file, host);
  host.setQuiet(false);
  if (result == LoadResult::Damaged) {
    std::fprintf(err, "velmora-cli: %s is damaged: it ends early or holds a bad string length.\n", path.c_str());
    return false;
  }
  return true;
}

// "list", "show NAME", "delete NAME...", or the caller's "save".
int listShowDelete(const ToolArgs& args, EditFileKind kind, CVelmoraDoc& doc, CliHost& host, std::FILE* out,
                   std::FILE* err) {
  const CEditFiles files(doc.settings.projectFolder(), host);
  const std::string& action = args.words.front();
  const char* what = kind == EditFileKind::Macro ? "macro" : "step";
  if (action == "list") {
    if (args.words.size() != 1) return usageError(err, args.command + " list takes no NAME");
    for (const std::string& name : files.list(kind))
      std::fprintf(out, "%s\n", name.c_str());
    return kExitFinished;
  }
  if (action == "show") {
    if (args.words.size() != 2) return usageError(err, args.command + " show needs one NAME");
    const std::string path = files.pathOf(kind, normaliseName(args.words[1]));
    if (!fileExists(path) || isDirectory(path)) {
      host.showMessage(strprintf(base_msg::kUnableToOpen, path.c_str()));
      return kExitCancelled;
    }
    reloadQuietly(doc.settings, SettingsFile::Report, host, err);
    std::string text;
    std::string message;
    if (!reportEntry(kind, path, doc.settings.report(), text, message)) {
      host.showMessage(message);
      return kExitCancelled;
    }
    std::fputs(text.c_str(), out);
    return kExitFinished;
  }
  if (action == "delete") {
    if (args.words.size() < 2) return usageError(err, args.command + " delete needs a NAME");
    std::vector<std::string> names;
    int status = kExitFinished;
    for (size_t i = 1; i < args.words.size(); ++i) {
      const std::string name = normaliseName(args.words[i]);
      if (!name.empty() && files.exists(kind, name)) {
        names.push_back(name);
        continue;
      }
      std::fprintf(err, "velmora-cli: There is no %s %s in %s.\n", what, args.words[i].c_str(),
                   files.projectFolder().c_str());
      status = kExitCancelled;
    }
    if (files.remove(kind, names) != static_cast<int>(names.size())) status = kExitCancelled;
    return status;
  }
  return usageError(err, "unknown " + args.command + " action " + action);
}

SaveChoices choicesFor(const ToolArgs& args, const EditOptions& edit) {
  SaveChoices choices;
  choices.overwrite = args.has("overwrite");
  choices.allowMissingSteps = args.has("allow-missing");
  choices.limitNameLength = edit.limitNameLength != 0;
  choices.extendedParameters = edit.extendedParameters != 0;
  return choices;
}

int finishSave(const SaveOutcome& outcome, std::FILE* err) {
  if (outcome.saved) return kExitFinished;
  if (!outcome.message.empty()) std::fprintf(err, "velmora-cli: %s\n", outcome.message.c_str());
  return kExitCancelled;
}

} // namespace

int runMacroCommand(const ToolArgs& args, std::FILE* out, std::FILE* err) {
  if (args.words.empty()) return usageError(err, "macro needs list, show, save or delete");
  CliHost host(out, err);
  CVelmoraDoc doc;
  if (!openDocument(args, host, doc)) return kExitCancelled;
  if (args.words.front() != "save") {
    if (args.has("description") || args.has("overwrite") || args.has("allow-missing"))
      return usageError(err, "--description, --overwrite and --allow-missing belong to macro save");
    return listShowDelete(args, EditFileKind::Macro, doc, host, out, err);
  }
  if (args.words.size() < 2) return usageError(err, "macro save needs a NAME");
  const CEditFiles files(doc.settings.projectFolder(), host);
  MacroData macro;
  macro.description = descriptionForStoring(args.value("description"));
  macro.steps.assign(args.words.begin() + 2, args.words.end());
  return finishSave(saveMacroAs(files, args.words[1], macro, choicesFor(args, doc.settings.edit())), err);
}

int runStepCommand(const ToolArgs& args, std::FILE* out, std::FILE* err) {
  if (args.words.empty()) return usageError(err, "step needs list, show, save or delete");
  CliHost host(out, err);
  CVelmoraDoc doc;
  if (!openDocument(args, host, doc)) return kExitCancelled;
  if (args.words.front() != "save") {
    if (!args.options.empty()) return usageError(err, "the options of step belong to step save");
    return listShowDelete(args, EditFileKind::Step, doc, host, out, err);
  }
  if (args.words.size() != 2) return usageError(err, "step save needs one NAME");
  for (const char* needed : {"codes", "if", "op"})
    if (!args.has(needed)) return usageError(err, std::string("step save needs --") + needed + " (it may be \"\")");
  const CEditFiles files(doc.settings.projectFolder(), host);
  StepData step;
  step.description = descriptionForStoring(args.value("description"));
  step.codeNumbers = args.value("codes");
  step.argument = args.value("if");
  step.operation = args.value("op");
  step.notFound = args.has("not-found") ? 1 : 0;
  return finishSave(saveStepAs(files, args.words[1], step, choicesFor(args, doc.settings.edit())), err);
}

namespace {

constexpr SettingsFile kAllSettingsFiles[] = {SettingsFile::Prefs,    SettingsFile::Optimize, SettingsFile::Unoptimize,
                                              SettingsFile::Edit,     SettingsFile::Justify,  SettingsFile::Beam,
                                              SettingsFile::Run,      SettingsFile::Crops,    SettingsFile::Report,
                                              SettingsFile::ItemCount};

bool fileNamed(const std::string& name, SettingsFile& file, std::FILE* err) {
  const auto found = settingsFileNamed(name);
  if (found) {
    file = *found;
    return true;
  }
  std::string names;
  for (SettingsFile f : kAllSettingsFiles)
    names += std::string(names.empty() ? "" : ", ") + settingsFileName(f);
  std::fprintf(err, "velmora-cli: %s is not a settings file; they are %s.\n", name.c_str(), names.c_str());
  return false;
}

} // namespace

int runSettingsCommand(const ToolArgs& args, std::FILE* out, std::FILE* err) {
  if (args.words.empty()) return usageError(err, "settings needs show, set or init");
  if (!args.options.empty()) return usageError(err, "settings takes no options");
  CliHost host(out, err);
  CVelmoraDoc doc;
  if (!doc.locateSettingsFolder(host, args.settingsFolder)) return kExitCancelled;
  CSettings& settings = doc.settings;
  const std::string& action = args.words.front();
  if (action == "init") {
    if (args.words.size() != 1) return usageError(err, "settings init takes nothing more");
    const std::vector<std::string> written = writeMissingSettingsFiles(settings.settingsFolder(), host);
    for (const std::string& path : written)
      std::fprintf(out, "%s\n", path.c_str());
    size_t missing = 0;
    for (SettingsFile f : kAllSettingsFiles)
      missing += fileExists(settings.pathOf(f)) ? 0 : 1;
    return missing == 0 ? kExitFinished : kExitCancelled;
  }
  if (action == "show") {
    std::vector<SettingsFile> shown;
    for (size_t i = 1; i < args.words.size(); ++i) {
      SettingsFile file;
      if (!fileNamed(args.words[i], file, err)) return kExitCancelled;
      shown.push_back(file);
    }
    if (shown.empty()) shown.assign(std::begin(kAllSettingsFiles), std::end(kAllSettingsFiles));
    int status = kExitFinished;
    for (SettingsFile file : shown) {
      const std::string path = settings.pathOf(file);
      if (!reloadQuietly(settings, file, host, err)) status = kExitCancelled;
      std::fprintf(out, "%s: %s%s\n", settingsFileName(file), path.c_str(),
                   fileExists(path) ? "" : " (missing: the defaults)");
      for (const auto& [name, value] : settingsFieldValues(settings, file))
        std::fprintf(out, "  %s = %s\n", name.c_str(), value.c_str());
    }
    return status;
  }
  if (action == "set") {
    if (args.words.size() < 3) return usageError(err, "settings set needs FILE and FIELD=VALUE");
    SettingsFile file;
    if (!fileNamed(args.words[1], file, err)) return kExitCancelled;
    if (!reloadQuietly(settings, file, host, err)) return kExitCancelled;
    for (size_t i = 2; i < args.words.size(); ++i) {
      const std::string& pair = args.words[i];
      const size_t eq = pair.find('=');
      if (eq == std::string::npos) return usageError(err, "settings set takes FIELD=VALUE, not " + pair);
      std::string message;
      if (!setSettingsField(settings, file, pair.substr(0, eq), pair.substr(eq + 1), message)) {
        std::fprintf(err, "velmora-cli: %s\n", message.c_str());
        return kExitCancelled;
      }
    }
    return settings.save(file, host) ? kExitFinished : kExitCancelled;
  }
  return usageError(err, "unknown settings action " + action);
}

} // namespace velmora::cli

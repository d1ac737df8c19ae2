#include "cli/CliMain.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>

#include "app/CCommandHandlers.h"
#include "app/CVelmoraDoc.h"
#include "base/AtomicFile.h"
#include "base/FileSystem.h"
#include "base/Version.h"
#include "cli/Arguments.h"
#include "cli/CliBeamDialogs.h"
#include "cli/CliEditDialogs.h"
#include "cli/CliHost.h"
#include "cli/CliJustify.h"
#include "cli/CliOutput.h"
#include "cli/CliStaveDialogs.h"
#include "cli/CliTools.h"
#include "eps/BoxFile.h"

namespace velmora::cli {

void onInterrupt(int signal) {
  // A second signal ends at once; the file being written is dropped, its target untouched.
  if (CliHost::interrupted.exchange(true)) {
    unlinkOpenTemporaries();
    _exit(128 + signal);
  }
  CliHost::signalNumber = signal;
}

namespace {

constexpr int kHandledSignals[] = {SIGINT, SIGTERM, SIGHUP};

int exitStatus(BatchOutcome outcome, const CliHost& host, const CliOutput& output) {
  if (host.wasInterrupted()) {
    const int signal = CliHost::signalNumber.load();
    return signal > 0 ? 128 + signal : kExitInterrupted;
  }
  if (outcome != BatchOutcome::Finished || output.failedFiles() > 0) return kExitCancelled;
  return kExitFinished;
}

// Appends the paths `source` lists, one a line; false with `error` when it cannot be read.
bool readFileList(const std::string& source, std::FILE* in, std::vector<std::string>& files, std::string& error) {
  std::FILE* f = in;
  if (source != "-") {
    if (isDirectory(source)) {
      error = "--files-from: " + source + " is a folder, not a list of files";
      return false;
    }
    f = std::fopen(source.c_str(), "rb");
    if (!f) {
      error = "--files-from: cannot read " + source + ": " + std::strerror(errno);
      return false;
    }
  }
  std::string line;
  const auto take = [&] {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find_first_not_of(" \t") != std::string::npos) files.push_back(line);
    line.clear();
  };
  for (int c; (c = std::fgetc(f)) != EOF;) {
    if (c == '\n')
      take();
    else
      line += static_cast<char>(c);
  }
  take();
  const bool failed = std::ferror(f) != 0;
  if (f != in) std::fclose(f);
  if (failed) {
    error = "--files-from: cannot read " + source;
    return false;
  }
  return true;
}

// A settings folder named on the command line must exist: a typo would
// otherwise run on the defaults.
std::string settingsFolderProblem(const std::string& folder) {
  if (folder.empty()) return {};
  std::error_code ec;
  const auto status = std::filesystem::status(folder, ec);
  if (!std::filesystem::exists(status)) return "settings folder " + folder + " does not exist";
  if (!std::filesystem::is_directory(status)) return "settings folder " + folder + " is not a folder";
  return {};
}

// The CLI confirms the box for every file up front ("OK to All"); nothing else is asked.
struct CliEpsDialogs final : IEpsDialogs {
  BoxAnswer alterBoundingBox(BoxDialogData&) override { return BoxAnswer::Cancel; }
  bool cropMarkSettings(CropDialogData&) override { return false; }
};

// report.dat's flags stand for "Create Report"; every macro and step is selected, as "Select All" would.
struct CliReportDialogs final : IReportDialogs {
  bool createReport(ReportOptions&) override { return true; }
  bool selectForReport(const FileSelectionRequest& request, std::vector<std::string>& chosen) override {
    chosen = namesMatching(request);
    return true;
  }
};

// The chain is the one run.dat holds: "Run Multiple Tasks" is confirmed as it opens.
struct CliRunDialogs final : IRunDialogs {
  bool editRunOptions(RunOptions&) override { return true; }
};

// What run.dat asks of the command line; "" when nothing is missing.
std::string missingRunOption(const RunOptions& run, const Arguments& args) {
  if (run.runEdit != 0 && args.option("macro").empty()) return "run needs --macro NAME: Edit is on in run.dat";
  if (run.runStaveTask != 0 && run.staveTaskIsUnoptimize != 0 && args.option("template").empty())
    return "run needs --template TPL: Unoptimize is on in run.dat";
  return {};
}

// Hands what each file changed to the output, which shows it under the file's row.
class RunSummary final : public IRunObserver {
public:
  explicit RunSummary(CliOutput& output) : output_(output) {}
  void fileFinished(const FileChanges& file) override { output_.changes(file); }
  void batchNote(const std::string& text) override { output_.note(text); }

private:
  CliOutput& output_;
};

} // namespace

int runCli(int argc, const char* const* argv, std::FILE* out, std::FILE* err, std::FILE* in) {
  if (int status = 0; runToolCommand(argc, argv, out, err, status)) return status;
  Arguments args;
  std::string error;
  bool parsed = parseArguments(argc, argv, args, error);
  // The keep-listed box means nothing without the numbers it refers to.
  if (parsed && !args.help && args.hasOption("keep-listed") && !args.hasOption("instruments")) {
    parsed = false;
    error = "--keep-listed needs --instruments";
  }
  if (!parsed) {
    std::fputs(usageError(error).c_str(), err);
    return kExitUsage;
  }
  if (args.help) {
    const CommandSpec* command = findCommand(args.command);
    std::fputs((command ? commandUsageText(*command) : usageText()).c_str(), out);
    return kExitFinished;
  }
  if (args.version) {
    std::fprintf(out, "velmora-cli %s\n%s\n%s\n", kVersionNumber, kCopyrightLine, kLicenseLine);
    return kExitFinished;
  }
  if (args.command == "edit" && args.option("macro").empty()) {
    std::fputs(usageError("edit needs --macro NAME").c_str(), err);
    return kExitUsage;
  }

  if ((args.dryRun || args.summary) && (args.command == "report" || args.command == "count")) {
    std::fputs(usageError(std::string(args.dryRun ? "--dry-run" : "--summary") + " is not available for " +
                          args.command)
                   .c_str(),
               err);
    return kExitUsage;
  }

  BoxExpressions box;
  if (args.command == "alter-bbox" && !parseBoxList(args.option("box"), box)) {
    std::fputs(usageError("alter-bbox needs --box with four expressions, e.g. --box \"+20,+20,-20,-20\"").c_str(), err);
    return kExitUsage;
  }
  const std::string settingsProblem = settingsFolderProblem(args.settingsFolder);
  if (!settingsProblem.empty()) {
    std::fputs(usageError(settingsProblem).c_str(), err);
    return kExitUsage;
  }
  if (!args.filesFrom.empty() && !readFileList(args.filesFrom, in, args.files, error)) {
    std::fputs(usageError(error).c_str(), err);
    return kExitUsage;
  }
  const CommandSpec* commandSpec = findCommand(args.command);
  if (commandSpec && commandSpec->takesFiles && args.files.empty()) {
    const std::string list = args.filesFrom == "-" ? std::string("standard input") : args.filesFrom;
    std::fputs(usageError("no FILE given: " + list + " lists none").c_str(), err);
    return kExitUsage;
  }

  CliHost host(out, err, in);
  // A list read from standard input leaves nothing there to answer with.
  const bool interactive = ::isatty(fileno(in)) == 1 && args.filesFrom != "-";
  host.setInteractive(interactive);
  CVelmoraDoc doc;
  // The window shows a box per missing settings file at start-up; a script
  // only wants the messages of the task it runs.
  if (!doc.locateSettingsFolder(host, args.settingsFolder)) return kExitCancelled;
  host.setQuiet(true);
  doc.loadSettings(host);
  host.setQuiet(false);
  if (args.command == "run") {
    const std::string missing = missingRunOption(doc.settings.run(), args);
    if (!missing.empty()) {
      std::fputs(usageError(missing).c_str(), err);
      return kExitUsage;
    }
  }

  CBatchState batch;
  batch.keepGoing = args.keepGoing;
  CliOutput output(batch, out, err, args.json, ::isatty(fileno(err)) == 1);
  batch.log.setObserver(&output.logObserver());
  batch.progress = &output;
  host.setOutput(&output);
  host.setFiles(args.files);
  CCommandHandlers handlers(doc, batch, host);
  const auto beforeAsk = [&output] { output.beforeQuestion(); };
  const auto onCancel = [&host] { host.noteCancelAnswer(); };
  CRunRecord record;
  RunSummary summary(output);
  if (args.dryRun || args.summary) {
    record.dryRun = args.dryRun;
    record.observer = &summary;
    batch.run = &record;
  }

  CliHost::interrupted = false;
  CliHost::signalNumber = 0;
  struct sigaction action {};
  action.sa_handler = onInterrupt;
  sigemptyset(&action.sa_mask);
  for (const int signal : kHandledSignals)
    sigaction(signal, &action, nullptr);

  BatchOutcome outcome = BatchOutcome::NothingChosen;
  CliStaveDialogs staveDialogs(args.option("instruments"), args.hasOption("keep-listed"), args.option("template"));
  if (args.command == "count") outcome = handlers.onRunItemCount();
  if (args.command == "optimize") outcome = handlers.onOptimize(staveDialogs, args.hasOption("instruments"));
  if (args.command == "unoptimize") outcome = handlers.onUnoptimize(staveDialogs);
  if (args.command == "justify") {
    CliJustifyDialogs dialogs(host, err, interactive);
    dialogs.beforeAsk = beforeAsk;
    dialogs.onCancel = onCancel;
    outcome = handlers.onJustify(dialogs);
  }
  CliEpsDialogs epsDialogs;
  if (args.command == "add-crops") outcome = handlers.onAddCropMarks();
  if (args.command == "remove-crops") outcome = handlers.onRemoveCropMarks();
  if (args.command == "rename-eps") outcome = handlers.onRenameEps();
  if (args.command == "split-eps") outcome = handlers.onSplitEps();
  if (args.command == "list-fonts") outcome = handlers.onListFonts();
  if (args.command == "alter-bbox") {
    doc.eps.boxExpressions = box;
    doc.eps.askBoxPerFile = 0;
    outcome = handlers.onAlterBoundingBox(epsDialogs);
  }
  if (args.command == "beams") {
    CliBeamDialogs dialogs(err, interactive, in);
    dialogs.beforeAsk = beforeAsk;
    outcome = handlers.onSetBeamAngles(dialogs);
  }
  if (args.command == "edit") {
    CliEditDialogs dialogs(host, err, in, args.option("macro"), interactive);
    dialogs.beforeAsk = beforeAsk;
    dialogs.onCancel = onCancel;
    outcome = handlers.onEdit(dialogs);
  }
  if (args.command == "report") {
    CliReportDialogs dialogs;
    outcome = handlers.onCreateReport(dialogs);
  }
  if (args.command == "run") {
    CliRunDialogs runDialogs;
    CliBeamDialogs beamDialogs(err, interactive, in);
    CliJustifyDialogs justifyDialogs(host, err, interactive);
    CliEditDialogs editDialogs(host, err, in, args.option("macro"), interactive);
    beamDialogs.beforeAsk = beforeAsk;
    justifyDialogs.beforeAsk = beforeAsk;
    editDialogs.beforeAsk = beforeAsk;
    justifyDialogs.onCancel = onCancel;
    editDialogs.onCancel = onCancel;
    outcome = handlers.onRunMultipleTasks(runDialogs, staveDialogs, beamDialogs, justifyDialogs, editDialogs);
  }

  output.finish(outcome == BatchOutcome::Finished, args.keepGoing);
  batch.log.setObserver(nullptr);
  batch.progress = nullptr;
  host.setOutput(nullptr);
  for (const int signal : kHandledSignals)
    std::signal(signal, SIG_DFL);
  return exitStatus(outcome, host, output);
}

} // namespace velmora::cli

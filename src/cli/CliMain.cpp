#include "cli/CliMain.h"

#include <unistd.h>

#include <csignal>

#include "app/CCommandHandlers.h"
#include "app/CVelmoraDoc.h"
#include "base/AtomicFile.h"
#include "cli/Arguments.h"
#include "cli/CliBeamDialogs.h"
#include "cli/CliEditDialogs.h"
#include "cli/CliHost.h"
#include "cli/CliJustify.h"
#include "cli/CliStaveDialogs.h"
#include "eps/BoxFile.h"

namespace velmora::cli {

void onInterrupt(int) {
  // A second Ctrl+C ends at once; the file being written is dropped, its target untouched.
  if (CliHost::interrupted.exchange(true)) {
    unlinkOpenTemporaries();
    _exit(kExitInterrupted);
  }
}

namespace {

int exitStatus(BatchOutcome outcome, const CliHost& host) {
  if (host.wasInterrupted()) return kExitInterrupted;
  return outcome == BatchOutcome::Finished ? kExitFinished : kExitCancelled;
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

// Prints the summary lines under each file's row.
class ConsoleSummary final : public IRunObserver {
public:
  explicit ConsoleSummary(ConsoleLog& console) : console_(console) {}
  void fileFinished(const FileChanges& file) override {
    for (const std::string& line : summaryLines(file))
      console_.addAfterRow(line);
  }
  void batchNote(const std::string& text) override { console_.addAfterRow("  " + text); }

private:
  ConsoleLog& console_;
};

} // namespace

int runCli(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
  Arguments args;
  std::string error;
  bool parsed = parseArguments(argc, argv, args, error);
  // The keep-listed box means nothing without the numbers it refers to.
  if (parsed && args.hasOption("keep-listed") && !args.hasOption("instruments")) {
    parsed = false;
    error = "--keep-listed needs --instruments";
  }
  if (!parsed) {
    std::fprintf(err, "velmora-cli: %s\n\n%s", error.c_str(), usageText().c_str());
    return kExitUsage;
  }
  if (args.help) {
    std::fputs(usageText().c_str(), out);
    return kExitFinished;
  }
  if (args.version) {
    std::fputs("velmora-cli 3.7\n", out);
    return kExitFinished;
  }
  if (args.command == "edit" && args.option("macro").empty()) {
    std::fprintf(err, "velmora-cli: edit needs --macro NAME\n\n%s", usageText().c_str());
    return kExitUsage;
  }

  if ((args.dryRun || args.summary) && (args.command == "run" || args.command == "report" || args.command == "count")) {
    std::fprintf(err, "velmora-cli: %s is not available for %s\n\n%s", args.dryRun ? "--dry-run" : "--summary",
                 args.command.c_str(), usageText().c_str());
    return kExitUsage;
  }

  BoxExpressions box;
  if (args.command == "alter-bbox" && !parseBoxList(args.option("box"), box)) {
    std::fprintf(err, "velmora-cli: alter-bbox needs --box with four expressions, e.g. --box \"+20,+20,-20,-20\"\n\n%s",
                 usageText().c_str());
    return kExitUsage;
  }

  CliHost host(out, err);
  const bool interactive = ::isatty(STDIN_FILENO) == 1;
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
      std::fprintf(err, "velmora-cli: %s\n\n%s", missing.c_str(), usageText().c_str());
      return kExitUsage;
    }
  }

  CBatchState batch;
  ConsoleLog console(batch.log, out);
  batch.log.setObserver(&console);
  host.setConsole(&console);
  host.setFiles(args.files);
  CCommandHandlers handlers(doc, batch, host);
  CRunRecord record;
  ConsoleSummary summary(console);
  if (args.dryRun || args.summary) {
    record.dryRun = args.dryRun;
    record.observer = &summary;
    batch.run = &record;
  }

  CliHost::interrupted = false;
  struct sigaction action {};
  action.sa_handler = onInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);

  BatchOutcome outcome = BatchOutcome::NothingChosen;
  CliStaveDialogs staveDialogs(args.option("instruments"), args.hasOption("keep-listed"), args.option("template"));
  if (args.command == "count") outcome = handlers.onRunItemCount();
  if (args.command == "optimize") outcome = handlers.onOptimize(staveDialogs, args.hasOption("instruments"));
  if (args.command == "unoptimize") outcome = handlers.onUnoptimize(staveDialogs);
  if (args.command == "justify") {
    CliJustifyDialogs dialogs(host, err, interactive);
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
    CliBeamDialogs dialogs(err, interactive);
    outcome = handlers.onSetBeamAngles(dialogs);
  }
  if (args.command == "edit") {
    CliEditDialogs dialogs(host, err, stdin, args.option("macro"), interactive);
    outcome = handlers.onEdit(dialogs);
  }
  if (args.command == "report") {
    CliReportDialogs dialogs;
    outcome = handlers.onCreateReport(dialogs);
  }
  if (args.command == "run") {
    CliRunDialogs runDialogs;
    CliBeamDialogs beamDialogs(err, interactive);
    CliJustifyDialogs justifyDialogs(host, err, interactive);
    CliEditDialogs editDialogs(host, err, stdin, args.option("macro"), interactive);
    outcome = handlers.onRunMultipleTasks(runDialogs, staveDialogs, beamDialogs, justifyDialogs, editDialogs);
  }

  console.flush();
  batch.log.setObserver(nullptr);
  host.setConsole(nullptr);
  signal(SIGINT, SIG_DFL);
  return exitStatus(outcome, host);
}

} // namespace velmora::cli

#include "cli/CliMain.h"

#include <unistd.h>

#include <csignal>

#include "app/CCommandHandlers.h"
#include "app/CVelmoraDoc.h"
#include "cli/Arguments.h"
#include "cli/CliEditDialogs.h"
#include "cli/CliHost.h"

namespace velmora::cli {

namespace {

void onInterrupt(int) {
  // A second Ctrl+C ends at once; every write is atomic, so nothing is half-written.
  if (CliHost::interrupted.exchange(true)) _exit(kExitInterrupted);
}

int exitStatus(BatchOutcome outcome, const CliHost& host) {
  if (host.wasInterrupted()) return kExitInterrupted;
  return outcome == BatchOutcome::Finished ? kExitFinished : kExitCancelled;
}

} // namespace

int runCli(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
  Arguments args;
  std::string error;
  if (!parseArguments(argc, argv, args, error)) {
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

  CBatchState batch;
  ConsoleLog console(batch.log, out);
  batch.log.setObserver(&console);
  host.setFiles(args.files);
  CCommandHandlers handlers(doc, batch, host);

  CliHost::interrupted = false;
  struct sigaction action {};
  action.sa_handler = onInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);

  BatchOutcome outcome = BatchOutcome::NothingChosen;
  if (args.command == "count") outcome = handlers.onRunItemCount();
  if (args.command == "edit") {
    CliEditDialogs dialogs(host, err, stdin, args.option("macro"), interactive);
    outcome = handlers.onEdit(dialogs);
  }

  console.flush();
  batch.log.setObserver(nullptr);
  signal(SIGINT, SIG_DFL);
  return exitStatus(outcome, host);
}

} // namespace velmora::cli

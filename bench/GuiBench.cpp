// velmora-bench-gui: one batch run from the main window and from the command
// line, side by side in one process, alternating.
//   velmora-bench-gui [--runs N] [--only gui|cli] [--detach progress|log|both] [--warm yes|no]
//                     SETTINGS count|edit:MACRO FILE...
// Prints one "ratio R" line per pair (window time / command-line time) and the
// median; with --only, runs that side once and prints nothing on success.
// --detach runs the window without its progress bar or log view following
// the batch, to show what each costs; --warm yes times the window's second batch.
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "app/CCommandHandlers.h"
#include "app/CVelmoraDoc.h"
#include "app/CommandTable.h"
#include "cli/CliMain.h"
#include "gui/CGuiHost.h"
#include "gui/CMainFrame.h"

namespace {

using namespace velmora;
using Clock = std::chrono::steady_clock;

// The window's host with the batch chosen as the file-list dialog would choose it.
class ScriptedHost : public gui::CGuiHost {
public:
  explicit ScriptedHost(const std::vector<std::string>& files) : files_(files) {}
  int chooseFiles(FileListRequest&, std::vector<std::string>& chosen) override {
    chosen.insert(chosen.end(), files_.begin(), files_.end());
    return 1;
  }

private:
  const std::vector<std::string>& files_;
};

struct Job {
  bool withProgress = true;
  bool withLog = true;
  bool warm = false;
  std::string settings;
  std::string command; // "count" or "edit"
  std::string macro;
  std::vector<std::string> files;
};

// Code in the libraries Qt loads can leave the upper halves of the vector
// registers dirty, which makes every later SSE instruction of this process
// slower (the command line's batch took 5x its own process's time after a
// window run). Each side starts clean.
void clearVectorState() {
#if defined(__x86_64__) && defined(__GNUC__)
  if (__builtin_cpu_supports("avx")) asm volatile("vzeroupper");
#endif
}

bool finished(const CBatchState& batch) {
  for (const std::string& row : batch.log.rows())
    if (row == kOperationCancelled) return false;
  return !batch.log.rows().empty();
}

// The window's busy rule without its progress bar.
class BusyOnly : public IBatchProgress {
public:
  explicit BusyOnly(IBatchProgress& frame) : frame_(frame) {}
  void batchStarted() override { frame_.batchStarted(); }
  void fileStarted(size_t, size_t) override {}
  void batchIdle() override { frame_.batchIdle(); }

private:
  IBatchProgress& frame_;
};

void runCommand(const Job& job, CVelmoraDoc& doc, CBatchState& batch, gui::CGuiHost& host, gui::CMainFrame& frame) {
  if (job.command == "count") {
    frame.runCommand(cmd::kItemCount);
  } else {
    // The window's Edit command is wired elsewhere; its handler is the one every front end calls.
    CCommandHandlers handlers(doc, batch, host);
    bench::SilentDialogs dialogs(job.macro);
    handlers.onEdit(dialogs);
  }
}

// Seconds for the batch in a shown main window, from the command to its finish line.
// With job.warm the window has run the batch once before: icons for the busy
// state and fonts are made the first time only.
double runGui(const Job& job, bool& ok) {
  bench::SilentHost quiet;
  CVelmoraDoc doc;
  if (!doc.create(quiet, job.settings)) {
    ok = false;
    return 0;
  }
  CBatchState batch;
  ScriptedHost host(job.files);
  gui::CMainFrame frame(doc, batch, host);
  frame.show();
  for (int i = 0; i < 10; ++i)
    QCoreApplication::processEvents();
  BusyOnly busyOnly(frame);
  if (!job.withProgress) batch.progress = &busyOnly;
  if (!job.withLog) batch.log.setObserver(nullptr);
  if (job.warm) {
    runCommand(job, doc, batch, host, frame);
    for (int i = 0; i < 10; ++i)
      QCoreApplication::processEvents();
  }
  clearVectorState();
  const auto start = Clock::now();
  runCommand(job, doc, batch, host, frame);
  QCoreApplication::processEvents();
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  ok = finished(batch);
  return seconds;
}

// Seconds for the same batch through the command line's own entry point.
double runCli(const Job& job, bool& ok) {
  std::vector<std::string> words{"velmora-cli", "--settings", job.settings, job.command};
  if (job.command == "edit") {
    words.push_back("--macro");
    words.push_back(job.macro);
  }
  words.insert(words.end(), job.files.begin(), job.files.end());
  std::vector<const char*> argv;
  for (const std::string& w : words)
    argv.push_back(w.c_str());
  std::FILE* null = std::fopen("/dev/null", "w");
  clearVectorState();
  const auto start = Clock::now();
  const int status = cli::runCli(static_cast<int>(argv.size()), argv.data(), null, null);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  std::fclose(null);
  ok = status == 0;
  return seconds;
}

int usage() {
  std::fprintf(
      stderr,
      "usage: velmora-bench-gui [--runs N] [--only gui|cli] [--detach progress|log|both] [--warm yes|no] SETTINGS "
      "count|edit:MACRO FILE...\n");
  return 2;
}

} // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  int runs = 5;
  std::string only, detach;
  Job job;
  int i = 1;
  for (; i + 1 < argc && std::strncmp(argv[i], "--", 2) == 0; i += 2) {
    if (std::strcmp(argv[i], "--runs") == 0)
      runs = std::max(1, std::atoi(argv[i + 1]));
    else if (std::strcmp(argv[i], "--only") == 0)
      only = argv[i + 1];
    else if (std::strcmp(argv[i], "--detach") == 0)
      detach = argv[i + 1];
    else if (std::strcmp(argv[i], "--warm") == 0)
      job.warm = std::strcmp(argv[i + 1], "yes") == 0;
    else
      return usage();
  }
  if (argc - i < 3) return usage();
  job.settings = argv[i];
  job.command = argv[i + 1];
  if (job.command.starts_with("edit:")) {
    job.macro = job.command.substr(5);
    job.command = "edit";
  }
  if (job.command != "count" && job.command != "edit") return usage();
  job.files.assign(argv + i + 2, argv + argc);
  job.withProgress = detach != "progress" && detach != "both";
  job.withLog = detach != "log" && detach != "both";

  bool ok = true;
  if (!only.empty()) {
    if (only == "gui")
      runGui(job, ok);
    else
      runCli(job, ok);
    if (!ok) std::fprintf(stderr, "velmora-bench-gui: the %s batch did not finish\n", only.c_str());
    return ok ? 0 : 1;
  }
  std::vector<double> ratios;
  for (int r = 0; r < runs; ++r) {
    bool guiOk = true, cliOk = true;
    double gui, cli;
    // Alternating which side goes first evens out caches and the load of the machine.
    if (r % 2 == 0) {
      gui = runGui(job, guiOk);
      cli = runCli(job, cliOk);
    } else {
      cli = runCli(job, cliOk);
      gui = runGui(job, guiOk);
    }
    if (!guiOk || !cliOk) {
      std::fprintf(stderr, "velmora-bench-gui: the %s batch did not finish\n", guiOk ? "command-line" : "window");
      return 1;
    }
    ratios.push_back(gui / cli);
    std::printf("ratio %.3f (window %.1f ms, command line %.1f ms)\n", ratios.back(), gui * 1e3, cli * 1e3);
  }
  std::sort(ratios.begin(), ratios.end());
  std::printf("median %.3f\n", ratios[ratios.size() / 2]);
  return 0;
}

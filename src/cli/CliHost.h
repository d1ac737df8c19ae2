#pragma once

#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "base/Host.h"
#include "batch/COutputLog.h"

namespace velmora::cli {

class CliOutput;

// The console as the user: message boxes go to stderr, the file list comes
// from the command line, Ctrl+C is a confirmed "Cancel Action".
class CliHost : public IHost {
public:
  CliHost(std::FILE* out, std::FILE* err, std::FILE* in = stdin) : out_(out), err_(err), in_(in) {}

  void showMessage(const std::string& text) override;
  bool askYesNo(const std::string& title, const std::string& text) override;
  bool askOkCancel(const std::string& text) override;
  Pump pump() override;
  int chooseFiles(FileListRequest& request, std::vector<std::string>& files) override;
  void openInViewer(const std::string& path) override;
  bool cancelConfirmed() const override { return sawInterrupt_ || cancelAnswered_; }
  // A question answered Cancel: the batch ends there, as after Ctrl+C.
  void noteCancelAnswer() { cancelAnswered_ = true; }

  void setFiles(std::vector<std::string> files) { files_ = std::move(files); }
  // Questions are answered on a terminal; elsewhere they get this answer.
  void setInteractive(bool interactive) { interactive_ = interactive; }
  void setQuiet(bool quiet) { quiet_ = quiet; }
  // While a batch runs, messages and questions go through its output.
  void setOutput(CliOutput* output) { output_ = output; }

  // Set from the SIGINT, SIGTERM and SIGHUP handler, with the signal.
  static std::atomic<bool> interrupted;
  static std::atomic<int> signalNumber;
  // Also a Ctrl+C that came after the last pump.
  bool wasInterrupted() const { return sawInterrupt_ || interrupted.load(); }

private:
  bool ask(const std::string& text, const char* choices, bool defaultAnswer);

  std::FILE* out_;
  std::FILE* err_;
  std::vector<std::string> files_;
  bool interactive_ = false;
  bool quiet_ = false;
  std::FILE* in_;
  bool sawInterrupt_ = false;
  bool cancelAnswered_ = false;
  CliOutput* output_ = nullptr;
};

// Prints each log row once, in its final form: the last row may still be
// extended, so it is printed when the next one arrives, when the log is
// cleared, or at flush().
class ConsoleLog : public ILogObserver {
public:
  using Emit = std::function<void(const std::string& row)>;
  ConsoleLog(const COutputLog& log, std::FILE* out);
  ConsoleLog(const COutputLog& log, Emit emit) : log_(log), emit_(std::move(emit)) {}
  void rowAppended(size_t index, bool follow) override;
  void rowReplaced(size_t index) override;
  void cleared() override;
  void flush();

private:
  const COutputLog& log_;
  Emit emit_;
  std::string pending_;
  bool hasPending_ = false;
};

} // namespace velmora::cli

#pragma once

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "base/Host.h"
#include "batch/COutputLog.h"

namespace velmora::cli {

class ConsoleLog;

// The console as the user: message boxes go to stderr, the file list comes
// from the command line, Ctrl+C is a confirmed "Cancel Action".
class CliHost : public IHost {
public:
  CliHost(std::FILE* out, std::FILE* err) : out_(out), err_(err) {}

  void showMessage(const std::string& text) override;
  bool askYesNo(const std::string& title, const std::string& text) override;
  bool askOkCancel(const std::string& text) override;
  Pump pump() override;
  int chooseFiles(FileListRequest& request, std::vector<std::string>& files) override;
  void openInViewer(const std::string& path) override;

  void setFiles(std::vector<std::string> files) { files_ = std::move(files); }
  // Questions are answered on a terminal; elsewhere they get this answer.
  void setInteractive(bool interactive) { interactive_ = interactive; }
  void setQuiet(bool quiet) { quiet_ = quiet; }
  // Rows still pending are printed before a path the viewer would open.
  void setConsole(ConsoleLog* console) { console_ = console; }

  // Set from the SIGINT handler.
  static std::atomic<bool> interrupted;
  // Also a Ctrl+C that came after the last pump.
  bool wasInterrupted() const { return sawInterrupt_ || interrupted.load(); }

private:
  bool ask(const std::string& text, const char* choices, bool defaultAnswer);

  std::FILE* out_;
  std::FILE* err_;
  std::vector<std::string> files_;
  bool interactive_ = false;
  bool quiet_ = false;
  bool sawInterrupt_ = false;
  ConsoleLog* console_ = nullptr;
};

// Prints each log row once, in its final form: the last row may still be
// extended, so it is printed when the next one arrives, when the log is
// cleared, or at flush().
class ConsoleLog : public ILogObserver {
public:
  ConsoleLog(const COutputLog& log, std::FILE* out) : log_(log), out_(out) {}
  void rowAppended(size_t index, bool follow) override;
  void rowReplaced(size_t index) override;
  void cleared() override;
  void flush();
  // Printed right after the row still pending (a file's summary), or at once.
  void addAfterRow(const std::string& line);

private:
  std::vector<std::string> after_;
  const COutputLog& log_;
  std::FILE* out_;
  std::string pending_;
  bool hasPending_ = false;
};

} // namespace velmora::cli

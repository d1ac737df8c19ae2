#pragma once

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "batch/BatchRunner.h"
#include "cli/CliHost.h"
#include "model/RunRecord.h"

namespace velmora::cli {

// Everything a batch shows on the console. In text form the log rows go to
// standard output and the messages to standard error, each message after the
// row of the file it is about and naming that file; in JSON form standard
// output carries one event object per line instead. On a terminal, standard
// error also shows a "[n/N] PATH" status line while a batch runs.
class CliOutput : public IBatchProgress {
public:
  CliOutput(const CBatchState& batch, std::FILE* out, std::FILE* err, bool json, bool statusLine);
  CliOutput(const CliOutput&) = delete;
  CliOutput& operator=(const CliOutput&) = delete;

  ILogObserver& logObserver() { return console_; }

  void batchStarted() override {}
  void fileStarted(size_t index, size_t count) override;
  void fileFinished(const FileOutcome& outcome) override;
  void batchIdle() override;

  // From the host: a message box, a question about to be asked, a file the
  // window would open in its viewer.
  void message(const std::string& text);
  void beforeQuestion();
  void opened(const std::string& path);

  // What the current file's run changed (--summary, --dry-run), shown after
  // its row and messages, or as the "changes" of its JSON event; and a line
  // about the whole batch.
  void changes(const FileChanges& file);
  void note(const std::string& text);

  // After the run: the last row, then the list of the files not processed
  // (keep-going) or the "end" event.
  void finish(bool finished, bool listNotProcessed);

  int processedFiles() const { return processed_; }
  int failedFiles() const { return static_cast<int>(failures_.size()); }

private:
  struct Held {
    std::string file; // empty: about no file
    std::string text;
  };
  struct Failure {
    std::string path;
    FileResult result;
    std::string reason;
  };

  void writeRow(const std::string& row);
  void writeMessage(const Held& message);
  void releaseHeld();
  void writeJson(const std::string& line);
  // Clears the status line for other output; redraw() puts it back.
  void clearStatus();
  void redrawStatus();

  const CBatchState& batch_;
  std::FILE* out_;
  std::FILE* err_;
  bool json_;
  bool statusLine_;
  ConsoleLog console_;

  std::string currentFile_; // the file being processed, empty between files
  std::vector<Held> held_;
  std::string firstMessage_; // of the current file: the reason it was not processed
  std::optional<FileChanges> changes_; // of the current file
  std::vector<Failure> failures_;
  int processed_ = 0;

  size_t fileCount_ = 0;
  std::string status_; // the status line's text, empty when none
  bool statusShown_ = false;
  std::chrono::steady_clock::time_point lastStatus_{};
};

// A file result as JSON names it ("cannot-open", ...).
const char* fileResultName(FileResult result);

// `bytes` as valid UTF-8: each byte that does not start a valid UTF-8
// sequence stands for the character with its code (U+0080 to U+00FF), as a
// Latin-1 name would show it.
std::string toJsonText(const std::string& bytes);
bool isValidUtf8(const std::string& bytes);

} // namespace velmora::cli

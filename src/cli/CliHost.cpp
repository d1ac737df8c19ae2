#include "cli/CliHost.h"

#include "cli/CliOutput.h"

#include <unistd.h>

namespace velmora::cli {

std::atomic<bool> CliHost::interrupted{false};
std::atomic<int> CliHost::signalNumber{0};

void CliHost::showMessage(const std::string& text) {
  if (quiet_) return;
  if (output_) {
    output_->message(text);
    return;
  }
  std::fprintf(err_, "velmora-cli: %s\n", text.c_str());
  std::fflush(err_);
}

bool CliHost::ask(const std::string& text, const char* choices, bool defaultAnswer) {
  if (quiet_) return defaultAnswer;
  if (output_) output_->beforeQuestion();
  std::fprintf(err_, "velmora-cli: %s %s ", text.c_str(), choices);
  if (!interactive_) {
    std::fprintf(err_, "%s\n", defaultAnswer ? "yes" : "no");
    std::fflush(err_);
    return defaultAnswer;
  }
  std::fflush(err_);
  char line[64];
  if (!std::fgets(line, sizeof line, in_)) return defaultAnswer;
  return line[0] == 'y' || line[0] == 'Y' || line[0] == 'o' || line[0] == 'O';
}

bool CliHost::askYesNo(const std::string& title, const std::string& text) {
  return ask(title + ": " + text, "[y/N]", false);
}

bool CliHost::askOkCancel(const std::string& text) {
  const bool ok = ask(text, "[OK/cancel]", true);
  if (!ok) noteCancelAnswer();
  return ok;
}

Pump CliHost::pump() {
  // A plain load first: the exchange costs a locked instruction per item.
  if (!interrupted.load(std::memory_order_relaxed)) return Pump::GoOn;
  if (interrupted.exchange(false)) {
    sawInterrupt_ = true;
    return Pump::Cancel;
  }
  return Pump::GoOn;
}

int CliHost::chooseFiles(FileListRequest& request, std::vector<std::string>& files) {
  (void)request;
  files.insert(files.end(), files_.begin(), files_.end());
  return files_.empty() ? 0 : 1;
}

void CliHost::openInViewer(const std::string& path) {
  if (output_) {
    output_->opened(path);
    return;
  }
  std::fprintf(out_, "%s\n", path.c_str());
  std::fflush(out_);
}

ConsoleLog::ConsoleLog(const COutputLog& log, std::FILE* out)
    : log_(log), emit_([out](const std::string& row) {
        std::fprintf(out, "%s\n", row.c_str());
        std::fflush(out);
      }) {}

void ConsoleLog::rowAppended(size_t index, bool follow) {
  (void)follow;
  flush();
  pending_ = log_.rows()[index];
  hasPending_ = true;
}

void ConsoleLog::rowReplaced(size_t index) { pending_ = log_.rows()[index]; }

void ConsoleLog::cleared() { flush(); }

void ConsoleLog::flush() {
  if (!hasPending_) return;
  // Cleared first: the emitter may come back here.
  hasPending_ = false;
  emit_(pending_);
}

} // namespace velmora::cli

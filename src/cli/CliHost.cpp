#include "cli/CliHost.h"

#include <unistd.h>

namespace velmora::cli {

std::atomic<bool> CliHost::interrupted{false};

void CliHost::showMessage(const std::string& text) {
  if (quiet_) return;
  std::fprintf(err_, "velmora-cli: %s\n", text.c_str());
  std::fflush(err_);
}

bool CliHost::ask(const std::string& text, const char* choices, bool defaultAnswer) {
  if (quiet_) return defaultAnswer;
  std::fprintf(err_, "velmora-cli: %s %s ", text.c_str(), choices);
  if (!interactive_) {
    std::fprintf(err_, "%s\n", defaultAnswer ? "yes" : "no");
    std::fflush(err_);
    return defaultAnswer;
  }
  std::fflush(err_);
  char line[64];
  if (!std::fgets(line, sizeof line, stdin)) return defaultAnswer;
  return line[0] == 'y' || line[0] == 'Y' || line[0] == 'o' || line[0] == 'O';
}

bool CliHost::askYesNo(const std::string& title, const std::string& text) {
  return ask(title + ": " + text, "[y/N]", false);
}

bool CliHost::askOkCancel(const std::string& text) { return ask(text, "[OK/cancel]", true); }

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
  if (console_) console_->flush();
  std::fprintf(out_, "%s\n", path.c_str());
  std::fflush(out_);
}

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
  std::fprintf(out_, "%s\n", pending_.c_str());
  for (const std::string& line : after_)
    std::fprintf(out_, "%s\n", line.c_str());
  after_.clear();
  std::fflush(out_);
  hasPending_ = false;
}

void ConsoleLog::addAfterRow(const std::string& line) {
  if (hasPending_) {
    after_.push_back(line);
    return;
  }
  std::fprintf(out_, "%s\n", line.c_str());
  std::fflush(out_);
}

} // namespace velmora::cli

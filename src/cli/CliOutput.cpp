#include "cli/CliOutput.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

namespace velmora::cli {

namespace {

using nlohmann::json;

// Each of the first files is shown; later ones at most this often.
constexpr size_t kAlwaysShown = 20;
constexpr auto kStatusInterval = std::chrono::milliseconds(100);

// The length of the valid UTF-8 sequence at `i`, or 0.
size_t utf8Length(const std::string& s, size_t i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = byte(i);
  if (c < 0x80) return 1;
  size_t n = 0;
  unsigned long min = 0;
  unsigned long cp = 0;
  if ((c & 0xE0) == 0xC0) {
    n = 2;
    min = 0x80;
    cp = c & 0x1F;
  } else if ((c & 0xF0) == 0xE0) {
    n = 3;
    min = 0x800;
    cp = c & 0x0F;
  } else if ((c & 0xF8) == 0xF0) {
    n = 4;
    min = 0x10000;
    cp = c & 0x07;
  } else {
    return 0;
  }
  if (i + n > s.size()) return 0;
  for (size_t k = 1; k < n; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (byte(i + k) & 0x3F);
  }
  // Overlong forms, surrogates and code points past Unicode are not UTF-8.
  if (cp < min || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) return 0;
  return n;
}

json pathValue(const std::string& path) { return path.empty() ? json(nullptr) : json(toJsonText(path)); }

// The reason in the closing list: the file's first message on one line.
std::string oneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r' || c == '\t') c = ' ';
  return text;
}

std::string defaultReason(FileResult result) {
  switch (result) {
  case FileResult::CannotOpen: return "cannot be opened";
  case FileResult::NotWritten: return "could not be written";
  case FileResult::Cancelled: return "cancelled";
  default: return "refused";
  }
}

int terminalWidth(std::FILE* f) {
  winsize size{};
  if (::ioctl(fileno(f), TIOCGWINSZ, &size) == 0 && size.ws_col >= 20) return size.ws_col;
  return 80;
}

} // namespace

const char* fileResultName(FileResult result) {
  switch (result) {
  case FileResult::Processed: return "processed";
  case FileResult::Refused: return "refused";
  case FileResult::CannotOpen: return "cannot-open";
  case FileResult::NotWritten: return "not-written";
  case FileResult::Cancelled: return "cancelled";
  }
  return "refused";
}

bool isValidUtf8(const std::string& bytes) {
  for (size_t i = 0; i < bytes.size();) {
    const size_t n = utf8Length(bytes, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

std::string toJsonText(const std::string& bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size();) {
    const size_t n = utf8Length(bytes, i);
    if (n > 0) {
      out.append(bytes, i, n);
      i += n;
      continue;
    }
    const auto c = static_cast<unsigned char>(bytes[i++]);
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

CliOutput::CliOutput(const CBatchState& batch, std::FILE* out, std::FILE* err, bool json, bool statusLine)
    : batch_(batch), out_(out), err_(err), json_(json), statusLine_(statusLine),
      console_(batch.log, [this](const std::string& row) { writeRow(row); }) {}

void CliOutput::writeJson(const std::string& line) {
  std::fputs(line.c_str(), out_);
  std::fputc('\n', out_);
  std::fflush(out_);
}

void CliOutput::writeRow(const std::string& row) {
  if (json_) {
    writeJson(json{{"event", "row"}, {"text", toJsonText(row)}}.dump());
    return;
  }
  clearStatus();
  std::fprintf(out_, "%s\n", row.c_str());
  std::fflush(out_);
  redrawStatus();
}

void CliOutput::writeMessage(const Held& message) {
  if (json_) {
    writeJson(json{{"event", "message"}, {"file", pathValue(message.file)}, {"text", toJsonText(message.text)}}.dump());
    return;
  }
  clearStatus();
  // A text that names its file already is not prefixed with it again.
  if (message.file.empty() || message.text.find(message.file) != std::string::npos)
    std::fprintf(err_, "velmora-cli: %s\n", message.text.c_str());
  else
    std::fprintf(err_, "velmora-cli: %s: %s\n", message.file.c_str(), message.text.c_str());
  std::fflush(err_);
  redrawStatus();
}

void CliOutput::releaseHeld() {
  for (const Held& message : held_)
    writeMessage(message);
  held_.clear();
}

void CliOutput::message(const std::string& text) {
  if (currentFile_.empty()) {
    console_.flush();
    writeMessage({std::string(), text});
    return;
  }
  // The file's row may still be extended; its messages follow it once it is final.
  if (firstMessage_.empty()) firstMessage_ = text;
  held_.push_back({currentFile_, text});
}

void CliOutput::beforeQuestion() {
  releaseHeld();
  clearStatus();
}

void CliOutput::opened(const std::string& path) {
  console_.flush();
  releaseHeld();
  if (json_) {
    writeJson(json{{"event", "opened"}, {"path", pathValue(path)}}.dump());
    return;
  }
  clearStatus();
  std::fprintf(out_, "%s\n", path.c_str());
  std::fflush(out_);
}

void CliOutput::changes(const FileChanges& file) { changes_ = file; }

void CliOutput::note(const std::string& text) {
  console_.flush();
  releaseHeld();
  writeRow("  " + text);
}

void CliOutput::fileStarted(size_t index, size_t count) {
  releaseHeld();
  changes_.reset();
  currentFile_ = index >= 1 && index <= batch_.fileList.size() ? batch_.fileList[index - 1] : std::string();
  firstMessage_.clear();
  fileCount_ = count;
  if (!statusLine_ || count < 2) return;
  const auto now = std::chrono::steady_clock::now();
  if (index > kAlwaysShown && index < count && now - lastStatus_ < kStatusInterval) return;
  lastStatus_ = now;
  std::string line = "[" + std::to_string(index) + "/" + std::to_string(count) + "] ";
  // One terminal line, or \r would not take it back: a long path keeps its end.
  const size_t room = static_cast<size_t>(terminalWidth(err_) - 1);
  if (line.size() + currentFile_.size() > room && room > line.size() + 3)
    line += "..." + currentFile_.substr(currentFile_.size() - (room - line.size() - 3));
  else
    line += currentFile_;
  status_ = line;
  clearStatus();
  redrawStatus();
}

void CliOutput::fileFinished(const FileOutcome& outcome) {
  // After the last file the status line has nothing more to say.
  if (outcome.index == fileCount_) {
    status_.clear();
    clearStatus();
  }
  console_.flush();
  releaseHeld();
  if (outcome.result == FileResult::Processed)
    ++processed_;
  else
    failures_.push_back(
        {outcome.path, outcome.result, firstMessage_.empty() ? defaultReason(outcome.result) : oneLine(firstMessage_)});
  if (changes_ && !json_)
    for (const std::string& line : summaryLines(*changes_))
      writeRow(line);
  if (json_) {
    json event{{"event", "file"},
               {"path", toJsonText(outcome.path)},
               {"result", fileResultName(outcome.result)},
               {"output", outcome.outputs.empty() ? json(nullptr) : json(toJsonText(outcome.outputs.back()))}};
    json outputs = json::array();
    for (const std::string& path : outcome.outputs)
      outputs.push_back(toJsonText(path));
    event["outputs"] = outputs;
    // The exact bytes of a name that is not UTF-8.
    if (!isValidUtf8(outcome.path)) {
      json bytes = json::array();
      for (const char c : outcome.path)
        bytes.push_back(static_cast<unsigned char>(c));
      event["path_bytes"] = bytes;
    }
    if (changes_) {
      const auto counts = [](const ChangeCounts& c) {
        return json{{"changed", c.changed}, {"deleted", c.deleted}, {"inserted", c.inserted}};
      };
      json changes = counts(changes_->counts);
      if (!changes_->steps.empty()) {
        json steps = json::array();
        for (const StepChanges& step : changes_->steps) {
          json entry = counts(step.counts);
          entry["name"] = toJsonText(step.name);
          entry["matched"] = step.counts.matched;
          steps.push_back(entry);
        }
        changes["steps"] = steps;
      }
      if (!changes_->notes.empty()) {
        json notes = json::array();
        for (const std::string& sentence : changes_->notes)
          notes.push_back(toJsonText(sentence));
        changes["notes"] = notes;
      }
      event["changes"] = changes;
    }
    writeJson(event.dump());
  }
  changes_.reset();
  currentFile_.clear();
  firstMessage_.clear();
}

void CliOutput::batchIdle() {
  status_.clear();
  clearStatus();
  console_.flush();
  releaseHeld();
  currentFile_.clear();
}

void CliOutput::finish(bool finished, bool listNotProcessed) {
  console_.flush();
  releaseHeld();
  status_.clear();
  clearStatus();
  if (json_) {
    writeJson(
        json{{"event", "end"}, {"finished", finished}, {"processed", processed_}, {"failed", failedFiles()}}.dump());
    return;
  }
  if (!listNotProcessed || failures_.empty()) return;
  std::fprintf(out_, "%d file(s) not processed:\n", failedFiles());
  for (const Failure& f : failures_)
    std::fprintf(out_, "%s: %s\n", f.path.c_str(), f.reason.c_str());
  std::fflush(out_);
}

void CliOutput::clearStatus() {
  if (!statusShown_) return;
  std::fputs("\r\033[K", err_);
  std::fflush(err_);
  statusShown_ = false;
}

void CliOutput::redrawStatus() {
  if (status_.empty() || statusShown_) return;
  std::fprintf(err_, "\r%s\033[K", status_.c_str());
  std::fflush(err_);
  statusShown_ = true;
}

} // namespace velmora::cli

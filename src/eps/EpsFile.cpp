#include "eps/EpsFile.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>

#include "base/AtomicFile.h"
#include "base/FileSystem.h"
#include "base/Format.h"
#include "eps/Messages.h"

namespace velmora {

namespace {

constexpr const char* kEpsHeader = "%!PS-Adobe-2.0 EPSF-1.2";
constexpr const char* kAdobeHeader = "%!PS-Adobe-2.0";

class TextWriter {
public:
  TextWriter(IHost& host, const std::string& path) : host_(host), path_(path) {}

  int open() {
    if (isReadOnlyFile(path_)) {
      host_.showMessage(strprintf(eps_msg::kUnableToOpen, path_.c_str()));
      return -1;
    }
    if (!file_.open(path_)) return failed();
    return 1;
  }

  int add(std::string_view text) {
    buffer_.append(text);
    return buffer_.size() >= (1u << 16) ? flush() : 1;
  }

  int commit() {
    if (flush() != 1) return -1;
    if (!file_.commit()) return failed();
    return 1;
  }

private:
  int flush() {
    if (buffer_.empty()) return 1;
    const bool ok = file_.write(buffer_.data(), buffer_.size());
    buffer_.clear();
    return ok ? 1 : failed();
  }

  int failed() {
    host_.showMessage(writeFailureMessage(path_, file_));
    file_.discard();
    return -1;
  }

  IHost& host_;
  const std::string& path_;
  AtomicFile file_;
  std::string buffer_;
};

} // namespace

EpsText splitEpsText(std::span<const uint8_t> bytes) {
  EpsText text;
  const std::string_view all(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  text.finalTerminator = all.empty() || all.back() == '\n';
  size_t start = 0;
  while (start < all.size()) {
    size_t end = all.find('\n', start);
    const bool terminated = end != std::string_view::npos;
    if (!terminated) end = all.size();
    size_t stop = end;
    const bool crlf = terminated && stop > start && all[stop - 1] == '\r';
    if (crlf) --stop;
    text.lines.emplace_back(all.substr(start, stop - start));
    text.crlf.push_back(terminated ? crlf : !text.crlf.empty() && text.crlf.back());
    start = end + 1;
  }
  return text;
}

std::string joinEpsText(const std::vector<std::string>& lines, const std::vector<bool>& crlf, bool finalTerminator) {
  std::string out;
  for (size_t i = 0; i < lines.size(); ++i) {
    out += lines[i];
    if (i + 1 < lines.size() || finalTerminator) out += i < crlf.size() && crlf[i] ? "\r\n" : "\n";
  }
  return out;
}

int readEpsFile(IHost& host, const std::string& path, EpsText& out) {
  std::vector<uint8_t> bytes;
  const ReadResult read = readWholeFile(path, bytes, kMaxEpsFileBytes);
  if (read == ReadResult::CannotOpen) {
    host.showMessage(strprintf(eps_msg::kUnableToOpen, path.c_str()));
    return -1;
  }
  if (read == ReadResult::TooLarge) {
    host.showMessage(strprintf(eps_msg::kTooLarge, path.c_str()));
    return -1;
  }
  out = splitEpsText(bytes);
  return 1;
}

int writeEpsLines(IHost& host, const std::string& path, const std::vector<std::string>& lines,
                  const std::vector<bool>& crlf, bool finalTerminator) {
  TextWriter writer(host, path);
  if (writer.open() != 1) return -1;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (host.pump() == Pump::Cancel) return 0;
    if (writer.add(lines[i]) != 1) return -1;
    if (i + 1 == lines.size() && !finalTerminator) break;
    if (writer.add(i < crlf.size() && crlf[i] ? "\r\n" : "\n") != 1) return -1;
  }
  return writer.commit();
}

int writeTextFile(IHost& host, const std::string& path, const std::string& text) {
  TextWriter writer(host, path);
  if (writer.open() != 1) return -1;
  if (writer.add(text) != 1) return -1;
  return writer.commit();
}

const std::string* LineCursor::next() {
  if (cancelled_ || index_ >= text_.lines.size()) return nullptr;
  if (host_.pump() == Pump::Cancel) {
    cancelled_ = true;
    return nullptr;
  }
  return &text_.lines[index_++];
}

bool LineCursor::lastCrlf() const {
  const size_t line = index_ == 0 ? 0 : index_ - 1;
  return line < text_.crlf.size() && text_.crlf[line];
}

int scoreEpsCheck(IHost& host, LineCursor& cursor, LineBuffer& out, std::string& current) {
  const std::string* line = cursor.next();
  if (!line) {
    if (cursor.cancelled()) return 0;
    host.showMessage(eps_msg::kNotScoreEps);
    return -1;
  }
  std::string first = *line;
  if (first != kEpsHeader) {
    first = first.substr(0, first.find(' '));
    if (first != kAdobeHeader) {
      host.showMessage(eps_msg::kNotScoreEps);
      return -1;
    }
  }
  out.add(first);
  line = cursor.next();
  if (!line) {
    if (cursor.cancelled()) return 0;
    host.showMessage(eps_msg::kNotScoreEps);
    return -1;
  }
  if (!contains(*line, "SCORE")) {
    host.showMessage(eps_msg::kNotScoreEps);
    return -1;
  }
  current = *line;
  return 1;
}

std::string titleName(const std::string& titleLine) {
  if (titleLine.size() <= 9) return {};
  const std::string rest = titleLine.substr(9);
  return rest.substr(0, rest.find('.'));
}

std::string fileNamePart(std::string_view name) {
  name = name.substr(0, name.find('\0'));
  const size_t sep = name.find_last_of("/\\");
  if (sep != std::string_view::npos) name = name.substr(sep + 1);
  // SCORE pads its titles with blanks, which a file name does not keep.
  const size_t last = name.find_last_not_of(" \t");
  return std::string(last == std::string_view::npos ? std::string_view() : name.substr(0, last + 1));
}

long long decimalValue(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  return value;
}

BoxNumbers parseBoxNumbers(std::string_view line, size_t skip) {
  std::string_view rest = skip < line.size() ? line.substr(skip) : std::string_view();
  long long values[4] = {};
  for (long long& v : values) {
    const size_t blank = rest.find(' ');
    v = decimalValue(rest.substr(0, blank));
    rest = blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
  }
  return {values[0], values[1], values[2], values[3]};
}

std::string boundingBoxLine(const BoxNumbers& b) {
  return strprintf("%%%%BoundingBox: %lld %lld %lld %lld", b.x1, b.y1, b.x2, b.y2);
}

std::string oldBoundingBoxLine(const BoxNumbers& b) {
  return strprintf("%%%%OldBoundingBox: %lld %lld %lld %lld", b.x1, b.y1, b.x2, b.y2);
}

} // namespace velmora

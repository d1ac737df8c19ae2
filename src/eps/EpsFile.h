#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/FileSystem.h"
#include "base/Host.h"

namespace velmora {

// SCORE pages are a few hundred kilobytes; anything past this is not one.
inline constexpr size_t kMaxEpsFileBytes = 64u << 20;

// An EPS file as text lines. A CR before each LF is dropped on reading and
// remembered per line, so that every line is written back with its own terminator.
struct EpsText {
  std::vector<std::string> lines;
  // Per line: whether it ended in CR LF. A last line without a terminator
  // counts as the line before it, for the lines that may be added after it.
  std::vector<bool> crlf;
  // Whether the input's last line ended with a terminator.
  bool finalTerminator = true;
};

EpsText splitEpsText(std::span<const uint8_t> bytes);
// The lines joined, each with its terminator (CR LF where `crlf` says so, else
// LF), the last one only when `finalTerminator` is set.
std::string joinEpsText(const std::vector<std::string>& lines, const std::vector<bool>& crlf, bool finalTerminator);

// Reads a whole EPS file; -1 after "Unable to open file %s for reading".
int readEpsFile(IHost& host, const std::string& path, EpsText& out);

// Replaces the file through a temporary file, calling the pump before each
// line, with the terminators of joinEpsText. 1 written, 0 cancelled (the file
// untouched), -1 after the message.
int writeEpsLines(IHost& host, const std::string& path, const std::vector<std::string>& lines,
                  const std::vector<bool>& crlf, bool finalTerminator);
// Writes a whole new text file the same way, without pumping.
int writeTextFile(IHost& host, const std::string& path, const std::string& text);

// Walks the input lines, calling the message pump before each one.
class LineCursor {
public:
  LineCursor(IHost& host, const EpsText& text) : host_(host), text_(text) {}
  // The next line, or nullptr at the end or when the user cancelled.
  const std::string* next();
  bool cancelled() const { return cancelled_; }
  // Whether the line returned last ended in CR LF (before any, the first line).
  bool lastCrlf() const;

private:
  IHost& host_;
  const EpsText& text_;
  size_t index_ = 0;
  bool cancelled_ = false;
};

// The output lines being built and their terminators. A line added takes the
// terminator of the input line read last: a copied line keeps its own, a new
// one takes that of the line it replaces or follows.
class LineBuffer {
public:
  LineBuffer(std::vector<std::string>& lines, std::vector<bool>& crlf, const LineCursor& cursor)
      : lines_(lines), crlf_(crlf), cursor_(cursor) {}
  void add(std::string line) {
    lines_.push_back(std::move(line));
    crlf_.push_back(cursor_.lastCrlf());
  }
  void clear() {
    lines_.clear();
    crlf_.clear();
  }

private:
  std::vector<std::string>& lines_;
  std::vector<bool>& crlf_;
  const LineCursor& cursor_;
};

// The SCORE EPS check: line 1 (cut at its first blank unless it is the
// EPSF-1.2 header) is added to `out`, line 2 must name SCORE and becomes
// `current`. 1, 0 on cancel, -1 after "This file is not a SCORE EPS file".
int scoreEpsCheck(IHost& host, LineCursor& cursor, LineBuffer& out, std::string& current);

// The title rule: the "%%Title:" line without its first 9 characters, cut before its first ".".
std::string titleName(const std::string& titleLine);

// The file-name part of a SCORE name: after its last "/" or "\", up to any NUL,
// without trailing blanks, so that a title never moves a file into another
// folder. Empty when the title names no file.
std::string fileNamePart(std::string_view name);

// Decimal-integer conversion: blanks, a sign, leading digits; no digits give
// 0; clamped to the 32-bit range.
long long decimalValue(std::string_view text);

struct BoxNumbers {
  long long x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

// The four numbers after the first `skip` characters of a bounding-box line,
// each the text up to the next blank.
BoxNumbers parseBoxNumbers(std::string_view line, size_t skip);

// "%%BoundingBox: X1 Y1 X2 Y2" and "%%OldBoundingBox: ...".
std::string boundingBoxLine(const BoxNumbers& box);
std::string oldBoundingBoxLine(const BoxNumbers& box);

inline bool contains(std::string_view line, std::string_view what) { return line.find(what) != std::string_view::npos; }

} // namespace velmora

#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/Host.h"

namespace velmora {

// SCORE pages are a few hundred kilobytes; anything past this is not one.
inline constexpr size_t kMaxEpsFileBytes = 64u << 20;

// An EPS file as text lines. A CR before each LF is dropped on reading, and
// every line is written back with the terminator of the input's first line.
struct EpsText {
  std::vector<std::string> lines;
  bool crlf = false;
  // Whether the input's last line ended with a terminator.
  bool finalTerminator = true;
};

EpsText splitEpsText(std::span<const uint8_t> bytes);
// The lines joined in the layout of `format` (terminator and final terminator).
std::string joinEpsText(const std::vector<std::string>& lines, const EpsText& format);

// Reads a whole EPS file; -1 after "Unable to open file %s for reading".
int readEpsFile(IHost& host, const std::string& path, EpsText& out);

// Replaces the file through a temporary file, calling the pump before each
// line. 1 written, 0 cancelled (the file untouched), -1 after the message.
int writeEpsLines(IHost& host, const std::string& path, const std::vector<std::string>& lines, const EpsText& format);
// An existing file without the owner's write permission: it is never replaced.
bool isReadOnlyFile(const std::string& path);
// Writes a whole new text file the same way, without pumping.
int writeTextFile(IHost& host, const std::string& path, const std::string& text);

// Walks the input lines, calling the message pump before each one.
class LineCursor {
public:
  LineCursor(IHost& host, const std::vector<std::string>& lines) : host_(host), lines_(lines) {}
  // The next line, or nullptr at the end or when the user cancelled.
  const std::string* next();
  bool cancelled() const { return cancelled_; }

private:
  IHost& host_;
  const std::vector<std::string>& lines_;
  size_t index_ = 0;
  bool cancelled_ = false;
};

// The SCORE EPS check: line 1 (cut at its first blank unless it is the
// EPSF-1.2 header) is appended to `out`, line 2 must name SCORE and becomes
// `current`. 1, 0 on cancel, -1 after "This file is not a SCORE EPS file".
int scoreEpsCheck(IHost& host, LineCursor& cursor, std::vector<std::string>& out, std::string& current);

// The title rule: the "%%Title:" line without its first 9 characters, cut before its first ".".
std::string titleName(const std::string& titleLine);

// The file-name part of a SCORE name: after its last "/" or "\", up to any NUL,
// so that a title never moves a file into another folder.
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

#include "eps/BoxFile.h"

#include <vector>

#include "base/AtomicFile.h"
#include "base/CountedString.h"
#include "base/FileSystem.h"
#include "base/Format.h"
#include "eps/EpsFile.h"
#include "eps/Messages.h"

namespace velmora {

namespace {

// Four counted strings are a few hundred bytes at most in practice.
constexpr size_t kMaxBoxFileBytes = 1u << 20;

} // namespace

long long evaluateCoordinate(std::string_view expression, long long value) {
  const size_t op = expression.find_first_of("+-*/");
  if (op != std::string_view::npos) {
    const long long n = decimalValue(expression.substr(op + 1));
    switch (expression[op]) {
    case '+': return value + n;
    case '-': return value - n;
    case '*': return value * n;
    default: return n == 0 ? value : value / n;
    }
  }
  const long long n = decimalValue(expression);
  if (n == 0 && expression != "0") return value;
  return n;
}

bool loadBoxFile(const std::string& path, BoxExpressions& fields, std::string& message) {
  std::vector<uint8_t> bytes;
  if (readWholeFile(path, bytes, kMaxBoxFileBytes) != ReadResult::Ok) {
    message = strprintf(eps_msg::kUnableToOpen, path.c_str());
    return false;
  }
  if (!decodeBoxFile(bytes, fields)) {
    message = strprintf(eps_msg::kUnableToOpen, path.c_str());
    return false;
  }
  return true;
}

bool decodeBoxFile(std::span<const uint8_t> bytes, BoxExpressions& fields) {
  ByteReader in(bytes);
  BoxExpressions read;
  read.x1 = readCountedString(in);
  read.x2 = readCountedString(in);
  read.y1 = readCountedString(in);
  read.y2 = readCountedString(in);
  if (!in.ok()) return false;
  fields = read;
  return true;
}

std::vector<uint8_t> encodeBoxFile(const BoxExpressions& fields) {
  ByteWriter out;
  for (const std::string* s : {&fields.x1, &fields.x2, &fields.y1, &fields.y2})
    writeCountedString(out, *s);
  return std::move(out.buffer());
}

bool saveBoxFile(const std::string& path, const BoxExpressions& fields, std::string& message) {
  std::string error;
  WriteStage stage = WriteStage::Create;
  if (isReadOnlyFile(path) || !writeFileAtomic(path, encodeBoxFile(fields), &error, &stage)) {
    message = writeFailureMessage(path, stage, error);
    return false;
  }
  return true;
}

std::string boxFileSavePath(const std::string& chosen) {
  const size_t slash = chosen.find_last_of(kPathSeparator);
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const size_t dot = chosen.find_last_of('.');
  if (dot == std::string::npos || dot < nameStart) return chosen;
  const std::string shorter = chosen.substr(0, dot);
  return shorter.find('.', nameStart) != std::string::npos ? shorter : chosen;
}

bool parseBoxList(std::string_view text, BoxExpressions& out) {
  std::vector<std::string> parts;
  if (text.find(',') != std::string_view::npos) {
    size_t start = 0;
    for (;;) {
      const size_t comma = text.find(',', start);
      parts.emplace_back(text.substr(start, comma == std::string_view::npos ? comma : comma - start));
      if (comma == std::string_view::npos) break;
      start = comma + 1;
    }
    for (std::string& p : parts) {
      const size_t first = p.find_first_not_of(' ');
      p = first == std::string::npos ? std::string() : p.substr(first, p.find_last_not_of(' ') - first + 1);
    }
  } else {
    size_t i = 0;
    while (i < text.size()) {
      while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
      if (i >= text.size()) break;
      const size_t start = i;
      while (i < text.size() && text[i] != ' ' && text[i] != '\t')
        ++i;
      parts.emplace_back(text.substr(start, i - start));
    }
  }
  if (parts.size() != 4) return false;
  out = {parts[0], parts[1], parts[2], parts[3]};
  return true;
}

} // namespace velmora

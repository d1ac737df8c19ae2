#include "batch/FileListFilters.h"

namespace velmora {

namespace {

std::string trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::string();
  const size_t last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

} // namespace

std::vector<FileFilter> parseFilterString(std::string_view text) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (size_t bar = text.find('|'); bar != std::string_view::npos; bar = text.find('|', start)) {
    fields.push_back(trimmed(text.substr(start, bar - start)));
    start = bar + 1;
  }
  std::vector<FileFilter> filters;
  for (size_t i = 0; i + 1 < fields.size(); i += 2) {
    if (fields[i].empty()) break;
    FileFilter filter{fields[i], {}};
    std::string_view patterns = fields[i + 1];
    size_t from = 0;
    while (from <= patterns.size()) {
      const size_t semicolon = patterns.find(';', from);
      const std::string pattern = trimmed(patterns.substr(from, semicolon - from));
      if (!pattern.empty()) filter.patterns.push_back(pattern);
      if (semicolon == std::string_view::npos) break;
      from = semicolon + 1;
    }
    filters.push_back(std::move(filter));
  }
  return filters;
}

const std::vector<FileFilter>& fileListFilters(FileKind kind) {
  static const std::vector<FileFilter> score = parseFilterString(kScoreFilterString);
  static const std::vector<FileFilter> postScript = parseFilterString(kPostScriptFilterString);
  return kind == FileKind::PostScript ? postScript : score;
}

int validFilterIndex(FileKind kind, int filterIndex) {
  const int count = static_cast<int>(fileListFilters(kind).size());
  return filterIndex >= 0 && filterIndex < count ? filterIndex : 0;
}

std::string initialNamePattern(FileKind kind, int filterIndex) {
  if (kind == FileKind::PostScript) return "*.eps";
  return fileListFilters(kind)[static_cast<size_t>(validFilterIndex(kind, filterIndex))].patterns.front();
}

} // namespace velmora

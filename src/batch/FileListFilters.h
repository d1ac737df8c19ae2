#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/Host.h"

namespace velmora {

// One entry of the file-list dialog's "type" list.
struct FileFilter {
  std::string description; // shown as is, e.g. "SCORE files (*.pt; *.pts)"
  std::vector<std::string> patterns;

  bool operator==(const FileFilter&) const = default;
};

// The filter lists as the string table holds them ("text | pattern|...").
inline constexpr const char* kScoreFilterString =
    "SCORE files (*.mus) | *.mus|SCORE files (*.jst) | *.jst|SCORE files (*.jus) | *.jus|SCORE files (*.pge) | "
    "*.pge|SCORE files (*.pag) | *.pag|SCORE files (*.pt; *.pts) | *.pt; *.pts|SCORE files (*.opt) | *.opt|SCORE "
    "files (*.uno) | *.uno|SCORE files (*.edi) | *.edi|SCORE files (*.bim) | *.bim|All Files (*.*) | *.*|";
inline constexpr const char* kPostScriptFilterString =
    "EPS files (*.eps) | *.eps|PS files (*.ps) | *.ps|All Files (*.*) | *.* ||";

// Pairs of description and ";"-separated patterns, up to an empty description.
std::vector<FileFilter> parseFilterString(std::string_view text);
const std::vector<FileFilter>& fileListFilters(FileKind kind);

// The remembered index when it names an entry of this kind's list, else 0.
int validFilterIndex(FileKind kind, int filterIndex);

// The classic form's first name text: the remembered filter's pattern, or
// "*.eps" for the PostScript tasks.
std::string initialNamePattern(FileKind kind, int filterIndex);

} // namespace velmora

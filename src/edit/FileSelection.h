#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// What "Select for Report" shows: its title, the label above the list and
// the project-folder files matching a "*.EXT" mask.
struct FileSelectionRequest {
  std::string title;  // "Select for report", "Select macros to append"
  std::string label;  // "Macros", "Steps"
  std::string mask;   // "*.MAC", "*.STP"
  std::string folder; // the project folder, with its trailing separator
};

// Files of `folder` whose names end in `suffix` ignoring case, as named on
// disk; directories are skipped; sorted ignoring case.
std::vector<std::string> filesEndingWith(const std::string& folder, std::string_view suffix);

// The names the selection lists: each file matching the mask cut at its last
// "." and upper-cased, sorted, each once.
std::vector<std::string> namesMatching(const std::string& folder, std::string_view mask);
inline std::vector<std::string> namesMatching(const FileSelectionRequest& request) {
  return namesMatching(request.folder, request.mask);
}

} // namespace velmora

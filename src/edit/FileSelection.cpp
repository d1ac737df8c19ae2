#include "edit/FileSelection.h"

#include <dirent.h>

#include <algorithm>

#include "base/FileSystem.h"
#include "base/Format.h"

namespace velmora {

std::vector<std::string> filesEndingWith(const std::string& folder, std::string_view suffix) {
  std::vector<std::string> files;
  const std::string dirPath = withTrailingSeparator(folder);
  DIR* dir = ::opendir(dirPath.c_str());
  if (!dir) return files;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view file = entry->d_name;
    if (file.size() <= suffix.size()) continue;
    if (!equalsIgnoreCaseAscii(file.substr(file.size() - suffix.size()), suffix)) continue;
    if (isDirectory(dirPath + std::string(file))) continue;
    files.emplace_back(file);
  }
  ::closedir(dir);
  // Directory order differs between file systems; this is the order NTFS lists them in.
  std::sort(files.begin(), files.end(), [](const std::string& a, const std::string& b) {
    const std::string ua = toUpperAscii(a), ub = toUpperAscii(b);
    return ua != ub ? ua < ub : a < b;
  });
  return files;
}

std::vector<std::string> namesMatching(const std::string& folder, std::string_view mask) {
  const std::string_view suffix = mask.starts_with('*') ? mask.substr(1) : mask;
  std::vector<std::string> names;
  for (const std::string& file : filesEndingWith(folder, suffix))
    names.push_back(toUpperAscii(file.substr(0, file.find_last_of('.'))));
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

} // namespace velmora

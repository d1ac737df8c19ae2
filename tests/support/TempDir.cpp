#include "support/TempDir.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace velmora::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "velmora-test-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) std::abort();
  path_ = pattern + "/";
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::listing() const {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(path_))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  std::string out;
  for (const auto& n : names)
    out += (out.empty() ? "" : " ") + n;
  return out;
}

std::string corpusDir() {
  const char* env = std::getenv("VELMORA_CORPUS");
  std::string dir = env && *env ? env : "../shared/corpus";
  std::error_code ec;
  if (!std::filesystem::is_directory(dir, ec)) return {};
  if (dir.back() != '/') dir += '/';
  return dir;
}

} // namespace velmora::test

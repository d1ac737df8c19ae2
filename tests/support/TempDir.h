#pragma once

#include <string>

namespace velmora::test {

// A fresh folder under the system temporary folder, removed with its
// contents on destruction. path() ends in a separator.
class TempDir {
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + name; }
  // Names of the entries in the folder, sorted.
  std::string listing() const;

private:
  std::string path_;
};

// The real-SCORE corpus folder (ends in a separator), or "" when absent.
std::string corpusDir();

} // namespace velmora::test

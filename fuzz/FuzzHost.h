#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#include "base/Host.h"

namespace velmora::fuzz {

// A user who never cancels and answers every question "No".
class FuzzHost : public IHost {
public:
  void showMessage(const std::string& text) override { messages += text.size(); }
  bool askYesNo(const std::string&, const std::string&) override { return false; }
  bool askOkCancel(const std::string&) override { return false; }
  Pump pump() override { return Pump::GoOn; }
  int chooseFiles(FileListRequest&, std::vector<std::string>&) override { return 0; }
  void openInViewer(const std::string&) override {}
  size_t messages = 0;
};

// A broken invariant is a finding: stop loudly.
inline void check(bool condition) {
  if (!condition) std::abort();
}

} // namespace velmora::fuzz

#pragma once

#include <cstdio>
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

// A broken invariant is a finding: stop loudly, naming the harness line.
inline void check(bool condition, const char* file = __builtin_FILE(), int line = __builtin_LINE()) {
  if (condition) return;
  std::fprintf(stderr, "check failed at %s:%d\n", file, line);
  std::abort();
}

} // namespace velmora::fuzz

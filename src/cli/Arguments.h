#pragma once

#include <string>
#include <vector>

namespace velmora::cli {

inline constexpr int kExitFinished = 0;
inline constexpr int kExitCancelled = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitInterrupted = 130;

struct Arguments {
  bool help = false;
  bool version = false;
  std::string settingsFolder; // empty: the default folder
  std::string command;
  std::vector<std::string> files;
};

// Parses argv; false with a message in `error` for a usage error.
bool parseArguments(int argc, const char* const* argv, Arguments& out, std::string& error);

std::string usageText();

} // namespace velmora::cli

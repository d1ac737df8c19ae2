#pragma once

#include <cstdio>

namespace velmora::cli {

// The whole CLI over the given streams; returns the exit status.
int runCli(int argc, const char* const* argv, std::FILE* out, std::FILE* err);

// The SIGINT handler: the first asks the batch to stop, a second ends the process.
void onInterrupt(int);

} // namespace velmora::cli

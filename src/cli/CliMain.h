#pragma once

#include <cstdio>

namespace velmora::cli {

// The whole CLI over the given streams; returns the exit status. `in`
// answers questions on a terminal and is read by --files-from -.
int runCli(int argc, const char* const* argv, std::FILE* out, std::FILE* err, std::FILE* in = stdin);

// The SIGINT, SIGTERM and SIGHUP handler: the first asks the batch to stop,
// a second ends the process with 128 + the signal.
void onInterrupt(int signal);

} // namespace velmora::cli

#include <cstdio>

#include "cli/CliMain.h"

int main(int argc, char** argv) { return velmora::cli::runCli(argc, argv, stdout, stderr); }

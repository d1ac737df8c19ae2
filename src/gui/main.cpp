#include <cstdio>
#include <cstring>

#include "base/Version.h"
#include "gui/CVelmoraApp.h"

int main(int argc, char** argv) {
  // These two alone print and end; any other command line names the settings folder.
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("velmora %s\n%s\n%s\n", velmora::kVersionNumber, velmora::kCopyrightLine, velmora::kLicenseLine);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::fputs("Usage: velmora [SETTINGS-FOLDER]\n"
               "\n"
               "Opens the Velmora window with the settings of SETTINGS-FOLDER (default:\n"
               "$XDG_CONFIG_HOME/corvane software/velmora3/). The whole command line names the\n"
               "folder; only --help and --version alone are read as options.\n"
               "\n"
               "  --help     show this text\n"
               "  --version  show the version and the licence\n"
               "\n"
               "velmora-cli runs the same tasks without a window; see velmora-cli --help.\n",
               stdout);
    return 0;
  }
  velmora::gui::CVelmoraApp app(argc, argv);
  if (!app.initInstance()) return 1;
  return app.exec();
}

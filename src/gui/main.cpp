#include "gui/CVelmoraApp.h"

int main(int argc, char** argv) {
  velmora::gui::CVelmoraApp app(argc, argv);
  if (!app.initInstance()) return 1;
  return app.exec();
}

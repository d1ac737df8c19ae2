#include "gui/CVelmoraApp.h"

#include <QIcon>
#include <cstdio>

#include "app/CommandTable.h"
#include "app/StartupFiles.h"
#include "gui/CGuiHost.h"
#include "gui/CMainFrame.h"
#include "gui/GuiText.h"

namespace velmora::gui {

CVelmoraApp::CVelmoraApp(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("Velmora"));
  setOrganizationName(QStringLiteral("Corvane Software"));
  // Lets the desktop match the window to its menu entry and icon.
  setDesktopFileName(QStringLiteral("com.corvanesoftware.Velmora"));
  setWindowIcon(QIcon(QStringLiteral(":/icons/velmora.svg")));
  host_ = std::make_unique<CGuiHost>();
}

CVelmoraApp::~CVelmoraApp() {
  frame_.reset();
  host_.reset();
}

std::string CVelmoraApp::commandLine(const QStringList& arguments) {
  QStringList words = arguments;
  if (!words.isEmpty()) words.removeFirst();
  return toPath(words.join(QLatin1Char(' ')));
}

bool CVelmoraApp::initInstance() {
  if (!doc_.create(*host_, commandLine(arguments()))) return false;
  // The Help menu's files, for a settings folder that has none yet.
  const auto help = helpFiles(toPath(applicationFilePath()));
  for (const std::string& problem : installMissingFiles(doc_.settings.settingsFolder(), help).problems)
    std::fprintf(stderr, "velmora: %s\n", problem.c_str());
  frame_ = std::make_unique<CMainFrame>(doc_, batch_, *host_);
  frame_->show();
  return true;
}

} // namespace velmora::gui

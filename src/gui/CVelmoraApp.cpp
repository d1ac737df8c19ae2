#include "gui/CVelmoraApp.h"

#include <QIcon>

#include "app/CommandTable.h"
#include "gui/CGuiHost.h"
#include "gui/CMainFrame.h"

namespace velmora::gui {

CVelmoraApp::CVelmoraApp(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("Velmora"));
  setOrganizationName(QStringLiteral("Corvane Software"));
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
  return words.join(QLatin1Char(' ')).toLocal8Bit().toStdString();
}

bool CVelmoraApp::initInstance() {
  if (!doc_.create(*host_, commandLine(arguments()))) return false;
  doc_.installHelpFiles();
  frame_ = std::make_unique<CMainFrame>(doc_, batch_, *host_);
  frame_->show();
  return true;
}

} // namespace velmora::gui

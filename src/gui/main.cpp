#include <QApplication>

#include "app/CVelmoraDoc.h"
#include "batch/BatchRunner.h"
#include "gui/CGuiHost.h"
#include "gui/CMainFrame.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // The whole command line, when given, names the settings folder.
  QStringList words = QCoreApplication::arguments();
  words.removeFirst();
  const std::string commandLine = words.join(' ').toLocal8Bit().toStdString();

  velmora::gui::CGuiHost host(nullptr);
  velmora::CVelmoraDoc doc;
  if (!doc.create(host, commandLine)) return 1;
  velmora::CBatchState batch;
  velmora::gui::CMainFrame frame(doc, batch, host);
  host.setParentWindow(&frame);
  frame.show();
  return app.exec();
}

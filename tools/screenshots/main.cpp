// velmora-screenshots SETTINGS_DIR OUT_DIR: the main window and every dialog as PNGs.
#include <QApplication>
#include <QIcon>
#include <cstdio>

#include "app/CVelmoraDoc.h"
#include "app/StartupFiles.h"
#include "gui/CMainFrame.h"
#include "tools/screenshots/CScreenshotTool.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  if (args.size() != 3) {
    std::fprintf(stderr, "usage: velmora-screenshots SETTINGS_DIR OUT_DIR\n");
    return 2;
  }
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/velmora.svg")));
  velmora::gui::CShotHost host;
  velmora::CVelmoraDoc doc;
  if (!doc.create(host, args[1].toLocal8Bit().toStdString())) return 1;
  velmora::installMissingFiles(doc.settings.settingsFolder(),
                               velmora::helpFiles(QCoreApplication::applicationFilePath().toLocal8Bit().toStdString()));
  velmora::CBatchState batch;
  velmora::gui::CMainFrame frame(doc, batch, host);
  frame.show();
  QCoreApplication::processEvents();
  velmora::gui::CScreenshotTool shots(frame, host, doc.settings.settingsFolder(), args[2]);
  shots.setLog(&batch.log);
  velmora::gui::addShots(shots);
  return shots.failures() == 0 ? 0 : 1;
}

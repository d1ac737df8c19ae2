#include <QDialog>
#include <QDir>

#include "app/CommandTable.h"
#include "base/Host.h"
#include "gui/CFileListDlg.h"
#include "gui/CMainFrame.h"
#include "tools/screenshots/CScreenshotTool.h"

namespace velmora::gui {

namespace {

// Adds two of the sample scores through the browser, as a user would.
void addTwoScores(QWidget* dialog) {
  if (auto* browser = dialog->findChild<CFileBrowser*>()) {
    browser->setNameText(QStringLiteral("\"chorale.mus\" \"minuet.mus\""));
    browser->accept();
    browser->setNameText(QStringLiteral("*.mus"));
  }
}

void fileList(const std::string& folder, bool explorer) {
  FileListRequest request{"Create Filelist for Optimization (Output = OPT)", FileKind::Score, explorer, 0};
  std::vector<std::string> files;
  QDir::setCurrent(QString::fromStdString(folder + "SAMPLES"));
  runFileListDialog(nullptr, request, files);
}

} // namespace

// One line per picture; a new dialog is usually `shots.command("name", cmd::kItsCommand);`.
void addShots(CScreenshotTool& shots) {
  CShotHost& host = shots.host();
  const std::string folder = shots.settingsFolder();
  shots.duringTask("main-window-running", cmd::kItemCount, shots.sampleScores());
  shots.window("main-window");
  shots.command("general-settings", cmd::kGeneralSettings);
  shots.command("new-project", cmd::kGeneralSettings, {"New Project..."});
  shots.command("item-count-settings", cmd::kItemCountSettings);
  shots.command("about", cmd::kAbout);
  shots.command("optimize-settings", cmd::kOptimizeSettings);
  shots.command("unoptimize-settings", cmd::kUnoptimizeSettings);
  shots.command("beam-settings", cmd::kBeamSettings);
  shots.command("justify-settings", cmd::kJustifySettings);
  shots.command("crop-mark-settings", cmd::kCropSettings);
  shots.command("create-report", cmd::kCreateReport);
  shots.command("not-yet-available", cmd::kEdit);
  shots.dialog(
      "file-list-classic", [&] { fileList(folder, false); }, {}, addTwoScores);
  shots.dialog("file-list-explorer", [&] { fileList(folder, true); });
  shots.dialog("cancel-action", [&] { askCancelAction(host); });
}

} // namespace velmora::gui

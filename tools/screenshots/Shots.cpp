#include <QDialog>
#include <QDir>
#include <QLineEdit>

#include "app/CommandTable.h"
#include "base/Host.h"
#include "edit/MacroFiles.h"
#include "gui/CFileListDlg.h"
#include "gui/CMainFrame.h"
#include "gui/edit/CCreateStepDlg.h"
#include "gui/edit/CEditPromptDlg.h"
#include "gui/edit/CFontChangeDlg.h"
#include "gui/edit/CSyntaxDlg.h"
#include "gui/edit/CTextChangeDlg.h"
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

// Types into the search-and-replace dialog's two fields.
CScreenshotTool::Prepare typeReplace(const char* search, const char* replacement) {
  return [search, replacement](QWidget* dialog) {
    dialog->findChild<QLineEdit*>(QStringLiteral("search"))->setText(QString::fromLatin1(search));
    dialog->findChild<QLineEdit*>(QStringLiteral("replacement"))->setText(QString::fromLatin1(replacement));
  };
}

// A step as an engraver would keep it in the sample project, opened for editing.
void editSampleStep(IHost& host, const std::string& folder) {
  const std::string project = folder + "SAMPLES/";
  std::string message;
  writeStepFile(project + "RAISE.STP",
                {"Sets P5 to 4 on notes whose P5 is 3,\r\nif another item has a P4 above 10", "1",
                 "P5 == 3 && COMP[4] > 10", "5 = 4", 0},
                message);
  CCreateStepDlg dialog({project, folder, "RAISE", false, false}, host);
  dialog.run();
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
  shots.command("edit-settings", cmd::kEditSettings);
  shots.command("select-a-macro", cmd::kEdit);
  shots.dialog("edit-prompt", [&] {
    CEditPromptDlg prompt(host);
    prompt.ask({"/scores/SONATA.MUS", "Conditions are TRUE for the following item in file /scores/SONATA.MUS",
                "1.0000 1.0000 12.5000 4.0000 0.0000 "});
  });
  shots.dialog(
      "file-list-classic", [&] { fileList(folder, false); }, {}, addTwoScores);
  shots.dialog("file-list-explorer", [&] { fileList(folder, true); });
  shots.dialog("cancel-action", [&] { askCancelAction(host); });
  shots.dialog("edit-step", [&] { editSampleStep(host, folder); });
  shots.dialog("create-step", [&] { CCreateStepDlg({folder + "SAMPLES/", folder, "NEWSTEP", true}, host).run(); });
  shots.dialog(
      "font-change", [&] { CFontChangeDlg(host).exec(); }, {}, typeReplace("2", "5"));
  shots.dialog(
      "text-change", [&] { CTextChangeDlg(host).exec(); }, {}, typeReplace("Allegro", "Allegro moderato"));
  shots.dialog("syntax", [&] { CSyntaxDlg(folder).exec(); });
}

} // namespace velmora::gui

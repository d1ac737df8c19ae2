#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QTreeWidget>
#include <algorithm>

#include "app/CommandTable.h"
#include "base/Format.h"
#include "base/Host.h"
#include "edit/MacroFiles.h"
#include "edit/Messages.h"
#include "gui/CFileListDlg.h"
#include "gui/CMainFrame.h"
#include "gui/edit/CCreateStepDlg.h"
#include "gui/edit/CDragEditMacroDlg.h"
#include "gui/edit/CEditMacroDlg.h"
#include "gui/edit/CEditPromptDlg.h"
#include "gui/edit/CFileDeleteDlg.h"
#include "gui/edit/CFontChangeDlg.h"
#include "gui/edit/CNewMacroDlg.h"
#include "gui/edit/COverwriteDlg.h"
#include "gui/edit/CPreviewEditDlg.h"
#include "gui/edit/CStepTestDlg.h"
#include "gui/edit/CSyntaxDlg.h"
#include "gui/edit/CTextChangeDlg.h"
#include "gui/report/CSelectForReportDlg.h"
#include "gui/staves/CSelectInstrumentNos.h"
#include "gui/staves/CSelectStaves.h"
#include "settings/Settings.h"
#include "staves/Messages.h"
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

// A project as an engraver keeps it: a few macros sharing their steps.
void writeEditProject(const std::string& project) {
  const std::pair<const char*, StepData> steps[] = {
      {"STEMUP", {"Stems up for the upper voice (P7 = 1)", "1", "P7 == 1", "5 = 10", 0}},
      {"BEAMUP8", {"Eighth-note beams above the notes", "6", "P6 == 1", "4 = 12", 0}},
      {"BEAMUP16", {"Sixteenth beams above the notes,\r\ntwo lines up", "6", "P6 == 2", "4 = 14", 0}},
      {"SLURFLIP", {"Slurs below the notes in the lower voice", "5", "P7 == 2", "4 = 0 - P4", 0}},
      {"CLEFSIZE", {"Smaller clefs after the first system", "3", "P3 > 10", "6 = 0.8", 0}},
  };
  std::string message;
  for (const auto& [name, step] : steps)
    writeStepFile(project + name + ".STP", step, message);
  writeMacroFile(project + "BEAMUP.MAC", {"Beams above the notes on the upper stave", {"BEAMUP8", "BEAMUP16"}},
                 message);
  writeMacroFile(project + "STEMS.MAC", {"Stem directions for two-voice writing", {"STEMUP", "STEMDOWN"}}, message);
  writeMacroFile(project + "TIDY.MAC",
                 {"Tidy up before printing:\r\nstems, beams, slurs and clefs",
                  {"STEMUP", "BEAMUP8", "SLURFLIP", "TEXTLEFT", "CLEFSIZE"}},
                 message);
}

// The macro editor with a step picked in each list, so both descriptions show.
void pickSteps(QWidget* dialog) {
  if (auto* steps = dialog->findChild<QListWidget*>(QStringLiteral("steps"))) {
    steps->setCurrentRow(1, QItemSelectionModel::ClearAndSelect);
    steps->setCurrentRow(2, QItemSelectionModel::Select);
  }
  if (auto* macroSteps = dialog->findChild<QListWidget*>(QStringLiteral("macroSteps"))) {
    macroSteps->setFocus();
    macroSteps->setCurrentRow(std::min(2, macroSteps->count() - 1), QItemSelectionModel::ClearAndSelect);
  }
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

// The Preview window with the first file selected, its changed items showing.
void selectFirstFile(QWidget* dialog) {
  if (auto* preview = qobject_cast<CPreviewEditDlg*>(dialog)) {
    QTreeWidget* tree = preview->fileTree();
    tree->expandAll();
    tree->setCurrentItem(tree->topLevelItem(0));
  }
}

// The preview runs without "Prompt before Operation", as after "Yes To All".
void promptOff(IHost& host, const std::string& folder) {
  CSettings settings(folder);
  settings.reload(SettingsFile::Edit, host);
  settings.edit().promptBeforeOperation = 0;
  settings.save(SettingsFile::Edit, host);
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
  shots.command("justify-widths", cmd::kJustifySettings, {"Widths..."});
  shots.command("beam-angle-library", cmd::kBeamSettings, {"Set Beam Angles..."});
  shots.command("beam-angle-rules", cmd::kBeamSettings, {"Set Beam Angle Rules..."});
  shots.dialog("select-staves", [] {
    StaveSelection selection{staves_msg::kStavesToDeleteTitle, {}};
    // A four-stave score with its two middle staves kept.
    selection.checked[1] = selection.checked[2] = true;
    CSelectStaves(nullptr).select(selection);
  });
  shots.dialog("select-instrument-numbers", [] {
    InstrumentChoice choice{"2 5", false};
    CSelectInstrumentNos(nullptr).choose(choice);
  });
  shots.command("crop-mark-settings", cmd::kCropSettings);
  shots.command("create-report", cmd::kCreateReport);
  shots.command("edit-settings", cmd::kEditSettings);
  const std::string project = folder + "SAMPLES/"; // the sample's project folder
  writeEditProject(project);
  shots.command("select-a-macro", cmd::kEdit);
  shots.command("enter-name-new-macro", cmd::kEdit, {"New Macro..."});
  shots.dialog("overwrite", [&] { COverwriteDlg(strprintf(edit_msg::kMacroExists, "BEAMUP"), nullptr).ask(); });
  shots.dialog("ok-to-delete",
               [&] { CFileDeleteDlg(CEditFiles::deleteQuestion(EditFileKind::Step, 2), nullptr).ask(); });
  shots.dialog("enter-name-rename-step", [&] {
    CNewMacroDlg name(nullptr, QString::fromLatin1(edit_msg::kRenameStepCaption), true);
    std::string typed = "BEAMUP8";
    name.askName(typed);
  });
  shots.dialog(
      "edit-macro",
      [&] {
        CEditMacroDlg(MacroEditRequest{project, folder, "TIDY"}, host).run();
      },
      {}, pickSteps);
  shots.dialog(
      "drag-edit-macro",
      [&] {
        CDragEditMacroDlg(MacroEditRequest{project, folder, "STEMS", false, false, true}, host).run();
      },
      {}, pickSteps);
  shots.dialog("create-macro", [&] { CEditMacroDlg(MacroEditRequest{project, folder, "SLURS", true}, host).run(); });
  shots.dialog("append-macro", [&] {
    CSelectForReportDlg({edit_msg::kAppendMacroTitle, "Macros", edit_msg::kMacroMask, project}, nullptr).exec();
  });
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
  promptOff(host, folder);
  // First in the list, so "Select a Macro" offers it.
  std::string written;
  writeMacroFile(project + "ADJUST.MAC", {"Stems and tempo text", {"STEMUP", "STEMDOWN", "TEXTLEFT", "ALLEGRO"}},
                 written);
  host.files = shots.sampleScores();
  shots.command("preview-edit", cmd::kPreviewEdit, {"OK"}, selectFirstFile);
  shots.dialog("step-test", [&] {
    const std::string chorale = project + "chorale.mus";
    StepTestResult result;
    testStepOnFile(host, project, EditOptions{}, {"", "1", "P7 == 1", "5 = 10", 0}, chorale, CStepTestDlg::kItemLimit,
                   result);
    CStepTestDlg(result, chorale).exec();
  });
}

} // namespace velmora::gui

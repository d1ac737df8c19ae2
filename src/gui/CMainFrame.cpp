#include "gui/CMainFrame.h"
#include "gui/beams/CGuiBeamDialogs.h"
#include "gui/edit/CEditDialogs.h"
#include "gui/edit/CPreviewEditDlg.h"
#include "gui/eps/CEpsDialogs.h"
#include "gui/justify/CJustifyDialogs.h"
#include "gui/report/CReportDialogs.h"
#include "gui/run/CGuiRunDialogs.h"
#include "gui/staves/CStaveDialogs.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <climits>

#include "app/CommandTable.h"
#include "base/Format.h"
#include "batch/ProgressText.h"
#include "gui/CAboutDlg.h"
#include "gui/CElidedLabel.h"
#include "gui/CFileListDlg.h"
#include "gui/CGeneralSettingsDlg.h"
#include "gui/CGuiHost.h"
#include "gui/CItemCountOptionsDlg.h"
#include "gui/CVelmoraView.h"
#include "gui/GuiText.h"
#include "settings/StateFile.h"

namespace velmora::gui {

namespace {

struct CommandIcon {
  int id;
  const char* theme; // freedesktop name, "" when none fits
  const char* file;  // the bundled fallback in :/icons/
};

constexpr CommandIcon kIcons[] = {
    {cmd::kEdit, "edit-find-replace", "edit"},
    {cmd::kOptimize, "list-remove", "optimize"},
    {cmd::kUnoptimize, "list-add", "unoptimize"},
    {cmd::kJustify, "format-justify-fill", "justify"},
    {cmd::kSetBeamAngles, "", "beams"},
    {cmd::kRunMultiple, "system-run", "run-multiple"},
    {cmd::kCreateReport, "x-office-document", "report"},
    {cmd::kItemCount, "accessories-calculator", "item-count"},
    {cmd::kGeneralSettings, "preferences-system", "general-settings"},
    {cmd::kEditSettings, "", "edit-settings"},
    {cmd::kOptimizeSettings, "", "optimize-settings"},
    {cmd::kUnoptimizeSettings, "", "unoptimize-settings"},
    {cmd::kJustifySettings, "", "justify-settings"},
    {cmd::kBeamSettings, "", "beam-settings"},
    {cmd::kItemCountSettings, "", "item-count-settings"},
    {cmd::kManual, "help-contents", "manual"},
    {cmd::kAddCrops, "", "add-crops"},
    {cmd::kRemoveCrops, "", "remove-crops"},
    {cmd::kRenameEps, "", "rename-eps"},
    {cmd::kListFonts, "preferences-desktop-font", "list-fonts"},
    {cmd::kAlterBoundingBox, "", "alter-bbox"},
    {cmd::kSplitEps, "", "split-eps"},
    {cmd::kCropSettings, "", "crop-settings"},
    {cmd::kAbout, "help-about", "velmora"},
    {cmd::kExit, "application-exit", ""},
};

QIcon commandIcon(int id) {
  for (const CommandIcon& icon : kIcons) {
    if (icon.id != id) continue;
    const QIcon fallback = *icon.file ? QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(icon.file))) : QIcon();
    return *icon.theme ? QIcon::fromTheme(QLatin1String(icon.theme), fallback) : fallback;
  }
  return QIcon();
}

} // namespace

CMainFrame::CMainFrame(CVelmoraDoc& doc, CBatchState& batch, CGuiHost& host)
    : doc_(doc), batch_(batch), host_(host), commands_(doc, batch, host) {
  setWindowTitle(QString::fromLatin1(kAppTitle));
  setWindowIcon(QIcon(QStringLiteral(":/icons/velmora.svg")));
  setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowNestedDocks);
  view_ = new CVelmoraView(batch_.log, this);
  setCentralWidget(view_);
  createActions();
  createMenus();
  createToolbars();
  createStatusBar();
  wireCommands();
  batch_.progress = this;
  host_.setParentWindow(this);
  view_->resetDisplay();
  updateCommandStates();
  resize(960, 640);
  restoreWindowState();
  view_->setFocus();
  QTimer::singleShot(0, this, &CMainFrame::prepareBusyLook);
}

// The greyed toolbar icons are drawn when the window is first idle, not when the first task starts.
void CMainFrame::prepareBusyLook() {
  for (QToolBar* bar : {mainToolBar_, postScriptToolBar_})
    for (QAction* a : bar->actions())
      if (!a->icon().isNull()) a->icon().pixmap(bar->iconSize(), devicePixelRatioF(), QIcon::Disabled);
}

CMainFrame::~CMainFrame() {
  if (batch_.progress == this) batch_.progress = nullptr;
  if (host_.parentWindow() == this) host_.setParentWindow(nullptr);
}

QAction* CMainFrame::action(int commandId) const {
  const auto it = actions_.find(commandId);
  return it == actions_.end() ? nullptr : it->second;
}

// Every command's handler.
void CMainFrame::wireCommands() {
  // Actions.
  wire(cmd::kEdit, task([this] {
         CEditDialogs dialogs(host_, this, &host_);
         commands_.onEdit(dialogs);
       }));
  wire(cmd::kPreviewEdit, task([this] { previewEdit(); }));
  wire(cmd::kOptimize, task([this] {
         CStaveDialogs dialogs(this, &host_);
         commands_.onOptimize(dialogs);
       }));
  wire(cmd::kUnoptimize, task([this] {
         CStaveDialogs dialogs(this, &host_);
         commands_.onUnoptimize(dialogs);
       }));
  wire(cmd::kSetBeamAngles, task([this] {
         CGuiBeamDialogs dialogs(host_, this, [this](bool paused) { host_.setTaskRunning(!paused); });
         commands_.onSetBeamAngles(dialogs);
       }));
  wire(cmd::kJustify, task([this] {
         CJustifyDialogs dialogs(host_, this, &host_);
         commands_.onJustify(dialogs);
       }));
  wire(cmd::kRunMultiple, task([this] {
         CGuiRunDialogs runDialogs(this, &host_);
         CStaveDialogs staveDialogs(this, &host_);
         CGuiBeamDialogs beamDialogs(host_, this, [this](bool paused) { host_.setTaskRunning(!paused); });
         CJustifyDialogs justifyDialogs(host_, this, &host_);
         CEditDialogs editDialogs(host_, this, &host_);
         commands_.onRunMultipleTasks(runDialogs, staveDialogs, beamDialogs, justifyDialogs, editDialogs);
       }));
  wire(cmd::kCreateReport, task([this] {
         CReportDialogs dialogs(this);
         commands_.onCreateReport(dialogs);
       }));
  wire(cmd::kItemCount, task([this] { commands_.onRunItemCount(); }));
  wire(cmd::kAddCrops, task([this] { commands_.onAddCropMarks(); }));
  wire(cmd::kRemoveCrops, task([this] { commands_.onRemoveCropMarks(); }));
  wire(cmd::kRenameEps, task([this] { commands_.onRenameEps(); }));
  wire(cmd::kListFonts, task([this] { commands_.onListFonts(); }));
  wire(cmd::kAlterBoundingBox, task([this] {
         CEpsDialogs dialogs(host_, this, &host_);
         commands_.onAlterBoundingBox(dialogs);
       }));
  wire(cmd::kSplitEps, task([this] { commands_.onSplitEps(); }));
  wire(cmd::kExit, [this] { close(); });
  // Options.
  wire(cmd::kGeneralSettings, afterIdlePass([this] { onGeneralSettings(); }));
  wire(cmd::kEditSettings, afterIdlePass([this] {
         CEditDialogs dialogs(host_, this);
         commands_.onEditSettings(dialogs);
       }));
  wire(cmd::kOptimizeSettings, afterIdlePass([this] {
         CStaveDialogs dialogs(this, nullptr);
         commands_.onOptimizeSettings(dialogs);
       }));
  wire(cmd::kUnoptimizeSettings, afterIdlePass([this] {
         CStaveDialogs dialogs(this, nullptr);
         commands_.onUnoptimizeSettings(dialogs);
       }));
  wire(cmd::kBeamSettings, afterIdlePass([this] {
         CGuiBeamDialogs dialogs(host_, this);
         commands_.onBeamSettings(dialogs);
       }));
  wire(cmd::kJustifySettings, afterIdlePass([this] {
         CJustifyDialogs dialogs(host_, this);
         commands_.onJustifySettings(dialogs);
       }));
  wire(cmd::kItemCountSettings, afterIdlePass([this] {
         CItemCountOptionsDlg dialog(this);
         commands_.onItemCountSettings(dialog);
       }));
  wire(cmd::kCropSettings, afterIdlePass([this] {
         CEpsDialogs dialogs(host_, this);
         commands_.onCropSettings(dialogs);
       }));
  // View.
  wire(cmd::kToolbars, [this] { toggleToolbars(); });
  wire(cmd::kStatusBar, [this] {
    statusBar_->setVisible(statusBar_->isHidden());
    updateCommandStates();
  });
  // Help.
  wire(cmd::kManual, afterIdlePass([this] { commands_.onManual(); }));
  wire(cmd::kChangelog, [this] { commands_.onChangelog(); });
  wire(cmd::kAbout, [this] {
    CAboutDlg about(this);
    about.exec();
  });
}

void CMainFrame::previewEdit() {
  CEditDialogs dialogs(host_, this, &host_);
  CRunRecord record;
  if (commands_.onPreviewEdit(dialogs, record) != BatchOutcome::Finished) return;
  const std::string macro = commands_.lastMacro();
  std::vector<std::string> files;
  for (const FileChanges& file : record.files)
    files.push_back(file.path);
  CPreviewEditDlg preview(
      macro, record.files,
      [this, macro](const std::string& path) {
        return commands_.previewItems(macro, path, CPreviewEditDlg::kItemLimit);
      },
      this);
  if (preview.exec() != CPreviewEditDlg::kRunEdit) return;
  host_.presetFiles(files);
  CEditDialogs runDialogs(host_, this, &host_);
  commands_.onEditMacro(runDialogs, macro);
}

CMainFrame::Handler CMainFrame::task(Handler run) {
  return [this, run = std::move(run)] {
    run();
    if (closeAfterTask_) {
      closeAfterTask_ = false;
      close();
    }
  };
}

CMainFrame::Handler CMainFrame::afterIdlePass(Handler run) {
  return [this, run = std::move(run)] {
    updateCommandStates();
    run();
  };
}

void CMainFrame::runCommand(int commandId) {
  if (!isCommandEnabled(commandId, batch_.busy)) return;
  const auto it = commandHandlers_.find(commandId);
  if (it != commandHandlers_.end() && it->second) it->second();
}

void CMainFrame::createActions() {
  for (const CommandInfo& info : commandTable()) {
    // Shown as stored: the key name after the tab is the menu's shortcut column.
    auto* a = new QAction(QString::fromLatin1(info.text), this);
    if (*info.key) a->setShortcut(QKeySequence(QString::fromLatin1(info.key)));
    const QString prompt = QString::fromLatin1(info.prompt);
    a->setStatusTip(prompt.section(QLatin1Char('\n'), 0, 0));
    if (prompt.contains(QLatin1Char('\n'))) a->setToolTip(prompt.section(QLatin1Char('\n'), 1));
    a->setIcon(commandIcon(info.id));
    a->setIconVisibleInMenu(false);
    if (info.id == cmd::kToolbars || info.id == cmd::kStatusBar) a->setCheckable(true);
    const int id = info.id;
    connect(a, &QAction::triggered, this, [this, id] { runCommand(id); });
    actions_[id] = a;
  }
}

void CMainFrame::createMenus() {
  QMenu* actionsMenu = menuBar()->addMenu(QStringLiteral("&Actions"));
  QMenu* postScript = nullptr;
  QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
  QMenu* viewMenu = menuBar()->addMenu(QStringLiteral("&View"));
  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  for (const CommandInfo& info : commandTable()) {
    QMenu* menu = nullptr;
    switch (info.menu) {
    case Menu::Actions: menu = actionsMenu; break;
    case Menu::PostScript:
      if (!postScript) postScript = actionsMenu->addMenu(QStringLiteral("Postscript actions"));
      menu = postScript;
      break;
    case Menu::Options: menu = options; break;
    case Menu::View: menu = viewMenu; break;
    case Menu::Help: menu = help; break;
    }
    if (info.separatorBefore) menu->addSeparator();
    menu->addAction(actions_[info.id]);
  }
  for (QMenu* menu : {actionsMenu, options, viewMenu, help})
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::updateCommandStates);
}

void CMainFrame::createToolbars() {
  const auto build = [this](QToolBar* bar, std::span<const int> ids) {
    for (int id : ids) {
      if (id == 0)
        bar->addSeparator();
      else
        bar->addAction(actions_[id]);
    }
    bar->setAllowedAreas(Qt::AllToolBarAreas);
    bar->setMovable(true);
    bar->setFloatable(true);
    connect(bar, &QToolBar::visibilityChanged, this, [this] { updateCommandStates(); });
  };
  mainToolBar_ = new QToolBar(QStringLiteral("Main"), this);
  mainToolBar_->setObjectName(QStringLiteral("mainToolbar"));
  build(mainToolBar_, mainToolbar());
  addToolBar(Qt::TopToolBarArea, mainToolBar_);
  postScriptToolBar_ = new QToolBar(QStringLiteral("PostScript"), this);
  postScriptToolBar_->setObjectName(QStringLiteral("postScriptToolbar"));
  build(postScriptToolBar_, postScriptToolbar());
  addToolBar(Qt::RightToolBarArea, postScriptToolBar_);
}

void CMainFrame::createStatusBar() {
  statusBar_ = statusBar();
  idlePane_ = new QLabel(QString::fromLatin1(kIdleText), this);
  idlePane_->setObjectName(QStringLiteral("promptPane"));
  statusBar_->addWidget(idlePane_, 1);
  // The count and times beside the bar, not in it: a bar's text wraps and is cut once the numbers grow.
  progressText_ = new QLabel(this);
  progressText_->setObjectName(QStringLiteral("batchProgressText"));
  progressText_->hide();
  statusBar_->addPermanentWidget(progressText_);
  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("batchProgress"));
  progress_->setFixedWidth(120);
  progress_->setMaximumHeight(statusBar_->fontMetrics().height() + 4);
  progress_->setTextVisible(false);
  progress_->hide();
  statusBar_->addPermanentWidget(progress_);
  projectPane_ = new CElidedLabel(this);
  projectPane_->setObjectName(QStringLiteral("projectPane"));
  statusBar_->addPermanentWidget(projectPane_, 1);
  setProjectPane();
}

void CMainFrame::setProjectPane() {
  const std::string& project = doc_.settings.projectFolder();
  projectPane_->setFullText(fromPath(strprintf(kProjectDirectoryFormat, project.c_str())));
}

void CMainFrame::refreshToolbarsFlag() {
  // Both closed by hand: the next toggle shows them again.
  if (mainToolBar_->isHidden() && postScriptToolBar_->isHidden()) toolbarsVisible = 0;
}

void CMainFrame::toggleToolbars() {
  refreshToolbarsFlag();
  const bool show = toolbarsVisible == 0;
  mainToolBar_->setVisible(show);
  postScriptToolBar_->setVisible(show);
  toolbarsVisible = show ? 1 : 0;
  updateCommandStates();
}

void CMainFrame::updateCommandStates() {
  for (auto& [id, a] : actions_)
    a->setEnabled(isCommandEnabled(id, batch_.busy));
  refreshToolbarsFlag();
  actions_[cmd::kToolbars]->setChecked(toolbarsVisible != 0);
  actions_[cmd::kStatusBar]->setChecked(!statusBar_->isHidden());
}

void CMainFrame::onGeneralSettings() {
  CGeneralSettingsDlg dialog(this);
  if (commands_.onGeneralSettings(dialog)) setProjectPane();
}

std::string CMainFrame::windowStatePath() const { return doc_.settings.settingsFolder() + kWindowStateFile; }

void CMainFrame::restoreWindowState() {
  const StateValues values = readStateFile(windowStatePath());
  const auto bytes = [&values](const char* key) {
    const auto it = values.find(key);
    return it == values.end() ? QByteArray() : QByteArray::fromBase64(QByteArray::fromStdString(it->second));
  };
  if (const QByteArray geometry = bytes("geometry"); !geometry.isEmpty()) restoreGeometry(geometry);
  if (const QByteArray state = bytes("toolbars"); !state.isEmpty()) restoreState(state, kWindowStateVersion);
  for (const bool explorer : {false, true}) {
    const auto it = values.find(explorer ? "explorerFolder" : "classicFolder");
    if (it != values.end()) setRememberedFileListFolder(explorer, fromPath(it->second));
  }
}

bool CMainFrame::saveWindowState() {
  StateValues values{{"geometry", saveGeometry().toBase64().toStdString()},
                     {"toolbars", saveState(kWindowStateVersion).toBase64().toStdString()}};
  for (const bool explorer : {false, true})
    if (const QString folder = rememberedFileListFolder(explorer); !folder.isEmpty())
      values[explorer ? "explorerFolder" : "classicFolder"] = toPath(folder);
  return writeStateFile(windowStatePath(), values);
}

void CMainFrame::batchStarted() {
  host_.forgetCancel();
  host_.setTaskRunning(true);
  view_->setTaskRunning(true);
  updateCommandStates();
}

void CMainFrame::fileStarted(size_t index, size_t count) {
  const int n = static_cast<int>(std::min<size_t>(count, INT_MAX));
  const int i = static_cast<int>(std::min<size_t>(index, INT_MAX));
  if (i <= 1 || !batchClock_.isValid()) batchClock_.start();
  // Repainting the bar for every small file costs more than the file itself.
  if (i > 1 && i < n && progressClock_.isValid() && progressClock_.elapsed() < 50) return;
  progressClock_.start();
  progress_->setRange(0, n);
  progress_->setValue(i - 1);
  progressText_->setText(QString::fromStdString(batchProgressText(index, count, batchClock_.elapsed())));
  // Only ever wider within a batch, so the bar does not jump as the digits change.
  progressText_->setMinimumWidth(std::max(progressText_->minimumWidth(), progressText_->sizeHint().width()));
  progressText_->show();
  progress_->show();
}

void CMainFrame::batchIdle() {
  host_.setTaskRunning(false);
  view_->setTaskRunning(false);
  progress_->hide();
  progressText_->hide();
  progressText_->setMinimumWidth(0);
  batchClock_.invalidate();
  updateCommandStates();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (!batch_.busy) {
    // The layout is a convenience: a folder that cannot take it does not keep the window open.
    saveWindowState();
    event->accept();
    return;
  }
  // A task is running: closing is a cancel, and the window closes once the task has stopped.
  event->ignore();
  if (!closeAfterTask_ && askCancelAction(host_)) {
    host_.requestCancel();
    closeAfterTask_ = true;
  }
}

} // namespace velmora::gui

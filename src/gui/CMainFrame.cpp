#include "gui/CMainFrame.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/CommandTable.h"
#include "base/Format.h"
#include "gui/CGuiHost.h"
#include "gui/CVelmoraView.h"

namespace velmora::gui {

namespace {

// "Item Count Settings"
class CItemCountOptionsDlg : public QDialog, public IItemCountDialogs {
public:
  explicit CItemCountOptionsDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Item Count Settings"));
    auto* layout = new QVBoxLayout(this);
    skipBlank_ = new QCheckBox(QStringLiteral("Don't include blank staves in stave count"), this);
    layout->addWidget(skipBlank_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
  }

  bool editItemCountOptions(ItemCountOptions& options) override {
    skipBlank_->setChecked(options.skipBlankStaves != 0);
    if (exec() != QDialog::Accepted) return false;
    options.skipBlankStaves = skipBlank_->isChecked() ? 1 : 0;
    return true;
  }

private:
  QCheckBox* skipBlank_;
};

QString menuText(const CommandInfo& info) { return QString::fromLatin1(info.text); }

} // namespace

CMainFrame::CMainFrame(CVelmoraDoc& doc, CBatchState& batch, CGuiHost& host)
    : doc_(doc), batch_(batch), host_(host), handlers_(doc, batch, host) {
  setWindowTitle(QString::fromLatin1(kAppTitle));
  view_ = new CVelmoraView(batch_.log, this);
  setCentralWidget(view_);
  createActions();
  createMenus();
  createToolbars();
  createStatusBar();
  resize(900, 600);
}

QAction* CMainFrame::action(int commandId) const {
  const auto it = actions_.find(commandId);
  return it == actions_.end() ? nullptr : it->second;
}

void CMainFrame::createActions() {
  for (const CommandInfo& info : commandTable()) {
    QString text = menuText(info);
    const int tab = text.indexOf('\t');
    if (tab >= 0) text.truncate(tab);
    auto* a = new QAction(text, this);
    if (*info.key) a->setShortcut(QKeySequence(QString::fromLatin1(info.key)));
    const QString prompt = QString::fromLatin1(info.prompt);
    a->setStatusTip(prompt.section('\n', 0, 0));
    a->setToolTip(prompt.contains('\n') ? prompt.section('\n', 1) : prompt);
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
  connect(actionsMenu, &QMenu::aboutToShow, this, &CMainFrame::updateCommandStates);
  connect(options, &QMenu::aboutToShow, this, &CMainFrame::updateCommandStates);
  connect(help, &QMenu::aboutToShow, this, &CMainFrame::updateCommandStates);
}

void CMainFrame::createToolbars() {
  QToolBar* main = addToolBar(QStringLiteral("Main"));
  main->setObjectName(QStringLiteral("mainToolbar"));
  for (int id : mainToolbar()) {
    if (id == 0)
      main->addSeparator();
    else
      main->addAction(actions_[id]);
  }
  auto* postScript = new QToolBar(QStringLiteral("PostScript"), this);
  postScript->setObjectName(QStringLiteral("postScriptToolbar"));
  for (int id : postScriptToolbar()) {
    if (id == 0)
      postScript->addSeparator();
    else
      postScript->addAction(actions_[id]);
  }
  addToolBar(Qt::RightToolBarArea, postScript);
  updateCommandStates();
}

void CMainFrame::createStatusBar() {
  statusBar()->showMessage(QString::fromLatin1(kIdleText));
  projectPane_ = new QLabel(this);
  const std::string project = doc_.settings.projectFolder();
  projectPane_->setText(QString::fromLatin1(strprintf(kProjectDirectoryFormat, project.c_str()).c_str()));
  statusBar()->addPermanentWidget(projectPane_);
}

void CMainFrame::updateCommandStates() {
  // Commands whose tasks are not in this build yet stay greyed.
  static const int kAvailable[] = {cmd::kItemCount, cmd::kItemCountSettings, cmd::kExit,
                                   cmd::kAbout,     cmd::kStatusBar,         cmd::kToolbars};
  for (auto& [id, a] : actions_) {
    bool available = false;
    for (int k : kAvailable)
      available = available || k == id;
    a->setEnabled(available && handlers_.isEnabled(id));
  }
}

void CMainFrame::runCommand(int commandId) {
  if (!handlers_.isEnabled(commandId)) return;
  const auto running = [this](bool on) {
    host_.setTaskRunning(on);
    updateCommandStates();
  };
  switch (commandId) {
  case cmd::kItemCount:
    running(true);
    handlers_.onRunItemCount();
    running(false);
    break;
  case cmd::kItemCountSettings: {
    CItemCountOptionsDlg dialog(this);
    handlers_.onItemCountSettings(dialog);
    break;
  }
  case cmd::kExit: close(); break;
  case cmd::kAbout:
    QMessageBox::about(this, QStringLiteral("About Velmora"), QStringLiteral("Velmora Version 3.8 for Windows"));
    break;
  case cmd::kStatusBar: statusBar()->setVisible(!statusBar()->isVisible()); break;
  default: break;
  }
}

} // namespace velmora::gui

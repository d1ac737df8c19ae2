#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <functional>
#include <map>

#include "app/CCommandHandlers.h"
#include "app/CVelmoraDoc.h"
#include "batch/BatchRunner.h"

class QAction;
class QLabel;
class QProgressBar;
class QToolBar;

namespace velmora::gui {

class CElidedLabel;
class CGuiHost;
class CVelmoraView;

// The main window: menus and toolbars built from the command table, the log
// view, and the status bar with its prompt pane, progress bar and project pane.
class CMainFrame : public QMainWindow, public IBatchProgress {
  Q_OBJECT
public:
  CMainFrame(CVelmoraDoc& doc, CBatchState& batch, CGuiHost& host);
  ~CMainFrame() override;

  QAction* action(int commandId) const;
  CVelmoraView* view() const { return view_; }
  QToolBar* mainToolBar() const { return mainToolBar_; }
  QToolBar* postScriptToolBar() const { return postScriptToolBar_; }
  QProgressBar* progressBar() const { return progress_; }
  CElidedLabel* projectPane() const { return projectPane_; }
  QLabel* progressText() const { return progressText_; }
  int toolbarsVisibleFlag() const { return toolbarsVisible; }

  // What choosing a command does; disabled commands do nothing.
  void runCommand(int commandId);
  // Pane 1: "Project directory - %s".
  void setProjectPane();
  // The command-state rule and the View menu's check marks.
  void updateCommandStates();

  // The window's size, position, toolbars and the file-list folders, in a file of their own in the settings folder.
  std::string windowStatePath() const;
  void restoreWindowState();
  bool saveWindowState();

  void batchStarted() override;
  void fileStarted(size_t index, size_t count) override;
  void batchIdle() override;

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  // Bumped when the toolbars change so that an older saved layout is ignored.
  static constexpr int kWindowStateVersion = 1;
  void prepareBusyLook();
  using Handler = std::function<void()>;

  void createActions();
  void createMenus();
  void createToolbars();
  void createStatusBar();
  void wireCommands();
  // "Preview Edit...": the dry run, its window, and "Run Edit" on the same files.
  void previewEdit();
  void wire(int commandId, Handler handler) { commandHandlers_[commandId] = std::move(handler); }
  // A task: runs through the batch frame, then closes the window if that was asked for meanwhile.
  Handler task(Handler run);
  // A settings dialog, the manual: menu and toolbar states are brought up to date first.
  Handler afterIdlePass(Handler run);
  // A command whose task is not in this build yet.
  void toggleToolbars();
  void refreshToolbarsFlag();
  void onGeneralSettings();

  // In this order: the status bar, the main toolbar, the PostScript toolbar, the toolbar flag.
  QStatusBar* statusBar_ = nullptr;
  QToolBar* mainToolBar_ = nullptr;
  QToolBar* postScriptToolBar_ = nullptr;
  int toolbarsVisible = 1;

  CVelmoraDoc& doc_;
  CBatchState& batch_;
  CGuiHost& host_;
  CCommandHandlers commands_;
  CVelmoraView* view_ = nullptr;
  QLabel* idlePane_ = nullptr;
  CElidedLabel* projectPane_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* progressText_ = nullptr;
  QElapsedTimer progressClock_; // repaints the bar at most every few milliseconds
  QElapsedTimer batchClock_;    // since the batch's first file, for the estimate
  std::map<int, QAction*> actions_;
  std::map<int, Handler> commandHandlers_;
  bool closeAfterTask_ = false;
};

} // namespace velmora::gui

#pragma once

#include <QMainWindow>
#include <map>

#include "app/CCommandHandlers.h"
#include "app/CVelmoraDoc.h"
#include "batch/BatchRunner.h"

class QAction;
class QLabel;
class QToolBar;

namespace velmora::gui {

class CGuiHost;
class CVelmoraView;

// The main window: menus and toolbars built once from the command table, the
// log view and the two-pane status bar.
class CMainFrame : public QMainWindow {
  Q_OBJECT
public:
  CMainFrame(CVelmoraDoc& doc, CBatchState& batch, CGuiHost& host);

  QAction* action(int commandId) const;
  CVelmoraView* view() const { return view_; }

private:
  void createActions();
  void createMenus();
  void createToolbars();
  void createStatusBar();
  void updateCommandStates();
  void runCommand(int commandId);

  CVelmoraDoc& doc_;
  CBatchState& batch_;
  CGuiHost& host_;
  CCommandHandlers handlers_;
  CVelmoraView* view_ = nullptr;
  QLabel* projectPane_ = nullptr;
  std::map<int, QAction*> actions_;
};

} // namespace velmora::gui

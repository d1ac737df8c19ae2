#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

#include "batch/COutputLog.h"
#include "gui/CGuiHost.h"

class QWidget;

namespace velmora::gui {

class CMainFrame;

// A host that hands out prepared file lists and can act at the next pump.
class CShotHost : public CGuiHost {
public:
  int chooseFiles(FileListRequest& request, std::vector<std::string>& files) override;
  Pump pump() override;

  std::vector<std::string> files; // used once by the next file-list request, when not empty
  std::function<void()> atNextPump;
};

// Takes the pictures. Each picture is one line in Shots.cpp.
class CScreenshotTool : public QObject {
  Q_OBJECT
public:
  using Prepare = std::function<void(QWidget* dialog)>;

  CScreenshotTool(CMainFrame& frame, CShotHost& host, std::string settingsFolder, const QString& outDir);

  CMainFrame& frame() { return frame_; }
  CShotHost& host() { return host_; }
  // The settings folder the pictures are taken with.
  const std::string& settingsFolder() const { return settingsFolder_; }
  std::vector<std::string> sampleScores() const;

  // The main window as it stands.
  void window(const QString& name);
  // The main window at the first pump of a task command, progress bar showing.
  void duringTask(const QString& name, int commandId, std::vector<std::string> files);
  // The first modal dialog the command opens. With clicks, each named button
  // of the dialog is pressed in turn and the dialog it opens is taken instead.
  void command(const QString& name, int commandId, const QStringList& clicks = {}, Prepare prepare = {});
  // The same for any code that runs a modal dialog.
  void dialog(const QString& name, const std::function<void()>& open, const QStringList& clicks = {},
              Prepare prepare = {});

  int failures() const { return failures_; }
  // The log whose rows the pictures of the main window show with neutral paths.
  void setLog(COutputLog* log) { log_ = log; }

  // Where the pictures show the sample folder.
  static constexpr const char* kNeutralFolder = "/home/user/scores";

private:
  bool save(QWidget* widget, const QString& name);
  void neutralizePaths(QWidget* widget);

  CMainFrame& frame_;
  CShotHost& host_;
  std::string settingsFolder_;
  QString outDir_;
  COutputLog* log_ = nullptr;
  int failures_ = 0;
};

// The list of pictures.
void addShots(CScreenshotTool& shots);

} // namespace velmora::gui

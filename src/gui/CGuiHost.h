#pragma once

#include <QObject>

#include "base/Host.h"

class QWidget;

namespace velmora::gui {

// The host with real windows. While a task runs, its event filter turns a
// right click or a typed key into the "Cancel Action" question.
class CGuiHost : public QObject, public IHost {
  Q_OBJECT
public:
  explicit CGuiHost(QWidget* parentWindow);

  void showMessage(const std::string& text) override;
  bool askYesNo(const std::string& title, const std::string& text) override;
  bool askOkCancel(const std::string& text) override;
  Pump pump() override;
  int chooseFiles(FileListRequest& request, std::vector<std::string>& files) override;
  void openInViewer(const std::string& path) override;

  // The filter only acts while a task runs.
  void setTaskRunning(bool running) { taskRunning_ = running; }
  void setParentWindow(QWidget* window) { window_ = window; }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QWidget* window_;
  bool taskRunning_ = false;
  bool asking_ = false;
  bool cancelConfirmed_ = false;
};

} // namespace velmora::gui

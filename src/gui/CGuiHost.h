#pragma once

#include <QEvent>
#include <QObject>
#include <QPointF>
#include <QString>

#include "base/Host.h"

class QKeyEvent;
class QWidget;

namespace velmora::gui {

// A key that types a printable character, without Alt, Ctrl or Meta: the
// keys that raise "Cancel Action" during a task.
bool isTypedCharacter(const QKeyEvent& key);
// Input to a menu or the menu bar, which navigates rather than types.
bool isMenuInput(const QObject* receiver);
// What the user is told when no program is set up for a file's type.
QString noViewerMessage(const QString& path, const QString& mimeType);

// The host with real windows. While a task pumps messages, its event filter
// turns a right click or a typed key into the "Cancel Action" question.
class CGuiHost : public QObject, public IHost {
  Q_OBJECT
public:
  explicit CGuiHost(QWidget* parentWindow = nullptr);
  ~CGuiHost() override;

  void showMessage(const std::string& text) override;
  bool askYesNo(const std::string& title, const std::string& text) override;
  bool askOkCancel(const std::string& text) override;
  Pump pump() override;
  int chooseFiles(FileListRequest& request, std::vector<std::string>& files) override;
  // When no program is set up for the file's type, a message says so and how to set one up.
  void openInViewer(const std::string& path) override;

  // The filter only acts while a task runs (and only on input its pump takes).
  // A task (re)starts with a pump that takes the pending input at once.
  void setTaskRunning(bool running) {
    taskRunning_ = running;
    lastEvents_ = kNever;
  }
  // The pump takes pending input at most this often, so that a loop calling
  // it per item does not spend its time in the event loop; 0 takes it on
  // every call. Input waits at most this long before it raises the question.
  void setPumpInterval(int milliseconds) { pumpInterval_ = milliseconds; }
  static constexpr int kPumpIntervalMs = 8;
  // A new task starts without a cancel left over from the last one.
  void forgetCancel() { cancelConfirmed_ = false; }
  bool taskRunning() const { return taskRunning_; }
  // A cancel confirmed elsewhere (closing the window): the next pump returns Cancel.
  void requestCancel() { cancelConfirmed_ = true; }
  void setParentWindow(QWidget* window) { window_ = window; }
  // The next file-list request is answered with these files, without the dialog.
  void presetFiles(std::vector<std::string> files) { presetFiles_ = std::move(files); }
  QWidget* parentWindow() const { return window_; }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  std::vector<std::string> presetFiles_;
  // One input as the filter saw it, so that its copies sent to parent widgets are not asked about again.
  struct Input {
    QEvent::Type type = QEvent::None;
    quint64 timestamp = 0;
    QPointF position;
    int key = 0;
    bool operator==(const Input&) const = default;
  };

  void showNoViewer(const QString& path);
  // Whether the interval since the pump last took input has passed.
  bool inputDue();
  static void cleanVectorState();

  static constexpr long long kNever = -(1LL << 62);

  QWidget* window_;
  int pumpInterval_ = kPumpIntervalMs;
  long long lastEvents_ = kNever;
  unsigned pumpCalls_ = 0;
  bool taskRunning_ = false;
  bool pumping_ = false;
  int pumpLoopLevel_ = 0;
  bool asking_ = false;
  bool cancelConfirmed_ = false;
  Input lastAsked_;
};

} // namespace velmora::gui

#include "gui/CGuiHost.h"

#include <QApplication>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QMouseEvent>
#include <QProcess>
#include <QThread>
#include <QUrl>
#include <ctime>

#include "app/CommandTable.h"
#include "gui/CFileListDlg.h"
#include "gui/GuiText.h"

namespace velmora::gui {

namespace {

// Restores a flag on every way out.
class FlagScope {
public:
  FlagScope(bool& flag, bool value) : flag_(flag), old_(flag) { flag_ = value; }
  ~FlagScope() { flag_ = old_; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

private:
  bool& flag_;
  bool old_;
};

// Mouse and key input, which could start something once a cancel is confirmed; moves and paints are harmless.
bool isUserInput(QEvent::Type type) {
  switch (type) {
  case QEvent::MouseButtonPress:
  case QEvent::MouseButtonRelease:
  case QEvent::MouseButtonDblClick:
  case QEvent::KeyPress:
  case QEvent::KeyRelease:
  case QEvent::ShortcutOverride:
  case QEvent::Wheel:
  case QEvent::ContextMenu: return true;
  default: return false;
  }
}

} // namespace

bool isTypedCharacter(const QKeyEvent& key) {
  // Alt, Ctrl and Meta chords are mnemonics and shortcuts, not typing.
  if (key.modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier)) return false;
  const QString text = key.text();
  if (text.isEmpty()) return false;
  for (const QChar c : text)
    if (!c.isPrint()) return false; // Escape, Return, Tab, Backspace
  return true;
}

bool isMenuInput(const QObject* receiver) {
  for (const QObject* o = receiver; o; o = o->parent())
    if (qobject_cast<const QMenu*>(o) || qobject_cast<const QMenuBar*>(o)) return true;
  return false;
}

CGuiHost::CGuiHost(QWidget* parentWindow) : window_(parentWindow) { qApp->installEventFilter(this); }

CGuiHost::~CGuiHost() {
  if (qApp) qApp->removeEventFilter(this);
  // An xdg-open still waiting on its viewer: the viewer stays, only the wait ends.
  for (QProcess* opener : findChildren<QProcess*>()) {
    opener->disconnect(this);
    opener->kill();
    opener->waitForFinished(1000);
  }
}

void CGuiHost::showMessage(const std::string& text) {
  FlagScope asking(asking_, true);
  QMessageBox::information(window_, QString::fromLatin1(kAppTitle), fromProgramText(text));
}

bool CGuiHost::askYesNo(const std::string& title, const std::string& text) {
  FlagScope asking(asking_, true);
  const auto answer = QMessageBox::question(window_, fromAnsi(title), fromProgramText(text),
                                            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
  return answer == QMessageBox::Yes;
}

bool CGuiHost::askOkCancel(const std::string& text) {
  FlagScope asking(asking_, true);
  const auto answer = QMessageBox::question(window_, QString::fromLatin1(kAppTitle), fromProgramText(text),
                                            QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok);
  return answer == QMessageBox::Ok;
}

// Code in the libraries an event loop runs can leave the upper halves of the
// vector registers dirty; until they are cleared every SSE instruction of the
// task pays a penalty (the window's batch ran at half the command line's speed).
void CGuiHost::cleanVectorState() {
#if defined(__x86_64__) && defined(__GNUC__)
  static const bool avx = __builtin_cpu_supports("avx");
  if (avx) asm volatile("vzeroupper" ::: "memory");
#endif
}

bool CGuiHost::inputDue() {
  if (pumpInterval_ <= 0) return true;
  // The coarse clock costs a few nanoseconds and ticks every few milliseconds: enough here.
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
  const long long ms = static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
  if (ms - lastEvents_ < pumpInterval_) return false;
  lastEvents_ = ms;
  return true;
}

Pump CGuiHost::pump() {
  // Tasks pump once per item: most calls only count.
  if (pumpInterval_ > 0 && !cancelConfirmed_ && lastEvents_ != kNever && (++pumpCalls_ & 15) != 0) return Pump::GoOn;
  // The log and the progress bar run Qt code between pumps too.
  cleanVectorState();
  // A cancel confirmed elsewhere (closing the window) needs no input.
  if (!cancelConfirmed_ && !inputDue()) return Pump::GoOn;
  {
    FlagScope pumping(pumping_, true);
    const int oldLevel = pumpLoopLevel_;
    pumpLoopLevel_ = QThread::currentThread()->loopLevel();
    lastAsked_ = Input{};
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    pumpLoopLevel_ = oldLevel;
  }
  if (cancelConfirmed_) {
    cancelConfirmed_ = false;
    return Pump::Cancel;
  }
  return Pump::GoOn;
}

bool CGuiHost::eventFilter(QObject* watched, QEvent* event) {
  // Only input the pump itself takes off the queue: not input to a dialog
  // opened meanwhile, which runs an event loop of its own.
  if (!taskRunning_ || !pumping_ || asking_ || !watched->isWidgetType() ||
      QThread::currentThread()->loopLevel() != pumpLoopLevel_)
    return QObject::eventFilter(watched, event);
  // The pump cannot stop Qt's drain: after "Yes" the rest of the queued input is dropped.
  if (cancelConfirmed_) return isUserInput(event->type());
  Input input;
  if (event->type() == QEvent::MouseButtonPress) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::RightButton) return QObject::eventFilter(watched, event);
    input = Input{event->type(), mouse->timestamp(), mouse->globalPosition(), 0};
  } else if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    // Moving through an open menu is not typing, whatever the key.
    if (!isTypedCharacter(*key) || isMenuInput(watched) || QApplication::activePopupWidget())
      return QObject::eventFilter(watched, event);
    input = Input{event->type(), key->timestamp(), QPointF(), key->key()};
  } else {
    return QObject::eventFilter(watched, event);
  }
  if (input == lastAsked_) return QObject::eventFilter(watched, event);
  lastAsked_ = input;
  if (askCancelAction(*this)) {
    cancelConfirmed_ = true;
    return true; // the confirming input is not delivered
  }
  return QObject::eventFilter(watched, event);
}

int CGuiHost::chooseFiles(FileListRequest& request, std::vector<std::string>& files) {
  if (!presetFiles_.empty()) {
    files.insert(files.end(), presetFiles_.begin(), presetFiles_.end());
    presetFiles_.clear();
    return 1;
  }
  FlagScope asking(asking_, true);
  return runFileListDialog(window_, request, files);
}

QString noViewerMessage(const QString& path, const QString& mimeType) {
  return QStringLiteral("Unable to open %1: no program is set up to open this kind of file (%2).\n\n"
                        "Choose one for it, for example with\n"
                        "xdg-mime default PROGRAM.desktop %2\n"
                        "where PROGRAM.desktop is the desktop entry of the program to use (see the README).")
      .arg(path, mimeType);
}

void CGuiHost::openInViewer(const std::string& path) {
  const QString file = fromPath(path);
  // xdg-open says whether a program took the file; Qt's own call only says that xdg-open started.
  auto* opener = new QProcess(this);
  opener->setProgram(QStringLiteral("xdg-open"));
  opener->setArguments({file});
  opener->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  opener->setStandardOutputFile(QProcess::nullDevice());
  connect(opener, &QProcess::finished, this, [this, opener, file](int exitCode, QProcess::ExitStatus status) {
    opener->deleteLater();
    // 3 and 4: no program for the file's type, or it could not be started.
    if (status == QProcess::NormalExit && (exitCode == 3 || exitCode == 4)) showNoViewer(file);
  });
  connect(opener, &QProcess::errorOccurred, this, [this, opener, file](QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart) return;
    opener->deleteLater();
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(file))) showNoViewer(file);
  });
  opener->start();
}

void CGuiHost::showNoViewer(const QString& path) {
  FlagScope asking(asking_, true);
  QMessageBox::information(window_, QString::fromLatin1(kAppTitle),
                           noViewerMessage(path, QMimeDatabase().mimeTypeForFile(path).name()));
}

} // namespace velmora::gui

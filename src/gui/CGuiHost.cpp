#include "gui/CGuiHost.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QUrl>

#include "app/CommandTable.h"

namespace velmora::gui {

namespace {

// Strings in files are bytes in the ANSI code page.
QString fromAnsi(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string toAnsi(const QString& text) { return text.toLatin1().toStdString(); }

} // namespace

CGuiHost::CGuiHost(QWidget* parentWindow) : window_(parentWindow) { qApp->installEventFilter(this); }

void CGuiHost::showMessage(const std::string& text) { QMessageBox::information(window_, kAppTitle, fromAnsi(text)); }

bool CGuiHost::askYesNo(const std::string& title, const std::string& text) {
  asking_ = true;
  const auto answer = QMessageBox::question(window_, fromAnsi(title), fromAnsi(text),
                                            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
  asking_ = false;
  return answer == QMessageBox::Yes;
}

bool CGuiHost::askOkCancel(const std::string& text) {
  asking_ = true;
  const auto answer =
      QMessageBox::question(window_, kAppTitle, fromAnsi(text), QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok);
  asking_ = false;
  return answer == QMessageBox::Ok;
}

Pump CGuiHost::pump() {
  QCoreApplication::processEvents();
  if (cancelConfirmed_) {
    cancelConfirmed_ = false;
    return Pump::Cancel;
  }
  return Pump::GoOn;
}

bool CGuiHost::eventFilter(QObject* watched, QEvent* event) {
  if (taskRunning_ && !asking_ && !cancelConfirmed_) {
    const bool rightClick =
        event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::RightButton;
    const bool typedKey = event->type() == QEvent::KeyPress && !static_cast<QKeyEvent*>(event)->text().isEmpty();
    if (rightClick || typedKey) {
      if (askCancelAction(*this)) {
        cancelConfirmed_ = true;
        return true; // the confirming input is not delivered
      }
    }
  }
  return QObject::eventFilter(watched, event);
}

int CGuiHost::chooseFiles(FileListRequest& request, std::vector<std::string>& files) {
  const QString filter = request.kind == FileKind::PostScript
                             ? QStringLiteral("EPS files (*.eps);;PS files (*.ps);;All Files (*)")
                             : QStringLiteral("SCORE files (*.mus *.jst *.jus *.pge *.pag *.pt *.pts *.opt *.uno "
                                              "*.edi *.bim);;All Files (*)");
  const QStringList chosen = QFileDialog::getOpenFileNames(window_, fromAnsi(request.title), QString(), filter);
  for (const QString& path : chosen)
    files.push_back(toAnsi(path));
  return chosen.isEmpty() ? 0 : 1;
}

void CGuiHost::openInViewer(const std::string& path) { QDesktopServices::openUrl(QUrl::fromLocalFile(fromAnsi(path))); }

} // namespace velmora::gui

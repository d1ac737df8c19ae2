#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTimer>
#include <functional>
#include <memory>

#include "gui/CGuiHost.h"

namespace velmora::test {

// The GUI host with a scripted file list and a hook at each pump; the
// questions and messages are the real boxes.
class ScriptedGuiHost : public gui::CGuiHost {
public:
  int chooseFiles(FileListRequest& request, std::vector<std::string>& chosen) override {
    requests.push_back(request);
    if (files.empty()) return 0;
    chosen.insert(chosen.end(), files.begin(), files.end());
    return 1;
  }
  Pump pump() override {
    ++pumps;
    if (atPump) atPump(pumps);
    return gui::CGuiHost::pump();
  }

  std::vector<std::string> files;
  std::vector<FileListRequest> requests;
  std::function<void(int pump)> atPump;
  int pumps = 0;
};

// Acts on each modal dialog as it opens: `act` gets the dialog and returns
// true once it has dealt with it (closed it or opened the next one).
class ModalScript : public QObject {
public:
  explicit ModalScript(std::function<bool(QWidget*)> act) : act_(std::move(act)) {
    timer_.setInterval(10);
    connect(&timer_, &QTimer::timeout, this, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal || !modal->isVisible() || modal->property("scripted").toBool()) return;
      if (act_(modal)) modal->setProperty("scripted", true);
    });
    timer_.start();
  }

private:
  std::function<bool(QWidget*)> act_;
  QTimer timer_;
};

// Answers every message box with `button`, recording "title: text".
inline std::unique_ptr<ModalScript> answerBoxes(QMessageBox::StandardButton button, QStringList& seen) {
  return std::make_unique<ModalScript>([button, &seen](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (!box) return false;
    seen << box->windowTitle() + QStringLiteral(": ") + box->text();
    QAbstractButton* answer = box->button(button);
    if (!answer) answer = box->buttons().value(0);
    QTimer::singleShot(0, answer, &QAbstractButton::click);
    return true;
  });
}

} // namespace velmora::test

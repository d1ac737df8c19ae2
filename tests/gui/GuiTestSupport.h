#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <deque>
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
    if (realFileList) return gui::CGuiHost::chooseFiles(request, chosen);
    if (files.empty()) return 0;
    chosen.insert(chosen.end(), files.begin(), files.end());
    return 1;
  }
  Pump pump() override {
    ++pumps;
    if (atPump) atPump(pumps);
    return gui::CGuiHost::pump();
  }
  // Recorded, not opened: a test must not start the desktop's viewer.
  void openInViewer(const std::string& path) override { opened.push_back(path); }

  std::vector<std::string> files;
  bool realFileList = false; // the real dialog instead of `files`
  std::vector<FileListRequest> requests;
  std::function<void(int pump)> atPump;
  int pumps = 0;
  std::vector<std::string> opened;
};

// Closes a modal window the way Escape would.
inline void dismiss(QWidget* modal) {
  if (auto* dialog = qobject_cast<QDialog*>(modal))
    dialog->reject();
  else
    modal->close();
}

// Acts on each modal dialog as it opens: `act` gets the dialog and returns
// true once it has dealt with it (closed it or opened the next one). After
// `timeoutMs` every modal window is dismissed, so a test cannot hang.
class ModalScript : public QObject {
public:
  explicit ModalScript(std::function<bool(QWidget*)> act, int timeoutMs = 20000) : act_(std::move(act)) {
    clock_.start();
    timer_.setInterval(10);
    connect(&timer_, &QTimer::timeout, this, [this, timeoutMs] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal || !modal->isVisible()) return;
      if (clock_.elapsed() > timeoutMs) {
        timedOut_ = true;
        dismiss(modal);
        return;
      }
      if (modal->property("scripted").toBool()) return;
      if (act_(modal)) modal->setProperty("scripted", true);
    });
    timer_.start();
  }
  bool timedOut() const { return timedOut_; }

private:
  std::function<bool(QWidget*)> act_;
  QTimer timer_;
  QElapsedTimer clock_;
  bool timedOut_ = false;
};

// Acts once on the next modal window, from that window's own event loop. The
// window is polled for rather than assumed up at the first turn of the loop;
// if it is still up `timeoutMs` after the act, it is dismissed, so a test
// cannot hang.
inline void whenModal(std::function<void(QWidget*)> act, int timeoutMs = 20000) {
  auto* timer = new QTimer(qApp);
  auto clock = std::make_shared<QElapsedTimer>();
  auto target = std::make_shared<QPointer<QWidget>>();
  auto acted = std::make_shared<bool>(false);
  clock->start();
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, timer, [=] {
    if (!*acted) {
      QWidget* modal = QApplication::activeModalWidget();
      if (clock->elapsed() > timeoutMs) timer->deleteLater();
      // Not isVisible(): a file dialog may be up as a native window with its widget hidden.
      if (!modal || clock->elapsed() > timeoutMs) return;
      *acted = true;
      *target = modal;
      clock->restart();
      QTimer::singleShot(0, modal, [modal, act] { act(modal); });
      return;
    }
    QWidget* modal = *target;
    if (!modal || (!modal->isVisible() && QApplication::activeModalWidget() != modal)) {
      timer->deleteLater();
    } else if (clock->elapsed() > timeoutMs) {
      dismiss(modal);
      timer->deleteLater();
    }
  });
  timer->start();
}

// A scripted user for a sequence of modal windows. Each step acts on the next
// modal window that comes to the top (a new one, or one that a closed window
// uncovers) and expects its title; an empty title takes any window. The act
// runs from the window's own event loop. A window the next step does not
// expect, one left up for 2 s after the last step, and every window after the
// timeout are dismissed, so a test cannot hang.
class DialogScript : public QObject {
public:
  using Act = std::function<void(QWidget*)>;

  explicit DialogScript(int timeoutMs = 20000) {
    clock_.start();
    timer_.setInterval(10);
    connect(&timer_, &QTimer::timeout, this, [this, timeoutMs] { poll(timeoutMs); });
    timer_.start();
  }

  DialogScript& on(const QString& title, Act act) {
    steps_.push_back({title, std::move(act)});
    return *this;
  }
  // Every step was played and nothing unexpected came up.
  bool finished() const { return steps_.empty() && unexpected.isEmpty() && !timedOut_; }
  bool timedOut() const { return timedOut_; }

  QStringList seen;       // each window a step acted on: its title, or "title: text" for a message box
  QStringList unexpected; // windows no step expected, dismissed

private:
  struct Step {
    QString title;
    Act act;
  };

  void poll(int timeoutMs) {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    if (clock_.elapsed() > timeoutMs) {
      timedOut_ = true;
      dismiss(modal);
      return;
    }
    if (steps_.empty()) {
      // Played out: another script may own this window; dismiss it only if nobody takes it.
      if (modal != idle_) {
        idle_ = modal;
        idleClock_.restart();
      } else if (idleClock_.elapsed() > 2000) {
        unexpected << modal->windowTitle();
        idle_ = nullptr;
        dismiss(modal);
      }
      return;
    }
    if (modal == last_) return;
    last_ = modal;
    if (!steps_.front().title.isEmpty() && steps_.front().title != modal->windowTitle()) {
      unexpected << modal->windowTitle();
      QTimer::singleShot(0, modal, [modal] { dismiss(modal); });
      return;
    }
    Act act = std::move(steps_.front().act);
    steps_.pop_front();
    const auto* box = qobject_cast<QMessageBox*>(modal);
    seen << (box ? box->windowTitle() + QStringLiteral(": ") + box->text() : modal->windowTitle());
    QTimer::singleShot(0, modal, [modal, act] { act(modal); });
  }

  std::deque<Step> steps_;
  QPointer<QWidget> last_;
  QPointer<QWidget> idle_;
  QTimer timer_;
  QElapsedTimer clock_;
  QElapsedTimer idleClock_;
  bool timedOut_ = false;
};

// The button whose text, without its mnemonic, is `text`.
inline QAbstractButton* buttonNamed(QWidget* window, const QString& text) {
  for (QAbstractButton* button : window->findChildren<QAbstractButton*>())
    if (button->text().remove(QLatin1Char('&')) == text) return button;
  return nullptr;
}

// A step that clicks the button labelled `text`.
inline DialogScript::Act click(const QString& text) {
  return [text](QWidget* window) {
    if (QAbstractButton* button = buttonNamed(window, text))
      button->click();
    else
      dismiss(window);
  };
}

// A step that dismisses the window.
inline DialogScript::Act escape() {
  return [](QWidget* window) { dismiss(window); };
}

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

// Runs `f` from the event loop of the dialog that is about to open.
inline void later(QObject* context, std::function<void()> f) { QTimer::singleShot(0, context, std::move(f)); }

} // namespace velmora::test

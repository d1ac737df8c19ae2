#pragma once

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>

namespace velmora::test {

// Acts on each modal dialog as it opens, like ModalScript; past the time
// limit it rejects whatever modal is up, so a test fails instead of hanging.
class TimedModalScript : public QObject {
public:
  explicit TimedModalScript(std::function<bool(QWidget*)> act, int limitMs = 10000)
      : act_(std::move(act)), limitMs_(limitMs) {
    clock_.start();
    timer_.setInterval(10);
    connect(&timer_, &QTimer::timeout, this, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal || !modal->isVisible()) return;
      if (clock_.elapsed() > limitMs_) {
        timedOut_ = true;
        if (auto* dialog = qobject_cast<QDialog*>(modal))
          dialog->reject();
        else
          modal->close();
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
  int limitMs_;
  bool timedOut_ = false;
  QElapsedTimer clock_;
  QTimer timer_;
};

// Runs `f` from the event loop of the dialog that is about to open.
inline void later(QObject* context, std::function<void()> f) { QTimer::singleShot(0, context, std::move(f)); }

} // namespace velmora::test

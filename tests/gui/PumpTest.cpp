// The throttled message pump: input waits for the next pump that takes it,
// and a right click or a typed key then still raises "Cancel Action".
#include <QMouseEvent>
#include <QWidget>
#include <QtTest>
#include <chrono>

#include "gui/CGuiHost.h"
#include "gui/GuiTestSupport.h"

using namespace velmora;
using Clock = std::chrono::steady_clock;

namespace {

// Counts the presses, keys and wheel turns a widget receives.
class InputCounter : public QObject {
public:
  int presses = 0;
  int keys = 0;
  int wheels = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Wheel) ++wheels;
    if (event->type() == QEvent::MouseButtonPress) ++presses;
    if (event->type() == QEvent::KeyPress) ++keys;
    return false;
  }
};

void postRightClick(QWidget* widget) {
  QCoreApplication::postEvent(widget, new QMouseEvent(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5),
                                                      Qt::RightButton, Qt::RightButton, Qt::NoModifier));
}

void sendRightClick(QWidget* widget) {
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::RightButton, Qt::RightButton,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &press);
}

// Pumps as a task's item loop does until the pump says Cancel or `limit` passes.
Pump pumpUntilCancel(gui::CGuiHost& host, std::chrono::milliseconds limit, int& goOns) {
  const auto end = Clock::now() + limit;
  while (Clock::now() < end) {
    if (host.pump() == Pump::Cancel) return Pump::Cancel;
    ++goOns;
  }
  return Pump::GoOn;
}

} // namespace

class PumpTest : public QObject {
  Q_OBJECT

  std::unique_ptr<QWidget> window_;
  std::unique_ptr<gui::CGuiHost> host_;
  InputCounter counter_;

private slots:
  void init() {
    window_ = std::make_unique<QWidget>();
    window_->resize(200, 100);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    window_->installEventFilter(&counter_);
    counter_.presses = counter_.keys = counter_.wheels = 0;
    host_ = std::make_unique<gui::CGuiHost>(window_.get());
  }

  void cleanup() {
    host_.reset();
    window_.reset();
  }

  void firstPumpOfATaskTakesInputAtOnce() {
    QStringList boxes;
    auto script = test::answerBoxes(QMessageBox::Yes, boxes);
    postRightClick(window_.get());
    host_->setTaskRunning(true);
    QCOMPARE(host_->pump(), Pump::Cancel);
    QCOMPARE(boxes, QStringList{"Cancel Action: Do you wish to cancel the current operation?"});
    QCOMPARE(counter_.presses, 0); // the confirming click is not delivered
  }

  void inputBehindAConfirmedCancelIsDropped() {
    // What the pump's own drain delivers after "Yes" is swallowed; a later pump and plain input are as before.
    QWidget* window = window_.get();
    QStringList boxes;
    auto script = test::answerBoxes(QMessageBox::Yes, boxes);
    QMetaObject::invokeMethod(
        window,
        [window] {
          sendRightClick(window);
          QKeyEvent key(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
          QCoreApplication::sendEvent(window, &key);
          QMouseEvent left(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                           Qt::NoModifier);
          QCoreApplication::sendEvent(window, &left);
          QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                            Qt::NoScrollPhase, false);
          QCoreApplication::sendEvent(window, &wheel);
        },
        Qt::QueuedConnection);
    host_->setTaskRunning(true);
    QCOMPARE(host_->pump(), Pump::Cancel);
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(counter_.presses, 0);
    QCOMPARE(counter_.keys, 0);
    QCOMPARE(counter_.wheels, 0);
    // The next pump asks again ("No" delivers); without a task nothing is asked.
    script = test::answerBoxes(QMessageBox::No, boxes);
    QMetaObject::invokeMethod(
        window, [window] { sendRightClick(window); }, Qt::QueuedConnection);
    host_->setPumpInterval(0);
    QCOMPARE(host_->pump(), Pump::GoOn);
    QCOMPARE(boxes.size(), 2);
    QCOMPARE(counter_.presses, 1);
    host_->setTaskRunning(false);
    sendRightClick(window);
    QCOMPARE(counter_.presses, 2);
    QCOMPARE(boxes.size(), 2);
  }

  void inputWaitsForTheNextPumpThatTakesIt() {
    // A long interval: the pumps right after the first one leave the click queued.
    host_->setPumpInterval(250);
    host_->setTaskRunning(true);
    const auto taken = Clock::now();
    QCOMPARE(host_->pump(), Pump::GoOn);
    QStringList boxes;
    auto script = test::answerBoxes(QMessageBox::Yes, boxes);
    postRightClick(window_.get());
    for (int i = 0; i < 1000; ++i)
      QCOMPARE(host_->pump(), Pump::GoOn);
    if (Clock::now() - taken < std::chrono::milliseconds(200)) {
      QVERIFY(boxes.isEmpty());
      QCOMPARE(counter_.presses, 0);
    }
    // Once the interval has passed, the next pump asks, and "Yes" cancels.
    int goOns = 0;
    QCOMPARE(pumpUntilCancel(*host_, std::chrono::seconds(5), goOns), Pump::Cancel);
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(counter_.presses, 0);
  }

  void typedKeyThenNoGoesOnAndDeliversTheKey() {
    // The shipped interval: a key asks within a few pumps' time; "No" delivers it and the task goes on.
    host_->setTaskRunning(true);
    QCOMPARE(host_->pump(), Pump::GoOn);
    QStringList boxes;
    auto script = test::answerBoxes(QMessageBox::No, boxes);
    QCoreApplication::postEvent(window_.get(),
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x")));
    const auto posted = Clock::now();
    while (boxes.isEmpty() && Clock::now() - posted < std::chrono::seconds(5))
      QCOMPARE(host_->pump(), Pump::GoOn);
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(counter_.keys, 1);
    // Then the task stops; the same input afterwards is plain input.
    host_->setTaskRunning(false);
    postRightClick(window_.get());
    QCoreApplication::processEvents();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(counter_.presses, 1);
  }

  void cancelConfirmedElsewhereNeedsNoInput() {
    // Closing the window confirmed a cancel: the very next pump returns it, inside the interval too.
    host_->setPumpInterval(60000);
    host_->setTaskRunning(true);
    QCOMPARE(host_->pump(), Pump::GoOn);
    host_->requestCancel();
    QCOMPARE(host_->pump(), Pump::Cancel);
    QCOMPARE(host_->pump(), Pump::GoOn);
  }
};

QTEST_MAIN(PumpTest)
#include "PumpTest.moc"

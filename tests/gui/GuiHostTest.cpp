// Which keys raise "Cancel Action" during a task, and what the user is told
// when no program is set up to open a file.
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>
#include <cstdlib>

#include "gui/CGuiHost.h"
#include "gui/GuiTestSupport.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

using namespace velmora;

class GuiHostTest : public QObject {
  Q_OBJECT

private slots:
  void keysThatType_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("inMenu");
    QTest::addColumn<bool>("asks");
    QTest::newRow("letter") << int(Qt::Key_X) << int(Qt::NoModifier) << "x" << false << true;
    QTest::newRow("shifted letter") << int(Qt::Key_X) << int(Qt::ShiftModifier) << "X" << false << true;
    QTest::newRow("blank") << int(Qt::Key_Space) << int(Qt::NoModifier) << " " << false << true;
    QTest::newRow("Alt alone") << int(Qt::Key_Alt) << int(Qt::AltModifier) << "" << false << false;
    QTest::newRow("Alt+A, a menu's key") << int(Qt::Key_A) << int(Qt::AltModifier) << "a" << false << false;
    QTest::newRow("Ctrl+C") << int(Qt::Key_C) << int(Qt::ControlModifier) << "\x03" << false << false;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << int(Qt::NoModifier) << "\x1b" << false << false;
    QTest::newRow("Return") << int(Qt::Key_Return) << int(Qt::NoModifier) << "\r" << false << false;
    QTest::newRow("arrow") << int(Qt::Key_Down) << int(Qt::NoModifier) << "" << false << false;
    QTest::newRow("arrow in a menu") << int(Qt::Key_Down) << int(Qt::NoModifier) << "" << true << false;
    QTest::newRow("Escape in a menu") << int(Qt::Key_Escape) << int(Qt::NoModifier) << "\x1b" << true << false;
    QTest::newRow("letter in a menu") << int(Qt::Key_O) << int(Qt::NoModifier) << "o" << true << false;
  }

  void keysThatType() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(bool, inMenu);
    QFETCH(bool, asks);
    QMainWindow window;
    QMenu* menu = window.menuBar()->addMenu(QStringLiteral("&Options"));
    menu->addAction(QStringLiteral("&One"));
    menu->addAction(QStringLiteral("&Two"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QWidget* target = &window;
    if (inMenu) {
      menu->popup(window.mapToGlobal(QPoint(10, 10)));
      QTRY_VERIFY(menu->isVisible());
      target = menu;
    }
    gui::CGuiHost host(&window);
    host.setPumpInterval(0);
    host.setTaskRunning(true);
    QStringList boxes;
    auto script = test::answerBoxes(QMessageBox::No, boxes);
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text));
    QCOMPARE(host.pump(), Pump::GoOn);
    QCOMPARE(boxes.size(), asks ? 1 : 0);
    menu->hide();
  }

  void noViewerSaysWhatToDo() {
    // A stand-in for xdg-open that finds no program, as it does for a type nobody set up.
    test::TempDir bin;
    const std::string opener = bin.file("xdg-open");
    const std::string script = "#!/bin/sh\nexit 3\n";
    test::writeBytes(opener, std::vector<uint8_t>(script.begin(), script.end()));
    QFile::setPermissions(QString::fromStdString(opener), QFile::ReadOwner | QFile::ExeOwner);
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", QByteArray::fromStdString(bin.path()) + ":" + oldPath);
    test::TempDir files;
    const std::string manual = files.file("velmora3.pdf");
    test::writeBytes(manual, {'%', 'P', 'D', 'F'});
    QWidget window;
    gui::CGuiHost host(&window);
    QStringList boxes;
    auto answer = test::answerBoxes(QMessageBox::Ok, boxes);
    host.openInViewer(manual);
    QTRY_COMPARE(boxes.size(), 1);
    qputenv("PATH", oldPath);
    const QString expected =
        "Unable to open " + QString::fromStdString(manual) +
        ": no program is set up to open this kind of file (application/pdf).\n\nChoose one for it, for example "
        "with\nxdg-mime default PROGRAM.desktop application/pdf\nwhere PROGRAM.desktop is the desktop entry of the "
        "program to use (see the README).";
    QCOMPARE(boxes.front(), "Velmora 3.7: " + expected);
  }
};

QTEST_MAIN(GuiHostTest)
#include "GuiHostTest.moc"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "gui/CGuiHost.h"
#include "gui/GuiTestSupport.h"
#include "gui/eps/CAlterBoundingBoxDlg.h"
#include "gui/eps/CEpsDialogs.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

using namespace velmora;
using velmora::gui::CAlterBoundingBoxDlg;

namespace {

QPushButton* button(QWidget& d, const char* label) {
  for (auto* b : d.findChildren<QPushButton*>())
    if (b->text() == QString::fromLatin1(label)) return b;
  return nullptr;
}

QLineEdit* field(QWidget& d, const char* name) { return d.findChild<QLineEdit*>(QString::fromLatin1(name)); }

} // namespace

class AlterBoundingBoxDlgTest : public QObject {
  Q_OBJECT

private slots:
  void buttonsAndAnswers_data() {
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("result");
    QTest::newRow("OK") << "OK" << int(BoxAnswer::Ok) << int(QDialog::Accepted);
    QTest::newRow("OK to All") << "OK to All" << int(BoxAnswer::OkToAll) << int(QDialog::Accepted);
    QTest::newRow("Cancel") << "Cancel" << int(BoxAnswer::Cancel) << int(QDialog::Rejected);
  }

  // Each button closes the dialog with its answer; the fields come back as typed.
  void buttonsAndAnswers() {
    QFETCH(QString, label);
    QFETCH(int, answer);
    QFETCH(int, result);
    test::FakeHost host;
    CAlterBoundingBoxDlg d(host);
    d.setData({{"100", "100", "400", "600"}, "/project/"});
    QCOMPARE(d.windowTitle(), QStringLiteral("Alter Bounding Box"));
    QCOMPARE(field(d, "y2")->text(), QStringLiteral("600"));
    field(d, "x1")->setText(QStringLiteral("+20"));
    QPushButton* b = button(d, label.toLatin1().constData());
    QVERIFY(b);
    QTest::mouseClick(b, Qt::LeftButton);
    QCOMPARE(int(d.answer()), answer);
    QCOMPARE(d.result(), result);
    if (answer != int(BoxAnswer::Cancel)) QCOMPARE(d.data().fields, (BoxExpressions{"+20", "100", "400", "600"}));
  }

  // ".bbx" files: Save As writes the four fields, Load fills them.
  void loadAndSaveBoxFiles() {
    test::TempDir dir;
    test::FakeHost host;
    CAlterBoundingBoxDlg d(host);
    d.setData({{"1", "2", "3", "4"}, dir.path()});
    QString chosen = QString::fromStdString(dir.file("box.bbx.BBX"));
    d.setFileChooser([&chosen](bool) { return chosen; });
    field(d, "y1")->setText(QStringLiteral("-5"));
    button(d, "Save As...")->click();
    QCOMPARE(test::readBytes(dir.file("box.bbx")), (std::vector<uint8_t>{1, '1', 1, '3', 2, '-', '5', 1, '4'}));

    d.setData({{"", "", "", ""}, dir.path()});
    chosen = QString::fromStdString(dir.file("box.bbx"));
    button(d, "Load...")->click();
    QCOMPARE(field(d, "x2")->text(), QStringLiteral("3"));
    QCOMPARE(field(d, "y1")->text(), QStringLiteral("-5"));
    test::writeBytes(dir.file("bad.bbx"), {9, 'x'});
    chosen = QString::fromStdString(dir.file("bad.bbx"));
    button(d, "Load...")->click();
    QCOMPARE(host.messages, (std::vector<std::string>{"Unable to open file " + dir.file("bad.bbx") + " for reading"}));
    QCOMPARE(field(d, "x2")->text(), QStringLiteral("3"));
  }

  // Without a chooser set, "Save As..." and "Load..." open in the project folder with
  // "*.BBX" as the name; accepting that pattern names no file and keeps the dialog up.
  void fileDialogsStartWithTheirName() {
    test::TempDir dir;
    test::FakeHost host;
    CAlterBoundingBoxDlg d(host);
    d.setData({{"1", "2", "3", "4"}, dir.path()});
    // The open dialog itself may say that no such file exists.
    QTimer guard;
    guard.setInterval(20);
    QObject::connect(&guard, &QTimer::timeout, [] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->reject();
    });
    guard.start();
    for (const char* label : {"Save As...", "Load..."}) {
      QString name, folder;
      bool stayed = false;
      test::whenModal([&](QWidget* w) {
        auto* files = qobject_cast<QFileDialog*>(w);
        if (!files) return test::dismiss(w);
        auto* edit = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        name = edit ? edit->text() : QStringLiteral("(no name field)");
        folder = files->directory().canonicalPath();
        QMetaObject::invokeMethod(files, "accept", Qt::QueuedConnection);
        QTimer::singleShot(300, files, [files, edit, &stayed] {
          stayed = files->isVisible();
          if (edit) edit->setText(QStringLiteral("mine.BBX"));
          QMetaObject::invokeMethod(files, "accept", Qt::QueuedConnection);
        });
      });
      button(d, label)->click();
      QCOMPARE(name, QStringLiteral("*.BBX"));
      QCOMPARE(folder, QDir(QString::fromStdString(dir.path())).canonicalPath());
      QVERIFY(stayed);
      if (QByteArray(label) == "Save As...") d.setData({{"", "", "", ""}, dir.path()});
    }
    QCOMPARE(QDir(QString::fromStdString(dir.path())).entryList(QDir::Files), QStringList{QStringLiteral("mine.BBX")});
    QCOMPARE(d.data().fields, (BoxExpressions{"1", "2", "3", "4"}));
    QVERIFY(host.messages.empty());
  }

  void dialogInterface() {
    test::FakeHost host;
    gui::CEpsDialogs dialogs(host, nullptr);
    test::whenModal([](QWidget* d) {
      field(*d, "x2")->setText(QStringLiteral("*2"));
      button(*d, "OK to All")->click();
    });
    BoxDialogData data{{"1", "2", "3", "4"}, "/project/"};
    QCOMPARE(dialogs.alterBoundingBox(data), BoxAnswer::OkToAll);
    QCOMPARE(data.fields, (BoxExpressions{"1", "2", "*2", "4"}));
  }

  // Shown while the task runs, the dialog takes typed keys as text, not as "Cancel Action".
  void typingDuringTheTask() {
    test::FakeHost host;
    gui::CGuiHost guiHost(nullptr);
    guiHost.setTaskRunning(true);
    gui::CEpsDialogs dialogs(host, nullptr, &guiHost);
    bool asked = false;
    // Should the question appear anyway, answer each one so the test cannot hang.
    QTimer guard;
    guard.setInterval(200);
    QObject::connect(&guard, &QTimer::timeout, [&asked] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        asked = true;
        box->reject();
      }
    });
    guard.start();
    test::whenModal([](QWidget* d) {
      QTest::keyClicks(field(*d, "x1"), QStringLiteral("+20"));
      button(*d, "OK")->click();
    });
    BoxDialogData data{{"1", "2", "3", "4"}, "/project/"};
    QCOMPARE(dialogs.alterBoundingBox(data), BoxAnswer::Ok);
    QVERIFY(!asked);
    QCOMPARE(data.fields.x1, std::string("1+20"));
    guiHost.setTaskRunning(false);
  }
};

QTEST_MAIN(AlterBoundingBoxDlgTest)
#include "AlterBoundingBoxDlgTest.moc"

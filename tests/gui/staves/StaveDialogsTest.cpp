#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "gui/CGuiHost.h"
#include "gui/GuiTestSupport.h"
#include "gui/staves/COptimizeSettings.h"
#include "gui/staves/CSelectInstrumentNos.h"
#include "gui/staves/CSelectStaves.h"
#include "gui/staves/CStaveDialogs.h"
#include "gui/staves/CTemplateFileDialog.h"
#include "gui/staves/CUnoptimizeSettings.h"
#include "support/TempDir.h"

using namespace velmora;
using namespace velmora::gui;

namespace {

// Acts on the dialog once it is open and modal.
void whenOpen(std::function<void(QWidget*)> act) { test::whenModal(std::move(act)); }

void clickOk(QWidget* dialog) { dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click(); }

QCheckBox* box(QWidget* dialog, const char* name) { return dialog->findChild<QCheckBox*>(QString::fromLatin1(name)); }

} // namespace

class StaveDialogsTest : public QObject {
  Q_OBJECT
private slots:
  void optimizeSettingsRoundTrip() {
    COptimizeSettings dialog;
    OptimizeOptions options;
    whenOpen([](QWidget* d) {
      QCOMPARE(d->windowTitle(), QStringLiteral("Optimize Settings"));
      QVERIFY(box(d, "deleteBraces")->isChecked());
      QVERIFY(!box(d, "deleteBrackets")->isChecked());
      QCOMPARE(box(d, "showInstrumentDeleteWindow")->text().remove('&'),
               QStringLiteral("Show instrument number delete window in transcription"));
      box(d, "deleteBrackets")->setChecked(true);
      box(d, "showStaveDeleteWindow")->setChecked(true);
      auto* extension = d->findChild<QLineEdit*>(QStringLiteral("extension"));
      QCOMPARE(extension->text(), QStringLiteral("OPT"));
      extension->clear();
      QTest::keyClicks(extension, QStringLiteral("abcd"));
      clickOk(d);
    });
    QVERIFY(dialog.edit(options));
    QCOMPARE(options.deleteBrackets, 1);
    QCOMPARE(options.showStaveDeleteWindow, 1);
    QCOMPARE(options.deleteBraces, 1);
    QCOMPARE(options.extension, std::string("abc"));

    // Cancel leaves the record as it was.
    COptimizeSettings again;
    whenOpen([](QWidget* d) {
      box(d, "deleteBraces")->setChecked(false);
      static_cast<QDialog*>(d)->reject();
    });
    QVERIFY(!again.edit(options));
    QCOMPARE(options.deleteBraces, 1);
  }

  void unoptimizeSettingsRoundTrip() {
    CUnoptimizeSettings dialog;
    UnoptimizeOptions options;
    whenOpen([](QWidget* d) {
      QCOMPARE(d->windowTitle(), QStringLiteral("Unoptimize Settings"));
      QVERIFY(box(d, "insertBrackets")->isChecked());
      QCOMPARE(box(d, "insertStraightBrackets")->text().remove('&'),
               QStringLiteral("Insert single stave straight brackets (p5 = 10)"));
      box(d, "insertBraces")->setChecked(true);
      box(d, "showStaveInsertWindow")->setChecked(true);
      clickOk(d);
    });
    QVERIFY(dialog.edit(options));
    QCOMPARE(options.insertBraces, 1);
    QCOMPARE(options.insertBrackets, 1);
    QCOMPARE(options.showStaveInsertWindow, 1);
    QCOMPARE(options.extension, std::string("UNO"));
  }

  void instrumentNumbers() {
    CSelectInstrumentNos dialog;
    InstrumentChoice choice;
    whenOpen([](QWidget* d) {
      QCOMPARE(d->windowTitle(), QStringLiteral("Select instrument numbers"));
      QVERIFY(d->findChild<QLabel*>()->text().startsWith(QStringLiteral("Please type in the instrument numbers")));
      QCOMPARE(box(d, "keepListed")->text(), QStringLiteral("Delete all instrument staves except the ones specified"));
      QTest::keyClicks(d->findChild<QLineEdit*>(QStringLiteral("numbers")), QStringLiteral("5 7"));
      box(d, "keepListed")->setChecked(true);
      clickOk(d);
    });
    QVERIFY(dialog.choose(choice));
    QCOMPARE(choice.numbers, std::string("5 7"));
    QVERIFY(choice.keepListed);

    CSelectInstrumentNos cancelled;
    whenOpen([](QWidget* d) { static_cast<QDialog*>(d)->reject(); });
    QVERIFY(!cancelled.choose(choice));
  }

  void selectStaves() {
    StaveSelection selection;
    selection.title = "Select Staves to Delete";
    selection.checked[1] = true;
    selection.checked[249] = true;

    // "OK to All" takes the boxes as they are left.
    CSelectStaves dialog;
    whenOpen([](QWidget* d) {
      QCOMPARE(d->windowTitle(), QStringLiteral("Select Staves to Delete"));
      QCOMPARE(d->findChildren<QCheckBox*>().size(), 250);
      QCOMPARE(box(d, "staff1")->text(), QStringLiteral("Staff 1"));
      QCOMPARE(box(d, "staff250")->text(), QStringLiteral("Staff 250"));
      QVERIFY(!box(d, "staff1")->isChecked());
      QVERIFY(box(d, "staff2")->isChecked());
      QVERIFY(box(d, "staff250")->isChecked());
      box(d, "staff2")->setChecked(false);
      box(d, "staff3")->setChecked(true);
      d->findChild<QPushButton*>(QStringLiteral("okToAll"))->click();
    });
    QCOMPARE(dialog.select(selection), StaveDialogResult::OkToAll);
    QVERIFY(!selection.checked[1]);
    QVERIFY(selection.checked[2]);
    QVERIFY(selection.checked[249]);

    // Escape is Cancel and changes nothing.
    CSelectStaves escaped;
    whenOpen([](QWidget* d) {
      box(d, "staff1")->setChecked(true);
      QTest::keyClick(d, Qt::Key_Escape);
    });
    QCOMPARE(escaped.select(selection), StaveDialogResult::Cancel);
    QVERIFY(!selection.checked[0]);

    CSelectStaves ok;
    whenOpen([](QWidget* d) {
      QCOMPARE(d->findChild<QPushButton*>(QStringLiteral("ok"))->text(), QStringLiteral("OK"));
      d->findChild<QPushButton*>(QStringLiteral("ok"))->click();
    });
    QCOMPARE(ok.select(selection), StaveDialogResult::Ok);
    QVERIFY(selection.checked[2]);
  }

  void templateFileDialog() {
    test::TempDir dir;
    QFile file(QString::fromLatin1(dir.file("full.tpl").c_str()));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    TemplateChoice choice = templateChoiceRequest();
    CTemplateFileDialog dialog;
    const QString path = QString::fromLatin1(dir.file("full.tpl").c_str());
    whenOpen([path](QWidget* d) {
      auto* fileDialog = qobject_cast<QFileDialog*>(d);
      QVERIFY(fileDialog);
      QCOMPARE(fileDialog->windowTitle(), QStringLiteral("Choose Template for Unoptimization"));
      QCOMPARE(fileDialog->nameFilters().size(), 12);
      QCOMPARE(fileDialog->selectedNameFilter(), QStringLiteral("TEMPLATE files (*.tpl)"));
      QCOMPARE(fileDialog->defaultSuffix(), QStringLiteral("tpl"));
      // The dialog leaves its name field alone while that field has the focus.
      if (QWidget* focused = fileDialog->focusWidget()) focused->clearFocus();
      fileDialog->selectFile(path);
      static_cast<QDialog*>(fileDialog)->accept();
    });
    QVERIFY(dialog.choose(choice));
    QCOMPARE(QString::fromLatin1(choice.path.c_str()), path);

    CTemplateFileDialog cancelled;
    whenOpen([](QWidget* d) { static_cast<QDialog*>(d)->reject(); });
    QVERIFY(!cancelled.choose(choice));
  }

  // Typing into a task-time dialog must not raise "Cancel Action".
  void typingIsNotACancel() {
    CGuiHost host(nullptr);
    host.setTaskRunning(true);
    CStaveDialogs dialogs(nullptr, &host);
    bool asked = false;
    // Should the question appear, answer it so that the test ends.
    QTimer guard;
    connect(&guard, &QTimer::timeout, [&asked] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        asked = true;
        box->button(QMessageBox::No)->click();
      }
    });
    guard.start(50);
    InstrumentChoice choice;
    whenOpen([](QWidget* d) {
      QTest::keyClicks(d->findChild<QLineEdit*>(QStringLiteral("numbers")), QStringLiteral("12"));
      QTimer::singleShot(0, [d] { clickOk(d); });
    });
    QVERIFY(dialogs.selectInstrumentNumbers(choice));
    QVERIFY(!asked);
    QCOMPARE(choice.numbers, std::string("12"));
    host.setTaskRunning(false);
  }
};

QTEST_MAIN(StaveDialogsTest)
#include "StaveDialogsTest.moc"

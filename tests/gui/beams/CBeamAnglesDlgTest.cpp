#include "gui/beams/CBeamAnglesDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "base/FileSystem.h"
#include "beams/BeamLibrary.h"
#include "beams/ScriptedBeamDialogs.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

using namespace velmora;
using velmora::gui::CBeamAnglesDlg;

namespace {

using Rows = std::vector<std::string>;

QStringList listRows(const CBeamAnglesDlg& dialog) {
  QStringList rows;
  auto* list = dialog.findChild<QListWidget*>("rows");
  for (int i = 0; list && i < list->count(); ++i)
    rows << list->item(i)->text();
  return rows;
}

// Types into a field and leaves it, as the user would.
void typeAndLeave(CBeamAnglesDlg& dialog, const char* field, const QString& text) {
  auto* edit = dialog.findChild<QLineEdit*>(field);
  QVERIFY(edit);
  edit->selectAll();
  QTest::keyClicks(edit, text);
  QFocusEvent out(QEvent::FocusOut);
  QApplication::sendEvent(edit, &out);
}

QString fieldText(const CBeamAnglesDlg& dialog, const char* field) {
  return dialog.findChild<QLineEdit*>(field)->text();
}

} // namespace

class CBeamAnglesDlgTest : public QObject {
  Q_OBJECT

private:
  std::string library(int index) const { return project.path() + beamLibraryInfo(index).fileName; }
  BeamLibraryRequest requestFor(int index) const {
    BeamLibraryRequest request;
    request.projectFolder = project.path();
    request.libraryIndex = index;
    return request;
  }
  test::TempDir project;

private slots:
  void opensOnTheLibraryWithEveryControl() {
    test::writeBytes(library(kDown16ths), libraryBytes(Rows{"\t<3\t>7\t5\t13.500\t12.000\t", "\t9\t9\t9\t1\t1"}));
    test::FakeHost host;
    test::ScriptedBeamDialogs dialogs;
    BeamLibraryRequest request = requestFor(kDown16ths);
    CBeamAnglesDlg dialog(host, dialogs, request);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Set Beam Angles"));
    QCOMPARE(listRows(dialog), (QStringList{"\t<3\t>7\t5\t13.500\t12.000\t", "\t9\t9\t9\t1\t1"}));
    QCOMPARE(dialog.findChild<QListWidget*>("rows")->currentRow(), 0);
    QCOMPARE(fieldText(dialog, "leftNote"), QStringLiteral("<3"));
    QCOMPARE(fieldText(dialog, "rightEnd"), QStringLiteral("12.000"));
    QCOMPARE(dialog.findChild<QLabel*>("count")->text(), QStringLiteral("2 beam angles in library"));
    auto* direction = dialog.findChild<QComboBox*>("direction");
    QVERIFY(direction);
    QCOMPARE(direction->count(), 8);
    QCOMPARE(direction->itemText(0), QStringLiteral("UP 8THS"));
    QCOMPARE(direction->itemText(7), QStringLiteral("DOWN GRACE"));
    QCOMPARE(direction->currentIndex(), kDown16ths);
    QCOMPARE(dialog.findChild<QPushButton*>("add")->text(), QStringLiteral("&Add"));
    QCOMPARE(dialog.findChild<QPushButton*>("remove")->text(), QStringLiteral("&Remove"));
    auto* clear = dialog.findChild<QPushButton*>("clearLibrary");
    QCOMPARE(clear->text(), QStringLiteral("&d"));
    QVERIFY(clear->isHidden());
    QVERIFY(!dialog.findChild<QCheckBox*>("readOnly")->isChecked());
    QVERIFY(host.messages.empty());

    // Selecting a row shows its fields.
    dialog.findChild<QListWidget*>("rows")->setCurrentRow(1);
    QCOMPARE(fieldText(dialog, "leftNote"), QStringLiteral("9"));
  }

  void editsRowsAndWritesOnOk() {
    test::FakeHost host;
    test::ScriptedBeamDialogs dialogs;
    BeamLibraryRequest request = requestFor(kUpGrace);
    CBeamAnglesDlg dialog(host, dialogs, request);
    // A missing library: its message, then the blank row.
    QCOMPARE(host.messages, (Rows{"Unable to open file " + project.path() + "BUPGRACE.DAT for reading"}));
    QCOMPARE(listRows(dialog), QStringList{"\t\t\t\t\t"});

    typeAndLeave(dialog, "leftNote", "105");
    typeAndLeave(dialog, "rightNote", "<106");
    typeAndLeave(dialog, "leftEnd", "113");
    QCOMPARE(listRows(dialog), QStringList{"\t105\t\t<106\t113\t"});
    // A refused character: the message names the text and the field; the row stays.
    typeAndLeave(dialog, "rightEnd", "12x");
    QCOMPARE(host.messages.back(), std::string("Invalid Parameter Number 12x in Right Beam Endpoint field field!"));
    QCOMPARE(listRows(dialog), QStringList{"\t105\t\t<106\t113\t"});
    // OK stays open while the refused text is there.
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    typeAndLeave(dialog, "rightEnd", "12");

    // "&Add" puts a blank row on top; a row with a lower left goes above the other.
    QTest::mouseClick(dialog.findChild<QPushButton*>("add"), Qt::LeftButton);
    QCOMPARE(listRows(dialog), (QStringList{"\t\t\t\t\t", "\t105\t\t<106\t113\t12"}));
    QCOMPARE(dialog.findChild<QLabel*>("count")->text(), QStringLiteral("2 beam angles in library"));
    typeAndLeave(dialog, "leftNote", "-105");
    QCOMPARE(listRows(dialog), (QStringList{"\t-105\t\t<106\t113\t12", "\t105\t\t<106\t113\t12"}));
    QTest::mouseClick(dialog.findChild<QPushButton*>("remove"), Qt::LeftButton);
    QCOMPARE(listRows(dialog), QStringList{"\t105\t\t<106\t113\t12"});

    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(test::readBytes(library(kUpGrace)), libraryBytes(Rows{"\t105\t\t<106\t113\t12"}));
  }

  void clearsSwitchesAndLocks() {
    test::writeBytes(library(kUp8ths), libraryBytes(Rows{"\t1", "\t2"}));
    test::FakeHost host;
    test::ScriptedBeamDialogs dialogs;
    BeamLibraryRequest request = requestFor(kUp8ths);
    CBeamAnglesDlg dialog(host, dialogs, request);

    // The hidden "&d" asks first.
    dialogs.areYouSureAnswer = false;
    dialog.findChild<QPushButton*>("clearLibrary")->click();
    QCOMPARE(listRows(dialog).size(), 2);
    dialogs.areYouSureAnswer = true;
    dialog.findChild<QPushButton*>("clearLibrary")->click();
    QCOMPARE(dialogs.areYouSureAsked, 2);
    QVERIFY(listRows(dialog).isEmpty());
    QCOMPARE(dialog.findChild<QLabel*>("count")->text(), QStringLiteral("0 beam angles in library"));

    // Changing the direction saves the shown library first.
    dialog.findChild<QComboBox*>("direction")->setCurrentIndex(kDown8ths);
    QVERIFY(test::readBytes(library(kUp8ths)).empty());
    // The empty library shows one row without text; "&Add" puts the blank row above it.
    QCOMPARE(listRows(dialog), QStringList{QString()});
    QCOMPARE(fieldText(dialog, "leftNote"), QString());
    QTest::mouseClick(dialog.findChild<QPushButton*>("add"), Qt::LeftButton);
    QCOMPARE(listRows(dialog), (QStringList{"\t\t\t\t\t", QString()}));

    // "Read Only" sets the file at once and locks the fields and buttons.
    test::writeBytes(library(kDown8ths), {});
    auto* readOnly = dialog.findChild<QCheckBox*>("readOnly");
    QTest::mouseClick(readOnly, Qt::LeftButton);
    QVERIFY(readOnly->isChecked());
    QVERIFY(isReadOnlyFile(library(kDown8ths)));
    QVERIFY(!dialog.findChild<QLineEdit*>("leftNote")->isEnabled());
    QVERIFY(!dialog.findChild<QPushButton*>("add")->isEnabled());
    QVERIFY(!dialog.findChild<QPushButton*>("remove")->isEnabled());
    QTest::mouseClick(readOnly, Qt::LeftButton);
    QVERIFY(!isReadOnlyFile(library(kDown8ths)));
    QVERIFY(dialog.findChild<QLineEdit*>("leftNote")->isEnabled());

    // Cancel writes nothing more.
    typeAndLeave(dialog, "leftNote", "4");
    dialog.reject();
    QVERIFY(test::readBytes(library(kDown8ths)).empty());
  }

  void opensPrefilledFromTheNotFoundFlow() {
    test::writeBytes(library(kDown32nds), libraryBytes(Rows{"\t9\t9\t9\t1\t1"}));
    test::FakeHost host;
    test::ScriptedBeamDialogs dialogs;
    BeamLibraryRequest request = requestFor(kDown32nds);
    request.prefilled = true;
    request.left = "20";
    request.right = "16";
    CBeamAnglesDlg dialog(host, dialogs, request);
    QCOMPARE(listRows(dialog), (QStringList{"\t\t\t\t\t", "\t9\t9\t9\t1\t1"}));
    QCOMPARE(fieldText(dialog, "leftNote"), QStringLiteral("20"));
    QCOMPARE(fieldText(dialog, "midNote"), QString());
    QCOMPARE(fieldText(dialog, "rightNote"), QStringLiteral("16"));
    QCOMPARE(dialog.findChild<QLabel*>("count")->text(), QStringLiteral("1 beam angles in library"));
    typeAndLeave(dialog, "leftEnd", "3");
    QCOMPARE(listRows(dialog), (QStringList{"\t9\t9\t9\t1\t1", "\t20\t\t16\t3\t"}));
  }
};

QTEST_MAIN(CBeamAnglesDlgTest)
#include "CBeamAnglesDlgTest.moc"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>

#include "gui/justify/CJustifySettings.h"
#include "settings/Serialize.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

using namespace velmora;
using velmora::gui::CJustifySettings;

namespace {

// The dialog with its file and widths dialogs scripted.
class ScriptedSettings : public CJustifySettings {
public:
  using CJustifySettings::CJustifySettings;
  QString chosen;
  std::vector<bool> choices;
  JustifyWidthValues widthsShown{};
  bool widthsOk = true;

protected:
  QString chooseJdtFile(bool forSaving) override {
    choices.push_back(forSaving);
    return chosen;
  }
  bool editWidths(JustifyWidthValues& values) override {
    widthsShown = values;
    values[16] = 7.5f;
    return widthsOk;
  }
};

template <class W> W* child(QDialog& d, const char* name) { return d.findChild<W*>(QString::fromLatin1(name)); }

} // namespace

class CJustifySettingsTest : public QObject {
  Q_OBJECT
private slots:
  void fieldsShowTheRecord();
  void okRefusesAMinimumBelowOneHundredth();
  void widthsAreEditedOnACopy();
  void loadAndSaveJdtFiles();
  void editReturnsTheOptionsOnOk();
};

void CJustifySettingsTest::fieldsShowTheRecord() {
  test::FakeHost host;
  CJustifySettings dialog(host);
  QCOMPARE(dialog.windowTitle(), QStringLiteral("Justify Settings"));
  JustifyOptions options;
  options.extension = "jus\xe9";
  options.recognizeStretchedNotes = 1;
  options.minimumSpace = 0.3f;
  options.extraSpaceFirstNote = 1.5f;
  options.barlineType = 8;
  dialog.setOptions(options);
  QCOMPARE(child<QLineEdit>(dialog, "extension")->text(), QString::fromLatin1("jus\xe9"));
  QCOMPARE(child<QLineEdit>(dialog, "minimumSpace")->text(), QStringLiteral("0.3"));
  QCOMPARE(child<QLineEdit>(dialog, "extraSpaceFirstNote")->text(), QStringLiteral("1.5"));
  QCOMPARE(child<QLineEdit>(dialog, "extraSpaceOpeningTie")->text(), QStringLiteral("0"));
  QCOMPARE(child<QSpinBox>(dialog, "barlineType")->value(), 8);
  QVERIFY(child<QCheckBox>(dialog, "recognizeStretchedNotes")->isChecked());
  QVERIFY(!child<QCheckBox>(dialog, "promptBeforeOperation")->isChecked());
  JustifyOptions back;
  QVERIFY(dialog.readOptions(back));
  QVERIFY(back == options);
}

void CJustifySettingsTest::okRefusesAMinimumBelowOneHundredth() {
  test::FakeHost host;
  CJustifySettings dialog(host);
  dialog.setOptions(JustifyOptions{});
  dialog.show();
  child<QLineEdit>(dialog, "minimumSpace")->setText(QStringLiteral("0.005"));
  // Either button of the box keeps the dialog open.
  host.okCancelAnswers = {true, false};
  dialog.accept();
  dialog.accept();
  QVERIFY(dialog.isVisible());
  QCOMPARE(host.questions.size(), size_t(2));
  QCOMPARE(QString::fromStdString(host.questions[0]),
           QStringLiteral("OK/Cancel: Value for minimum justify space must be >= 0.01"));
  child<QLineEdit>(dialog, "minimumSpace")->setText(QStringLiteral("0.01"));
  dialog.accept();
  QVERIFY(!dialog.isVisible());
  QCOMPARE(dialog.result(), int(QDialog::Accepted));
  QCOMPARE(host.questions.size(), size_t(2));
}

void CJustifySettingsTest::widthsAreEditedOnACopy() {
  test::FakeHost host;
  ScriptedSettings dialog(host);
  JustifyOptions options;
  options.noteFlag = 2.2f;
  dialog.setOptions(options);
  dialog.widthsOk = false;
  child<QPushButton>(dialog, "widths")->click();
  QCOMPARE(dialog.widthsShown[16], 2.2f);
  JustifyOptions back;
  dialog.readOptions(back);
  QCOMPARE(back.noteFlag, 2.2f);
  dialog.widthsOk = true;
  child<QPushButton>(dialog, "widths")->click();
  dialog.readOptions(back);
  QCOMPARE(back.noteFlag, 7.5f);
}

void CJustifySettingsTest::loadAndSaveJdtFiles() {
  test::TempDir dir;
  test::FakeHost host;
  ScriptedSettings dialog(host);
  dialog.setOptions(JustifyOptions{});
  // "Save As..." writes what the fields hold, in the "just.dat" layout.
  child<QLineEdit>(dialog, "extension")->setText(QStringLiteral("abc"));
  child<QLineEdit>(dialog, "minimumSpace")->setText(QStringLiteral("0.8"));
  dialog.chosen = QString::fromStdString(dir.file("mine.jdt"));
  child<QPushButton>(dialog, "saveAs")->click();
  JustifyOptions saved;
  saved.extension = "abc";
  saved.minimumSpace = 0.8f;
  QVERIFY(test::readBytes(dir.file("mine.jdt")) == storeRecord(saved));

  // "Load.." replaces every field.
  dialog.setOptions(JustifyOptions{});
  child<QPushButton>(dialog, "load")->click();
  QCOMPARE(dialog.choices, (std::vector<bool>{true, false}));
  JustifyOptions back;
  QVERIFY(dialog.readOptions(back));
  QVERIFY(back == saved);

  // A file that cannot be opened: the message, and the fields stay.
  dialog.chosen = QString::fromStdString(dir.file("none.jdt"));
  child<QLineEdit>(dialog, "minimumSpace")->setText(QStringLiteral("0.9"));
  child<QPushButton>(dialog, "load")->click();
  QCOMPARE(host.messages.size(), size_t(1));
  QCOMPARE(QString::fromStdString(host.messages[0]),
           QString::fromStdString("Unable to open file " + dir.file("none.jdt") + " for reading"));
  QCOMPARE(child<QLineEdit>(dialog, "minimumSpace")->text(), QStringLiteral("0.9"));
  // A cancelled file dialog does nothing.
  dialog.chosen.clear();
  child<QPushButton>(dialog, "saveAs")->click();
  QCOMPARE(dir.listing(), std::string("mine.jdt"));
}

void CJustifySettingsTest::editReturnsTheOptionsOnOk() {
  test::FakeHost host;
  CJustifySettings dialog(host);
  JustifyOptions options;
  QTimer::singleShot(0, &dialog, [&] {
    child<QCheckBox>(dialog, "promptBeforeOperation")->setChecked(true);
    child<QSpinBox>(dialog, "barlineType")->setValue(9);
    dialog.accept();
  });
  QVERIFY(dialog.edit(options));
  QCOMPARE(options.promptBeforeOperation, 1);
  QCOMPARE(options.barlineType, 9);
  QTimer::singleShot(0, &dialog, [&] {
    child<QSpinBox>(dialog, "barlineType")->setValue(3);
    dialog.reject();
  });
  QVERIFY(!dialog.edit(options));
  QCOMPARE(options.barlineType, 9);
}

QTEST_MAIN(CJustifySettingsTest)
#include "CJustifySettingsTest.moc"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "gui/GuiTestSupport.h"
#include "gui/eps/CCropMarkSettingsDlg.h"
#include "gui/eps/CEpsDialogs.h"
#include "settings/Serialize.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

using namespace velmora;
using velmora::gui::CCropMarkSettingsDlg;

class CropMarkSettingsDlgTest : public QObject {
  Q_OBJECT

  QString text(CCropMarkSettingsDlg& d, const char* name) {
    return d.findChild<QLineEdit*>(QString::fromLatin1(name))->text();
  }
  void setText(CCropMarkSettingsDlg& d, const char* name, const char* value) {
    d.findChild<QLineEdit*>(QString::fromLatin1(name))->setText(QString::fromLatin1(value));
  }
  QString box(CCropMarkSettingsDlg& d) {
    return text(d, "boxX1") + ' ' + text(d, "boxY1") + ' ' + text(d, "boxX2") + ' ' + text(d, "boxY2");
  }
  QPushButton* button(CCropMarkSettingsDlg& d, const char* label) {
    for (auto* b : d.findChildren<QPushButton*>())
      if (b->text().remove('&') == QString::fromLatin1(label)) return b;
    return nullptr;
  }

private slots:
  void showsTheOptions() {
    test::FakeHost host;
    CCropMarkSettingsDlg d(host);
    d.setData({CropOptions{}, "/settings/"});
    QCOMPARE(d.windowTitle(), QStringLiteral("Crop Mark Settings"));
    QCOMPARE(box(d), QStringLiteral("0 0 595 841"));
    QCOMPARE(text(d, "markLength"), QStringLiteral("22"));
    QCOMPARE(text(d, "markThickness"), QStringLiteral("0.5"));
    auto* paper = d.findChild<QComboBox*>(QStringLiteral("paperSize"));
    QVERIFY(paper);
    QCOMPARE(paper->count(), 6);
    QCOMPARE(paper->itemText(5), QStringLiteral("Ledger"));
    QVERIFY(button(d, "Load..."));
    QVERIFY(button(d, "Save As..."));
  }

  // Paper, orientation and the offset arrows set the box from the controls.
  void paperOrientationAndOffsets() {
    test::FakeHost host;
    CCropMarkSettingsDlg d(host);
    d.setData({CropOptions{}, "/settings/"});
    setText(d, "markLength", "9");
    auto* paper = d.findChild<QComboBox*>(QStringLiteral("paperSize"));
    paper->setCurrentIndex(3);
    emit paper->activated(3);
    QCOMPARE(box(d), QStringLiteral("0 0 612 792"));
    QCOMPARE(text(d, "markLength"), QStringLiteral("9"));
    QRadioButton* landscape = nullptr;
    for (auto* r : d.findChildren<QRadioButton*>())
      if (r->text().remove('&') == QStringLiteral("Landscape")) landscape = r;
    QVERIFY(landscape);
    QTest::mouseClick(landscape, Qt::LeftButton);
    QCOMPARE(box(d), QStringLiteral("0 0 792 612"));
    QTest::mouseClick(d.findChild<QToolButton*>(QStringLiteral("xOffsetRight")), Qt::LeftButton);
    QTest::mouseClick(d.findChild<QToolButton*>(QStringLiteral("yOffsetDown")), Qt::LeftButton);
    QTest::mouseClick(d.findChild<QToolButton*>(QStringLiteral("yOffsetDown")), Qt::LeftButton);
    QCOMPARE(box(d), QStringLiteral("1 -2 793 610"));
    QVERIFY(host.messages.empty());

    d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    QCOMPARE(d.result(), int(QDialog::Accepted));
    const CropOptions& o = d.data().options;
    QCOMPARE(o.paperSize, 3);
    QCOMPARE(o.landscape, 1);
    QCOMPARE(o.boxY1, -2);
    QCOMPARE(o.markLength, 9);
  }

  // Refused entries keep the dialog open with the framework's message.
  void rangeMessages() {
    test::FakeHost host;
    CCropMarkSettingsDlg d(host);
    d.setData({CropOptions{}, "/settings/"});
    setText(d, "markLength", "100");
    d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    QCOMPARE(d.result(), int(QDialog::Rejected));
    setText(d, "markLength", "10");
    setText(d, "markThickness", "9");
    QTest::mouseClick(d.findChild<QToolButton*>(QStringLiteral("xOffsetLeft")), Qt::LeftButton);
    QCOMPARE(text(d, "boxX1"), QStringLiteral("0"));
    QCOMPARE(host.messages,
             (std::vector<std::string>{"Enter an integer between 0 and 99.", "Enter a number between 0.1 and 5.0."}));
    QCOMPARE(d.data().options.markLength, 22);
  }

  // "Save As..." writes the controls in the crops.dat layout; "Load..." shows a file.
  void loadAndSaveCropFiles() {
    test::TempDir dir;
    test::FakeHost host;
    CCropMarkSettingsDlg d(host);
    d.setData({CropOptions{}, dir.path()});
    QString chosen = QString::fromStdString(dir.file("mine.crp"));
    d.setFileChooser([&chosen](bool) { return chosen; });
    setText(d, "originX", "12");
    button(d, "Save As...")->click();
    CropOptions expected;
    expected.originX = 12;
    QCOMPARE(test::readBytes(dir.file("mine.crp")), storeRecord(expected));

    d.setData({CropOptions{}, dir.path()});
    button(d, "Load...")->click();
    QCOMPARE(text(d, "originX"), QStringLiteral("12"));
    chosen = QString::fromStdString(dir.file("none.crp"));
    button(d, "Load...")->click();
    QCOMPARE(host.messages, (std::vector<std::string>{"Unable to open file " + dir.file("none.crp") + " for reading"}));
    QCOMPARE(text(d, "originX"), QStringLiteral("12"));
  }

  // Without a chooser set, the file dialogs open in the settings folder with "*.CRP" as the name.
  void fileDialogsStartWithTheirName() {
    test::TempDir dir;
    test::FakeHost host;
    CCropMarkSettingsDlg d(host);
    d.setData({CropOptions{}, dir.path()});
    for (const char* label : {"Save As...", "Load..."}) {
      QString name, folder;
      test::whenModal([&](QWidget* w) {
        if (auto* files = qobject_cast<QFileDialog*>(w)) {
          auto* edit = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
          name = edit ? edit->text() : QStringLiteral("(no name field)");
          folder = files->directory().canonicalPath();
        }
        test::dismiss(w);
      });
      button(d, label)->click();
      QCOMPARE(name, QStringLiteral("*.CRP"));
      QCOMPARE(folder, QDir(QString::fromStdString(dir.path())).canonicalPath());
    }
    QVERIFY(QDir(QString::fromStdString(dir.path())).entryList(QDir::Files).isEmpty());
    QVERIFY(host.messages.empty());
  }

  // The dialog interface runs the window modally and returns its values.
  void dialogInterface() {
    test::FakeHost host;
    gui::CEpsDialogs dialogs(host, nullptr);
    test::whenModal([](QWidget* modal) {
      auto* d = qobject_cast<CCropMarkSettingsDlg*>(modal);
      QVERIFY(d);
      d->findChild<QLineEdit*>(QStringLiteral("markLength"))->setText(QStringLiteral("5"));
      d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    CropDialogData data{CropOptions{}, "/settings/"};
    QVERIFY(dialogs.cropMarkSettings(data));
    QCOMPARE(data.options.markLength, 5);
  }
};

QTEST_MAIN(CropMarkSettingsDlgTest)
#include "CropMarkSettingsDlgTest.moc"

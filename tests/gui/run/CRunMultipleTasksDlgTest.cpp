#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "gui/GuiTestSupport.h"
#include "gui/run/CGuiRunDialogs.h"
#include "gui/run/CRunMultipleTasksDlg.h"

using namespace velmora;
using namespace velmora::gui;

namespace {

// Acts on the dialog once it is open and modal.
void whenOpen(std::function<void(QWidget*)> act) { test::whenModal(std::move(act)); }

template <class W> W* child(QWidget* dialog, const char* name) {
  return dialog->findChild<W*>(QString::fromLatin1(name));
}

} // namespace

class CRunMultipleTasksDlgTest : public QObject {
  Q_OBJECT
private slots:
  void showsAndReturnsTheOptions() {
    RunOptions options{1, 1, 0, 1, "\xe9t", 0};
    whenOpen([](QWidget* d) {
      QCOMPARE(d->windowTitle(), QStringLiteral("Run Multiple Tasks"));
      QCOMPARE(d->findChild<QGroupBox*>()->title(), QStringLiteral("Run the following tasks:"));
      auto* stave = child<QCheckBox>(d, "runStaveTask");
      QVERIFY(stave->isChecked() && stave->text().isEmpty());
      QVERIFY(child<QRadioButton>(d, "unoptimize")->isChecked());
      QVERIFY(child<QCheckBox>(d, "runEdit")->isChecked());
      // The extension's bytes show as Latin-1.
      auto* extension = child<QLineEdit>(d, "extension");
      QCOMPARE(extension->text(), QString::fromLatin1("\xe9t"));
      // The pair follows its box.
      stave->setChecked(false);
      QVERIFY(!child<QRadioButton>(d, "optimize")->isEnabled());
      stave->setChecked(true);
      child<QRadioButton>(d, "optimize")->setChecked(true);
      child<QCheckBox>(d, "runBeamAngles")->setChecked(true);
      child<QCheckBox>(d, "runJustify")->setChecked(true);
      child<QCheckBox>(d, "runEdit")->setChecked(false);
      // Three characters at most, kept as typed.
      extension->clear();
      QTest::keyClicks(extension, QStringLiteral("runx"));
      d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    CRunMultipleTasksDlg dialog;
    QVERIFY(dialog.edit(options));
    QCOMPARE(options, (RunOptions{1, 0, 1, 0, "run", 1}));

    // Cancel leaves the record as it was.
    whenOpen([](QWidget* d) {
      child<QCheckBox>(d, "runEdit")->setChecked(true);
      static_cast<QDialog*>(d)->reject();
    });
    CGuiRunDialogs dialogs(nullptr);
    QVERIFY(!dialogs.editRunOptions(options));
    QCOMPARE(options, (RunOptions{1, 0, 1, 0, "run", 1}));
  }
};

QTEST_MAIN(CRunMultipleTasksDlgTest)
#include "CRunMultipleTasksDlgTest.moc"

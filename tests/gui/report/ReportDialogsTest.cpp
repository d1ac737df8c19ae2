#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <sys/stat.h>

#include "gui/GuiTestSupport.h"
#include "gui/report/CCreateReportDlg.h"
#include "gui/report/CReportDialogs.h"
#include "gui/report/CSelectForReportDlg.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

using namespace velmora;
using namespace velmora::gui;

namespace {

// Clicks the named button of the modal dialog once it is up.
void clickWhenShown(const char* button) {
  test::whenModal([button](QWidget* dialog) {
    auto* b = dialog->findChild<QPushButton*>(button);
    QVERIFY(b);
    b->click();
  });
}

QCheckBox* box(QWidget& dialog, const char* name) { return dialog.findChild<QCheckBox*>(name); }

} // namespace

class ReportDialogsTest : public QObject {
  Q_OBJECT

private slots:
  void createReportShowsAndTakesTheFlags() {
    ReportOptions options;
    options.macroSteps = 0;
    options.listSteps = 0;
    CCreateReportDlg dialog(options);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Create Report"));
    QCOMPARE(dialog.findChild<QPushButton*>("ok")->text(), QStringLiteral("OK..."));
    QCOMPARE(box(dialog, "listMacrosPerStep")->text(), QStringLiteral("List macros used by each step"));

    // Sub-boxes follow their main box at start and on each click; their values stay.
    for (const char* sub : {"stepDate", "stepDescription", "stepCodeNumbers", "stepArgument", "stepOperation"})
      QVERIFY(!box(dialog, sub)->isEnabled());
    QVERIFY(box(dialog, "macroDate")->isEnabled());
    box(dialog, "listMacros")->click();
    for (const char* sub : {"macroDate", "macroDescription", "macroSteps"})
      QVERIFY(!box(dialog, sub)->isEnabled());
    QVERIFY(box(dialog, "macroDate")->isChecked());
    box(dialog, "listSteps")->click();
    QVERIFY(box(dialog, "stepOperation")->isEnabled());
    box(dialog, "optionsDate")->click();

    ReportOptions expected = options;
    expected.listMacros = 0;
    expected.listSteps = 1;
    expected.optionsDate = 0;
    ReportOptions taken;
    clickWhenShown("ok");
    QVERIFY(dialog.run(taken));
    QCOMPARE(taken, expected);
    clickWhenShown("cancel");
    QVERIFY(!dialog.run(taken));
  }

  void selectForReportListsSortedNamesAllSelected() {
    test::TempDir folder;
    for (const char* f : {"zeta.mac", "ALPHA.MAC", "Beta.Mac", "step.stp"})
      test::writeBytes(folder.file(f), {});
    ::mkdir(folder.file("DIR.MAC").c_str(), 0755);
    CSelectForReportDlg dialog({"Select for report", "Macros", "*.MAC", folder.path()});
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Select for report"));
    QCOMPARE(dialog.findChild<QLabel*>("label")->text(), QStringLiteral("Macros"));
    auto* list = dialog.findChild<QListWidget*>("names");
    QCOMPARE(list->count(), 3);
    QCOMPARE(dialog.selectedNames(), (std::vector<std::string>{"ALPHA", "BETA", "ZETA"}));

    dialog.findChild<QPushButton*>("unselectAll")->click();
    QVERIFY(dialog.selectedNames().empty());
    dialog.findChild<QPushButton*>("selectAll")->click();
    // A click toggles one entry; OK returns the rest in list order.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    std::vector<std::string> chosen;
    clickWhenShown("ok");
    QVERIFY(dialog.choose(chosen));
    QCOMPARE(chosen, (std::vector<std::string>{"ALPHA", "ZETA"}));
    chosen.clear();
    clickWhenShown("cancel");
    QVERIFY(!CReportDialogs(nullptr).selectForReport({"Select for report", "Steps", "*.STP", folder.path()}, chosen));
    QVERIFY(chosen.empty());
  }
};

QTEST_MAIN(ReportDialogsTest)
#include "ReportDialogsTest.moc"

#include <QClipboard>
#include <QElapsedTimer>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QtTest>
#include <filesystem>

#include "batch/COutputLog.h"
#include "gui/CVelmoraView.h"
#include "gui/FixedFont.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

using namespace velmora;
using gui::CVelmoraView;

namespace {

// Rows so tall that lastViewableRow comes within reach of a test.
class TallRowsView : public CVelmoraView {
public:
  using CVelmoraView::CVelmoraView;
  void getRowMetrics(int& width, int& height) const override {
    CVelmoraView::getRowMetrics(width, height);
    height = 1 << 22;
  }
};

} // namespace

class LogViewTest : public QObject {
  Q_OBJECT

  static void fill(COutputLog& log, int rows) {
    for (int i = 0; i < rows; ++i)
      log.append("row " + std::to_string(i));
  }

private slots:
  void keys() {
    COutputLog log;
    fill(log, 100);
    CVelmoraView view(log);
    view.resize(400, 10 * view.rowHeightPixels() + 2 * view.frameWidth());
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QScrollBar* bar = view.verticalScrollBar();
    const int clientRows = view.viewport()->height() / view.rowHeightPixels();
    QCOMPARE(clientRows, 10);

    // End: the last row is active and shown at the bottom.
    QTest::keyClick(&view, Qt::Key_End);
    QCOMPARE(view.getActiveRow(), 99);
    QCOMPARE(view.firstVisibleRow(), 90);
    // Down stops at the last row, Up moves by one.
    QTest::keyClick(&view, Qt::Key_Down);
    QCOMPARE(view.getActiveRow(), 99);
    QTest::keyClick(&view, Qt::Key_Up);
    QCOMPARE(view.getActiveRow(), 98);
    // Home: row 0 active and scrolled to the top; Up stops there.
    QTest::keyClick(&view, Qt::Key_Home);
    QCOMPARE(view.getActiveRow(), 0);
    QCOMPARE(bar->value(), 0);
    QTest::keyClick(&view, Qt::Key_Up);
    QCOMPARE(view.getActiveRow(), 0);
    // Down past the window scrolls the active row into view at the bottom.
    for (int i = 0; i < 12; ++i)
      QTest::keyClick(&view, Qt::Key_Down);
    QCOMPARE(view.getActiveRow(), 12);
    QCOMPARE(view.firstVisibleRow(), 3);
    // Page keys scroll by a page (the client rows less one) and leave the active row.
    QTest::keyClick(&view, Qt::Key_PageDown);
    QCOMPARE(view.firstVisibleRow(), 3 + clientRows - 1);
    QCOMPARE(view.getActiveRow(), 12);
    QTest::keyClick(&view, Qt::Key_PageUp);
    QCOMPARE(view.firstVisibleRow(), 3);
    // Making a row above the window active scrolls it to the top.
    QTest::keyClick(&view, Qt::Key_PageDown);
    QTest::keyClick(&view, Qt::Key_PageDown);
    QTest::keyClick(&view, Qt::Key_Up);
    QCOMPARE(view.getActiveRow(), 11);
    QCOMPARE(view.firstVisibleRow(), 11);
    // Other keys go to the default handling.
    QTest::keyClick(&view, Qt::Key_A);
    QCOMPARE(view.getActiveRow(), 11);
  }

  void clicksAndFollow() {
    COutputLog log;
    fill(log, 3);
    CVelmoraView view(log);
    view.resize(400, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const int h = view.rowHeightPixels();
    // A click on a row makes it active; below the last row it does nothing.
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(10, 2 * h + h / 2));
    QCOMPARE(view.getActiveRow(), 2);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(10, 8 * h));
    QCOMPARE(view.getActiveRow(), 2);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(10, h / 2));
    QCOMPARE(view.getActiveRow(), 0);
    // Append leaves the active row; append-and-follow makes the new last row
    // active and visible, once the view catches up with the rows.
    log.append("plain");
    QTest::qWait(100);
    QCOMPARE(view.getActiveRow(), 0);
    for (int i = 0; i < 60; ++i)
      log.appendAndFollow("followed " + std::to_string(i));
    QCOMPARE(view.getActiveRow(), 0);
    QTRY_COMPARE(view.getActiveRow(), 63);
    QVERIFY(view.firstVisibleRow() > 0);
    QVERIFY(view.firstVisibleRow() + view.viewport()->height() / h > 63);
    // Clearing resets to the origin.
    log.clear();
    QCOMPARE(view.getActiveRow(), 0);
    QCOMPARE(view.firstVisibleRow(), 0);
    QCOMPARE(view.getRowCount(), 0);
    QTest::keyClick(&view, Qt::Key_End);
    QCOMPARE(view.getActiveRow(), 0);
  }

  void textAndFont() {
    // Tabs go to the next multiple of eight columns.
    QCOMPARE(gui::expandTabs(QStringLiteral("\tStaves:\t\t7")), QStringLiteral("        Staves:         7"));
    QCOMPARE(gui::expandTabs(QStringLiteral("1234567\tx")), QStringLiteral("1234567 x"));
    QCOMPARE(gui::expandTabs(QStringLiteral("12345678\tx")), QStringLiteral("12345678        x"));
    const QFont font = CVelmoraView::logFont();
    QVERIFY(QFontInfo(font).fixedPitch());
    const QFontMetrics metrics(font);
    QCOMPARE(metrics.horizontalAdvance(QStringLiteral("i")), metrics.horizontalAdvance(QStringLiteral("W")));
    // Bytes that are not UTF-8 are shown as Latin-1; a UTF-8 path as itself; the widest row sets the extent.
    COutputLog log;
    CVelmoraView view(log);
    log.append("Reading item count for /scores/\xe9t\xe9.mus");
    QCOMPARE(view.rowText(0), QString::fromUtf8("Reading item count for /scores/été.mus"));
    log.append("\tItems:\t\t52");
    QCOMPARE(view.rowText(1), QStringLiteral("        Items:          52"));
    log.append("Editing with macro A /scores/\xc3\x89tude.mus, step \xc3");
    QCOMPARE(view.rowText(2), QString::fromUtf8("Editing with macro A /scores/Ã\u0089tude.mus, step Ã"));
    log.append("Editing with macro A /scores/\xc3\x89tude.mus");
    QCOMPARE(view.rowText(3), QString::fromUtf8("Editing with macro A /scores/Étude.mus"));
    QVERIFY(view.widestRowPixelCount() >= metrics.horizontalAdvance(view.rowText(0)));
  }

  void millionRows() {
    // A million rows appended to a shown view, followed as a batch would: bounded time,
    // the last row active at the bottom, and the rows around it drawn.
    COutputLog log;
    CVelmoraView view(log);
    view.resize(500, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QElapsedTimer clock;
    clock.start();
    constexpr int kRows = 1'000'000;
    for (int i = 0; i < kRows; ++i) {
      if (i % 1000 == 999)
        log.appendAndFollow("Editing /scores/file" + std::to_string(i) + ".mus");
      else
        log.append("\tItems:\t\t" + std::to_string(i));
    }
    QVERIFY2(clock.elapsed() < 30'000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(view.getRowCount(), kRows);
    QTRY_COMPARE(view.getActiveRow(), kRows - 1);
    const int clientRows = view.viewport()->height() / view.rowHeightPixels();
    QCOMPARE(view.firstVisibleRow(), kRows - clientRows);
    QTest::keyClick(&view, Qt::Key_Home);
    QCOMPARE(view.firstVisibleRow(), 0);
    QTest::keyClick(&view, Qt::Key_End);
    QCOMPARE(view.getActiveRow(), kRows - 1);
    QCOMPARE(view.rowText(kRows - 1), QStringLiteral("Editing /scores/file999999.mus"));
    QVERIFY(!view.grab().isNull());
    log.clear();
    QCOMPARE(view.getRowCount(), 0);
  }

  void storageCapacityRow() {
    COutputLog log;
    TallRowsView view(log);
    view.updateScrollSizes(); // the subclass's metrics, now that it is built
    const int last = view.lastViewableRow();
    QCOMPARE(last, 2147483647 / (1 << 22) - 1);
    fill(log, last + 50);
    // The rows up to lastViewableRow are drawn, the next shows the message, later ones nothing.
    QCOMPARE(view.rowText(last), QString::fromStdString("row " + std::to_string(last)));
    QCOMPARE(view.rowText(last + 1), QStringLiteral("You have exceeded the storage capacity of the scrolling view"));
    // The active row stops two short of it.
    log.appendAndFollow("one more");
    QTRY_COMPARE(view.getActiveRow(), last - 2);
    QTest::keyClick(&view, Qt::Key_Down);
    QCOMPARE(view.getActiveRow(), last - 2);
    // The scroll range reaches the message row and no further.
    view.resize(300, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QCOMPARE(view.verticalScrollBar()->maximum(), last + 1);
  }

  void copySelectAllAndSave() {
    COutputLog log;
    CVelmoraView view(log);
    view.resize(400, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    log.append("Reading item count for /scores/a.mus");
    log.append("\tItems:\t\t52");
    log.append("Caf\xe9 row"); // not UTF-8: the bytes as Latin-1
    QApplication::clipboard()->clear();
    // Ctrl+C copies the active row; Select All makes it every row, tabs kept; a click goes back to one row.
    view.selectRow(1);
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("\tItems:\t\t52"));
    QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
    QVERIFY(view.allSelected());
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(),
             QString::fromLatin1("Reading item count for /scores/a.mus\n\tItems:\t\t52\nCaf\xe9 row"));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(5, view.rowHeightPixels() / 2));
    QVERIFY(!view.allSelected());
    QCOMPARE(view.copyText(), QStringLiteral("Reading item count for /scores/a.mus"));
    // While a task runs, Ctrl+C leaves the clipboard alone and the log cannot be saved.
    view.setTaskRunning(true);
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text().count(QLatin1Char('\n')), 2);
    std::unique_ptr<QMenu> busyMenu(view.createContextMenu());
    QStringList texts;
    for (QAction* a : busyMenu->actions())
      if (!a->isSeparator()) texts << a->text() + (a->isEnabled() ? "" : " (greyed)");
    QCOMPARE(texts, (QStringList{"&Copy", "Select &All", "&Save Log As... (greyed)"}));
    view.setTaskRunning(false);
    // Saved as the rows' own bytes, one LF after each, through a temporary file.
    test::TempDir dir;
    const std::string path = dir.file("log.txt");
    QVERIFY(view.saveLogTo(QString::fromStdString(path)));
    const std::string expected = "Reading item count for /scores/a.mus\n\tItems:\t\t52\nCaf\xe9 row\n";
    QCOMPARE(test::readBytes(path), std::vector<uint8_t>(expected.begin(), expected.end()));
    QCOMPARE(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
  }

  void fixedPitchWhateverFontsAreInstalled() {
    // A proportional face asked for first is passed over for a face that really is fixed.
    const QFont font = gui::fixedPitchFont({QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
    QVERIFY(QFontInfo(font).fixedPitch());
    const QFontMetrics metrics(font);
    QCOMPARE(metrics.horizontalAdvance(QLatin1Char('i')), metrics.horizontalAdvance(QLatin1Char('W')));
    QVERIFY(QFontInfo(gui::fixedPitchFont()).fixedPitch());
  }
};

QTEST_MAIN(LogViewTest)
#include "LogViewTest.moc"

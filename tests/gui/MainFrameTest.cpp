#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QToolBar>
#include <QtTest>
#include <filesystem>
#include <map>
#include <set>

#include "app/CVelmoraDoc.h"
#include "app/CommandTable.h"
#include "gui/CElidedLabel.h"
#include "gui/CFileListDlg.h"
#include "gui/CMainFrame.h"
#include "gui/CVelmoraView.h"
#include "gui/GuiTestSupport.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

using namespace velmora;

namespace {

const std::set<int> kGuarded{32771, 32772, 32774, 32775, 32776, 32785, 32788, 32789, 32790, 32791, 32792, 32793, 32794,
                             32795, 32796, 32797, 32798, 32799, 32801, 32802, 32805, 32811, 32812, 32813, 57665};

// Counts the presses a widget receives.
class PressCounter : public QObject {
public:
  int presses = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonPress) ++presses;
    return false;
  }
};

} // namespace

class MainFrameTest : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempDir> settings_;
  std::unique_ptr<test::TempDir> scores_;
  std::unique_ptr<CVelmoraDoc> doc_;
  std::unique_ptr<CBatchState> batch_;
  std::unique_ptr<test::ScriptedGuiHost> host_;
  std::unique_ptr<gui::CMainFrame> frame_;

  // Two scores of three items each, ready for the item count.
  void prepareScores() {
    for (const char* name : {"a.mus", "b.mus"}) {
      test::writeBytes(scores_->file(name), test::buildScore("8 1 0\n1 1 10 4 10 0 1\n1 1 20 4 10 0 1"));
      host_->files.push_back(scores_->file(name));
    }
  }

  const std::vector<std::string>& rows() const { return batch_->log.rows(); }

private slots:
  void init() {
    settings_ = std::make_unique<test::TempDir>();
    scores_ = std::make_unique<test::TempDir>();
    doc_ = std::make_unique<CVelmoraDoc>();
    test::FakeHost quiet;
    QVERIFY(doc_->create(quiet, settings_->path()));
    QVERIFY(doc_->settings.saveItemCountOptions(quiet)); // the count reads it without a message
    batch_ = std::make_unique<CBatchState>();
    host_ = std::make_unique<test::ScriptedGuiHost>();
    frame_ = std::make_unique<gui::CMainFrame>(*doc_, *batch_, *host_);
    frame_->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame_.get()));
  }

  void cleanup() {
    frame_.reset();
    host_.reset();
    batch_.reset();
    doc_.reset();
    scores_.reset();
    settings_.reset();
  }

  void windowAndMenus() {
    QCOMPARE(frame_->windowTitle(), QStringLiteral("Velmora 3.7"));
    const QList<QAction*> menus = frame_->menuBar()->actions();
    QCOMPARE(menus.size(), 4);
    QCOMPARE(menus[0]->text(), QStringLiteral("&Actions"));
    QCOMPARE(menus[1]->text(), QStringLiteral("&Options"));
    QCOMPARE(menus[2]->text(), QStringLiteral("&View"));
    QCOMPARE(menus[3]->text(), QStringLiteral("&Help"));
    // Every command: text as stored, its key, prompt and tooltip.
    for (const CommandInfo& info : commandTable()) {
      QAction* a = frame_->action(info.id);
      QVERIFY(a);
      QCOMPARE(a->text(), QString::fromLatin1(info.text));
      QCOMPARE(a->shortcut(), QKeySequence(QString::fromLatin1(info.key)));
      const QString prompt = QString::fromLatin1(info.prompt);
      QCOMPARE(a->statusTip(), prompt.section('\n', 0, 0));
    }
    QCOMPARE(frame_->action(cmd::kJustify)->toolTip(), QStringLiteral("Justify"));
    QCOMPARE(frame_->action(cmd::kCropSettings)->text(), QStringLiteral("&Crop Mark Settings...\tCrtl+M"));
    QCOMPARE(frame_->action(cmd::kCropSettings)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_M));
    // The PostScript commands sit in their submenu after the tasks; Exit after a separator.
    QMenu* actions = menus[0]->menu();
    QList<QAction*> items = actions->actions();
    QCOMPARE(items.size(), 12);
    QCOMPARE(items[1], frame_->action(cmd::kPreviewEdit));
    QCOMPARE(items[9]->text(), QStringLiteral("Postscript actions"));
    QVERIFY(items[9]->menu());
    QCOMPARE(items[9]->menu()->actions().size(), 6);
    QVERIFY(items[10]->isSeparator());
    QCOMPARE(items[11], frame_->action(cmd::kExit));
    // The toolbars: 18 and 8 slots, at the top and at the right.
    QCOMPARE(frame_->mainToolBar()->actions().size(), 18);
    QCOMPARE(frame_->postScriptToolBar()->actions().size(), 8);
    QVERIFY(frame_->mainToolBar()->actions()[8]->isSeparator());
    QCOMPARE(frame_->mainToolBar()->actions()[17], frame_->action(cmd::kManual));
    QCOMPARE(frame_->toolBarArea(frame_->mainToolBar()), Qt::TopToolBarArea);
    QCOMPARE(frame_->toolBarArea(frame_->postScriptToolBar()), Qt::RightToolBarArea);
    QCOMPARE(frame_->mainToolBar()->allowedAreas(), Qt::AllToolBarAreas);
    QVERIFY(!frame_->action(cmd::kEdit)->icon().isNull());
    // The status bar panes.
    QCOMPARE(frame_->findChild<QLabel*>("promptPane")->text(), QStringLiteral("Select a button or menu item to begin"));
    QCOMPARE(frame_->projectPane()->fullText(), "Project directory - " + QString::fromStdString(settings_->path()));
    QVERIFY(frame_->progressBar()->isHidden());
  }

  void commandStatesWhileATaskRuns() {
    prepareScores();
    std::map<int, bool> during;
    bool progressShown = false;
    QString progressText;
    host_->atPump = [&](int pump) {
      if (pump != 1) return;
      for (const CommandInfo& info : commandTable())
        during[info.id] = frame_->action(info.id)->isEnabled();
      progressShown = frame_->progressBar()->isVisible();
      progressText = frame_->progressText()->text();
    };
    frame_->action(cmd::kItemCount)->trigger();

    QCOMPARE(during.size(), commandTable().size());
    for (const auto& [id, enabled] : during)
      QVERIFY2(enabled == (kGuarded.count(id) == 0), qPrintable(QString::number(id)));
    QVERIFY(progressShown);
    QCOMPARE(progressText, QStringLiteral("File 1 of 2"));
    // Idle again: all enabled, the bar gone, the count in the log.
    for (const CommandInfo& info : commandTable())
      QVERIFY(frame_->action(info.id)->isEnabled());
    QVERIFY(frame_->progressBar()->isHidden());
    QVERIFY(!batch_->busy);
    QCOMPARE(host_->requests.at(0).title, std::string("Select Files for Counting"));
    QCOMPARE(rows().at(2), std::string("2 file(s) edited. Finished."));
  }

  void toolbarToggleAfterBothClosedByHand() {
    QAction* toggle = frame_->action(cmd::kToolbars);
    QVERIFY(toggle->isChecked());
    frame_->mainToolBar()->hide();
    frame_->postScriptToolBar()->hide();
    toggle->trigger();
    QVERIFY(frame_->mainToolBar()->isVisible());
    QVERIFY(frame_->postScriptToolBar()->isVisible());
    QCOMPARE(frame_->toolbarsVisibleFlag(), 1);
    QVERIFY(toggle->isChecked());
    // Then it toggles both together; one closed by hand hides the other too.
    frame_->postScriptToolBar()->hide();
    toggle->trigger();
    QVERIFY(frame_->mainToolBar()->isHidden());
    QVERIFY(frame_->postScriptToolBar()->isHidden());
    QCOMPARE(frame_->toolbarsVisibleFlag(), 0);
    QVERIFY(!toggle->isChecked());
    toggle->trigger();
    QVERIFY(frame_->mainToolBar()->isVisible());
    // The status bar toggle.
    frame_->action(cmd::kStatusBar)->trigger();
    QVERIFY(frame_->statusBar()->isHidden());
    QVERIFY(!frame_->action(cmd::kStatusBar)->isChecked());
    frame_->action(cmd::kStatusBar)->trigger();
    QVERIFY(frame_->statusBar()->isVisible());
  }

  void editSettingsOpensItsDialog() {
    test::FakeHost quiet;
    QVERIFY(doc_->settings.save(SettingsFile::Edit, quiet)); // no "unable to open" box first
    test::DialogScript script;
    script.on(QStringLiteral("Edit Settings"), test::escape());
    frame_->action(cmd::kEditSettings)->trigger();
    QVERIFY2(script.finished(), qPrintable(script.unexpected.join(", ")));
    QCOMPARE(script.seen, QStringList{"Edit Settings"});
  }

  void rightClickDuringATaskThenNo() {
    prepareScores();
    PressCounter counter;
    frame_->view()->viewport()->installEventFilter(&counter);
    host_->atPump = [&](int pump) {
      if (pump != 1) return;
      QCoreApplication::postEvent(frame_->view()->viewport(),
                                  new QMouseEvent(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5),
                                                  Qt::RightButton, Qt::RightButton, Qt::NoModifier));
    };
    QStringList boxes;
    auto script = test::answerBoxes(QMessageBox::No, boxes);
    frame_->action(cmd::kItemCount)->trigger();
    QCOMPARE(boxes, QStringList{"Cancel Action: Do you wish to cancel the current operation?"});
    QCOMPARE(counter.presses, 1); // the click was delivered
    QCOMPARE(rows().at(2), std::string("2 file(s) edited. Finished."));
  }

  void rightClickDuringATaskThenYes() {
    prepareScores();
    PressCounter counter;
    frame_->view()->viewport()->installEventFilter(&counter);
    host_->atPump = [&](int pump) {
      if (pump != 1) return;
      QCoreApplication::postEvent(frame_->view()->viewport(),
                                  new QMouseEvent(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5),
                                                  Qt::RightButton, Qt::RightButton, Qt::NoModifier));
    };
    QStringList boxes;
    auto script = test::answerBoxes(QMessageBox::Yes, boxes);
    frame_->action(cmd::kItemCount)->trigger();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(counter.presses, 0); // the confirming click is not delivered
    QCOMPARE(rows(),
             (std::vector<std::string>{"Reading item count for " + scores_->file("a.mus"), "Operation cancelled."}));
    QVERIFY(!batch_->busy);
    QVERIFY(!host_->taskRunning());
  }

  void typedKeyDuringATaskAndInputOutsideTasks() {
    // A typed key asks too; a function key does not (both reach the first pump, which takes input at once).
    prepareScores();
    host_->atPump = [&](int pump) {
      if (pump != 1) return;
      QCoreApplication::postEvent(frame_->view(), new QKeyEvent(QEvent::KeyPress, Qt::Key_F5, Qt::NoModifier));
      QCoreApplication::postEvent(frame_->view(),
                                  new QKeyEvent(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x")));
    };
    QStringList boxes;
    auto script = test::answerBoxes(QMessageBox::Yes, boxes);
    frame_->action(cmd::kItemCount)->trigger();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(rows().back(), std::string("Operation cancelled."));
    // Without a task the same input is plain input.
    QCoreApplication::postEvent(frame_->view()->viewport(),
                                new QMouseEvent(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::RightButton,
                                                Qt::RightButton, Qt::NoModifier));
    QCoreApplication::processEvents();
    QCOMPARE(boxes.size(), 1);
  }

  void closingDuringATask() {
    // "No" keeps both the task and the window.
    prepareScores();
    host_->atPump = [&](int pump) {
      if (pump == 1) QMetaObject::invokeMethod(frame_.get(), "close", Qt::QueuedConnection);
    };
    QStringList boxes;
    {
      auto script = test::answerBoxes(QMessageBox::No, boxes);
      frame_->action(cmd::kItemCount)->trigger();
    }
    QCOMPARE(boxes, QStringList{"Cancel Action: Do you wish to cancel the current operation?"});
    QCOMPARE(rows().at(2), std::string("2 file(s) edited. Finished."));
    QVERIFY(frame_->isVisible());
    // "Yes" cancels at the next pump, then the window closes.
    host_->files = {scores_->file("a.mus"), scores_->file("b.mus")};
    host_->pumps = 0;
    {
      auto script = test::answerBoxes(QMessageBox::Yes, boxes);
      frame_->action(cmd::kItemCount)->trigger();
    }
    QCOMPARE(boxes.size(), 2);
    QCOMPARE(rows().back(), std::string("Operation cancelled."));
    QVERIFY(!frame_->isVisible());
  }

  void nonAsciiNameThroughTheFileListAndTheCount() {
    // A UTF-8 file name typed into the classic file list opens, and the log shows it as typed.
    const std::string name = "\xc3\x89tude.mus";
    test::writeBytes(scores_->file(name), test::buildScore("8 1 0\n1 1 10 4 10 0 1"));
    host_->realFileList = true;
    QStringList boxes;
    test::ModalScript script([&](QWidget* modal) {
      if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        boxes << box->text();
        test::dismiss(box);
        return true;
      }
      auto* dialog = qobject_cast<gui::CFileListDlg*>(modal);
      if (!dialog) return false;
      dialog->browser()->setDirectory(QString::fromStdString(scores_->path()));
      dialog->browser()->setNameText(QString::fromUtf8("\xc3\x89tude.mus"));
      dialog->findChild<QPushButton*>("addFiles")->click();
      test::later(dialog, [dialog] { dialog->accept(); });
      return true;
    });
    frame_->action(cmd::kItemCount)->trigger();
    QCOMPARE(boxes, QStringList());
    const std::string path = QDir::cleanPath(QString::fromStdString(scores_->file(name))).toStdString();
    QCOMPARE(rows().front(), "Reading item count for " + path);
    QCOMPARE(rows().at(1), std::string("1 file(s) edited. Finished."));
    QCOMPARE(rows().at(7), std::string("\tItems:\t\t2"));
    QCOMPARE(frame_->view()->rowText(0), "Reading item count for " + QString::fromStdString(path));
    QVERIFY(frame_->view()->rowText(0).endsWith(QString::fromUtf8("/\xc3\x89tude.mus")));
  }

  void helpCommands() {
    // Missing files: nothing at all.
    QStringList boxes;
    auto script = test::answerBoxes(QMessageBox::Ok, boxes);
    frame_->action(cmd::kManual)->trigger();
    frame_->action(cmd::kChangelog)->trigger();
    QVERIFY(boxes.isEmpty());
    // About: the version, copyright and licence lines.
    bool sawAbout = false;
    test::ModalScript about([&](QWidget* modal) {
      if (modal->windowTitle() != QStringLiteral("About Velmora")) return false;
      auto* line = modal->findChild<QLabel*>("aboutLine");
      auto* copyright = modal->findChild<QLabel*>("copyrightLine");
      auto* licence = modal->findChild<QLabel*>("licenseLine");
      sawAbout = line && line->text() == QStringLiteral("Velmora Version 3.8 for Linux") && copyright &&
                 copyright->text() == QStringLiteral("Copyright (C) 2026 Corvane Software") && licence &&
                 licence->text().startsWith(QStringLiteral("License GPLv3+: GNU GPL version 3 or later"));
      QTimer::singleShot(0, modal, [modal] { static_cast<QDialog*>(modal)->accept(); });
      return true;
    });
    frame_->action(cmd::kAbout)->trigger();
    QVERIFY(sawAbout);
  }

  void rememberedLayoutAndFolders() {
    // Size, position, toolbar places and each file-list form's folder come back in a new window.
    frame_->setGeometry(40, 30, 700, 500);
    frame_->addToolBar(Qt::LeftToolBarArea, frame_->postScriptToolBar());
    gui::setRememberedFileListFolder(false, QString::fromStdString(scores_->path()));
    gui::setRememberedFileListFolder(true, QStringLiteral("/nowhere/explorer"));
    const QSize size = frame_->size();
    frame_->close();
    const std::string path = settings_->file("window-state.txt");
    QVERIFY(std::filesystem::exists(path));
    gui::setRememberedFileListFolder(false, QString());
    gui::setRememberedFileListFolder(true, QString());
    gui::CMainFrame again(*doc_, *batch_, *host_);
    again.show();
    QVERIFY(QTest::qWaitForWindowExposed(&again));
    QCOMPARE(again.size(), size);
    QCOMPARE(again.toolBarArea(again.postScriptToolBar()), Qt::LeftToolBarArea);
    QCOMPARE(again.toolBarArea(again.mainToolBar()), Qt::TopToolBarArea);
    QCOMPARE(gui::rememberedFileListFolder(false), QString::fromStdString(scores_->path()));
    QCOMPARE(gui::rememberedFileListFolder(true), QStringLiteral("/nowhere/explorer"));
    // The settings records are untouched by it; a damaged file leaves the defaults.
    test::writeBytes(path, {'g', 'e', 'o', 'm', 'e', 't', 'r', 'y', '=', '!', '\n'});
    gui::CMainFrame third(*doc_, *batch_, *host_);
    QCOMPARE(third.size(), QSize(960, 640));
  }

  void longProjectPathIsElidedInTheMiddle() {
    auto* pane = frame_->projectPane();
    const QString full = QStringLiteral("Project directory - /home/user/a/rather/long/path/to/the/project/SCORES/");
    pane->setFullText(full);
    pane->resize(QFontMetrics(pane->font()).horizontalAdvance(full) / 2, pane->height());
    const QString shown = pane->shownText();
    QVERIFY(shown.contains(QChar(0x2026)));
    QVERIFY(full.startsWith(shown.section(QChar(0x2026), 0, 0)));
    QVERIFY(full.endsWith(shown.section(QChar(0x2026), 1)));
    QCOMPARE(pane->toolTip(), full);
    pane->resize(QFontMetrics(pane->font()).horizontalAdvance(full) + 20, pane->height());
    QCOMPARE(pane->shownText(), full);
  }

  void progressTextFitsOneLine() {
    // Thousands of files: the count sits in a label of its own, on one line, beside the bar.
    frame_->batchStarted();
    frame_->fileStarted(1, 10000);
    QTest::qWait(60); // the bar repaints at most every 50 ms
    frame_->fileStarted(9999, 10000);
    QLabel* text = frame_->progressText();
    QVERIFY(text->isVisible());
    QCOMPARE(text->text(), QStringLiteral("File 9999 of 10000"));
    QVERIFY(!text->wordWrap());
    QTRY_VERIFY(text->width() >= text->sizeHint().width());
    QVERIFY(text->height() >= QFontMetrics(text->font()).height());
    frame_->batchIdle();
    QVERIFY(!text->isVisible());
  }
};

QTEST_MAIN(MainFrameTest)
#include "MainFrameTest.moc"

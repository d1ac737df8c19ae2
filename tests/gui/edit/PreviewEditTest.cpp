#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>
#include <cstdlib>
#include <filesystem>

#include "app/CVelmoraDoc.h"
#include "app/CommandTable.h"
#include "gui/CMainFrame.h"
#include "gui/GuiTestSupport.h"
#include "gui/edit/CCreateStepDlg.h"
#include "gui/edit/CPreviewEditDlg.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

using namespace velmora;
using namespace velmora::gui;
namespace fs = std::filesystem;

// "Preview Edit..." on the sample project, from the main window.
class PreviewEditTest : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempDir> dir_;
  std::string project_;

  std::map<std::string, std::vector<uint8_t>> outputs() const {
    std::map<std::string, std::vector<uint8_t>> found;
    for (const auto& entry : fs::directory_iterator(project_))
      if (entry.path().extension() == ".EDI") found[entry.path().filename().string()] = test::readBytes(entry.path());
    return found;
  }

private slots:
  void init() {
    dir_ = std::make_unique<test::TempDir>();
    const std::string settings = dir_->path() + "samples/";
    const std::string command = std::string("'") + VELMORA_MKSAMPLE + "' '" + settings + "' >/dev/null";
    QCOMPARE(std::system(command.c_str()), 0);
    project_ = settings + "SAMPLES/";
  }

  void rowsThenRunEditAsEditWould() {
    CVelmoraDoc doc;
    test::FakeHost quiet;
    QVERIFY(doc.create(quiet, dir_->path() + "samples/"));
    doc.settings.edit().promptBeforeOperation = 0;
    CBatchState batch;
    test::ScriptedGuiHost host;
    host.files = {project_ + "chorale.mus", project_ + "minuet.mus"};
    CMainFrame frame(doc, batch, host);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));

    QStringList rows;
    int itemRows = -1;
    bool nothingWritten = false;
    test::DialogScript script;
    script.on("Select a Macro", test::click("OK")).on("Preview Edit - DEMO", [&](QWidget* w) {
      auto* preview = qobject_cast<CPreviewEditDlg*>(w);
      QVERIFY(preview);
      nothingWritten = outputs().empty();
      QTreeWidget* tree = preview->fileTree();
      for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* file = tree->topLevelItem(i);
        QStringList cells;
        for (int c = 0; c < 5; ++c)
          cells << file->text(c).replace(QString::fromStdString(project_), QString());
        for (int s = 0; s < file->childCount(); ++s) {
          cells << "|";
          for (int c = 0; c < 5; ++c)
            cells << file->child(s)->text(c);
        }
        rows << cells.join(' ');
      }
      tree->setCurrentItem(tree->topLevelItem(0));
      itemRows = preview->itemTable()->rowCount();
      test::click("Run Edit")(w);
    });
    QCOMPARE(frame.action(cmd::kPreviewEdit)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F2));
    frame.action(cmd::kPreviewEdit)->trigger();
    QVERIFY2(script.finished(), qPrintable(script.seen.join(", ") + " / " + script.unexpected.join(", ")));
    QVERIFY(nothingWritten);
    // The tempo text both steps change counts once in the file's row.
    QCOMPARE(rows, (QStringList{"chorale.mus 2 1 0 0 | step TEXTLEFT 1 1 0 0 | step ALLEGRO 1 1 0 0",
                                "minuet.mus 1 1 0 0 | step TEXTLEFT 1 1 0 0 | step ALLEGRO 0 0 0 0"}));
    QCOMPARE(itemRows, 1);

    // "Run Edit" wrote what Edit writes, with Edit's log.
    const auto fromPreview = outputs();
    const auto previewLog = batch.log.rows();
    QCOMPARE(fromPreview.size(), size_t{2});
    for (const auto& [name, bytes] : fromPreview)
      fs::remove(project_ + name);
    test::DialogScript again;
    again.on("Select a Macro", test::click("OK"));
    frame.action(cmd::kEdit)->trigger();
    QVERIFY(again.finished());
    QVERIFY(outputs() == fromPreview);
    QVERIFY(batch.log.rows() == previewLog);
  }

  void testAStepWritesNothing() {
    // The step editor's "Test...": after the checks, one file, the counts and items; no file, not even the step.
    const std::string settings = dir_->path() + "samples/";
    const std::string chorale = project_ + "chorale.mus";
    const auto before = test::readBytes(chorale);
    test::ScriptedGuiHost host;
    CCreateStepDlg editor({project_, settings, "TRYME", true}, host);
    editor.setStep({"", "1", "P7 == 1", "5 = 10", 0});
    QString summary;
    int rows = -1;
    test::DialogScript script;
    script
        .on("Select SCORE File to Test the Step on",
            [&](QWidget* w) {
              auto* files = qobject_cast<QFileDialog*>(w);
              files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QString::fromStdString(chorale));
              static_cast<QDialog*>(files)->done(QDialog::Accepted);
            })
        .on("Test Step", [&](QWidget* w) {
          summary = w->findChild<QLabel*>(QStringLiteral("summary"))->text();
          rows = w->findChild<QTableWidget*>(QStringLiteral("items"))->rowCount();
          test::click("Close")(w);
        });
    editor.show();
    editor.findChild<QPushButton*>(QStringLiteral("test"))->click();
    editor.reject();
    QVERIFY2(script.finished(), qPrintable(script.seen.join(", ") + " / " + script.unexpected.join(", ")));
    QCOMPARE(summary, QString::fromStdString("In chorale.mus"
                                             " the step matches 42 item(s): 23 changed, 0 deleted, 0 inserted. "
                                             "Nothing has been written."));
    QCOMPARE(rows, 23);
    QVERIFY(!fs::exists(project_ + "TRYME.STP"));
    QVERIFY(outputs().empty());
    QVERIFY(test::readBytes(chorale) == before);
  }
};

QTEST_MAIN(PreviewEditTest)
#include "PreviewEditTest.moc"

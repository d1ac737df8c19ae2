#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>
#include <filesystem>

#include "app/CCommandHandlers.h"
#include "app/CVelmoraDoc.h"
#include "app/CommandTable.h"
#include "edit/EditFixtures.h"
#include "gui/CMainFrame.h"
#include "gui/GuiTestSupport.h"
#include "gui/edit/CEditDialogs.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

using namespace velmora;
using namespace velmora::gui;
using Rows = std::vector<std::string>;

namespace {

template <class W> W* child(QWidget* window, const char* name) { return window->findChild<W*>(QLatin1String(name)); }

// A step that records the prompt's item and parameter lines, then clicks `button`.
test::DialogScript::Act answer(const QString& button, QStringList* shown = nullptr) {
  return [button, shown](QWidget* prompt) {
    if (shown)
      *shown << child<QLabel>(prompt, "item")->text() + QStringLiteral(" | ") +
                    child<QLabel>(prompt, "parameters")->text();
    test::click(button)(prompt);
  };
}

} // namespace

// The edit run driven through its windows, from the command handler and from the main window.
class EditRunGuiTest : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempDir> settings_;
  std::unique_ptr<test::TempDir> scores_;
  std::unique_ptr<CVelmoraDoc> doc_;
  std::unique_ptr<CBatchState> batch_;
  std::unique_ptr<test::ScriptedGuiHost> host_;
  std::string project_;

  Rows items(const std::string& name) {
    Rows rows;
    for (const auto& item : test::fileItems(test::readBytes(scores_->file(name)))) {
      std::string row;
      for (float p : item)
        row += (row.empty() ? "" : " ") + std::to_string(static_cast<int>(p));
      rows.push_back(row);
    }
    return rows;
  }

  void setPrompt(bool on) {
    test::FakeHost quiet;
    doc_->settings.edit().promptBeforeOperation = on ? 1 : 0;
    QVERIFY(doc_->settings.save(SettingsFile::Edit, quiet));
  }

private slots:
  void init() {
    settings_ = std::make_unique<test::TempDir>();
    scores_ = std::make_unique<test::TempDir>();
    doc_ = std::make_unique<CVelmoraDoc>();
    test::FakeHost quiet;
    QVERIFY(doc_->create(quiet, settings_->path()));
    setPrompt(true);
    project_ = doc_->settings.projectFolder();
    test::writeStep(project_, "STEMS", {"Stems down", "1", "P4 >= 4", "5 = 9", 0});
    test::writeStep(project_, "SIZE", {"Smaller notes", "1", "", "6 = 9", 0});
    test::writeMacro(project_, "DEMO", {"STEMS"}, "Stems");
    test::writeBytes(scores_->file("a.mus"), test::buildScore("1 1 10 4\n1 1 20 4"));
    test::writeBytes(scores_->file("b.mus"), test::buildScore("1 1 10 4"));
    batch_ = std::make_unique<CBatchState>();
    host_ = std::make_unique<test::ScriptedGuiHost>();
    host_->files = {scores_->file("a.mus"), scores_->file("b.mus")};
  }

  void cleanup() {
    host_.reset();
    batch_.reset();
    doc_.reset();
    scores_.reset();
    settings_.reset();
  }

  void yesToAllCoversTheLaterFiles() {
    CCommandHandlers commands(*doc_, *batch_, *host_);
    CEditDialogs dialogs(*host_, nullptr, host_.get());
    QStringList shown;
    test::DialogScript script;
    script.on("Select a Macro", test::click("OK")).on("Prompt before Operation", answer("Yes To All", &shown));
    QCOMPARE(commands.onEdit(dialogs), BatchOutcome::Finished);
    QVERIFY2(script.finished(), qPrintable(script.seen.join(", ") + " / " + script.unexpected.join(", ")));
    const QString a = QString::fromStdString(scores_->file("a.mus"));
    QCOMPARE(shown, QStringList{"Conditions are TRUE for the following item in file " + a +
                                " | 1.0000 1.0000 10.0000 4.0000 "});
    QCOMPARE(items("a.EDI"), (Rows{"1 1 10 4 9", "1 1 20 4 9"}));
    QCOMPARE(items("b.EDI"), Rows{"1 1 10 4 9"});
    QCOMPARE(batch_->log.rows().back(), std::string("2 file(s) edited. Finished."));
    QCOMPARE(doc_->settings.edit().promptBeforeOperation, 0);
  }

  void noOpenAndCancel() {
    CCommandHandlers commands(*doc_, *batch_, *host_);
    CEditDialogs dialogs(*host_, nullptr, host_.get());
    // "No" leaves the first note, "Open Score file" keeps the prompt up, "Yes" changes
    // the second; "Cancel" in the next file stops the batch with that file unwritten.
    bool stayedUp = false;
    test::DialogScript script;
    script.on("Select a Macro", test::click("OK"))
        .on("Prompt before Operation", answer("No"))
        .on("Prompt before Operation",
            [&](QWidget* prompt) {
              test::click("Open Score file")(prompt);
              stayedUp = prompt->isVisible();
              test::click("Yes")(prompt);
            })
        .on("Prompt before Operation", answer("Cancel"));
    QCOMPARE(commands.onEdit(dialogs), BatchOutcome::Stopped);
    QVERIFY2(script.finished(), qPrintable(script.seen.join(", ") + " / " + script.unexpected.join(", ")));
    QVERIFY(stayedUp);
    QCOMPARE(host_->opened, Rows{scores_->file("a.mus")});
    QCOMPARE(items("a.EDI"), (Rows{"1 1 10 4", "1 1 20 4 9"}));
    QVERIFY(!std::filesystem::exists(scores_->file("b.EDI")));
    QCOMPARE(batch_->log.rows().back(), std::string("Operation cancelled."));
    QVERIFY(!batch_->busy);
  }

  void aNewMacroBuiltAndRunFromTheMainWindow() {
    // F2 with no macro yet: "New Macro...", two steps into it, OK, then run it.
    setPrompt(false);
    std::filesystem::remove(project_ + "DEMO.MAC");
    CMainFrame frame(*doc_, *batch_, *host_);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    test::DialogScript script;
    script.on("Select a Macro", test::click("New Macro..."))
        .on("Enter Name for New Macro",
            [](QWidget* d) {
              QTest::keyClicks(child<QLineEdit>(d, "name"), QStringLiteral("mine"));
              QTest::keyClick(d, Qt::Key_Return);
            })
        .on("Create Macro",
            [](QWidget* d) {
              auto* steps = child<QListWidget>(d, "steps");
              steps->item(0)->setSelected(true);
              steps->item(1)->setSelected(true);
              child<QPushButton>(d, "add")->click();
              QTest::keyClick(steps, Qt::Key_Return);
            })
        .on("Select a Macro", [](QWidget* d) {
          auto* macros = child<QListWidget>(d, "macros");
          QCOMPARE(macros->currentItem()->text(), QStringLiteral("MINE"));
          test::click("OK")(d);
        });
    frame.action(cmd::kEdit)->trigger();
    QVERIFY2(script.finished(), qPrintable(script.seen.join(", ") + " / " + script.unexpected.join(", ")));
    QCOMPARE(decodedSteps(project_ + "MINE.MAC"), (Rows{"SIZE", "STEMS"}));
    QCOMPARE(items("a.EDI"), (Rows{"1 1 10 4 9 9", "1 1 20 4 9 9"}));
    QCOMPARE(batch_->log.rows(), (Rows{"Editing with macro MINE " + scores_->file("a.mus") + ", step STEMS",
                                       "Editing with macro MINE " + scores_->file("b.mus") + ", step STEMS",
                                       "2 file(s) edited. Finished."}));
    QCOMPARE(host_->requests.at(0).title, std::string("Create Filelist for Conditional Macro Editing (Output = EDI)"));
  }

  void runMultipleTasksWithEdit() {
    // Shift+F2 with only "Edit" ticked: the macro choice and the run go through the same windows.
    setPrompt(false);
    test::FakeHost quiet;
    QVERIFY(doc_->settings.save(SettingsFile::Run, quiet)); // no "unable to open" box first
    CMainFrame frame(*doc_, *batch_, *host_);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    test::DialogScript script;
    script
        .on("Run Multiple Tasks",
            [](QWidget* d) {
              for (const char* box : {"runStaveTask", "runBeamAngles", "runJustify"})
                child<QCheckBox>(d, box)->setChecked(false);
              child<QCheckBox>(d, "runEdit")->setChecked(true);
              test::click("OK")(d);
            })
        .on("Select a Macro", test::click("OK"));
    QCOMPARE(frame.action(cmd::kRunMultiple)->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F2));
    frame.action(cmd::kRunMultiple)->trigger();
    QVERIFY2(script.finished(), qPrintable(script.seen.join(", ") + " / " + script.unexpected.join(", ")));
    QCOMPARE(items("a.RUN"), (Rows{"1 1 10 4 9", "1 1 20 4 9"}));
    QCOMPARE(items("b.RUN"), Rows{"1 1 10 4 9"});
    QCOMPARE(doc_->lastMacro, std::string("DEMO"));
    QVERIFY(!batch_->busy);
  }

private:
  static Rows decodedSteps(const std::string& path) {
    MacroData macro;
    std::string why;
    if (!decodeMacro(test::readBytes(path), macro, why)) return {why};
    return macro.steps;
  }
};

QTEST_MAIN(EditRunGuiTest)
#include "EditRunGuiTest.moc"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <filesystem>

#include "edit/EditFixtures.h"
#include "gui/GuiTestSupport.h"
#include "gui/edit/CEditDialogs.h"
#include "gui/edit/CNewMacroDlg.h"
#include "gui/edit/CSelectMacroDlg.h"
#include "gui/edit/EditNames.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

using namespace velmora;
using namespace velmora::gui;

namespace {

template <class W> W* child(QWidget* window, const char* name) { return window->findChild<W*>(QLatin1String(name)); }

QStringList rows(const QListWidget* list) {
  QStringList names;
  for (int row = 0; row < list->count(); ++row)
    names << list->item(row)->text();
  return names;
}

QStringList selected(const QListWidget* list) {
  QStringList names;
  for (int row = 0; row < list->count(); ++row)
    if (list->item(row)->isSelected()) names << list->item(row)->text();
  return names;
}

std::vector<std::string> stepsOf(const std::string& path) {
  MacroData macro;
  std::string why;
  if (!decodeMacro(test::readBytes(path), macro, why)) return {"undecodable: " + why};
  return macro.steps;
}

// A step that types `text` into the name field and presses OK.
test::DialogScript::Act typeName(const QString& text) {
  return [text](QWidget* dialog) {
    child<QLineEdit>(dialog, "name")->setText(text);
    test::buttonNamed(dialog, QStringLiteral("OK"))->click();
  };
}

} // namespace

class SelectMacroDlgTest : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempDir> dir_;
  std::string project_;
  test::FakeHost host_;

  SelectMacroRequest request(const std::string& preselected = "A") {
    CEditFiles files(project_, host_);
    return {project_, project_, files.list(EditFileKind::Macro), preselected, false, false};
  }

  // Which of the selection buttons are enabled: Edit, Duplicate, Rename, Delete, OK.
  static QString enabled(QWidget& dialog) {
    QString flags;
    for (const char* name : {"editMacro", "duplicate", "renameMacro", "deleteMacro"})
      flags += child<QPushButton>(&dialog, name)->isEnabled() ? '1' : '0';
    flags += test::buttonNamed(&dialog, QStringLiteral("OK"))->isEnabled() ? '1' : '0';
    return flags;
  }

private slots:
  void init() {
    dir_ = std::make_unique<test::TempDir>();
    project_ = dir_->path();
    host_ = test::FakeHost();
    test::writeStep(project_, "STEMS", {"Stems up", "1", "", "5 = 10", 0});
    test::writeMacro(project_, "A", {"STEMS"}, "First line\r\nsecond line");
    test::writeMacro(project_, "B", {}, "Bee");
    test::writeMacro(project_, "C", {"STEMS", "STEMS"}, "");
  }

  void enablingRulesAndDescription() {
    CSelectMacroDlg dialog(request("B"), host_);
    dialog.show();
    auto* macros = child<QListWidget>(&dialog, "macros");
    auto* description = child<QPlainTextEdit>(&dialog, "description");
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Select a Macro"));
    QCOMPARE(rows(macros), (QStringList{"A", "B", "C"}));
    // One selected: all on, its description shown (CR LF as line breaks).
    QCOMPARE(selected(macros), QStringList{"B"});
    QCOMPARE(enabled(dialog), QStringLiteral("11111"));
    QCOMPARE(description->toPlainText(), QStringLiteral("Bee"));
    macros->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
    QCOMPARE(description->toPlainText(), QStringLiteral("First line\nsecond line"));
    // Several: only Delete, no description.
    macros->item(2)->setSelected(true);
    QCOMPARE(enabled(dialog), QStringLiteral("00010"));
    QVERIFY(description->toPlainText().isEmpty());
    // None: all off.
    macros->clearSelection();
    QCOMPARE(enabled(dialog), QStringLiteral("00000"));
    QVERIFY(description->toPlainText().isEmpty());
    QVERIFY(host_.messages.empty());
  }

  void preselectionAndFocus() {
    // An unknown last macro falls back to the first.
    {
      CSelectMacroDlg dialog(request("NOPE"), host_);
      QCOMPARE(selected(child<QListWidget>(&dialog, "macros")), QStringList{"A"});
    }
    // An empty folder: nothing to choose, the focus on "New Macro...".
    test::TempDir empty;
    CSelectMacroDlg dialog({empty.path(), empty.path(), {}, "", false, false}, host_);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(enabled(dialog), QStringLiteral("00000"));
    QCOMPARE(QApplication::focusWidget(), child<QPushButton>(&dialog, "newMacro"));
    QCOMPARE(child<QPushButton>(&dialog, "newMacro")->text(), QStringLiteral("&New Macro..."));
  }

  void okAndDoubleClickChoose() {
    // OK takes the macro with the focus.
    {
      CSelectMacroDlg dialog(request("C"), host_);
      test::DialogScript script;
      script.on("Select a Macro", test::click("OK"));
      std::string chosen;
      QVERIFY(dialog.choose(chosen));
      QVERIFY(script.finished());
      QCOMPARE(chosen, std::string("C"));
    }
    // A double click chooses the clicked macro.
    CSelectMacroDlg dialog(request("A"), host_);
    test::DialogScript script;
    script.on("Select a Macro", [](QWidget* d) {
      auto* macros = child<QListWidget>(d, "macros");
      const QRect rect = macros->visualItemRect(macros->item(1));
      QTest::mouseClick(macros->viewport(), Qt::LeftButton, {}, rect.center());
      QTest::mouseDClick(macros->viewport(), Qt::LeftButton, {}, rect.center());
    });
    std::string chosen;
    QVERIFY(dialog.choose(chosen));
    QVERIFY(script.finished());
    QCOMPARE(chosen, std::string("B"));
    // Escape cancels.
    CSelectMacroDlg again(request(), host_);
    test::DialogScript escape;
    escape.on("Select a Macro", [](QWidget* d) { QTest::keyClick(d, Qt::Key_Escape); });
    QVERIFY(!again.choose(chosen));
    QVERIFY(escape.finished());
  }

  void newMacroNormalisesTheName() {
    CSelectMacroDlg dialog(request(), host_);
    dialog.show();
    // Blanks alone stay in the dialog; "  beam.up" gives BEAM.
    bool stayedOpen = false;
    test::DialogScript script;
    script.on("Enter Name for New Macro", [&](QWidget* d) {
      child<QLineEdit>(d, "name")->setText(QStringLiteral("   "));
      test::buttonNamed(d, QStringLiteral("OK"))->click();
      stayedOpen = d->isVisible();
      typeName(QStringLiteral("  beam.up"))(d);
    });
    child<QPushButton>(&dialog, "newMacro")->click();
    QVERIFY(script.finished());
    QVERIFY(stayedOpen);
    // Without an editor the macro is created empty: description "" and no steps.
    QCOMPARE(test::readBytes(dir_->file("BEAM.MAC")), (std::vector<uint8_t>{0x00, 0x00, 0x00}));
    QCOMPARE(rows(child<QListWidget>(&dialog, "macros")), (QStringList{"A", "B", "BEAM", "C"}));
    QCOMPARE(selected(child<QListWidget>(&dialog, "macros")), QStringList{"BEAM"});
  }

  void overwriteQuestion() {
    CSelectMacroDlg dialog(request(), host_);
    std::vector<std::pair<std::string, bool>> edits;
    dialog.setMacroEditor([&](const std::string& name, bool create) {
      edits.emplace_back(name, create);
      return true;
    });
    dialog.show();
    // "No" goes back to the name; Cancel then ends it with nothing opened.
    QString question;
    test::DialogScript no;
    no.on("Enter Name for New Macro", typeName(QStringLiteral("b")))
        .on("Overwrite",
            [&](QWidget* d) {
              question = child<QLabel>(d, "question")->text();
              QTest::keyClick(d, Qt::Key_Return); // "No" is the default
            })
        .on("Enter Name for New Macro", test::click("Cancel"));
    child<QPushButton>(&dialog, "newMacro")->click();
    QVERIFY2(no.finished(), qPrintable(no.seen.join(", ")));
    QCOMPARE(question, QStringLiteral("The macro B already exists. Do you wish to overwrite?"));
    QVERIFY(edits.empty());
    // "Yes" opens the editor for a new macro of that name.
    test::DialogScript yes;
    yes.on("Enter Name for New Macro", typeName(QStringLiteral("b"))).on("Overwrite", test::click("Yes"));
    child<QPushButton>(&dialog, "newMacro")->click();
    QVERIFY(yes.finished());
    QCOMPARE(edits, (std::vector<std::pair<std::string, bool>>{{"B", true}}));
    QCOMPARE(selected(child<QListWidget>(&dialog, "macros")), QStringList{"B"});
    // "Edit Macro..." opens it for the selected macro.
    child<QPushButton>(&dialog, "editMacro")->click();
    QCOMPARE(edits.back(), (std::pair<std::string, bool>{"B", false}));
  }

  void nameLengthLimit() {
    // Eight characters at most with the option; no limit without it.
    for (const bool limit : {true, false}) {
      CNewMacroDlg dialog(nullptr, QStringLiteral("Enter Name for New Step"), limit);
      test::DialogScript script;
      QString typed;
      script.on("Enter Name for New Step", [&](QWidget* d) {
        QTest::keyClicks(child<QLineEdit>(d, "name"), QStringLiteral("abcdefghij"));
        typed = child<QLineEdit>(d, "name")->text();
        QTest::keyClick(d, Qt::Key_Return);
      });
      std::string name;
      QVERIFY(dialog.askName(name));
      QVERIFY(script.finished());
      QCOMPARE(typed, limit ? QStringLiteral("abcdefgh") : QStringLiteral("abcdefghij"));
      QCOMPARE(name, typed.toStdString());
    }
  }

  void duplicateRenameDelete() {
    CSelectMacroDlg dialog(request("C"), host_);
    dialog.show();
    auto* macros = child<QListWidget>(&dialog, "macros");
    // Duplicate copies the bytes under the new name and selects it.
    test::DialogScript duplicate;
    duplicate.on("Enter Name for Duplicate", typeName(QStringLiteral("c2")));
    child<QPushButton>(&dialog, "duplicate")->click();
    QVERIFY(duplicate.finished());
    QCOMPARE(test::readBytes(dir_->file("C2.MAC")), test::readBytes(dir_->file("C.MAC")));
    QCOMPARE(selected(macros), QStringList{"C2"});

    // Rename starts from the old name; an existing target is refused and the dialog stays.
    QString startText;
    test::DialogScript rename;
    bool stayedOpen = false;
    rename.on("Enter New Name for Macro", [&](QWidget* d) {
      startText = child<QLineEdit>(d, "name")->text();
      typeName(QStringLiteral("a"))(d);
      stayedOpen = d->isVisible();
      typeName(QStringLiteral("d"))(d);
    });
    child<QPushButton>(&dialog, "renameMacro")->click();
    QVERIFY2(rename.finished(), qPrintable(rename.seen.join(", ")));
    QCOMPARE(startText, QStringLiteral("C2"));
    QVERIFY(stayedOpen);
    QCOMPARE(host_.messages.size(), size_t(1));
    QVERIFY(QString::fromStdString(host_.messages[0]).startsWith("Unable to rename file "));
    QVERIFY(!std::filesystem::exists(dir_->file("C2.MAC")));
    QCOMPARE(test::readBytes(dir_->file("D.MAC")), test::readBytes(dir_->file("C.MAC")));
    QCOMPARE(rows(macros), (QStringList{"A", "B", "C", "D"}));
    QCOMPARE(selected(macros), QStringList{"D"});

    // Delete asks with the count; "No" keeps the files, "Yes" removes only the .MAC files.
    macros->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
    macros->item(3)->setSelected(true);
    QString question;
    test::DialogScript keep;
    keep.on("OK to Delete?", [&](QWidget* d) {
      question = child<QLabel>(d, "question")->text();
      test::click("No")(d);
    });
    child<QPushButton>(&dialog, "deleteMacro")->click();
    QVERIFY(keep.finished());
    QCOMPARE(question, QStringLiteral("Are you sure you want to delete 2 macro(s) from disk?"));
    QCOMPARE(rows(macros).size(), 4);
    test::DialogScript remove;
    remove.on("OK to Delete?", test::click("Yes"));
    child<QPushButton>(&dialog, "deleteMacro")->click();
    QVERIFY(remove.finished());
    QCOMPARE(QString::fromStdString(dir_->listing()), QStringLiteral("B.MAC C.MAC STEMS.STP"));
    QCOMPARE(rows(macros), (QStringList{"B", "C"}));
    QCOMPARE(selected(macros), QStringList{"B"});
  }

  void longNamesSurviveTheEightCharacterLimit() {
    test::writeMacro(project_, "LONGMACRO1", {"LONGSTEP01"}, "");
    test::writeStep(project_, "LONGSTEP01", {"", "1", "", "5 = 10", 0});
    SelectMacroRequest r = request("LONGMACRO1");
    r.limitNameLength = true;
    CSelectMacroDlg dialog(r, host_);
    dialog.show();
    auto* macros = child<QListWidget>(&dialog, "macros");

    // The current name is shown whole; OK without editing keeps it.
    QString shown;
    test::DialogScript keep;
    keep.on("Enter New Name for Macro", [&](QWidget* d) {
      shown = child<QLineEdit>(d, "name")->text();
      test::buttonNamed(d, QStringLiteral("OK"))->click();
    });
    child<QPushButton>(&dialog, "renameMacro")->click();
    QVERIFY2(keep.finished(), qPrintable(keep.seen.join(", ")));
    QCOMPARE(shown, QStringLiteral("LONGMACRO1"));
    QVERIFY(std::filesystem::exists(dir_->file("LONGMACRO1.MAC")));
    QVERIFY(!std::filesystem::exists(dir_->file("LONGMACR.MAC")));
    QCOMPARE(selected(macros), QStringList{"LONGMACRO1"});

    // Typing never makes the name longer than 8 or than it already is.
    QStringList seen;
    test::DialogScript edit;
    edit.on("Enter New Name for Macro", [&](QWidget* d) {
      auto* name = child<QLineEdit>(d, "name");
      name->end(false);
      QTest::keyClicks(name, "X");
      seen << name->text();
      QTest::keyClick(name, Qt::Key_Backspace);
      QTest::keyClicks(name, "Z");
      seen << name->text();
      name->selectAll();
      QTest::keyClicks(name, "abcdefghij");
      seen << name->text();
      test::buttonNamed(d, QStringLiteral("OK"))->click();
    });
    child<QPushButton>(&dialog, "renameMacro")->click();
    QVERIFY2(edit.finished(), qPrintable(edit.seen.join(", ")));
    QCOMPARE(seen, (QStringList{"LONGMACRO1", "LONGMACRO", "abcdefgh"}));
    QVERIFY(std::filesystem::exists(dir_->file("ABCDEFGH.MAC")));
    QCOMPARE(selected(macros), QStringList{"ABCDEFGH"});

    // A long step name kept the same way renames nothing, and the macros still list it.
    CEditFiles files(project_, host_);
    test::DialogScript step;
    step.on("Enter New Name for Step", test::click("OK"));
    const std::string kept = askRename(&dialog, files, EditFileKind::Step, "LONGSTEP01", true,
                                       [&](const std::string& to) { return files.renameStep("LONGSTEP01", to); });
    QVERIFY2(step.finished(), qPrintable(step.seen.join(", ")));
    QCOMPARE(kept, std::string("LONGSTEP01"));
    QVERIFY(std::filesystem::exists(dir_->file("LONGSTEP01.STP")));
    QCOMPARE(stepsOf(dir_->file("ABCDEFGH.MAC")), std::vector<std::string>{"LONGSTEP01"});
    QVERIFY(host_.messages.empty());
  }

  void theEditDialogsOpenTheMacroEditor() {
    // Through the dialog interface "Edit Macro..." opens the editor, in its dragging form when asked.
    for (const bool dragging : {false, true}) {
      CEditDialogs dialogs(host_, nullptr);
      SelectMacroRequest r = request("A");
      r.allowDragging = dragging;
      int selectionMode = -1;
      test::DialogScript script;
      script.on("Select a Macro", test::click("Edit Macro..."))
          .on("Edit Macro",
              [&](QWidget* d) {
                selectionMode = child<QListWidget>(d, "macroSteps")->selectionMode();
                test::click("Cancel")(d);
              })
          .on("Select a Macro", test::click("Cancel"));
      std::string chosen;
      QVERIFY(!dialogs.selectMacro(r, chosen));
      QVERIFY2(script.finished(), qPrintable(script.seen.join(", ")));
      QCOMPARE(selectionMode,
               int(dragging ? QAbstractItemView::SingleSelection : QAbstractItemView::ExtendedSelection));
    }
    QVERIFY(host_.messages.empty());
  }
};

QTEST_MAIN(SelectMacroDlgTest)
#include "SelectMacroDlgTest.moc"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <filesystem>

#include "edit/EditFixtures.h"
#include "gui/GuiTestSupport.h"
#include "gui/edit/CDragEditMacroDlg.h"
#include "gui/edit/CEditMacroDlg.h"
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

void selectRows(QListWidget* list, std::initializer_list<int> which) {
  list->setFocus();
  list->clearSelection();
  for (int row : which) {
    list->setCurrentRow(row, QItemSelectionModel::Select);
  }
}

void click(QWidget& dialog, const char* name) { child<QPushButton>(&dialog, name)->click(); }

test::DialogScript::Act typeName(const QString& text) {
  return [text](QWidget* dialog) {
    child<QLineEdit>(dialog, "name")->setText(text);
    test::buttonNamed(dialog, QStringLiteral("OK"))->click();
  };
}

MacroData decoded(const std::string& path) {
  MacroData macro;
  std::string why;
  if (!decodeMacro(test::readBytes(path), macro, why)) macro.description = "undecodable: " + why;
  return macro;
}

} // namespace

class EditMacroDlgTest : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempDir> dir_;
  std::string project_;
  test::FakeHost host_;

  MacroEditRequest request(const std::string& name, bool create = false) {
    return {project_, project_, name, create, false, false};
  }

private slots:
  void init() {
    dir_ = std::make_unique<test::TempDir>();
    project_ = dir_->path();
    host_ = test::FakeHost();
    test::writeStep(project_, "STEMS", {"Stems up on the lower voice", "1", "P7 == 1", "5 = 10", 0});
    test::writeStep(project_, "BEAMUP", {"Beams above\r\nthe notes", "6", "", "4 = 12", 0});
    test::writeStep(project_, "SLURS", {"", "5", "", "DEL", 0});
    test::writeMacro(project_, "TIDY", {"STEMS", "GONE", "BEAMUP", "STEMS"}, "Tidy the\r\nparts");
    test::writeMacro(project_, "EXTRA", {"SLURS", "BEAMUP"}, "");
  }

  void loadsTheMacro() {
    CEditMacroDlg dialog(request("TIDY"), host_);
    QVERIFY(dialog.load());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Edit Macro"));
    QCOMPARE(rows(child<QListWidget>(&dialog, "steps")), (QStringList{"BEAMUP", "SLURS", "STEMS"}));
    // The missing step is reported and left out.
    QCOMPARE(rows(child<QListWidget>(&dialog, "macroSteps")), (QStringList{"STEMS", "BEAMUP", "STEMS"}));
    QCOMPARE(host_.messages, std::vector<std::string>{"Unable to open step " + project_ + "GONE.STP for reading"});
    QCOMPARE(child<QPlainTextEdit>(&dialog, "macroDescription")->toPlainText(), QStringLiteral("Tidy the\nparts"));
    QCOMPARE(child<QLabel>(&dialog, "macroName")->text(), QStringLiteral("TIDY"));
    QVERIFY(!dialog.dragging());
    // A macro that cannot be read is not opened.
    CEditMacroDlg missing(request("NONE"), host_);
    QVERIFY(!missing.load());
    QCOMPARE(host_.messages.back(), "Unable to open file " + project_ + "NONE.MAC for reading");
    // "Create Macro" starts empty without reading.
    CEditMacroDlg created(request("TIDY", true), host_);
    QVERIFY(created.load());
    QCOMPARE(created.windowTitle(), QStringLiteral("Create Macro"));
    QVERIFY(rows(child<QListWidget>(&created, "macroSteps")).isEmpty());
  }

  void arrowsAddAndRemove() {
    CEditMacroDlg dialog(request("TIDY"), host_);
    QVERIFY(dialog.load());
    dialog.show();
    auto* steps = child<QListWidget>(&dialog, "steps");
    auto* macroSteps = child<QListWidget>(&dialog, "macroSteps");
    QVERIFY(!child<QPushButton>(&dialog, "add")->isEnabled());
    // ">>" appends every selected step, in list order, even one already there.
    selectRows(steps, {2, 0});
    QVERIFY(child<QPushButton>(&dialog, "add")->isEnabled());
    click(dialog, "add");
    QCOMPARE(rows(macroSteps), (QStringList{"STEMS", "BEAMUP", "STEMS", "BEAMUP", "STEMS"}));
    // "<<" removes the selected entries only.
    selectRows(macroSteps, {0, 3});
    click(dialog, "remove");
    QCOMPARE(rows(macroSteps), (QStringList{"BEAMUP", "STEMS", "STEMS"}));
    QVERIFY(!child<QPushButton>(&dialog, "remove")->isEnabled());
    // A double click moves one step across; the Delete key takes entries out.
    const QPoint slurs = steps->visualItemRect(steps->item(1)).center();
    QTest::mouseClick(steps->viewport(), Qt::LeftButton, {}, slurs);
    QTest::mouseDClick(steps->viewport(), Qt::LeftButton, {}, slurs);
    QCOMPARE(rows(macroSteps).back(), QStringLiteral("SLURS"));
    selectRows(macroSteps, {1});
    QTest::keyClick(macroSteps, Qt::Key_Delete);
    QCOMPARE(rows(macroSteps), (QStringList{"BEAMUP", "STEMS", "SLURS"}));
  }

  void stepDescriptionFollowsTheLastSelection() {
    CEditMacroDlg dialog(request("TIDY"), host_);
    QVERIFY(dialog.load());
    dialog.show();
    auto* description = child<QPlainTextEdit>(&dialog, "stepDescription");
    auto* steps = child<QListWidget>(&dialog, "steps");
    auto* macroSteps = child<QListWidget>(&dialog, "macroSteps");
    QVERIFY(description->toPlainText().isEmpty());
    QTest::mouseClick(steps->viewport(), Qt::LeftButton, {}, steps->visualItemRect(steps->item(0)).center());
    QCOMPARE(description->toPlainText(), QStringLiteral("Beams above\nthe notes"));
    QTest::mouseClick(macroSteps->viewport(), Qt::LeftButton, {},
                      macroSteps->visualItemRect(macroSteps->item(0)).center());
    QCOMPARE(description->toPlainText(), QStringLiteral("Stems up on the lower voice"));
    // The step buttons act on that list: one step, then two distinct names.
    QVERIFY(child<QPushButton>(&dialog, "editStep")->isEnabled());
    QTest::mouseClick(macroSteps->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      macroSteps->visualItemRect(macroSteps->item(1)).center());
    QVERIFY(!child<QPushButton>(&dialog, "renameStep")->isEnabled());
    QVERIFY(child<QPushButton>(&dialog, "deleteStep")->isEnabled());
  }

  void deleteStepLeavesBothListsAndTheDisk() {
    CEditMacroDlg dialog(request("TIDY"), host_);
    QVERIFY(dialog.load());
    dialog.show();
    const std::vector<uint8_t> before = test::readBytes(dir_->file("TIDY.MAC"));
    selectRows(child<QListWidget>(&dialog, "steps"), {2});
    // "No" changes nothing.
    QString question;
    test::DialogScript no;
    no.on("OK to Delete?", [&](QWidget* d) {
      question = child<QLabel>(d, "question")->text();
      test::click("No")(d);
    });
    click(dialog, "deleteStep");
    QVERIFY(no.finished());
    QCOMPARE(question, QStringLiteral("Are you sure you want to delete 1 step(s) from disk?"));
    QVERIFY(std::filesystem::exists(dir_->file("STEMS.STP")));
    // "Yes": gone from disk, from "Select a step" and from "Steps in macro".
    test::DialogScript yes;
    yes.on("OK to Delete?", test::click("Yes"));
    click(dialog, "deleteStep");
    QVERIFY(yes.finished());
    QVERIFY(!std::filesystem::exists(dir_->file("STEMS.STP")));
    QCOMPARE(rows(child<QListWidget>(&dialog, "steps")), (QStringList{"BEAMUP", "SLURS"}));
    QCOMPARE(rows(child<QListWidget>(&dialog, "macroSteps")), QStringList{"BEAMUP"});
    // The macro file changes only with OK.
    QCOMPARE(test::readBytes(dir_->file("TIDY.MAC")), before);
    QVERIFY(dialog.save());
    QCOMPARE(decoded(dir_->file("TIDY.MAC")), (MacroData{"Tidy the\r\nparts", {"BEAMUP"}}));
  }

  void okWritesAndCancelWritesNothing() {
    // "Create Macro", two steps and a two-line description, OK: the file byte for byte.
    {
      CEditMacroDlg dialog(request("NEWM", true), host_);
      test::DialogScript script;
      script.on("Create Macro", [](QWidget* d) {
        child<QPlainTextEdit>(d, "macroDescription")->setPlainText(QStringLiteral("Two\nlines"));
        selectRows(child<QListWidget>(d, "steps"), {0, 1});
        click(*d, "add");
        QTest::keyClick(child<QListWidget>(d, "steps"), Qt::Key_Return); // Enter is OK
      });
      QVERIFY(dialog.run());
      QVERIFY(script.finished());
      QCOMPARE(test::readBytes(dir_->file("NEWM.MAC")),
               (std::vector<uint8_t>{10, 'T', 'w', 'o', '\r', '\n', 'l', 'i', 'n', 'e', 's', 2,   0,
                                     6,  'B', 'E', 'A', 'M',  'U',  'P', 5,   'S', 'L', 'U', 'R', 'S'}));
    }
    // Cancel after changes leaves the file as it was; a cancelled new macro leaves no file.
    const std::vector<uint8_t> before = test::readBytes(dir_->file("EXTRA.MAC"));
    for (const auto& [name, create] : {std::pair{"EXTRA", false}, std::pair{"OTHER", true}}) {
      CEditMacroDlg dialog(request(name, create), host_);
      test::DialogScript script;
      script.on("", [](QWidget* d) {
        child<QPlainTextEdit>(d, "macroDescription")->setPlainText(QStringLiteral("changed"));
        selectRows(child<QListWidget>(d, "steps"), {2});
        click(*d, "add");
        QTest::keyClick(d, Qt::Key_Escape);
      });
      QVERIFY(!dialog.run());
      QVERIFY(script.finished());
    }
    QCOMPARE(test::readBytes(dir_->file("EXTRA.MAC")), before);
    QVERIFY(!std::filesystem::exists(dir_->file("OTHER.MAC")));
    // OK without touching the description keeps its bytes, a lone LF included.
    test::writeMacro(project_, "LF", {"SLURS"}, "one\ntwo\r\nthree");
    CEditMacroDlg dialog(request("LF"), host_);
    QVERIFY(dialog.load());
    QVERIFY(dialog.save());
    QCOMPARE(decoded(dir_->file("LF.MAC")), (MacroData{"one\ntwo\r\nthree", {"SLURS"}}));
  }

  void theDraggingForm() {
    CDragEditMacroDlg dialog(request("TIDY"), host_);
    QVERIFY(dialog.load());
    dialog.show();
    auto* macroSteps = child<QListWidget>(&dialog, "macroSteps");
    QVERIFY(dialog.dragging());
    QCOMPARE(macroSteps->selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(macroSteps->dragDropMode(), QAbstractItemView::InternalMove);
    QCOMPARE(child<QListWidget>(&dialog, "steps")->selectionMode(), QAbstractItemView::ExtendedSelection);
    // One entry at a time; Ctrl+Down and Ctrl+Up move it, and the order is what OK writes.
    for (int row : {0, 1})
      QTest::mouseClick(macroSteps->viewport(), Qt::LeftButton, Qt::ControlModifier,
                        macroSteps->visualItemRect(macroSteps->item(row)).center());
    QCOMPARE(macroSteps->selectedItems().size(), 1);
    macroSteps->setCurrentRow(0);
    QTest::keyClick(macroSteps, Qt::Key_Down, Qt::ControlModifier);
    QCOMPARE(rows(macroSteps), (QStringList{"BEAMUP", "STEMS", "STEMS"}));
    QTest::keyClick(macroSteps, Qt::Key_Up, Qt::ControlModifier);
    QTest::keyClick(macroSteps, Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(rows(macroSteps), (QStringList{"STEMS", "BEAMUP", "STEMS"}));
    // The model move that a drop performs.
    QVERIFY(macroSteps->model()->moveRow(QModelIndex(), 1, QModelIndex(), 3));
    QVERIFY(dialog.save());
    QCOMPARE(decoded(dir_->file("TIDY.MAC")).steps, (std::vector<std::string>{"STEMS", "STEMS", "BEAMUP"}));
  }

  void newAndEditStep() {
    CEditMacroDlg dialog(request("TIDY"), host_);
    QVERIFY(dialog.load());
    dialog.show();
    auto* steps = child<QListWidget>(&dialog, "steps");
    // Without a step editor "New Step..." writes an empty step and selects it.
    test::DialogScript plain;
    plain.on("Enter Name for New Step", typeName(QStringLiteral(" knee.stp")));
    click(dialog, "newStep");
    QVERIFY(plain.finished());
    QCOMPARE(test::readBytes(dir_->file("KNEE.STP")), encodeStep(StepData{}));
    QCOMPARE(rows(steps), (QStringList{"BEAMUP", "KNEE", "SLURS", "STEMS"}));
    QCOMPARE(steps->selectedItems().size(), 1);
    QCOMPARE(steps->selectedItems().front()->text(), QStringLiteral("KNEE"));
    // And "Edit Step..." does nothing.
    click(dialog, "editStep");
    // With one, it is opened for the name; what it writes shows in the list.
    std::vector<std::pair<std::string, bool>> calls;
    dialog.setStepEditor([&](const std::string& name, bool create) {
      calls.emplace_back(name, create);
      if (create) test::writeStep(project_, name, {"Knee beams", "6", "", "4 = 0", 0});
      return create;
    });
    test::DialogScript hooked;
    hooked.on("Enter Name for New Step", typeName(QStringLiteral("flat")));
    click(dialog, "newStep");
    QVERIFY(hooked.finished());
    QCOMPARE(steps->selectedItems().front()->text(), QStringLiteral("FLAT"));
    QCOMPARE(child<QPlainTextEdit>(&dialog, "stepDescription")->toPlainText(), QStringLiteral("Knee beams"));
    click(dialog, "editStep");
    QCOMPARE(calls, (std::vector<std::pair<std::string, bool>>{{"FLAT", true}, {"FLAT", false}}));
    QVERIFY(host_.messages.size() == 1); // the missing GONE only
  }

  void duplicateAndRenameStep() {
    CEditMacroDlg dialog(request("TIDY"), host_);
    QVERIFY(dialog.load());
    dialog.show();
    auto* steps = child<QListWidget>(&dialog, "steps");
    selectRows(steps, {0});
    test::DialogScript duplicate;
    duplicate.on("Enter Name for Duplicate", typeName(QStringLiteral("beam2")));
    click(dialog, "duplicateStep");
    QVERIFY(duplicate.finished());
    QCOMPARE(test::readBytes(dir_->file("BEAM2.STP")), test::readBytes(dir_->file("BEAMUP.STP")));
    QCOMPARE(steps->selectedItems().front()->text(), QStringLiteral("BEAM2"));
    // Renaming BEAMUP renames it in this macro's list and in the macros on disk.
    selectRows(steps, {1});
    test::DialogScript rename;
    rename.on("Enter New Name for Step", typeName(QStringLiteral("up")));
    click(dialog, "renameStep");
    QVERIFY(rename.finished());
    QCOMPARE(rows(steps), (QStringList{"BEAM2", "SLURS", "STEMS", "UP"}));
    QCOMPARE(rows(child<QListWidget>(&dialog, "macroSteps")), (QStringList{"STEMS", "UP", "STEMS"}));
    QCOMPARE(decoded(dir_->file("EXTRA.MAC")).steps, (std::vector<std::string>{"SLURS", "UP"}));
  }

  void appendMacro() {
    CEditMacroDlg dialog(request("TIDY"), host_);
    QVERIFY(dialog.load());
    dialog.show();
    QStringList offered;
    test::DialogScript script;
    script.on("Select macros to append", [&](QWidget* d) {
      auto* names = child<QListWidget>(d, "names");
      offered = rows(names);
      names->clearSelection();
      names->item(0)->setSelected(true);
      test::click("OK")(d);
    });
    click(dialog, "appendMacro");
    QVERIFY(script.finished());
    QCOMPARE(offered, (QStringList{"EXTRA", "TIDY"}));
    QCOMPARE(rows(child<QListWidget>(&dialog, "macroSteps")),
             (QStringList{"STEMS", "BEAMUP", "STEMS", "SLURS", "BEAMUP"}));
    // Cancel appends nothing.
    test::DialogScript cancel;
    cancel.on("Select macros to append", test::click("Cancel"));
    click(dialog, "appendMacro");
    QVERIFY(cancel.finished());
    QCOMPARE(rows(child<QListWidget>(&dialog, "macroSteps")).size(), 5);
  }

  void keyboard() {
    CEditMacroDlg dialog(request("TIDY"), host_);
    // Every label and button carries a mnemonic, none twice.
    QSet<QChar> keys;
    const auto mnemonic = [&](const QString& text) {
      const qsizetype at = text.indexOf(QLatin1Char('&'));
      QVERIFY2(at >= 0 && at + 1 < text.size(), qPrintable(text));
      const QChar key = text.at(at + 1).toLower();
      QVERIFY2(!keys.contains(key), qPrintable(text));
      keys.insert(key);
    };
    for (QLabel* label : dialog.findChildren<QLabel*>())
      if (label->buddy()) mnemonic(label->text());
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
      if (button->text() != QStringLiteral("OK") && button->text() != QStringLiteral("Cancel"))
        mnemonic(button->text());
    QCOMPARE(keys.size(), 12);
    QVERIFY(child<QPushButton>(&dialog, "ok")->isDefault());
    // A focused button takes Enter; elsewhere Enter is OK.
    QVERIFY(child<QPushButton>(&dialog, "newStep")->autoDefault());
  }
};

QTEST_MAIN(EditMacroDlgTest)
#include "EditMacroDlgTest.moc"

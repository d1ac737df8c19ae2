#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "edit/MacroFiles.h"
#include "edit/SyntaxHelp.h"
#include "gui/GuiTestSupport.h"
#include "gui/edit/CCreateStepDlg.h"
#include "gui/edit/CFontChangeDlg.h"
#include "gui/edit/CSyntaxDlg.h"
#include "gui/edit/CTextChangeDlg.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

using namespace velmora;
using gui::CCreateStepDlg;
using gui::StepEditorRequest;

namespace {

QLineEdit* line(QWidget* dialog, const char* name) { return dialog->findChild<QLineEdit*>(QString::fromLatin1(name)); }
QPushButton* button(QWidget* dialog, const char* name) {
  return dialog->findChild<QPushButton*>(QString::fromLatin1(name));
}

StepData readBack(const std::string& path) {
  StepData step;
  std::string message;
  if (readStepFile(path, step, message) != FileRead::Ok) step.description = "unreadable: " + message;
  return step;
}

} // namespace

class StepEditorTest : public QObject {
  Q_OBJECT

  test::TempDir project_;
  test::FakeHost host_;

  StepEditorRequest request(const char* name, bool create) {
    return {project_.path(), project_.path(), name, create, false};
  }

private slots:
  void init() { host_ = test::FakeHost(); }

  void argumentButtonsFollowTheBlankAndCaretRules() {
    CCreateStepDlg dialog(request("S", true), host_);
    QLineEdit* argument = line(&dialog, "argument");
    QVERIFY(argument);
    // "AND" right after P5==3: a blank, "&& ", the caret after the final blank.
    argument->setText(QStringLiteral("P5==3"));
    button(&dialog, "argAnd")->click();
    QCOMPARE(argument->text(), QStringLiteral("P5==3 && "));
    QCOMPARE(argument->cursorPosition(), 9);
    QCOMPARE(dialog.focusWidget(), argument);
    // "COMP" in an empty argument: the caret between the brackets.
    argument->clear();
    button(&dialog, "argComp")->click();
    QCOMPARE(argument->text(), QStringLiteral("COMP[] "));
    QCOMPARE(argument->cursorPosition(), 5);
    // The caret is read from the field; the text after it stays.
    argument->setText(QStringLiteral("P5P6"));
    argument->setCursorPosition(2);
    button(&dialog, "argNotEqual")->click();
    QCOMPARE(argument->text(), QStringLiteral("P5 != P6"));
    QCOMPARE(argument->cursorPosition(), 6);
    // A button press is one undo step.
    argument->undo();
    QCOMPARE(argument->text(), QStringLiteral("P5P6"));
    // Every button's text, inserted after a non-blank.
    const std::pair<const char*, const char*> texts[] = {
        {"argEqual", " == "},          {"argNotEqual", " != "},    {"argGreater", " > "}, {"argLess", " < "},
        {"argGreaterOrEqual", " >= "}, {"argLessOrEqual", " <= "}, {"argAnd", " && "},    {"argOr", " || "},
        {"argComp", " COMP[] "},       {"argComp2", " COMP2[] "},  {"argTxt", " TXT[] "},
    };
    for (const auto& [name, text] : texts) {
      argument->setText(QStringLiteral("P5"));
      QPushButton* b = button(&dialog, name);
      QVERIFY2(b, name);
      b->click();
      QCOMPARE(argument->text(), QStringLiteral("P5") + QString::fromLatin1(text));
    }
    QCOMPARE(button(&dialog, "argComp2")->text(), QStringLiteral("COMP2"));
    QCOMPARE(button(&dialog, "argGreaterOrEqual")->text(), QStringLiteral("greater or equal to"));
  }

  void operationButtons() {
    CCreateStepDlg dialog(request("S", true), host_);
    QLineEdit* operation = line(&dialog, "operation");
    QVERIFY(operation);
    // DEL and INS replace the whole operation.
    operation->setText(QStringLiteral("5 = 3"));
    button(&dialog, "opDel")->click();
    QCOMPARE(operation->text(), QStringLiteral("DEL"));
    QCOMPARE(operation->cursorPosition(), 3);
    button(&dialog, "opIns")->click();
    QCOMPARE(operation->text(), QStringLiteral("INS[] "));
    QCOMPARE(operation->cursorPosition(), 4);
    QCOMPARE(dialog.focusWidget(), operation);
    // COMP, COMP2 and TXT insert at the caret of the operation.
    operation->setText(QStringLiteral("3 ="));
    button(&dialog, "opComp")->click();
    QCOMPARE(operation->text(), QStringLiteral("3 = COMP[] "));
    QCOMPARE(operation->cursorPosition(), 9);
    operation->setText(QStringLiteral("3 = "));
    button(&dialog, "opComp2")->click();
    QCOMPARE(operation->text(), QStringLiteral("3 = COMP2[] "));
    QCOMPARE(operation->cursorPosition(), 10);
    operation->clear();
    button(&dialog, "opTxt")->click();
    QCOMPARE(operation->text(), QStringLiteral("TXT[] "));
    QCOMPARE(operation->cursorPosition(), 4);
    // The argument is not touched by the operation's buttons.
    QCOMPARE(line(&dialog, "argument")->text(), QString());
  }

  void appAsksForAFile() {
    test::writeBytes(project_.file("HEADER.MUS"), {0});
    CCreateStepDlg dialog(request("S", true), host_);
    QLineEdit* operation = line(&dialog, "operation");
    operation->setText(QStringLiteral("DEL"));
    // Cancelled: "APP[" followed at once by "] ", the caret before "]".
    QString title;
    {
      test::ModalScript cancel([&](QWidget* modal) {
        auto* picker = qobject_cast<QFileDialog*>(modal);
        if (!picker) return false;
        title = picker->windowTitle();
        test::later(picker, [picker] { picker->reject(); });
        return true;
      });
      button(&dialog, "opApp")->click();
      QVERIFY(!cancel.timedOut());
    }
    QCOMPARE(title, QStringLiteral("Select SCORE File to Append"));
    QCOMPARE(operation->text(), QStringLiteral("APP[] "));
    QCOMPARE(operation->cursorPosition(), 4);
    // Chosen: the path inside the brackets, the caret before "]".
    const QString path = QString::fromStdString(project_.file("HEADER.MUS"));
    {
      test::ModalScript choose([&](QWidget* modal) {
        auto* picker = qobject_cast<QFileDialog*>(modal);
        if (!picker) return false;
        // Typed as a user would; tried again until the dialog has taken it and closed.
        test::later(picker, [picker, path] {
          if (auto* edit = picker->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) edit->setText(path);
          if (picker->isVisible()) QMetaObject::invokeMethod(picker, "accept");
        });
        return false;
      });
      button(&dialog, "opApp")->click();
      QVERIFY(!choose.timedOut());
    }
    QCOMPARE(operation->text(), QStringLiteral("APP[") + path + QStringLiteral("] "));
    QCOMPARE(operation->cursorPosition(), 4 + path.size());
  }

  void okRefusesEachFaultyFieldWithTheFocusOnIt() {
    const std::string stp = project_.file("BAD.STP");
    CCreateStepDlg dialog(request("BAD", true), host_);
    dialog.show();
    struct Case {
      const char* codes;
      const char* argument;
      const char* operation;
      const char* field;
      std::string message;
    };
    for (const Case& c : std::vector<Case>{
             // All three faulty: only the code numbers are named.
             {"1,5", "P5 $", "5 == 3", "codeNumbers",
              "Invalid characters found. Please use only numerical digits in Code No(s) to Affect field!"},
             {"1", "p5 $ 3", "5 == 3", "argument",
              "Invalid characters found. Please use only numerical digits + - ! = < > . & | ( ) in Conditional "
              "Argument field!"},
             {"1", "p5 == 3", "5 == 3", "operation", "Invalid operator == in Operation field!"},
             {"1", "", "150 = 2", "operation", "Operator invalid with Parameter Number 150 in Operation field!"},
         }) {
      host_.messages.clear();
      line(&dialog, "codeNumbers")->setText(QString::fromLatin1(c.codes));
      line(&dialog, "argument")->setText(QString::fromLatin1(c.argument));
      line(&dialog, "operation")->setText(QString::fromLatin1(c.operation));
      // Move the focus away so that the check has to put it back.
      line(&dialog, c.field == std::string("codeNumbers") ? "operation" : "codeNumbers")->setFocus();
      dialog.accept();
      QCOMPARE(host_.messages, std::vector<std::string>{c.message});
      QCOMPARE(dialog.focusWidget(), line(&dialog, c.field));
      QVERIFY(dialog.isVisible());
      QVERIFY(!std::filesystem::exists(stp));
      // The fields keep what was typed.
      QCOMPARE(line(&dialog, "argument")->text(), QString::fromLatin1(c.argument));
    }
    // Extended parameters raise the limits.
    StepEditorRequest extended = request("EXT", true);
    extended.extendedParameters = true;
    CCreateStepDlg wide(extended, host_);
    line(&wide, "operation")->setText(QStringLiteral("20 = 1"));
    host_.messages.clear();
    wide.accept();
    QVERIFY(host_.messages.empty());
    QCOMPARE(readBack(project_.file("EXT.STP")).operation, std::string("20 = 1"));
  }

  void okWritesTheNormalisedStepAndCancelWritesNothing() {
    const std::string path = project_.file("RAISE.STP");
    // Cancel: nothing on disk.
    {
      CCreateStepDlg dialog(request("RAISE", true), host_);
      QCOMPARE(dialog.windowTitle(), QStringLiteral("Create Step"));
      QVERIFY(!dialog.loaded());
      line(&dialog, "codeNumbers")->setText(QStringLiteral("1"));
      test::ModalScript cancel([&](QWidget* modal) {
        if (modal != &dialog) return false;
        test::later(&dialog, [&dialog] { dialog.reject(); });
        return true;
      });
      QVERIFY(!dialog.run());
      QVERIFY(!cancel.timedOut());
      QVERIFY(!std::filesystem::exists(path));
    }
    // OK: upper case except the TXT text, CR LF in the description, the flag.
    {
      CCreateStepDlg dialog(request("RAISE", true), host_);
      test::ModalScript ok([&](QWidget* modal) {
        if (modal != &dialog) return false;
        test::later(&dialog, [&dialog] {
          line(&dialog, "codeNumbers")->setText(QStringLiteral("16"));
          line(&dialog, "argument")->setText(QStringLiteral("txt[Allegro] && p2 == 1"));
          line(&dialog, "operation")->setText(QStringLiteral("txt[Andante]"));
          dialog.findChild<QPlainTextEdit*>(QStringLiteral("description"))
              ->setPlainText(QStringLiteral("Tempo words\nfor the top staff \xe9"));
          dialog.findChild<QCheckBox*>(QStringLiteral("notFound"))->setChecked(true);
          dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        return true;
      });
      QVERIFY(dialog.run());
      QVERIFY(!ok.timedOut());
    }
    QVERIFY(host_.messages.empty());
    QCOMPARE(readBack(path),
             (StepData{"Tempo words\r\nfor the top staff \xe9", "16", "TXT[Allegro] && P2 == 1", "TXT[Andante]", 1}));
  }

  void editingLoadsTheStoredStep() {
    std::string message;
    QVERIFY(writeStepFile(project_.file("OLD.STP"), {"first\r\nsecond", "1 2", "P5 == 3", "5 4", 2}, message));
    CCreateStepDlg dialog(request("OLD", false), host_);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Edit Step"));
    QVERIFY(dialog.loaded());
    QCOMPARE(line(&dialog, "codeNumbers")->text(), QStringLiteral("1 2"));
    QCOMPARE(line(&dialog, "argument")->text(), QStringLiteral("P5 == 3"));
    QCOMPARE(line(&dialog, "operation")->text(), QStringLiteral("5 4"));
    QCOMPARE(dialog.findChild<QPlainTextEdit*>(QStringLiteral("description"))->toPlainText(),
             QStringLiteral("first\nsecond"));
    // A stored 2 is no flag; saving writes 0.
    QVERIFY(!dialog.findChild<QCheckBox*>(QStringLiteral("notFound"))->isChecked());
    dialog.accept();
    QCOMPARE(readBack(project_.file("OLD.STP")), (StepData{"first\r\nsecond", "1 2", "P5 == 3", "5 4", 0}));

    // A long stored argument comes back whole.
    const std::string longArgument = std::string(40000, ' ') + "P5 == 3";
    QVERIFY(writeStepFile(project_.file("LONG.STP"), {"", "1", longArgument, "", 0}, message));
    CCreateStepDlg longer(request("LONG", false), host_);
    QCOMPARE(longer.step().argument, longArgument);

    // A missing step is reported and the fields start empty.
    CCreateStepDlg missing(request("GONE", false), host_);
    QVERIFY(!missing.loaded());
    QCOMPARE(host_.messages,
             std::vector<std::string>{"Unable to open file " + project_.file("GONE.STP") + " for reading"});
    QCOMPARE(missing.step(), StepData{});
  }

  void fontsAndTextFillTheStep() {
    CCreateStepDlg dialog(request("S", true), host_);
    dialog.findChild<QCheckBox*>(QStringLiteral("notFound"))->setChecked(true);
    line(&dialog, "argument")->setText(QStringLiteral("P5 == 3"));
    const auto fill = [](const char* a, const char* b) {
      return [a, b](QWidget* modal) {
        if (!qobject_cast<gui::CFontChangeDlg*>(modal) && !qobject_cast<gui::CTextChangeDlg*>(modal)) return false;
        test::later(modal, [modal, a, b] {
          modal->findChild<QLineEdit*>(QStringLiteral("search"))->setText(QString::fromLatin1(a));
          modal->findChild<QLineEdit*>(QStringLiteral("replacement"))->setText(QString::fromLatin1(b));
          static_cast<QDialog*>(modal)->accept();
        });
        return true;
      };
    };
    {
      test::ModalScript script(fill("2", "13"));
      button(&dialog, "fonts")->click();
      QVERIFY(!script.timedOut());
    }
    QCOMPARE(dialog.step(), (StepData{"Replaces font 2 with font 13", "16", "TXT[_02]", "TXT[_13]", 1}));
    {
      test::ModalScript script(fill("rit.", ""));
      button(&dialog, "text")->click();
      QVERIFY(!script.timedOut());
    }
    QCOMPARE(dialog.step(), (StepData{"Replaces text \"rit.\" with \"\"", "16", "TXT[rit.]", "", 1}));
    // Cancelled: the fields stay.
    {
      test::ModalScript script([](QWidget* modal) {
        auto* d = qobject_cast<gui::CFontChangeDlg*>(modal);
        if (!d) return false;
        test::later(d, [d] { d->reject(); });
        return true;
      });
      button(&dialog, "fonts")->click();
      QVERIFY(!script.timedOut());
    }
    QCOMPARE(dialog.step().argument, std::string("TXT[rit.]"));
    // The fill passes the checks and is written.
    dialog.accept();
    QVERIFY(host_.messages.empty());
    QCOMPARE(readBack(project_.file("S.STP")).argument, std::string("TXT[rit.]"));
  }

  void syntaxShowsTheSettingsFoldersHelp() {
    test::writeBytes(project_.file("Syntax.txt"), {'C', 'O', 'M', 'P', '\n', 'T', 'X', 'T'});
    CCreateStepDlg dialog(request("S", true), host_);
    std::string shown;
    {
      test::ModalScript script([&](QWidget* modal) {
        auto* syntax = qobject_cast<gui::CSyntaxDlg*>(modal);
        if (!syntax) return false;
        shown = syntax->text();
        test::later(syntax, [syntax] { syntax->accept(); });
        return true;
      });
      button(&dialog, "syntax")->click();
      QVERIFY(!script.timedOut());
    }
    QCOMPARE(shown, std::string("COMP\r\nTXT\r\n"));
  }
};

QTEST_MAIN(StepEditorTest)
#include "StepEditorTest.moc"

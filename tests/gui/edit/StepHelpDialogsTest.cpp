#include <QDialogButtonBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QtTest>

#include "edit/SyntaxHelp.h"
#include "gui/GuiTestSupport.h"
#include "gui/edit/CFontChangeDlg.h"
#include "gui/edit/CSyntaxDlg.h"
#include "gui/edit/CTextChangeDlg.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

using namespace velmora;

namespace {

QLineEdit* field(QWidget* dialog, const char* name) { return dialog->findChild<QLineEdit*>(QString::fromLatin1(name)); }

QStringList labels(QWidget* dialog) {
  QStringList texts;
  for (QLabel* label : dialog->findChildren<QLabel*>())
    texts << label->text().remove(QLatin1Char('&'));
  return texts;
}

// Sets both fields, presses OK, and gives the messages, the focused field and whether it closed.
struct Outcome {
  std::vector<std::string> messages;
  QString focus;
  bool closed = false;
};

Outcome pressOk(QDialog& dialog, test::FakeHost& host, const QString& search, const QString& replacement) {
  host.messages.clear();
  dialog.show();
  field(&dialog, "search")->setText(search);
  field(&dialog, "replacement")->setText(replacement);
  dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  Outcome outcome{host.messages, dialog.focusWidget() ? dialog.focusWidget()->objectName() : QString(),
                  !dialog.isVisible()};
  dialog.hide();
  return outcome;
}

} // namespace

class StepHelpDialogsTest : public QObject {
  Q_OBJECT

private slots:
  void fontChangeLimitsMessagesAndFocus() {
    test::FakeHost host;
    gui::CFontChangeDlg dialog(host);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Search and replace Initial Font Number"));
    QVERIFY(labels(&dialog).contains(QStringLiteral("if font number equals")));
    QVERIFY(labels(&dialog).contains(QStringLiteral("change it to")));
    // At most two characters each.
    QCOMPARE(field(&dialog, "search")->maxLength(), 2);
    QCOMPARE(field(&dialog, "replacement")->maxLength(), 2);
    QTest::keyClicks(field(&dialog, "search"), QStringLiteral("123"));
    QCOMPARE(field(&dialog, "search")->text(), QStringLiteral("12"));

    const std::string emptySearch = "Please enter font number into \"if font number equals\" field!";
    const std::string emptyReplacement = "Please enter font number into \"change it to\" field!";
    const std::string badReplacement =
        "Invalid characters found. Please use only numerical digits in \"change it to\" field!";
    struct Case {
      const char* search;
      const char* replacement;
      std::string message;
      const char* focus;
    };
    for (const Case& c : std::vector<Case>{
             {"", "13", emptySearch, "search"},
             {"2", "", emptyReplacement, "replacement"},
             {"2", "-1", badReplacement, "replacement"},
         }) {
      // Start with the focus on the other field, so that the check has to move it.
      field(&dialog, c.focus == std::string("search") ? "replacement" : "search")->setFocus();
      const Outcome outcome = pressOk(dialog, host, QString::fromLatin1(c.search), QString::fromLatin1(c.replacement));
      QCOMPARE(outcome.messages, std::vector<std::string>{c.message});
      QCOMPARE(outcome.focus, QString::fromLatin1(c.focus));
      QVERIFY(!outcome.closed);
    }
    const Outcome good = pressOk(dialog, host, QStringLiteral("2"), QStringLiteral(" 5"));
    QVERIFY(good.messages.empty());
    QVERIFY(good.closed);
  }

  void fontChangeAskGivesTheFields() {
    test::FakeHost host;
    gui::CFontChangeDlg dialog(host);
    test::ModalScript script([](QWidget* modal) {
      if (!qobject_cast<gui::CFontChangeDlg*>(modal)) return false;
      test::later(modal, [modal] {
        field(modal, "search")->setText(QStringLiteral("2"));
        field(modal, "replacement")->setText(QStringLiteral("13"));
        modal->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
      });
      return true;
    });
    std::string search, replacement;
    QVERIFY(dialog.ask(search, replacement));
    QVERIFY(!script.timedOut());
    QCOMPARE(search, std::string("2"));
    QCOMPARE(replacement, std::string("13"));
  }

  void textChangeLimitsMessagesAndFocus() {
    test::FakeHost host;
    gui::CTextChangeDlg dialog(host);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Search and replace text"));
    QVERIFY(labels(&dialog).contains(QStringLiteral("if text equals")));
    QVERIFY(labels(&dialog).contains(QStringLiteral("replace it with")));
    QCOMPARE(field(&dialog, "search")->maxLength(), 160);
    QCOMPARE(field(&dialog, "replacement")->maxLength(), 160);
    // The search text must be filled; the replacement may stay empty.
    field(&dialog, "replacement")->setFocus();
    const Outcome empty = pressOk(dialog, host, QString(), QStringLiteral("Andante"));
    QCOMPARE(empty.messages, std::vector<std::string>{"Please enter text into \"if text equals\" field!"});
    QCOMPARE(empty.focus, QStringLiteral("search"));
    QVERIFY(!empty.closed);
    const Outcome noReplacement = pressOk(dialog, host, QStringLiteral("rit."), QString());
    QVERIFY(noReplacement.messages.empty());
    QVERIFY(noReplacement.closed);
  }

  void syntaxShowsTheFileLineByLine() {
    // Missing: empty.
    test::TempDir folder;
    {
      gui::CSyntaxDlg dialog(folder.path());
      QCOMPARE(dialog.windowTitle(), QStringLiteral("Syntax"));
      QCOMPARE(dialog.text(), std::string());
      QCOMPARE(dialog.findChild<QPlainTextEdit*>()->toPlainText(), QString());
    }
    // Any case of the name; CR LF after every line; read-only, fixed pitch; Latin-1 bytes.
    test::writeBytes(folder.file("syntax.TXT"), {'O', 'n', 'e', '\n', 'T', 'w', 'o', ' ', 0xE9, '\r', '\n', 'x'});
    gui::CSyntaxDlg dialog(folder.path());
    QCOMPARE(dialog.text(), std::string("One\r\nTwo \xE9\r\nx\r\n"));
    auto* view = dialog.findChild<QPlainTextEdit*>();
    QVERIFY(view);
    QVERIFY(view->isReadOnly());
    QVERIFY(QFontInfo(view->font()).fixedPitch());
    QCOMPARE(view->document()->blockCount(), 4);
    QCOMPARE(view->document()->findBlockByNumber(1).text(), QStringLiteral("Two \u00e9"));
  }

  void syntaxShowsTheShippedHelp() {
    test::TempDir folder;
    const std::string_view shipped = builtInSyntaxText();
    test::writeBytes(folder.file("SYNTAX.TXT"), std::vector<uint8_t>(shipped.begin(), shipped.end()));
    gui::CSyntaxDlg dialog(folder.path());
    QCOMPARE(dialog.text(), std::string(builtInSyntaxText()));
    QVERIFY(dialog.findChild<QPlainTextEdit*>()->toPlainText().startsWith(QStringLiteral("VELMORA STEP SYNTAX\n")));
  }
};

QTEST_MAIN(StepHelpDialogsTest)
#include "StepHelpDialogsTest.moc"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "gui/justify/CJustifyPromptDlg.h"
#include "support/FakeHost.h"

using namespace velmora;
using velmora::gui::CJustifyPromptDlg;

class CJustifyPromptDlgTest : public QObject {
  Q_OBJECT
private slots:
  void showsThePromptAndReturnsTheAnswer();
};

void CJustifyPromptDlgTest::showsThePromptAndReturnsTheAnswer() {
  test::FakeHost host;
  CJustifyPromptDlg dialog(host);
  const JustifyPrompt prompt{"Prompt before Operation", "Conditions are TRUE for the following item in file /s/a.mus",
                             "1.0000 1.0000 22.0000 ", "Do you wish to perform the operation?", "/s/a.mus"};
  const auto click = [&](const char* name) {
    QTimer::singleShot(0, &dialog,
                       [&dialog, name] { dialog.findChild<QPushButton*>(QString::fromLatin1(name))->click(); });
  };
  click("yesToAll");
  QCOMPARE(dialog.ask(prompt), PromptAnswer::YesToAll);
  QCOMPARE(dialog.windowTitle(), QStringLiteral("Prompt before Operation"));
  QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("text"))->text(),
           QStringLiteral("Conditions are TRUE for the following item in file /s/a.mus"));
  QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("parameters"))->text(), QStringLiteral("1.0000 1.0000 22.0000 "));
  QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("question"))->text(),
           QStringLiteral("Do you wish to perform the operation?"));
  for (const auto& [name, answer] : {std::pair{"yes", PromptAnswer::Yes}, std::pair{"no", PromptAnswer::No},
                                     std::pair{"cancel", PromptAnswer::Cancel}}) {
    click(name);
    QCOMPARE(dialog.ask(prompt), answer);
  }
  // "Open Score file" keeps the prompt up; closing it is a cancel.
  QTimer::singleShot(0, &dialog, [&] {
    dialog.findChild<QPushButton*>(QStringLiteral("openScoreFile"))->click();
    QVERIFY(dialog.isVisible());
    dialog.reject();
  });
  QCOMPARE(dialog.ask(prompt), PromptAnswer::Cancel);
  QCOMPARE(host.opened, (std::vector<std::string>{"/s/a.mus"}));
}

QTEST_MAIN(CJustifyPromptDlgTest)
#include "CJustifyPromptDlgTest.moc"

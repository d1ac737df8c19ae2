#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "edit/SavingFiles.h"
#include "gui/GuiTestSupport.h"
#include "gui/edit/CCreateStepDlg.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

using namespace velmora;

// The step the editor's OK writes and the one `velmora-cli step save` writes
// for the same typing are the same bytes.
class StepSaveParityTest : public QObject {
  Q_OBJECT

private slots:
  void commandLineSaveWritesTheEditorsBytes() {
    test::TempDir window;
    test::TempDir cli;
    test::FakeHost host;
    gui::CCreateStepDlg dialog({window.path(), window.path(), "RAISE", true, false}, host);
    test::ModalScript ok([&](QWidget* modal) {
      if (modal != &dialog) return false;
      test::later(&dialog, [&dialog] {
        dialog.findChild<QLineEdit*>(QStringLiteral("codeNumbers"))->setText(QStringLiteral("16"));
        dialog.findChild<QLineEdit*>(QStringLiteral("argument"))->setText(QStringLiteral("txt[Allegro] && p2 == 1"));
        dialog.findChild<QLineEdit*>(QStringLiteral("operation"))->setText(QStringLiteral("3 += 2 txt[Andante]"));
        dialog.findChild<QPlainTextEdit*>(QStringLiteral("description"))
            ->setPlainText(QStringLiteral("Tempo words\nfor the top staff \xe9"));
        dialog.findChild<QCheckBox*>(QStringLiteral("notFound"))->setChecked(true);
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
      });
      return true;
    });
    QVERIFY(dialog.run());

    const CEditFiles files(cli.path(), host);
    StepData typed{descriptionForStoring("Tempo words\nfor the top staff \xe9"), "16", "txt[Allegro] && p2 == 1",
                   "3 += 2 txt[Andante]", 1};
    const SaveOutcome saved = saveStepAs(files, " raise.stp", typed, SaveChoices{});
    QVERIFY2(saved.saved, saved.message.c_str());
    QVERIFY(host.messages.empty());
    const auto bytes = test::readBytes(cli.file("RAISE.STP"));
    QVERIFY(!bytes.empty());
    QCOMPARE(test::hexDump(bytes), test::hexDump(test::readBytes(window.file("RAISE.STP"))));
  }
};

QTEST_MAIN(StepSaveParityTest)
#include "StepSaveParityTest.moc"

#include "gui/beams/CBeamSettingsDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "beams/BeamLibrary.h"
#include "beams/ScriptedBeamDialogs.h"
#include "gui/GuiTestSupport.h"
#include "gui/beams/CAreYouSure.h"
#include "gui/beams/CBeamAngleNoExists.h"
#include "gui/beams/CBeamAngleRulesDlg.h"
#include "gui/beams/CBeamAnglesDlg.h"
#include "gui/beams/CGuiBeamDialogs.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

using namespace velmora;
using namespace velmora::gui;

namespace {

// Runs `act` on the modal dialog once it is up.
template <class Dialog, class F> void whenShown(F act) {
  test::whenModal([act](QWidget* modal) {
    auto* dialog = qobject_cast<Dialog*>(modal);
    QVERIFY(dialog);
    act(*dialog);
  });
}

void clickButton(QWidget& dialog, const char* name) {
  auto* button = dialog.findChild<QPushButton*>(name);
  QVERIFY(button);
  button->click();
}

void clickOk(QWidget& dialog) { dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click(); }

} // namespace

class CBeamSettingsDlgTest : public QObject {
  Q_OBJECT

private slots:
  void settingsShowAndTakeTheOptions() {
    test::ScriptedBeamDialogs dialogs;
    BeamSettingsRequest request;
    request.projectFolder = "/p/";
    request.options.skip64ths = 1;
    request.libraryIndex = kUp16ths;
    CBeamSettingsDlg dialog(dialogs, request);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Beam Settings"));
    auto* extension = dialog.findChild<QLineEdit*>("extension");
    QCOMPARE(extension->text(), QStringLiteral("BIM"));
    QCOMPARE(extension->maxLength(), 3);
    QVERIFY(dialog.findChild<QCheckBox*>("skip64ths")->isChecked());
    QCOMPARE(dialog.findChild<QCheckBox*>("allowDialog")->text().remove('&'),
             QStringLiteral("Allow \"Beam Angle Does Not Exist\" dialog"));
    QCOMPARE(dialog.findChild<QPushButton*>("library")->text().remove('&'), QStringLiteral("Set Beam Angles..."));

    // The library dialog opens on the library shown last; only OK moves it on.
    dialogs.onEditLibrary = [](BeamLibraryRequest& r) {
      r.shownIndex = kDownGrace;
      return false;
    };
    clickButton(dialog, "library");
    dialogs.onEditLibrary = [](BeamLibraryRequest& r) {
      r.shownIndex = kDown8ths;
      return true;
    };
    clickButton(dialog, "library");
    QCOMPARE(dialogs.libraryRequests.size(), size_t(2));
    QCOMPARE(dialogs.libraryRequests[0].libraryIndex, kUp16ths);
    QCOMPARE(dialogs.libraryRequests[1].libraryIndex, kUp16ths);
    QCOMPARE(dialogs.libraryRequests[1].projectFolder, std::string("/p/"));
    QVERIFY(!dialogs.libraryRequests[1].prefilled);

    // The rules sub-dialog: the two check boxes follow "Only".
    whenShown<CBeamAngleRulesDlg>([](CBeamAngleRulesDlg& rules) {
      QCOMPARE(rules.windowTitle(), QStringLiteral("Set Beam Angle Rules"));
      auto* direction = rules.findChild<QCheckBox*>("directionChanges");
      QVERIFY(rules.findChild<QRadioButton*>("asSpecified")->isChecked());
      QVERIFY(!direction->isEnabled());
      rules.findChild<QRadioButton*>("only")->click();
      QVERIFY(direction->isEnabled());
      direction->click();
      clickOk(rules);
    });
    clickButton(dialog, "rules");

    extension->setText("b2");
    dialog.findChild<QCheckBox*>("replaceAngles")->click();
    BeamSettingsRequest out;
    dialog.takeRequest(out);
    QCOMPARE(out.options.extension, std::string("b2"));
    QCOMPARE(out.options.replaceLibraryAngles, 1);
    QCOMPARE(out.options.skip64ths, 1);
    QCOMPARE(out.options.horizontalRule, kHorizontalOnly);
    QCOMPARE(out.options.horizontalIfDirectionChanges, 1);
    QCOMPARE(out.options.horizontalIfPitchRepeated, 0);
    QCOMPARE(out.libraryIndex, kDown8ths);
  }

  void rulesCancelKeepsTheOptions() {
    CBeamAngleRulesDlg rules;
    BeamOptions options;
    options.horizontalRule = kHorizontalOnly;
    options.horizontalIfPitchRepeated = 1;
    rules.setOptions(options);
    QVERIFY(rules.findChild<QCheckBox*>("pitchRepeated")->isEnabled());
    rules.findChild<QRadioButton*>("always")->click();
    QVERIFY(!rules.findChild<QCheckBox*>("pitchRepeated")->isEnabled());
    whenShown<CBeamAngleRulesDlg>([](CBeamAngleRulesDlg& shown) { shown.reject(); });
    QVERIFY(!rules.run(options));
    QCOMPARE(options.horizontalRule, kHorizontalOnly);
  }

  void notFoundAndAreYouSureAnswer() {
    BeamNotFoundQuestion question;
    question.text = "The following beam angle position was not found. Do you wish to add it to the array?\n"
                    "Direction: Up 8ths\tLeft note: 5\tMid note: \tRight note: 6";
    for (const auto& [button, answer] :
         {std::pair{"yes", BeamNotFoundAnswer::Yes}, std::pair{"no", BeamNotFoundAnswer::No},
          std::pair{"noToAll", BeamNotFoundAnswer::NoToAll}}) {
      CBeamAngleNoExists dialog;
      const char* name = button;
      whenShown<CBeamAngleNoExists>([name, &question](CBeamAngleNoExists& shown) {
        QCOMPARE(shown.windowTitle(), QStringLiteral("Beam Angle Does Not Exist"));
        QCOMPARE(shown.findChild<QLabel*>("text")->text(), QString::fromLatin1(question.text.c_str()));
        clickButton(shown, name);
      });
      QVERIFY(dialog.ask(question) == answer);
    }

    for (bool yes : {true, false}) {
      CAreYouSure dialog;
      QCOMPARE(dialog.windowTitle(), QStringLiteral("Are You Sure?"));
      whenShown<CAreYouSure>([yes](CAreYouSure& shown) { clickButton(shown, yes ? "yes" : "no"); });
      QCOMPARE(dialog.ask(), yes);
    }
  }

  void guiDialogsOpenTheLibraryDialog() {
    test::TempDir project;
    test::FakeHost host;
    std::vector<bool> pauses;
    CGuiBeamDialogs dialogs(host, nullptr, [&pauses](bool paused) { pauses.push_back(paused); });
    BeamLibraryRequest request;
    request.projectFolder = project.path();
    request.libraryIndex = kUp8ths;
    // Switching to another library and closing with OK reports both files written.
    whenShown<CBeamAnglesDlg>([](CBeamAnglesDlg& shown) {
      shown.findChild<QComboBox*>("direction")->setCurrentIndex(kUp32nds);
      clickOk(shown);
    });
    QVERIFY(dialogs.editBeamLibrary(request));
    QCOMPARE(request.shownIndex, kUp32nds);
    QCOMPARE(request.writtenLibraries, (1u << kUp8ths) | (1u << kUp32nds));
    QCOMPARE(test::readBytes(project.file("BUP32NDS.DAT")), std::vector<uint8_t>{});
    // The cancel watch was paused once for the dialog and restored after it.
    QCOMPARE(pauses, (std::vector<bool>{true, false}));
  }
};

QTEST_MAIN(CBeamSettingsDlgTest)
#include "CBeamSettingsDlgTest.moc"

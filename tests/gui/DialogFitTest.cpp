// Every settings dialog fits a 1366x768 screen with a panel, and every field
// and box in it can be reached with an Alt key.
#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QLabel>
#include <QtTest>
#include <functional>
#include <memory>

#include "beams/BeamDialogs.h"
#include "gui/CGeneralSettingsDlg.h"
#include "gui/CItemCountOptionsDlg.h"
#include "gui/Mnemonics.h"
#include "gui/beams/CBeamAngleRulesDlg.h"
#include "gui/beams/CBeamSettingsDlg.h"
#include "gui/edit/CEditSettingsDlg.h"
#include "gui/eps/CCropMarkSettingsDlg.h"
#include "gui/justify/CJustifySettings.h"
#include "gui/justify/CJustifyWidths.h"
#include "gui/run/CRunMultipleTasksDlg.h"
#include "gui/staves/COptimizeSettings.h"
#include "gui/staves/CUnoptimizeSettings.h"
#include "support/FakeHost.h"

using namespace velmora;

namespace {

using Factory = std::function<std::unique_ptr<QDialog>()>;

class NoBeamDialogs : public IBeamDialogs {
public:
  BeamNotFoundAnswer askBeamAngleDoesNotExist(const BeamNotFoundQuestion&) override { return {}; }
  bool editBeamLibrary(BeamLibraryRequest&) override { return false; }
  bool editBeamSettings(BeamSettingsRequest&) override { return false; }
  bool askAreYouSure() override { return false; }
};

// The letter after the single "&", lower case, or a null QChar.
QChar mnemonicOf(const QString& text) {
  const qsizetype at = text.indexOf(QLatin1Char('&'));
  return at >= 0 && at + 1 < text.size() ? text[at + 1].toLower() : QChar();
}

} // namespace

Q_DECLARE_METATYPE(Factory)

class DialogFitTest : public QObject {
  Q_OBJECT

  test::FakeHost host_;
  NoBeamDialogs beams_;

private slots:
  void fitsAndHasKeys_data() {
    QTest::addColumn<Factory>("make");
    QTest::newRow("General Settings") << Factory([] { return std::make_unique<gui::CGeneralSettingsDlg>(nullptr); });
    QTest::newRow("Edit Settings") << Factory([] { return std::make_unique<gui::CEditSettingsDlg>(); });
    QTest::newRow("Optimize Settings") << Factory([] { return std::make_unique<gui::COptimizeSettings>(); });
    QTest::newRow("Unoptimize Settings") << Factory([] { return std::make_unique<gui::CUnoptimizeSettings>(); });
    QTest::newRow("Beam Settings") << Factory(
        [this] { return std::make_unique<gui::CBeamSettingsDlg>(beams_, BeamSettingsRequest{}); });
    QTest::newRow("Beam Angle Rules") << Factory([] { return std::make_unique<gui::CBeamAngleRulesDlg>(); });
    QTest::newRow("Justify Settings") << Factory([this] { return std::make_unique<gui::CJustifySettings>(host_); });
    QTest::newRow("Widths") << Factory([this] { return std::make_unique<gui::CJustifyWidths>(host_); });
    QTest::newRow("Item Count Settings") << Factory(
        [] { return std::make_unique<gui::CItemCountOptionsDlg>(nullptr); });
    QTest::newRow("Crop Mark Settings") << Factory(
        [this] { return std::make_unique<gui::CCropMarkSettingsDlg>(host_); });
    QTest::newRow("Run Multiple Tasks") << Factory([] { return std::make_unique<gui::CRunMultipleTasksDlg>(); });
  }

  void fitsAndHasKeys() {
    QFETCH(Factory, make);
    const std::unique_ptr<QDialog> dialog = make();
    // 768 less a panel and a title bar.
    const QSize size = dialog->sizeHint().expandedTo(dialog->minimumSizeHint());
    QVERIFY2(size.height() <= 690, qPrintable(QString::number(size.height())));
    QVERIFY2(size.width() <= 1366, qPrintable(QString::number(size.width())));
    const auto check = [](const QString& text) { QVERIFY2(!mnemonicOf(text).isNull(), qPrintable(text)); };
    for (QLabel* label : dialog->findChildren<QLabel*>())
      if (label->buddy()) check(label->text());
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
      const auto* box = qobject_cast<QDialogButtonBox*>(button->parentWidget());
      if (box && box->standardButton(button) != QDialogButtonBox::NoButton) continue; // Return and Escape
      if (!button->text().isEmpty()) check(button->text());
    }
  }

  void mnemonicChoice() {
    // A word's first free letter, else any free one; a text with a mark keeps it.
    QString used = QStringLiteral("e");
    QCOMPARE(gui::withMnemonic(QStringLiteral("Extension to use"), used), QStringLiteral("Extension &to use"));
    QCOMPARE(gui::withMnemonic(QStringLiteral("Extra"), used), QStringLiteral("E&xtra"));
    QCOMPARE(gui::withMnemonic(QStringLiteral("&Keep"), used), QStringLiteral("&Keep"));
    QCOMPARE(used, QStringLiteral("etx"));
    used = QStringLiteral("ab");
    QCOMPARE(gui::withMnemonic(QStringLiteral("ab"), used), QStringLiteral("&ab")); // shared, cycled by Qt
    QCOMPARE(gui::withMnemonic(QStringLiteral("A && B"), used), QStringLiteral("A && B"));
  }
};

QTEST_MAIN(DialogFitTest)
#include "DialogFitTest.moc"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "gui/justify/CJustifyWidths.h"
#include "support/FakeHost.h"

using namespace velmora;
using velmora::gui::CJustifyWidths;

class CJustifyWidthsTest : public QObject {
  Q_OBJECT
private slots:
  void showsTheWidthsInDialogOrder();
  void resetRestoresTheDefaults();
  void okRefusesAFieldWithoutANumber();
  void editReturnsTheValuesOnOk();
};

namespace {

QLineEdit* field(QDialog& d, const char* name) { return d.findChild<QLineEdit*>(QString::fromLatin1(name)); }

JustifyWidthValues distinct() {
  JustifyWidthValues v{};
  for (size_t i = 0; i < v.size(); ++i)
    v[i] = 1.25f + static_cast<float>(i);
  return v;
}

} // namespace

void CJustifyWidthsTest::showsTheWidthsInDialogOrder() {
  test::FakeHost host;
  CJustifyWidths dialog(host);
  QCOMPARE(dialog.windowTitle(), QStringLiteral("Widths (in Score units at stave size 1.0)"));
  dialog.setValues(justifyResetWidths());
  QCOMPARE(field(dialog, "noteheadQuarterHalf")->text(), QStringLiteral("3"));
  QCOMPARE(field(dialog, "ledgerQuarterHalf")->text(), QStringLiteral("0.85"));
  QCOMPARE(field(dialog, "rhythmDot")->text(), QStringLiteral("2.05"));
  QCOMPARE(field(dialog, "noteFlag")->text(), QStringLiteral("2.1"));
  QCOMPARE(field(dialog, "accidentalParenthesis")->text(), QStringLiteral("2.1"));
  // The flag width sits between the dot and the note parenthesis.
  const auto edits = dialog.findChildren<QLineEdit*>();
  QCOMPARE(edits.size(), 19);
  QCOMPARE(edits[15]->objectName(), QStringLiteral("rhythmDot"));
  QCOMPARE(edits[16]->objectName(), QStringLiteral("noteFlag"));
  QCOMPARE(edits[17]->objectName(), QStringLiteral("noteParenthesis"));
  // Values read back exactly as given.
  dialog.setValues(distinct());
  JustifyWidthValues back{};
  QVERIFY(dialog.readValues(back));
  QVERIFY(back == distinct());
}

void CJustifyWidthsTest::resetRestoresTheDefaults() {
  test::FakeHost host;
  CJustifyWidths dialog(host);
  dialog.setValues(distinct());
  dialog.findChild<QPushButton*>(QStringLiteral("reset"))->click();
  JustifyWidthValues back{};
  QVERIFY(dialog.readValues(back));
  QVERIFY(back == justifyResetWidths());
}

void CJustifyWidthsTest::okRefusesAFieldWithoutANumber() {
  test::FakeHost host;
  CJustifyWidths dialog(host);
  dialog.setValues(justifyResetWidths());
  dialog.show();
  field(dialog, "noteFlag")->setText(QString());
  dialog.accept();
  QVERIFY(dialog.isVisible());
  QCOMPARE(host.messages.size(), size_t(1));
  QCOMPARE(QString::fromStdString(host.messages[0]), QStringLiteral("Please enter a number."));
  field(dialog, "noteFlag")->setText(QStringLiteral("2.5"));
  dialog.accept();
  QVERIFY(!dialog.isVisible());
  QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

void CJustifyWidthsTest::editReturnsTheValuesOnOk() {
  test::FakeHost host;
  CJustifyWidths dialog(host);
  JustifyWidthValues values = justifyResetWidths();
  QTimer::singleShot(0, &dialog, [&] {
    field(dialog, "accidentalSharp")->setText(QStringLiteral("3.3"));
    dialog.accept();
  });
  QVERIFY(dialog.edit(values));
  QCOMPARE(values[4], 3.3f);
  QCOMPARE(values[16], 2.1f);
  // Cancel keeps them.
  QTimer::singleShot(0, &dialog, [&] {
    field(dialog, "accidentalSharp")->setText(QStringLiteral("9"));
    dialog.reject();
  });
  QVERIFY(!dialog.edit(values));
  QCOMPARE(values[4], 3.3f);
}

QTEST_MAIN(CJustifyWidthsTest)
#include "CJustifyWidthsTest.moc"

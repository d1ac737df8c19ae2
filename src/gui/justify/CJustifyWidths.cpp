#include "gui/justify/CJustifyWidths.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <string_view>

#include "gui/Mnemonics.h"
#include "gui/justify/FloatEdit.h"

namespace velmora::gui {

namespace {

// Object names of the fields, in dialog order: the record's member names.
constexpr const char* kFieldNames[kJustifyWidthCount] = {"noteheadQuarterHalf",
                                                         "noteheadWhole",
                                                         "noteheadDoubleWhole",
                                                         "accidentalFlat",
                                                         "accidentalSharp",
                                                         "accidentalNatural",
                                                         "accidentalDoubleFlat",
                                                         "accidentalDoubleSharp",
                                                         "quarterFlat",
                                                         "threeQuarterFlat",
                                                         "quarterSharp",
                                                         "threeQuarterSharp",
                                                         "ledgerQuarterHalf",
                                                         "ledgerWhole",
                                                         "ledgerDoubleWhole",
                                                         "rhythmDot",
                                                         "noteFlag",
                                                         "noteParenthesis",
                                                         "accidentalParenthesis"};

} // namespace

CJustifyWidths::CJustifyWidths(IHost& host, QWidget* parent) : QDialog(parent), host_(host) {
  setWindowTitle(QString::fromLatin1(kJustifyWidthsTitle));
  auto* layout = new QVBoxLayout(this);
  // Two columns, so the dialog fits a 768-pixel screen: the accidentals on the
  // right, the other groups on the left; fields aligned within each column.
  auto* columns = new QHBoxLayout;
  QVBoxLayout* column[2] = {new QVBoxLayout, new QVBoxLayout};
  columns->addLayout(column[0], 1);
  columns->addLayout(column[1], 1);
  layout->addLayout(columns);
  const auto labels = justifyWidthLabels();
  const auto columnOf = [](const char* group) { return std::string_view(group) == "Accidentals" ? 1 : 0; };
  std::array<QLabel*, kJustifyWidthCount> rowLabels{};
  int labelWidth[2] = {0, 0};
  QGridLayout* grid = nullptr;
  int row = 0;
  const char* group = "";
  for (size_t i = 0; i < kJustifyWidthCount; ++i) {
    if (!grid || std::string_view(labels[i].group) != group) {
      group = labels[i].group;
      auto* box = new QGroupBox(QString::fromLatin1(group), this);
      grid = new QGridLayout(box);
      grid->setColumnStretch(1, 1);
      row = 0;
      column[columnOf(group)]->addWidget(box);
    }
    edits_[i] = newFloatEdit(this);
    edits_[i]->setObjectName(QString::fromLatin1(kFieldNames[i]));
    rowLabels[i] = new QLabel(QString::fromLatin1(labels[i].label), this);
    rowLabels[i]->setBuddy(edits_[i]);
    const int c = columnOf(group);
    labelWidth[c] = std::max(labelWidth[c], rowLabels[i]->sizeHint().width());
    grid->addWidget(rowLabels[i], row, 0);
    grid->addWidget(edits_[i], row++, 1);
  }
  for (size_t i = 0; i < kJustifyWidthCount; ++i)
    rowLabels[i]->setMinimumWidth(labelWidth[columnOf(labels[i].group)]);
  column[0]->addStretch(1);
  column[1]->addStretch(1);
  // Tab through the left column, then the right one.
  QWidget* previous = nullptr;
  for (int c = 0; c < 2; ++c)
    for (size_t i = 0; i < kJustifyWidthCount; ++i) {
      if (columnOf(labels[i].group) != c) continue;
      if (previous) setTabOrder(previous, edits_[i]);
      previous = edits_[i];
    }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  QPushButton* reset = buttons->addButton(QStringLiteral("Reset"), QDialogButtonBox::ResetRole);
  reset->setObjectName(QStringLiteral("reset"));
  connect(reset, &QPushButton::clicked, this, &CJustifyWidths::reset);
  connect(buttons, &QDialogButtonBox::accepted, this, &CJustifyWidths::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  assignMnemonics(this);
}

bool CJustifyWidths::edit(JustifyWidthValues& values) {
  setValues(values);
  if (exec() != QDialog::Accepted) return false;
  readValues(values);
  return true;
}

void CJustifyWidths::setValues(const JustifyWidthValues& values) {
  for (size_t i = 0; i < kJustifyWidthCount; ++i)
    setFloatText(edits_[i], values[i]);
}

bool CJustifyWidths::readValues(JustifyWidthValues& values) const {
  bool all = true;
  for (size_t i = 0; i < kJustifyWidthCount; ++i)
    all = readFloatText(edits_[i], values[i]) && all;
  return all;
}

void CJustifyWidths::accept() {
  for (QLineEdit* edit : edits_) {
    float value = 0.0f;
    if (!readFloatText(edit, value)) {
      host_.showMessage(kEnterNumber);
      edit->setFocus();
      return;
    }
  }
  QDialog::accept();
}

void CJustifyWidths::reset() { setValues(justifyResetWidths()); }

} // namespace velmora::gui

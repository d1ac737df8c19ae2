#include "gui/justify/CJustifyWidths.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

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
  const auto labels = justifyWidthLabels();
  QFormLayout* form = nullptr;
  const char* group = "";
  for (size_t i = 0; i < kJustifyWidthCount; ++i) {
    if (!form || std::string_view(labels[i].group) != group) {
      group = labels[i].group;
      auto* box = new QGroupBox(QString::fromLatin1(group), this);
      form = new QFormLayout(box);
      layout->addWidget(box);
    }
    edits_[i] = newFloatEdit(this);
    edits_[i]->setObjectName(QString::fromLatin1(kFieldNames[i]));
    form->addRow(QString::fromLatin1(labels[i].label), edits_[i]);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  QPushButton* reset = buttons->addButton(QStringLiteral("Reset"), QDialogButtonBox::ResetRole);
  reset->setObjectName(QStringLiteral("reset"));
  connect(reset, &QPushButton::clicked, this, &CJustifyWidths::reset);
  connect(buttons, &QDialogButtonBox::accepted, this, &CJustifyWidths::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
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

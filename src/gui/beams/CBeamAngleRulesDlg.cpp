#include "gui/beams/CBeamAngleRulesDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "beams/BeamDialogs.h"
#include "beams/Messages.h"
#include "gui/Mnemonics.h"

namespace velmora::gui {

CBeamAngleRulesDlg::CBeamAngleRulesDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromLatin1(beams_msg::kBeamRulesTitle));
  auto* layout = new QVBoxLayout(this);
  auto* group = new QGroupBox(QStringLiteral("Set beams horizontal"), this);
  auto* groupLayout = new QVBoxLayout(group);
  asSpecified_ = new QRadioButton(QStringLiteral("As specified in Beam Angles dialog"), group);
  asSpecified_->setObjectName(QStringLiteral("asSpecified"));
  always_ = new QRadioButton(QStringLiteral("Always"), group);
  always_->setObjectName(QStringLiteral("always"));
  only_ = new QRadioButton(QStringLiteral("Only"), group);
  only_->setObjectName(QStringLiteral("only"));
  directionChanges_ = new QCheckBox(QStringLiteral("If note direction changes within beam group"), group);
  directionChanges_->setObjectName(QStringLiteral("directionChanges"));
  pitchRepeated_ = new QCheckBox(QStringLiteral("If notes of the same pitch are repeated within beam group"), group);
  pitchRepeated_->setObjectName(QStringLiteral("pitchRepeated"));
  groupLayout->addWidget(asSpecified_);
  groupLayout->addWidget(always_);
  groupLayout->addWidget(only_);
  groupLayout->addWidget(directionChanges_);
  groupLayout->addWidget(pitchRepeated_);
  layout->addWidget(group);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  for (QRadioButton* radio : {asSpecified_, always_, only_})
    connect(radio, &QRadioButton::toggled, this, &CBeamAngleRulesDlg::updateChecks);
  assignMnemonics(this);
}

int CBeamAngleRulesDlg::rule() const {
  if (always_->isChecked()) return kHorizontalAlways;
  if (only_->isChecked()) return kHorizontalOnly;
  return kHorizontalAsSpecified;
}

void CBeamAngleRulesDlg::updateChecks() {
  const bool enabled = beamRuleChecksEnabled(rule());
  directionChanges_->setEnabled(enabled);
  pitchRepeated_->setEnabled(enabled);
}

void CBeamAngleRulesDlg::setOptions(const BeamOptions& options) {
  switch (options.horizontalRule) {
  case kHorizontalAlways: always_->setChecked(true); break;
  case kHorizontalOnly: only_->setChecked(true); break;
  default: asSpecified_->setChecked(true); break;
  }
  directionChanges_->setChecked(options.horizontalIfDirectionChanges != 0);
  pitchRepeated_->setChecked(options.horizontalIfPitchRepeated != 0);
  updateChecks();
}

void CBeamAngleRulesDlg::takeOptions(BeamOptions& options) const {
  options.horizontalRule = rule();
  options.horizontalIfDirectionChanges = directionChanges_->isChecked() ? 1 : 0;
  options.horizontalIfPitchRepeated = pitchRepeated_->isChecked() ? 1 : 0;
}

bool CBeamAngleRulesDlg::run(BeamOptions& options) {
  setOptions(options);
  if (exec() != QDialog::Accepted) return false;
  takeOptions(options);
  return true;
}

} // namespace velmora::gui

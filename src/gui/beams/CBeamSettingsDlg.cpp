#include "gui/beams/CBeamSettingsDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "beams/Messages.h"
#include "gui/Mnemonics.h"
#include "gui/beams/CBeamAngleRulesDlg.h"

namespace velmora::gui {

namespace {

QCheckBox* checkBox(QWidget* parent, const char* text, const char* name, int32_t value) {
  auto* box = new QCheckBox(QString::fromLatin1(text), parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setChecked(value != 0);
  return box;
}

int32_t flag(const QCheckBox* box) { return box->isChecked() ? 1 : 0; }

} // namespace

CBeamSettingsDlg::CBeamSettingsDlg(IBeamDialogs& dialogs, const BeamSettingsRequest& request, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs), request_(request) {
  setWindowTitle(QString::fromLatin1(beams_msg::kBeamSettingsTitle));
  const BeamOptions& o = request.options;
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  extension_ = new QLineEdit(QString::fromLatin1(o.extension.data(), static_cast<qsizetype>(o.extension.size())), this);
  extension_->setObjectName(QStringLiteral("extension"));
  extension_->setMaxLength(3);
  form->addRow(QStringLiteral("Extension to use for edited files"), extension_);
  layout->addLayout(form);
  allowDialog_ = checkBox(this, "Allow \"Beam Angle Does Not Exist\" dialog", "allowDialog", o.allowNoAngleDialog);
  p18Grace_ = checkBox(this, "Treat value in p18 as grace beams", "p18Grace", o.p18GraceBeams);
  replaceAngles_ =
      checkBox(this, "Replace angles in library with those in files", "replaceAngles", o.replaceLibraryAngles);
  skip64ths_ = checkBox(this, "Don't process 64th notes", "skip64ths", o.skip64ths);
  for (QCheckBox* box : {allowDialog_, p18Grace_, replaceAngles_, skip64ths_})
    layout->addWidget(box);

  auto* more = new QHBoxLayout;
  auto* library = new QPushButton(QStringLiteral("Set Beam Angles..."), this);
  library->setObjectName(QStringLiteral("library"));
  auto* rules = new QPushButton(QStringLiteral("Set Beam Angle &Rules..."), this);
  rules->setObjectName(QStringLiteral("rules"));
  more->addWidget(library);
  more->addWidget(rules);
  layout->addLayout(more);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(library, &QPushButton::clicked, this, &CBeamSettingsDlg::onLibrary);
  connect(rules, &QPushButton::clicked, this, &CBeamSettingsDlg::onRules);
  assignMnemonics(this);
}

void CBeamSettingsDlg::onLibrary() {
  BeamLibraryRequest library;
  library.projectFolder = request_.projectFolder;
  library.libraryIndex = request_.libraryIndex;
  const bool ok = dialogs_.editBeamLibrary(library);
  request_.libraryIndex = libraryAfterDialog(request_.libraryIndex, library, ok);
}

void CBeamSettingsDlg::onRules() {
  CBeamAngleRulesDlg rules(this);
  rules.run(request_.options);
}

void CBeamSettingsDlg::takeRequest(BeamSettingsRequest& request) const {
  request = request_;
  BeamOptions& o = request.options;
  o.extension = extension_->text().toLatin1().toStdString();
  o.allowNoAngleDialog = flag(allowDialog_);
  o.p18GraceBeams = flag(p18Grace_);
  o.replaceLibraryAngles = flag(replaceAngles_);
  o.skip64ths = flag(skip64ths_);
}

bool CBeamSettingsDlg::run(BeamSettingsRequest& request) {
  if (exec() != QDialog::Accepted) return false;
  takeRequest(request);
  return true;
}

} // namespace velmora::gui

#include "gui/edit/CEditSettingsDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "gui/GuiText.h"
#include "gui/Mnemonics.h"

namespace velmora::gui {

CEditSettingsDlg::CEditSettingsDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Edit Settings"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  extension_ = new QLineEdit(this);
  extension_->setObjectName(QStringLiteral("extension"));
  extension_->setMaxLength(3);
  // Room for three letters, not the width of the dialog.
  extension_->setMaximumWidth(extension_->fontMetrics().horizontalAdvance(QStringLiteral("WWWW")) + 16);
  form->addRow(QStringLiteral("E&xtension to use for edited files"), extension_);
  layout->addLayout(form);
  const auto box = [&](const char* label, const char* name) {
    auto* check = new QCheckBox(QString::fromLatin1(label), this);
    check->setObjectName(QString::fromLatin1(name));
    layout->addWidget(check);
    return check;
  };
  rememberLastMacro_ = box("&Remember the last macro used", "rememberLastMacro");
  promptBeforeOperation_ = box("&Prompt for each item before Operation is made", "promptBeforeOperation");
  allowDragging_ = box("Allow &dragging in Selected Steps List Box", "allowDragging");
  extendedParameters_ = box("Recognize Winscore &extended parameters 20 to 30", "extendedParameters");
  limitNameLength_ =
      box("&Limit macro/step name length to 8 characters (for compatibility with DOS Score)", "limitNameLength");
  fourPointPrecision_ = box("4-point pre&cision for parameter 2", "fourPointPrecision");
  saveOnlyIfModified_ = box("&Save output file only if original is modified (ie at least one Operation has been made)",
                            "saveOnlyIfModified");
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  assignMnemonics(this);
}

bool CEditSettingsDlg::edit(EditOptions& options) {
  setOptions(options);
  if (exec() != QDialog::Accepted) return false;
  readOptions(options);
  return true;
}

void CEditSettingsDlg::setOptions(const EditOptions& options) {
  extension_->setText(fromAnsi(options.extension));
  rememberLastMacro_->setChecked(options.rememberLastMacro != 0);
  promptBeforeOperation_->setChecked(options.promptBeforeOperation != 0);
  allowDragging_->setChecked(options.allowDragging != 0);
  extendedParameters_->setChecked(options.extendedParameters != 0);
  limitNameLength_->setChecked(options.limitNameLength != 0);
  fourPointPrecision_->setChecked(options.fourPointPrecision != 0);
  saveOnlyIfModified_->setChecked(options.saveOnlyIfModified != 0);
}

void CEditSettingsDlg::readOptions(EditOptions& options) const {
  options.extension = toAnsi(extension_->text());
  options.rememberLastMacro = rememberLastMacro_->isChecked() ? 1 : 0;
  options.promptBeforeOperation = promptBeforeOperation_->isChecked() ? 1 : 0;
  options.allowDragging = allowDragging_->isChecked() ? 1 : 0;
  options.extendedParameters = extendedParameters_->isChecked() ? 1 : 0;
  options.limitNameLength = limitNameLength_->isChecked() ? 1 : 0;
  options.fourPointPrecision = fourPointPrecision_->isChecked() ? 1 : 0;
  options.saveOnlyIfModified = saveOnlyIfModified_->isChecked() ? 1 : 0;
}

} // namespace velmora::gui

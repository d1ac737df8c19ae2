#include "gui/staves/CUnoptimizeSettings.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "gui/Mnemonics.h"

namespace velmora::gui {

namespace {

QCheckBox* addBox(QWidget* parent, QVBoxLayout* layout, const char* label, const char* name) {
  auto* box = new QCheckBox(QString::fromLatin1(label), parent);
  box->setObjectName(QString::fromLatin1(name));
  layout->addWidget(box);
  return box;
}

} // namespace

CUnoptimizeSettings::CUnoptimizeSettings(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Unoptimize Settings"));
  auto* layout = new QVBoxLayout(this);
  insertBraces_ = addBox(this, layout, "Insert single stave braces (p5 = 8)", "insertBraces");
  insertBrackets_ = addBox(this, layout, "Insert single stave brackets (p5 = 9)", "insertBrackets");
  insertStraightBrackets_ =
      addBox(this, layout, "Insert single stave straight brackets (p5 = 10)", "insertStraightBrackets");
  staveWindow_ = addBox(this, layout, "Show stave insert window on transcription", "showStaveInsertWindow");
  auto* form = new QFormLayout;
  extension_ = new QLineEdit(this);
  extension_->setObjectName(QStringLiteral("extension"));
  extension_->setMaxLength(3);
  form->addRow(QStringLiteral("Extension to use for unoptimized files"), extension_);
  layout->addLayout(form);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  assignMnemonics(this);
}

bool CUnoptimizeSettings::edit(UnoptimizeOptions& options) {
  insertBraces_->setChecked(options.insertBraces != 0);
  insertBrackets_->setChecked(options.insertBrackets != 0);
  insertStraightBrackets_->setChecked(options.insertStraightBrackets != 0);
  staveWindow_->setChecked(options.showStaveInsertWindow != 0);
  extension_->setText(QString::fromLatin1(options.extension.c_str()));
  if (exec() != QDialog::Accepted) return false;
  options.insertBraces = insertBraces_->isChecked() ? 1 : 0;
  options.insertBrackets = insertBrackets_->isChecked() ? 1 : 0;
  options.insertStraightBrackets = insertStraightBrackets_->isChecked() ? 1 : 0;
  options.showStaveInsertWindow = staveWindow_->isChecked() ? 1 : 0;
  options.extension = extension_->text().toLatin1().toStdString();
  return true;
}

} // namespace velmora::gui

#include "gui/staves/COptimizeSettings.h"

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

COptimizeSettings::COptimizeSettings(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Optimize Settings"));
  auto* layout = new QVBoxLayout(this);
  deleteBraces_ = addBox(this, layout, "Delete single stave braces (p5 = 8)", "deleteBraces");
  deleteBrackets_ = addBox(this, layout, "Delete single stave brackets (p5 = 9)", "deleteBrackets");
  deleteStraightBrackets_ =
      addBox(this, layout, "Delete single stave straight brackets (p5 = 10)", "deleteStraightBrackets");
  instrumentWindow_ =
      addBox(this, layout, "Show instrument number delete window in transcription", "showInstrumentDeleteWindow");
  staveWindow_ = addBox(this, layout, "Show stave delete window on transcription", "showStaveDeleteWindow");
  auto* form = new QFormLayout;
  extension_ = new QLineEdit(this);
  extension_->setObjectName(QStringLiteral("extension"));
  extension_->setMaxLength(3);
  form->addRow(QStringLiteral("Extension to use for optimized files"), extension_);
  layout->addLayout(form);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  assignMnemonics(this);
}

bool COptimizeSettings::edit(OptimizeOptions& options) {
  deleteBraces_->setChecked(options.deleteBraces != 0);
  deleteBrackets_->setChecked(options.deleteBrackets != 0);
  deleteStraightBrackets_->setChecked(options.deleteStraightBrackets != 0);
  instrumentWindow_->setChecked(options.showInstrumentDeleteWindow != 0);
  staveWindow_->setChecked(options.showStaveDeleteWindow != 0);
  extension_->setText(QString::fromLatin1(options.extension.c_str()));
  if (exec() != QDialog::Accepted) return false;
  options.deleteBraces = deleteBraces_->isChecked() ? 1 : 0;
  options.deleteBrackets = deleteBrackets_->isChecked() ? 1 : 0;
  options.deleteStraightBrackets = deleteStraightBrackets_->isChecked() ? 1 : 0;
  options.showInstrumentDeleteWindow = instrumentWindow_->isChecked() ? 1 : 0;
  options.showStaveDeleteWindow = staveWindow_->isChecked() ? 1 : 0;
  options.extension = extension_->text().toLatin1().toStdString();
  return true;
}

} // namespace velmora::gui

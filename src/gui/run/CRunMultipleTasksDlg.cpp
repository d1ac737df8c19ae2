#include "gui/run/CRunMultipleTasksDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "batch/RunDialogs.h"
#include "gui/Mnemonics.h"

namespace velmora::gui {

namespace {

template <class W> W* named(W* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

} // namespace

CRunMultipleTasksDlg::CRunMultipleTasksDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Run Multiple Tasks"));
  auto* layout = new QVBoxLayout(this);
  auto* tasks = new QGroupBox(QStringLiteral("Run the following tasks:"), this);
  auto* taskLayout = new QVBoxLayout(tasks);

  // The unlabelled box switches the Optimize/Unoptimize pair on.
  auto* staveRow = new QHBoxLayout;
  staveTask_ = named(new QCheckBox(tasks), "runStaveTask");
  staveTask_->setAccessibleName(QStringLiteral("Optimize or Unoptimize"));
  optimize_ = named(new QRadioButton(QStringLiteral("Optimize"), tasks), "optimize");
  unoptimize_ = named(new QRadioButton(QStringLiteral("Unoptimize"), tasks), "unoptimize");
  auto* pair = new QButtonGroup(this);
  pair->addButton(optimize_, 0);
  pair->addButton(unoptimize_, 1);
  staveRow->addWidget(staveTask_);
  staveRow->addWidget(optimize_);
  staveRow->addWidget(unoptimize_);
  staveRow->addStretch();
  taskLayout->addLayout(staveRow);
  connect(staveTask_, &QCheckBox::toggled, optimize_, &QWidget::setEnabled);
  connect(staveTask_, &QCheckBox::toggled, unoptimize_, &QWidget::setEnabled);

  beamAngles_ = named(new QCheckBox(QStringLiteral("Set Beam Angles"), tasks), "runBeamAngles");
  justify_ = named(new QCheckBox(QStringLiteral("Justify"), tasks), "runJustify");
  edit_ = named(new QCheckBox(QStringLiteral("Edit"), tasks), "runEdit");
  taskLayout->addWidget(beamAngles_);
  taskLayout->addWidget(justify_);
  taskLayout->addWidget(edit_);
  layout->addWidget(tasks);

  auto* form = new QFormLayout;
  extension_ = named(new QLineEdit(this), "extension");
  extension_->setMaxLength(kRunExtensionMaxLength);
  form->addRow(QStringLiteral("Extension to use for run files"), extension_);
  layout->addLayout(form);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  assignMnemonics(this);
}

bool CRunMultipleTasksDlg::edit(RunOptions& options) {
  staveTask_->setChecked(options.runStaveTask != 0);
  (options.staveTaskIsUnoptimize != 0 ? unoptimize_ : optimize_)->setChecked(true);
  optimize_->setEnabled(staveTask_->isChecked());
  unoptimize_->setEnabled(staveTask_->isChecked());
  beamAngles_->setChecked(options.runBeamAngles != 0);
  justify_->setChecked(options.runJustify != 0);
  edit_->setChecked(options.runEdit != 0);
  extension_->setText(QString::fromLatin1(options.extension.c_str()));
  if (exec() != QDialog::Accepted) return false;
  options.runStaveTask = staveTask_->isChecked() ? 1 : 0;
  options.staveTaskIsUnoptimize = unoptimize_->isChecked() ? 1 : 0;
  options.runBeamAngles = beamAngles_->isChecked() ? 1 : 0;
  options.runJustify = justify_->isChecked() ? 1 : 0;
  options.runEdit = edit_->isChecked() ? 1 : 0;
  options.extension = extension_->text().toLatin1().toStdString();
  return true;
}

} // namespace velmora::gui

#include "gui/CGeneralSettingsDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/CNameDlg.h"
#include "gui/GuiText.h"
#include "gui/Mnemonics.h"

namespace velmora::gui {

CGeneralSettingsDlg::CGeneralSettingsDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("General Settings"));
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  auto* label = new QLabel(QStringLiteral("&Project directory"), this);
  project_ = new QComboBox(this);
  project_->setObjectName(QStringLiteral("projectDirectory"));
  project_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  project_->setMinimumContentsLength(32);
  label->setBuddy(project_);
  newProject_ = new QPushButton(QStringLiteral("&New Project..."), this);
  newProject_->setAutoDefault(false);
  grid->addWidget(label, 0, 0, 1, 2);
  grid->addWidget(project_, 1, 0);
  grid->addWidget(newProject_, 1, 1);
  grid->setColumnStretch(0, 1);
  layout->addLayout(grid);
  layout->addSpacing(10);
  explorer_ = new QCheckBox(
      QStringLiteral("Use Explorer-style Dialog (allows long filenames with spaces which are implemented in Winscore)"),
      this);
  layout->addWidget(explorer_);
  layout->addSpacing(10);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  connect(newProject_, &QPushButton::clicked, this, &CGeneralSettingsDlg::onNewProject);
  assignMnemonics(this);
}

void CGeneralSettingsDlg::fill(const GeneralSettingsForm& form) {
  project_->clear();
  for (const std::string& entry : form.projectEntries)
    project_->addItem(fromPath(entry)); // folder names
  project_->setCurrentIndex(form.selected);
}

void CGeneralSettingsDlg::onNewProject() {
  CNameDlg ask(this, QStringLiteral("New Project"), kNewProjectPrompt);
  std::string name;
  if (!ask.askName(name) || !newProjectAction_) return;
  // On success the refill selects the project folder again, as the dialog opened
  // (form_.selected still names it); a failure leaves the combo box as the user left it.
  const GeneralSettingsForm before = form_;
  newProjectAction_(name, form_);
  if (form_ != before) fill(form_);
}

bool CGeneralSettingsDlg::editGeneralSettings(GeneralSettingsForm& form, const NewProjectAction& newProject) {
  form_ = form;
  newProjectAction_ = newProject;
  fill(form_);
  explorer_->setChecked(form_.useExplorerDialog);
  if (exec() != QDialog::Accepted) return false;
  form_.selected = project_->currentIndex();
  form_.useExplorerDialog = explorer_->isChecked();
  form = form_;
  return true;
}

} // namespace velmora::gui

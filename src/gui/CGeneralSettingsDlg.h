#pragma once

#include <QDialog>

#include "app/GeneralSettings.h"

class QCheckBox;
class QComboBox;
class QPushButton;

namespace velmora::gui {

// "General Settings": the project folder, "New Project..." and the file-list form.
class CGeneralSettingsDlg : public QDialog, public IGeneralSettingsDialog {
  Q_OBJECT
public:
  explicit CGeneralSettingsDlg(QWidget* parent);
  bool editGeneralSettings(GeneralSettingsForm& form, const NewProjectAction& newProject) override;

  QComboBox* projectCombo() const { return project_; }
  QPushButton* newProjectButton() const { return newProject_; }

private:
  void fill(const GeneralSettingsForm& form);
  void onNewProject();

  QComboBox* project_;
  QPushButton* newProject_;
  QCheckBox* explorer_;
  GeneralSettingsForm form_;
  NewProjectAction newProjectAction_;
};

} // namespace velmora::gui

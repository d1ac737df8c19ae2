#pragma once

#include <QDialog>

#include "beams/BeamDialogs.h"

class QCheckBox;
class QLineEdit;

namespace velmora::gui {

// "Beam Settings": the record, the rules sub-dialog and the library dialog's button.
class CBeamSettingsDlg : public QDialog {
  Q_OBJECT
public:
  CBeamSettingsDlg(IBeamDialogs& dialogs, const BeamSettingsRequest& request, QWidget* parent = nullptr);
  // True for OK; the request then holds the dialog's values.
  bool run(BeamSettingsRequest& request);
  void takeRequest(BeamSettingsRequest& request) const;

private:
  void onLibrary();
  void onRules();

  IBeamDialogs& dialogs_;
  BeamSettingsRequest request_;
  QLineEdit* extension_;
  QCheckBox* allowDialog_;
  QCheckBox* p18Grace_;
  QCheckBox* replaceAngles_;
  QCheckBox* skip64ths_;
};

} // namespace velmora::gui

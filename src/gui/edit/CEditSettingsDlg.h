#pragma once

#include <QDialog>

#include "settings/Records.h"

class QCheckBox;
class QLineEdit;

namespace velmora::gui {

// "Edit Settings": every EditOptions field.
class CEditSettingsDlg : public QDialog {
  Q_OBJECT
public:
  explicit CEditSettingsDlg(QWidget* parent = nullptr);

  // Runs the dialog; on OK the options are replaced and true is returned.
  bool edit(EditOptions& options);
  void setOptions(const EditOptions& options);
  void readOptions(EditOptions& options) const;

private:
  QLineEdit* extension_;
  QCheckBox* rememberLastMacro_;
  QCheckBox* promptBeforeOperation_;
  QCheckBox* allowDragging_;
  QCheckBox* extendedParameters_;
  QCheckBox* limitNameLength_;
  QCheckBox* fourPointPrecision_;
  QCheckBox* saveOnlyIfModified_;
};

} // namespace velmora::gui

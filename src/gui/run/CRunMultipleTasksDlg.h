#pragma once

#include <QDialog>

#include "settings/Records.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace velmora::gui {

// "Run Multiple Tasks": which tasks the chain runs, and the run extension.
class CRunMultipleTasksDlg : public QDialog {
  Q_OBJECT
public:
  explicit CRunMultipleTasksDlg(QWidget* parent = nullptr);
  // Shows the options; on OK they are copied back (the extension as typed) and true is returned.
  bool edit(RunOptions& options);

private:
  QCheckBox* staveTask_;
  QRadioButton* optimize_;
  QRadioButton* unoptimize_;
  QCheckBox* beamAngles_;
  QCheckBox* justify_;
  QCheckBox* edit_;
  QLineEdit* extension_;
};

} // namespace velmora::gui

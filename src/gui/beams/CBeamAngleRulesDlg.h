#pragma once

#include <QDialog>

#include "settings/Records.h"

class QCheckBox;
class QRadioButton;

namespace velmora::gui {

// "Set Beam Angle Rules": when beams are set horizontal.
class CBeamAngleRulesDlg : public QDialog {
  Q_OBJECT
public:
  explicit CBeamAngleRulesDlg(QWidget* parent = nullptr);
  // Edits the rule and its two conditions; true for OK.
  bool run(BeamOptions& options);

  void setOptions(const BeamOptions& options);
  void takeOptions(BeamOptions& options) const;

private:
  int rule() const;
  void updateChecks();

  QRadioButton* asSpecified_;
  QRadioButton* always_;
  QRadioButton* only_;
  QCheckBox* directionChanges_;
  QCheckBox* pitchRepeated_;
};

} // namespace velmora::gui

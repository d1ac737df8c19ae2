#pragma once

#include <QDialog>

#include "settings/Records.h"

class QCheckBox;
class QLineEdit;

namespace velmora::gui {

// "Optimize Settings"
class COptimizeSettings : public QDialog {
  Q_OBJECT
public:
  explicit COptimizeSettings(QWidget* parent = nullptr);
  // Shows the options; on OK they are copied back and true is returned.
  bool edit(OptimizeOptions& options);

private:
  QCheckBox* deleteBraces_;
  QCheckBox* deleteBrackets_;
  QCheckBox* deleteStraightBrackets_;
  QCheckBox* instrumentWindow_;
  QCheckBox* staveWindow_;
  QLineEdit* extension_;
};

} // namespace velmora::gui

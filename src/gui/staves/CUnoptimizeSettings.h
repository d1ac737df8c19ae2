#pragma once

#include <QDialog>

#include "settings/Records.h"

class QCheckBox;
class QLineEdit;

namespace velmora::gui {

// "Unoptimize Settings"
class CUnoptimizeSettings : public QDialog {
  Q_OBJECT
public:
  explicit CUnoptimizeSettings(QWidget* parent = nullptr);
  // Shows the options; on OK they are copied back and true is returned.
  bool edit(UnoptimizeOptions& options);

private:
  QCheckBox* insertBraces_;
  QCheckBox* insertBrackets_;
  QCheckBox* insertStraightBrackets_;
  QCheckBox* staveWindow_;
  QLineEdit* extension_;
};

} // namespace velmora::gui

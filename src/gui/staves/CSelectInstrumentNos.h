#pragma once

#include <QDialog>

#include "staves/StaveDialogs.h"

class QCheckBox;
class QLineEdit;

namespace velmora::gui {

// "Select instrument numbers"
class CSelectInstrumentNos : public QDialog {
  Q_OBJECT
public:
  explicit CSelectInstrumentNos(QWidget* parent = nullptr);
  // On OK the typed text and the box are copied back and true is returned.
  bool choose(InstrumentChoice& choice);

private:
  QLineEdit* numbers_;
  QCheckBox* keepListed_;
};

} // namespace velmora::gui

#pragma once

#include <QDialog>

#include "beams/BeamDialogs.h"

class QLabel;

namespace velmora::gui {

// "Beam Angle Does Not Exist": a position the library does not hold.
class CBeamAngleNoExists : public QDialog {
  Q_OBJECT
public:
  explicit CBeamAngleNoExists(QWidget* parent = nullptr);
  BeamNotFoundAnswer ask(const BeamNotFoundQuestion& question);

private:
  QLabel* text_;
};

} // namespace velmora::gui

#pragma once

#include <QDialog>
#include <array>

#include "staves/StaveDialogs.h"

class QCheckBox;

namespace velmora::gui {

// "Select Staves": a box per stave, "OK", "OK to All", Escape for Cancel.
class CSelectStaves : public QDialog {
  Q_OBJECT
public:
  explicit CSelectStaves(QWidget* parent = nullptr);
  // Shows the selection under its title; the boxes are copied back on "OK"
  // and "OK to All".
  StaveDialogResult select(StaveSelection& selection);

private:
  std::array<QCheckBox*, kMaxStave> boxes_{};
  bool okToAll_ = false;
};

} // namespace velmora::gui

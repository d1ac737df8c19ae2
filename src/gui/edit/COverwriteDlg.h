#pragma once

#include "gui/CYesNoDlg.h"

namespace velmora::gui {

// "Overwrite": a macro or step of the entered name exists already.
class COverwriteDlg : public CYesNoDlg {
  Q_OBJECT
public:
  COverwriteDlg(const std::string& question, QWidget* parent);
};

} // namespace velmora::gui

#pragma once

#include "gui/CYesNoDlg.h"

namespace velmora::gui {

// "OK to Delete?": the selected macros or steps are about to be removed from disk.
class CFileDeleteDlg : public CYesNoDlg {
  Q_OBJECT
public:
  CFileDeleteDlg(const std::string& question, QWidget* parent);
};

} // namespace velmora::gui

#pragma once

#include "gui/CYesNoDlg.h"

namespace velmora::gui {

// "Are You Sure?" before the library dialog clears the whole library.
class CAreYouSure : public CYesNoDlg {
  Q_OBJECT
public:
  explicit CAreYouSure(QWidget* parent = nullptr);
};

} // namespace velmora::gui

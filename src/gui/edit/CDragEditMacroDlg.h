#pragma once

#include "gui/edit/CEditMacroDlg.h"

namespace velmora::gui {

// The macro editor whose "Steps in macro" is a single-selection list
// reordered by dragging its entries.
class CDragEditMacroDlg : public CEditMacroDlg {
  Q_OBJECT
public:
  CDragEditMacroDlg(const MacroEditRequest& request, IHost& host, QWidget* parent = nullptr);
};

} // namespace velmora::gui

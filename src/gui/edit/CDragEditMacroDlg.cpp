#include "gui/edit/CDragEditMacroDlg.h"

namespace velmora::gui {

CDragEditMacroDlg::CDragEditMacroDlg(const MacroEditRequest& request, IHost& host, QWidget* parent)
    : CEditMacroDlg(request, host, parent, Form::Dragging) {}

} // namespace velmora::gui

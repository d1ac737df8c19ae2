#include "gui/edit/COverwriteDlg.h"

#include "edit/Messages.h"

namespace velmora::gui {

COverwriteDlg::COverwriteDlg(const std::string& question, QWidget* parent)
    : CYesNoDlg(QString::fromLatin1(edit_msg::kOverwriteTitle), question, parent) {}

} // namespace velmora::gui

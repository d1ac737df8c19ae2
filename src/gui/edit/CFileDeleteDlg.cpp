#include "gui/edit/CFileDeleteDlg.h"

#include "edit/Messages.h"

namespace velmora::gui {

CFileDeleteDlg::CFileDeleteDlg(const std::string& question, QWidget* parent)
    : CYesNoDlg(QString::fromLatin1(edit_msg::kDeleteTitle), question, parent) {}

} // namespace velmora::gui

#include "gui/edit/CTextChangeDlg.h"

#include "edit/Messages.h"
#include "edit/StepSyntax.h"

namespace velmora::gui {

CTextChangeDlg::CTextChangeDlg(IHost& host, QWidget* parent)
    : CSearchReplaceDlg(host, parent, edit_msg::kTextChangeTitle, QStringLiteral("&if text equals"),
                        QStringLiteral("&replace it with"), kMaxReplaceTextLength) {}

} // namespace velmora::gui

#include "gui/edit/CFontChangeDlg.h"

#include "edit/Messages.h"
#include "edit/StepSyntax.h"

namespace velmora::gui {

CFontChangeDlg::CFontChangeDlg(IHost& host, QWidget* parent)
    : CSearchReplaceDlg(host, parent, edit_msg::kFontChangeTitle, QStringLiteral("&if font number equals"),
                        QStringLiteral("&change it to"), kMaxFontNumberLength) {}

} // namespace velmora::gui

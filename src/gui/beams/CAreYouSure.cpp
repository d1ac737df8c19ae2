#include "gui/beams/CAreYouSure.h"

#include "beams/Messages.h"

namespace velmora::gui {

// Deleting everything is never the default: "No" is.
CAreYouSure::CAreYouSure(QWidget* parent)
    : CYesNoDlg(QString::fromLatin1(beams_msg::kAreYouSureTitle), beams_msg::kAreYouSureText, parent) {}

} // namespace velmora::gui

#include "gui/run/CGuiRunDialogs.h"

#include "gui/CGuiHost.h"
#include "gui/run/CRunMultipleTasksDlg.h"

namespace velmora::gui {

bool CGuiRunDialogs::editRunOptions(RunOptions& options) {
  // The dialog opens inside the run, so the watch comes back on after it.
  if (host_) host_->setTaskRunning(false);
  CRunMultipleTasksDlg dialog(parent_);
  const bool confirmed = dialog.edit(options);
  if (host_) host_->setTaskRunning(true);
  return confirmed;
}

} // namespace velmora::gui

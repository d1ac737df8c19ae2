#include "gui/justify/CJustifyDialogs.h"

#include "gui/CGuiHost.h"
#include "gui/justify/CJustifyPromptDlg.h"
#include "gui/justify/CJustifySettings.h"

namespace velmora::gui {

PromptAnswer CJustifyDialogs::promptBeforeOperation(const JustifyPrompt& prompt) {
  // The prompt only comes up while Justify runs.
  if (guiHost_) guiHost_->setTaskRunning(false);
  CJustifyPromptDlg dialog(host_, parent_);
  const PromptAnswer answer = dialog.ask(prompt);
  if (guiHost_) guiHost_->setTaskRunning(true);
  return answer;
}

bool CJustifyDialogs::editJustifySettings(JustifyOptions& options) {
  CJustifySettings dialog(host_, parent_);
  return dialog.edit(options);
}

} // namespace velmora::gui

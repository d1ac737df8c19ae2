#include "gui/edit/CEditDialogs.h"

#include "gui/CGuiHost.h"
#include "gui/edit/CEditPromptDlg.h"
#include "gui/edit/CEditSettingsDlg.h"
#include "gui/edit/CSelectMacroDlg.h"

namespace velmora::gui {

bool CEditDialogs::selectMacro(const SelectMacroRequest& request, std::string& chosen) {
  CSelectMacroDlg dialog(request, host_, parent_);
  return dialog.choose(chosen);
}

PromptAnswer CEditDialogs::promptBeforeOperation(const EditPrompt& prompt) {
  // The prompt only comes up while the edit run is going.
  if (guiHost_) guiHost_->setTaskRunning(false);
  CEditPromptDlg dialog(host_, parent_);
  const PromptAnswer answer = dialog.ask(prompt);
  if (guiHost_) guiHost_->setTaskRunning(true);
  return answer;
}

bool CEditDialogs::editEditSettings(EditOptions& options) {
  CEditSettingsDlg dialog(parent_);
  return dialog.edit(options);
}

} // namespace velmora::gui

#include "gui/edit/CEditDialogs.h"

#include "gui/CGuiHost.h"
#include <memory>

#include "gui/edit/CCreateStepDlg.h"
#include "gui/edit/CDragEditMacroDlg.h"
#include "gui/edit/CEditPromptDlg.h"
#include "gui/edit/CEditSettingsDlg.h"
#include "gui/edit/CSelectMacroDlg.h"

namespace velmora::gui {

bool CEditDialogs::selectMacro(const SelectMacroRequest& request, std::string& chosen) {
  CSelectMacroDlg dialog(request, host_, parent_);
  dialog.setMacroEditor([&](const std::string& name, bool create) {
    return editMacro(
        {request.projectFolder, request.settingsFolder, name, create, request.limitNameLength, request.allowDragging},
        &dialog);
  });
  return dialog.choose(chosen);
}

bool CEditDialogs::editMacro(const MacroEditRequest& request, QWidget* parent) {
  std::unique_ptr<CEditMacroDlg> editor;
  if (request.allowDragging)
    editor = std::make_unique<CDragEditMacroDlg>(request, host_, parent);
  else
    editor = std::make_unique<CEditMacroDlg>(request, host_, parent);
  if (stepEditor_) {
    editor->setStepEditor(stepEditor_);
  } else {
    CEditMacroDlg* owner = editor.get();
    editor->setStepEditor([this, request, owner](const std::string& name, bool create) {
      CCreateStepDlg step({request.projectFolder, request.settingsFolder, name, create}, host_, owner);
      return step.run();
    });
  }
  return editor->run();
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

#pragma once

#include "base/Host.h"
#include "edit/EditRun.h"
#include "gui/edit/CEditMacroDlg.h"

class QWidget;

namespace velmora::gui {

class CGuiHost;

// The Edit windows for the command handlers: the macro choice, the prompt and the settings.
class CEditDialogs : public IEditDialogs, public IEditSettingsDialog {
public:
  // With the GUI host, its Cancel Action watch is paused while the prompt is up.
  CEditDialogs(IHost& host, QWidget* parent, CGuiHost* guiHost = nullptr)
      : host_(host), parent_(parent), guiHost_(guiHost) {}

  bool selectMacro(const SelectMacroRequest& request, std::string& chosen) override;
  PromptAnswer promptBeforeOperation(const EditPrompt& prompt) override;
  bool editEditSettings(EditOptions& options) override;

  // "Create Macro" / "Edit Macro", in the form the dragging option asks for.
  bool editMacro(const MacroEditRequest& request, QWidget* parent);
  // What "New Step..." and "Edit Step..." of the macro editor open.
  void setStepEditor(CEditMacroDlg::StepEditor editor) { stepEditor_ = std::move(editor); }

private:
  IHost& host_;
  QWidget* parent_;
  CGuiHost* guiHost_;
  CEditMacroDlg::StepEditor stepEditor_;
};

} // namespace velmora::gui

#include "cli/CliEditDialogs.h"

#include "base/Format.h"
#include "edit/MacroFiles.h"
#include "edit/Messages.h"

namespace velmora::cli {

bool CliEditDialogs::selectMacro(const SelectMacroRequest& request, std::string& chosen) {
  const std::string name = normaliseName(macro_);
  CEditFiles files(request.projectFolder, host_);
  if (name.empty() || !files.exists(EditFileKind::Macro, name)) {
    host_.showMessage(strprintf(edit_msg::kUnableToOpen, files.pathOf(EditFileKind::Macro, name).c_str()));
    return false;
  }
  chosen = name;
  return true;
}

PromptAnswer CliEditDialogs::promptBeforeOperation(const EditPrompt& prompt) {
  const PromptAnswer answer = askPrompt(prompt);
  if (answer == PromptAnswer::Cancel && onCancel) onCancel();
  return answer;
}

PromptAnswer CliEditDialogs::askPrompt(const EditPrompt& prompt) {
  if (beforeAsk) beforeAsk();
  std::fprintf(err_, "velmora-cli: %s: %s\nvelmora-cli: Parameters: %s\nvelmora-cli: %s [y/a/n/c] ",
               edit_msg::kPromptTitle, prompt.itemLine.c_str(), prompt.parameters.c_str(), edit_msg::kPromptQuestion);
  if (!interactive_) {
    // A script cannot answer; the run goes on as "Yes To All" would.
    std::fprintf(err_, "a\n");
    std::fflush(err_);
    return PromptAnswer::YesToAll;
  }
  std::fflush(err_);
  char line[64];
  if (!std::fgets(line, sizeof line, in_)) return PromptAnswer::Cancel;
  switch (line[0]) {
  case 'y':
  case 'Y': return PromptAnswer::Yes;
  case 'a':
  case 'A': return PromptAnswer::YesToAll;
  case 'c':
  case 'C': return PromptAnswer::Cancel;
  default: return PromptAnswer::No;
  }
}

} // namespace velmora::cli

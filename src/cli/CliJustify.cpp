#include "cli/CliJustify.h"

namespace velmora::cli {

PromptAnswer CliJustifyDialogs::promptBeforeOperation(const JustifyPrompt& prompt) {
  const PromptAnswer answer = askPrompt(prompt);
  if (answer == PromptAnswer::Cancel && onCancel) onCancel();
  return answer;
}

PromptAnswer CliJustifyDialogs::askPrompt(const JustifyPrompt& prompt) {
  if (beforeAsk) beforeAsk();
  std::fprintf(err_, "velmora-cli: %s: %s\nParameters: %s\n%s [y]es/[a]ll/[n]o/[c]ancel ", prompt.title.c_str(),
               prompt.text.c_str(), prompt.parameters.c_str(), prompt.question.c_str());
  if (!interactive_) {
    std::fputs("Yes To All\n", err_);
    std::fflush(err_);
    return PromptAnswer::YesToAll;
  }
  std::fflush(err_);
  char line[64];
  while (std::fgets(line, sizeof line, stdin)) {
    switch (line[0]) {
    case 'y':
    case 'Y': return PromptAnswer::Yes;
    case 'a':
    case 'A': return PromptAnswer::YesToAll;
    case 'n':
    case 'N': return PromptAnswer::No;
    case 'c':
    case 'C': return PromptAnswer::Cancel;
    default: std::fputs("[y]es/[a]ll/[n]o/[c]ancel ", err_); std::fflush(err_);
    }
  }
  // End of input or Ctrl+C: a cancel, which the pump records as an interrupt.
  host_.pump();
  return PromptAnswer::Cancel;
}

bool CliJustifyDialogs::editJustifySettings(JustifyOptions& options) {
  (void)options;
  return false;
}

} // namespace velmora::cli

#pragma once

#include <cstdio>
#include <functional>

#include "cli/CliHost.h"
#include "justify/Justify.h"

namespace velmora::cli {

// The Justify prompt on the console: asked on a terminal, answered
// "Yes To All" elsewhere. The settings dialog has no console form.
class CliJustifyDialogs : public IJustifyDialogs {
public:
  CliJustifyDialogs(CliHost& host, std::FILE* err, bool interactive)
      : host_(host), err_(err), interactive_(interactive) {}

  PromptAnswer promptBeforeOperation(const JustifyPrompt& prompt) override;
  bool editJustifySettings(JustifyOptions& options) override;

  // Called before a question is printed, so that what the console holds back comes first.
  std::function<void()> beforeAsk;
  // Called when the prompt is answered Cancel: the batch must end, even with --keep-going.
  std::function<void()> onCancel;

private:
  PromptAnswer askPrompt(const JustifyPrompt& prompt);
  CliHost& host_;
  std::FILE* err_;
  bool interactive_;
};

} // namespace velmora::cli

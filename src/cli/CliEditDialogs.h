#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "base/Host.h"
#include "edit/EditRun.h"

namespace velmora::cli {

// The edit run's dialogs on the console: the macro named by --macro stands
// for "Select a Macro"; a prompt is asked on a terminal (y/a/n/c) and
// answered "Yes To All" elsewhere.
class CliEditDialogs : public IEditDialogs {
public:
  CliEditDialogs(IHost& host, std::FILE* err, std::FILE* in, std::string macro, bool interactive)
      : host_(host), err_(err), in_(in), macro_(std::move(macro)), interactive_(interactive) {}

  // A macro without its file is refused with "Unable to open file %s for reading".
  bool selectMacro(const SelectMacroRequest& request, std::string& chosen) override;
  PromptAnswer promptBeforeOperation(const EditPrompt& prompt) override;

  // Called before a question is printed, so that what the console holds back comes first.
  std::function<void()> beforeAsk;
  // Called when the prompt is answered Cancel: the batch must end, even with --keep-going.
  std::function<void()> onCancel;

private:
  PromptAnswer askPrompt(const EditPrompt& prompt);
  IHost& host_;
  std::FILE* err_;
  std::FILE* in_;
  std::string macro_;
  bool interactive_;
};

} // namespace velmora::cli

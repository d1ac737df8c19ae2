#pragma once

#include <string>

#include "staves/StaveDialogs.h"

namespace velmora::cli {

// The stave dialogs answered from the command line: the instrument numbers
// and keep-listed box from --instruments and --keep-listed, the template from
// --template, and every stave dialog with "OK" and its boxes unchanged.
class CliStaveDialogs : public IStaveDialogs {
public:
  CliStaveDialogs(std::string instruments, bool keepListed, std::string templatePath)
      : instruments_(std::move(instruments)), keepListed_(keepListed), templatePath_(std::move(templatePath)) {}

  bool selectInstrumentNumbers(InstrumentChoice& choice) override;
  StaveDialogResult selectStaves(StaveSelection& selection) override;
  bool chooseTemplate(TemplateChoice& choice) override;

private:
  std::string instruments_;
  bool keepListed_;
  std::string templatePath_;
};

} // namespace velmora::cli

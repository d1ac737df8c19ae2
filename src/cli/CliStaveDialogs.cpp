#include "cli/CliStaveDialogs.h"

namespace velmora::cli {

bool CliStaveDialogs::selectInstrumentNumbers(InstrumentChoice& choice) {
  choice.numbers = instruments_;
  choice.keepListed = keepListed_;
  return true;
}

StaveDialogResult CliStaveDialogs::selectStaves(StaveSelection& selection) {
  (void)selection;
  return StaveDialogResult::Ok;
}

bool CliStaveDialogs::chooseTemplate(TemplateChoice& choice) {
  if (templatePath_.empty()) return false;
  choice.path = templatePath_;
  return true;
}

} // namespace velmora::cli

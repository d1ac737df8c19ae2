#include "gui/staves/CStaveDialogs.h"

#include "gui/CGuiHost.h"
#include "gui/staves/COptimizeSettings.h"
#include "gui/staves/CSelectInstrumentNos.h"
#include "gui/staves/CSelectStaves.h"
#include "gui/staves/CTemplateFileDialog.h"
#include "gui/staves/CUnoptimizeSettings.h"

namespace velmora::gui {

// These dialogs only open while a task runs, so the filter is switched back on after.
template <class F> auto CStaveDialogs::whileFilterRests(F&& run) {
  if (host_) host_->setTaskRunning(false);
  auto result = run();
  if (host_) host_->setTaskRunning(true);
  return result;
}

bool CStaveDialogs::selectInstrumentNumbers(InstrumentChoice& choice) {
  return whileFilterRests([&] {
    CSelectInstrumentNos dialog(parent_);
    return dialog.choose(choice);
  });
}

StaveDialogResult CStaveDialogs::selectStaves(StaveSelection& selection) {
  return whileFilterRests([&] {
    CSelectStaves dialog(parent_);
    return dialog.select(selection);
  });
}

bool CStaveDialogs::chooseTemplate(TemplateChoice& choice) {
  return whileFilterRests([&] {
    CTemplateFileDialog dialog(parent_);
    return dialog.choose(choice);
  });
}

bool CStaveDialogs::editOptimizeOptions(OptimizeOptions& options) {
  COptimizeSettings dialog(parent_);
  return dialog.edit(options);
}

bool CStaveDialogs::editUnoptimizeOptions(UnoptimizeOptions& options) {
  CUnoptimizeSettings dialog(parent_);
  return dialog.edit(options);
}

} // namespace velmora::gui

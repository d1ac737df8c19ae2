#pragma once

#include "staves/StaveDialogs.h"

class QWidget;

namespace velmora::gui {

class CGuiHost;

// The Optimize and Unoptimize dialogs over real windows. While one is open
// the host's cancel filter rests, so typing into it is not a "Cancel Action".
class CStaveDialogs : public IStaveDialogs, public IStaveSettingsDialogs {
public:
  CStaveDialogs(QWidget* parent, CGuiHost* host) : parent_(parent), host_(host) {}

  bool selectInstrumentNumbers(InstrumentChoice& choice) override;
  StaveDialogResult selectStaves(StaveSelection& selection) override;
  bool chooseTemplate(TemplateChoice& choice) override;
  bool editOptimizeOptions(OptimizeOptions& options) override;
  bool editUnoptimizeOptions(UnoptimizeOptions& options) override;

private:
  // Runs one task-time dialog with the cancel filter off.
  template <class F> auto whileFilterRests(F&& run);

  QWidget* parent_;
  CGuiHost* host_;
};

} // namespace velmora::gui

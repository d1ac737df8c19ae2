#pragma once

#include "batch/RunDialogs.h"

class QWidget;

namespace velmora::gui {

class CGuiHost;

// "Run Multiple Tasks" as a window, for the command handler.
class CGuiRunDialogs : public IRunDialogs {
public:
  // With the GUI host, its Cancel Action watch rests while the dialog is up,
  // so typing into it is not a cancel.
  explicit CGuiRunDialogs(QWidget* parent, CGuiHost* host = nullptr) : parent_(parent), host_(host) {}

  bool editRunOptions(RunOptions& options) override;

private:
  QWidget* parent_;
  CGuiHost* host_;
};

} // namespace velmora::gui

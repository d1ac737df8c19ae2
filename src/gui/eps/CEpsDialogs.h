#pragma once

#include "base/Host.h"
#include "eps/EpsDialogs.h"

class QWidget;

namespace velmora::gui {

class CGuiHost;

// The EPS tools' dialogs as real windows over the main window.
class CEpsDialogs : public IEpsDialogs {
public:
  // `runningHost`, when given, stops turning keys into "Cancel Action" while
  // the box dialog, shown in the middle of a task, takes typing.
  CEpsDialogs(IHost& host, QWidget* parent, CGuiHost* runningHost = nullptr)
      : host_(host), parent_(parent), runningHost_(runningHost) {}

  BoxAnswer alterBoundingBox(BoxDialogData& data) override;
  bool cropMarkSettings(CropDialogData& data) override;

private:
  IHost& host_;
  QWidget* parent_;
  CGuiHost* runningHost_;
};

} // namespace velmora::gui

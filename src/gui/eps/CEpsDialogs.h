#pragma once

#include "base/Host.h"
#include "eps/EpsDialogs.h"

class QWidget;

namespace velmora::gui {

// The EPS tools' dialogs as real windows over the main window.
class CEpsDialogs : public IEpsDialogs {
public:
  CEpsDialogs(IHost& host, QWidget* parent) : host_(host), parent_(parent) {}

  BoxAnswer alterBoundingBox(BoxDialogData& data) override;
  bool cropMarkSettings(CropDialogData& data) override;

private:
  IHost& host_;
  QWidget* parent_;
};

} // namespace velmora::gui

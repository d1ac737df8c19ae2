#pragma once

#include "base/Host.h"
#include "beams/BeamDialogs.h"

class QWidget;

namespace velmora::gui {

// The beam dialogs as windows, for the command handlers.
class CGuiBeamDialogs : public IBeamDialogs {
public:
  CGuiBeamDialogs(IHost& host, QWidget* parent) : host_(host), parent_(parent) {}

  BeamNotFoundAnswer askBeamAngleDoesNotExist(const BeamNotFoundQuestion& question) override;
  bool editBeamLibrary(BeamLibraryRequest& request) override;
  bool editBeamSettings(BeamSettingsRequest& request) override;
  bool askAreYouSure() override;

private:
  IHost& host_;
  QWidget* parent_;
};

} // namespace velmora::gui

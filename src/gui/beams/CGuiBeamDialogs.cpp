#include "gui/beams/CGuiBeamDialogs.h"

#include "gui/beams/CAreYouSure.h"
#include "gui/beams/CBeamAngleNoExists.h"
#include "gui/beams/CBeamAnglesDlg.h"
#include "gui/beams/CBeamSettingsDlg.h"

namespace velmora::gui {

CGuiBeamDialogs::Pause::Pause(CGuiBeamDialogs& owner) : owner_(owner) {
  if (owner_.depth_++ == 0 && owner_.pauseCancelWatch_) owner_.pauseCancelWatch_(true);
}

CGuiBeamDialogs::Pause::~Pause() {
  if (--owner_.depth_ == 0 && owner_.pauseCancelWatch_) owner_.pauseCancelWatch_(false);
}

BeamNotFoundAnswer CGuiBeamDialogs::askBeamAngleDoesNotExist(const BeamNotFoundQuestion& question) {
  const Pause pause(*this);
  CBeamAngleNoExists dialog(parent_);
  return dialog.ask(question);
}

bool CGuiBeamDialogs::editBeamLibrary(BeamLibraryRequest& request) {
  const Pause pause(*this);
  CBeamAnglesDlg dialog(host_, *this, request, parent_);
  return dialog.run(request);
}

bool CGuiBeamDialogs::editBeamSettings(BeamSettingsRequest& request) {
  const Pause pause(*this);
  CBeamSettingsDlg dialog(*this, request, parent_);
  return dialog.run(request);
}

bool CGuiBeamDialogs::askAreYouSure() {
  const Pause pause(*this);
  CAreYouSure dialog(parent_);
  return dialog.ask();
}

} // namespace velmora::gui

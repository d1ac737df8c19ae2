#include "gui/beams/CGuiBeamDialogs.h"

#include "gui/beams/CAreYouSure.h"
#include "gui/beams/CBeamAngleNoExists.h"
#include "gui/beams/CBeamAnglesDlg.h"
#include "gui/beams/CBeamSettingsDlg.h"

namespace velmora::gui {

BeamNotFoundAnswer CGuiBeamDialogs::askBeamAngleDoesNotExist(const BeamNotFoundQuestion& question) {
  CBeamAngleNoExists dialog(parent_);
  return dialog.ask(question);
}

bool CGuiBeamDialogs::editBeamLibrary(BeamLibraryRequest& request) {
  CBeamAnglesDlg dialog(host_, *this, request, parent_);
  return dialog.run(request);
}

bool CGuiBeamDialogs::editBeamSettings(BeamSettingsRequest& request) {
  CBeamSettingsDlg dialog(*this, request, parent_);
  return dialog.run(request);
}

bool CGuiBeamDialogs::askAreYouSure() {
  CAreYouSure dialog(parent_);
  return dialog.ask();
}

} // namespace velmora::gui

#pragma once

#include <cstdio>

#include "beams/BeamDialogs.h"

namespace velmora::cli {

// The beam dialogs on a console. The library editor is a window only, so
// "Beam Angle Does Not Exist" offers "No" and "No To All"; off a terminal
// it is answered "No To All", and later positions are learned silently.
class CliBeamDialogs : public IBeamDialogs {
public:
  CliBeamDialogs(std::FILE* err, bool interactive) : err_(err), interactive_(interactive) {}

  BeamNotFoundAnswer askBeamAngleDoesNotExist(const BeamNotFoundQuestion& question) override;
  bool editBeamLibrary(BeamLibraryRequest& request) override;
  bool editBeamSettings(BeamSettingsRequest& request) override;
  bool askAreYouSure() override;

private:
  std::FILE* err_;
  bool interactive_;
};

} // namespace velmora::cli

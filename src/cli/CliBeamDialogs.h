#pragma once

#include <cstdio>

#include "beams/BeamDialogs.h"

namespace velmora::cli {

// The library editor is a window only, so "Beam Angle Does Not Exist" offers "No" and "No To All".
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

#pragma once

#include <cstdio>
#include <functional>

#include "beams/BeamDialogs.h"

namespace velmora::cli {

// The library editor is a window only, so "Beam Angle Does Not Exist" offers "No" and "No To All".
class CliBeamDialogs : public IBeamDialogs {
public:
  CliBeamDialogs(std::FILE* err, bool interactive, std::FILE* in = stdin)
      : err_(err), in_(in), interactive_(interactive) {}

  BeamNotFoundAnswer askBeamAngleDoesNotExist(const BeamNotFoundQuestion& question) override;
  bool editBeamLibrary(BeamLibraryRequest& request) override;
  bool editBeamSettings(BeamSettingsRequest& request) override;
  bool askAreYouSure() override;

  // Called before a question is printed, so that what the console holds back comes first.
  std::function<void()> beforeAsk;

private:
  std::FILE* err_;
  std::FILE* in_;
  bool interactive_;
};

} // namespace velmora::cli

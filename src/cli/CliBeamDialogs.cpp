#include "cli/CliBeamDialogs.h"

#include <string>

#include "beams/Messages.h"

namespace velmora::cli {

BeamNotFoundAnswer CliBeamDialogs::askBeamAngleDoesNotExist(const BeamNotFoundQuestion& question) {
  std::string text = question.text;
  for (char& c : text)
    if (c == '\n') c = ' ';
  std::fprintf(err_, "velmora-cli: %s: %s [no/No To All] ", beams_msg::kNotFoundTitle, text.c_str());
  if (!interactive_) {
    std::fprintf(err_, "No To All\n");
    std::fflush(err_);
    return BeamNotFoundAnswer::NoToAll;
  }
  std::fflush(err_);
  char line[64];
  if (!std::fgets(line, sizeof line, stdin)) return BeamNotFoundAnswer::NoToAll;
  return line[0] == 'n' ? BeamNotFoundAnswer::No : BeamNotFoundAnswer::NoToAll;
}

bool CliBeamDialogs::editBeamLibrary(BeamLibraryRequest& request) {
  request.shownIndex = request.libraryIndex;
  return false;
}

bool CliBeamDialogs::editBeamSettings(BeamSettingsRequest& request) {
  (void)request;
  return false;
}

bool CliBeamDialogs::askAreYouSure() { return false; }

} // namespace velmora::cli

#include "cli/CliBeamDialogs.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "beams/Messages.h"

namespace velmora::cli {

BeamNotFoundAnswer CliBeamDialogs::askBeamAngleDoesNotExist(const BeamNotFoundQuestion& question) {
  std::string text = question.text;
  for (char& c : text)
    if (c == '\n') c = ' ';
  if (beforeAsk) beforeAsk();
  std::fprintf(err_, "velmora-cli: %s: %s [no/No To All] ", beams_msg::kNotFoundTitle, text.c_str());
  if (!interactive_) {
    std::fprintf(err_, "No To All\n");
    std::fflush(err_);
    return BeamNotFoundAnswer::NoToAll;
  }
  std::fflush(err_);
  char line[64];
  if (!std::fgets(line, sizeof line, in_)) return BeamNotFoundAnswer::NoToAll;
  std::string answer = line;
  while (!answer.empty() && std::isspace(static_cast<unsigned char>(answer.back())))
    answer.pop_back();
  answer.erase(0, std::min(answer.size(), answer.find_first_not_of(" \t")));
  for (char& c : answer)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  // "a" as in the other prompts, or the button's own text; anything else learns nothing.
  if (answer == "no to all" || (!answer.empty() && answer[0] == 'a')) return BeamNotFoundAnswer::NoToAll;
  return BeamNotFoundAnswer::No;
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

#pragma once

#include <string>

#include "settings/Records.h"

namespace velmora {

enum class BeamNotFoundAnswer { Yes, No, NoToAll };

// What "Beam Angle Does Not Exist" shows: the whole text, and its parts.
struct BeamNotFoundQuestion {
  int libraryIndex = 0;
  std::string left, mid, right; // integer parts; empty for a missing note
  std::string text;
};

// Opens "Set Beam Angles" on one library, with `prefilled` note positions for a new top row.
struct BeamLibraryRequest {
  std::string projectFolder;
  int libraryIndex = 0;
  bool prefilled = false;
  std::string left, mid, right;
  // Out: the library shown at the end, and a bit per library file the dialog wrote.
  int shownIndex = 0;
  unsigned writtenLibraries = 0;
};

// "Beam Settings" with its rules sub-dialog and its "Set Beam Angles..." button.
struct BeamSettingsRequest {
  BeamOptions options;
  std::string projectFolder;
  // In: the library "Set Beam Angles..." opens; out: the one shown when it last closed with OK.
  int libraryIndex = 0;
};

// The beam subsystem's dialogs. The GUI, the CLI and the tests implement them.
class IBeamDialogs {
public:
  virtual ~IBeamDialogs() = default;
  virtual BeamNotFoundAnswer askBeamAngleDoesNotExist(const BeamNotFoundQuestion& question) = 0;
  // True when closed with OK.
  virtual bool editBeamLibrary(BeamLibraryRequest& request) = 0;
  // True for OK; the options and the library index are then the dialog's.
  virtual bool editBeamSettings(BeamSettingsRequest& request) = 0;
  // "Are You Sure?"; true for "Yes".
  virtual bool askAreYouSure() = 0;
};

// The two rule check boxes apply only to "Only".
inline constexpr int32_t kHorizontalAsSpecified = 0, kHorizontalAlways = 1, kHorizontalOnly = 2;
inline bool beamRuleChecksEnabled(int32_t horizontalRule) { return horizontalRule == kHorizontalOnly; }

// The library the "Set Beam Angles..." button opens next, after that dialog closed.
inline int libraryAfterDialog(int current, const BeamLibraryRequest& closed, bool ok) {
  return ok ? closed.shownIndex : current;
}

} // namespace velmora

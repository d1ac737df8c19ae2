#pragma once

#include "base/Messages.h"

// The texts the beam libraries, their dialog and the beam task show, as printf formats.
namespace velmora::beams_msg {

// Shown for library files that cannot be read, and for those that cannot be written.
inline constexpr const char* kUnableToOpen = base_msg::kUnableToOpen;
inline constexpr const char* kLibraryDamaged = "%s is damaged: %s. The beam angles before that point are used.";
inline constexpr const char* kLibraryNotSaved =
    "%s was not read in full, so it is left as it is: the beam angles learned for it in this run are not saved.";
inline constexpr const char* kErrorCode = "Error Code %d";
inline constexpr const char* kInvalidField = "Invalid Parameter Number %s in %s field!";
inline constexpr const char* kCountLine = "%d beam angles in library";

inline constexpr const char* kNotFoundTitle = "Beam Angle Does Not Exist";
inline constexpr const char* kNotFoundSentence =
    "The following beam angle position was not found. Do you wish to add it to the array?";
inline constexpr const char* kNotFoundFormat = "%s\nDirection: %s\tLeft note: %s\tMid note: %s\tRight note: %s";

inline constexpr const char* kAreYouSureTitle = "Are You Sure?";
inline constexpr const char* kAreYouSureText =
    "This action will delete all data in the current library. Are you sure you wish to proceed?";

inline constexpr const char* kBeamAnglesTitle = "Set Beam Angles";
inline constexpr const char* kBeamSettingsTitle = "Beam Settings";
inline constexpr const char* kBeamRulesTitle = "Set Beam Angle Rules";

} // namespace velmora::beams_msg

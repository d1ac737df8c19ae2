#pragma once

#include "base/Messages.h"

// The texts the EPS tools show, as printf formats.
namespace velmora::eps_msg {

inline constexpr const char* kUnableToOpen = base_msg::kUnableToOpen;
inline constexpr const char* kNotScoreEps = "This file is not a SCORE EPS file";
inline constexpr const char* kNotScore34Eps =
    "This file is not a Score 3 or 4 EPS file\nCannot process Winscore files with this function (no trailer!)";
inline constexpr const char* kBottomLeftX = "Bottom left crop mark X coordinate out of range!";
inline constexpr const char* kBottomLeftY = "Bottom left crop mark Y coordinate out of range!";
inline constexpr const char* kTopRightX = "Top right crop mark X coordinate out of range!";
inline constexpr const char* kTopRightY = "Top right crop mark Y coordinate out of range!";
inline constexpr const char* kTooLarge = "%s is larger than any SCORE EPS file and cannot be processed.";
inline constexpr const char* kWriteFailed = base_msg::kWriteFailed;
// Two pages of one file would overwrite each other's page file.
// A title that names no file (empty or blank) leaves the file or page unnamed.
inline constexpr const char* kNotRenamedNoName = ", not renamed: its title names no file";
inline constexpr const char* kPageWithoutName = "%s holds a page whose title names no file; no page file was written.";
inline constexpr const char* kSamePageName = "%s holds two pages named %s; no page file was written.";
// A page file replaces only an earlier split of the same page, never a file of the batch.
inline constexpr const char* kPageFileListed =
    "%s holds a page for %s, which is waiting in this batch; no page file was written.";
inline constexpr const char* kPageFileTaken =
    "%s holds a page for %s, which exists and is not an earlier split of that page; no page file was written.";
// Row endings: what a rename or a page file did.
inline constexpr const char* kAlreadyNamed = ", already named %s";
inline constexpr const char* kNotRenamedExists = ", not renamed: %s exists";
inline constexpr const char* kNotRenamedFailed = ", not renamed to %s: %s";
inline constexpr const char* kSavingTo = ", saving to %s";
inline constexpr const char* kReplacing = ", replacing %s";

// The framework's standard texts for a refused dialog entry.
inline constexpr const char* kEnterInteger = "Enter an integer.";
inline constexpr const char* kEnterNumber = "Enter a number.";
inline constexpr const char* kIntegerRange = "Enter an integer between %d and %d.";
inline constexpr const char* kNumberRange = "Enter a number between %s and %s.";

} // namespace velmora::eps_msg

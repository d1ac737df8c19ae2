#pragma once

#include "base/Messages.h"

// The texts the SCORE readers and writers show, as printf formats.
namespace velmora::msg {

inline constexpr const char* kUnableToOpen = base_msg::kUnableToOpen;
inline constexpr const char* kJustFormat =
    "%s has been processed by the JUST program. Resave this file with the SM command in SCORE before "
    "processing with VELMORA";
inline constexpr const char* kInvalidCode =
    "Error - Item no. %d found with invalid Code No. (= 0!! CIEL)\nPlease try editing your SCORE file.";
inline constexpr const char* kInvalidStave = "Error - Item no. %d found with invalid stave number (usually 0 in "
                                             "Winscore)\nPlease try editing your SCORE file.";
// A file whose structure contradicts itself; the second %s says where.
inline constexpr const char* kDamaged = "%s is damaged and cannot be processed: %s.";
inline constexpr const char* kWriteFailed = base_msg::kWriteFailed;
inline constexpr const char* kHeaderTooLarge =
    "Unable to write file %s: its word total %d does not fit in a SCORE file header (0 to 65535).";

} // namespace velmora::msg

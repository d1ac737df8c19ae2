#pragma once

#include "base/Messages.h"

// The texts Justify shows, as printf formats.
namespace velmora::justify_msg {

inline constexpr const char* kUnableToOpen = base_msg::kUnableToOpen;
inline constexpr const char* kMinimumSpace = "Value for minimum justify space must be >= 0.01";

// The prompt shared with the edit run.
inline constexpr const char* kPromptTitle = "Prompt before Operation";
inline constexpr const char* kPromptText = "Conditions are TRUE for the following item in file %s";
inline constexpr const char* kPromptQuestion = "Do you wish to perform the operation?";

} // namespace velmora::justify_msg

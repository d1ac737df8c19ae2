#pragma once

#include "base/Messages.h"

// The texts of conditional editing, as printf formats.
namespace velmora::edit_msg {

inline constexpr const char* kUnableToOpen = base_msg::kUnableToOpen;
inline constexpr const char* kUnableToOpenStep = "Unable to open step %s for reading";
inline constexpr const char* kMacroNotFound = "Macro %s not found\n";
inline constexpr const char* kMacroExists = "The macro %s already exists. Do you wish to overwrite?";
inline constexpr const char* kStepExists = "The step %s already exists. Do you wish to overwrite?";
inline constexpr const char* kDeleteMacros = "Are you sure you want to delete %d macro(s) from disk?";
inline constexpr const char* kDeleteSteps = "Are you sure you want to delete %d step(s) from disk?";
// A rename never replaces a file; this says why one did not happen.
inline constexpr const char* kRenameFailed = "Unable to rename file %s to %s: %s.";

// Why an edited file is not written: the step, the item and its fault.
inline constexpr const char* kUnreadableItem = "step %s leaves %s with %s";

// Dialog titles and captions.
inline constexpr const char* kSelectMacroTitle = "Select a Macro";
inline constexpr const char* kNewMacroCaption = "Enter Name for New Macro";
inline constexpr const char* kNewStepCaption = "Enter Name for New Step";
inline constexpr const char* kDuplicateCaption = "Enter Name for Duplicate";
inline constexpr const char* kRenameMacroCaption = "Enter New Name for Macro";
inline constexpr const char* kRenameStepCaption = "Enter New Name for Step";
inline constexpr const char* kOverwriteTitle = "Overwrite";
inline constexpr const char* kDeleteTitle = "OK to Delete?";
inline constexpr const char* kAppendMacroTitle = "Select macros to append";
inline constexpr const char* kMacroMask = "*.MAC";
inline constexpr const char* kStepMask = "*.STP";

// Text replacement without a TXT term in the condition (string 76).
inline constexpr const char* kNoTextToReplace =
    "You have not specified any text to replace. Please add a TXT statement "
    "in the Conditional Argument field.";

// "Prompt before Operation".
inline constexpr const char* kPromptTitle = "Prompt before Operation";
inline constexpr const char* kPromptItem = "Conditions are TRUE for the following item in file %s";
inline constexpr const char* kPromptNoItems = "No items found - Conditions are TRUE in file %s";
inline constexpr const char* kPromptQuestion = "Do you wish to perform the operation?";

// The step editor and its search-and-replace dialogs.
inline constexpr const char* kCreateStepTitle = "Create Step";
inline constexpr const char* kEditStepTitle = "Edit Step";
inline constexpr const char* kFontChangeTitle = "Search and replace Initial Font Number";
inline constexpr const char* kTextChangeTitle = "Search and replace text";
inline constexpr const char* kSyntaxTitle = "Syntax";
inline constexpr const char* kFontSearchLabel = "if font number equals";
inline constexpr const char* kFontReplacementLabel = "change it to";
inline constexpr const char* kTextSearchLabel = "if text equals";
inline constexpr const char* kTextReplacementLabel = "replace it with";
inline constexpr const char* kEnterFontNumber = "Please enter font number into %s field!";
inline constexpr const char* kEnterText = "Please enter text into %s field!";

} // namespace velmora::edit_msg

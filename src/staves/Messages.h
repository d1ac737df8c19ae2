#pragma once

// The texts Optimize and Unoptimize show, as printf formats.
namespace velmora::staves_msg {

inline constexpr const char* kSelectInstrumentsTitle = "Select instrument numbers";
inline constexpr const char* kSelectInstrumentsText =
    "Please type in the instrument numbers of the staves you wish to delete (or to keep if option below is "
    "checked),separated by spaces. (When this dialog is displayed the usual Optimize behaviour to remove blank "
    "staves is disabled).";
inline constexpr const char* kKeepListedLabel = "Delete all instrument staves except the ones specified";

inline constexpr const char* kStavesToDeleteTitle = "Select Staves to Delete";
inline constexpr const char* kStavesToInsertTitle = "Select Staves to Insert";

inline constexpr const char* kChooseTemplateTitle = "Choose Template for Unoptimization";
inline constexpr const char* kTemplateFilter =
    "TEMPLATE files (*.mus) | *.mus|TEMPLATE files (*.jst) | *.jst|TEMPLATE files (*.jus) | *.jus|TEMPLATE files "
    "(*.pge) | *.pge|TEMPLATE files (*.pag) | *.pag|TEMPLATE files (*.pt) | *.pt|TEMPLATE files (*.opt) | "
    "*.opt|TEMPLATE files (*.uno) | *.uno|TEMPLATE files (*.edi) | *.edi|TEMPLATE files (*.bim) | *.bim|TEMPLATE "
    "files (*.tpl) | *.tpl| All Files (*.*) | *.* ||";

inline constexpr const char* kNoInstrumentNumber = "Staff %d has no instrument number!";

// An input stave the template has no place for: written with stave number 0 it
// would make the output unreadable, so the file is refused.
inline constexpr const char* kUnmatchedInstrument =
    "Stave %d of %s has instrument number %s, which no stave of the template has. The file has not been "
    "unoptimized.";
inline constexpr const char* kNoStaffItem =
    "Stave %d of %s has no staff item with an instrument number, so no stave of the template matches it. The file "
    "has not been unoptimized.";
inline constexpr const char* kNoRoomForStaves =
    "%s has no room for the staves the template adds: a SCORE file holds at most 250 staves. The file has not been "
    "unoptimized.";

} // namespace velmora::staves_msg

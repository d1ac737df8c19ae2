#pragma once

#include <string>
#include <string_view>

#include "edit/MacroFiles.h"
#include "edit/StepSyntax.h"

namespace velmora {

// How a macro or step is saved without the dialogs: the answers the user
// would give them.
struct SaveChoices {
  bool overwrite = false;          // "Yes" in "Overwrite"
  bool limitNameLength = false;    // edi.dat's 8-character option
  bool extendedParameters = false; // edi.dat's extended parameters
  bool allowMissingSteps = false;  // keep steps that have no file
};

struct SaveOutcome {
  bool saved = false;
  std::string name;    // the normalised name
  std::string message; // why nothing was written
  StepField field = StepField::None;
};

// A description typed with line feeds, stored with CR LF as the dialogs store it.
std::string descriptionForStoring(std::string_view typed);

// The step editor's OK for a typed name: the name normalised as "Enter Name"
// does, refused when empty, longer than 8 characters for a new file under the
// 8-character option, or existing without `overwrite`; then the three field
// checks in their order. The file is written only when all pass.
SaveOutcome saveStepAs(const CEditFiles& files, std::string_view typedName, StepData step, const SaveChoices& choices);

// The macro editor's OK: the same name rules; the step names are normalised
// and each must have a file unless `allowMissingSteps`.
SaveOutcome saveMacroAs(const CEditFiles& files, std::string_view typedName, MacroData macro,
                        const SaveChoices& choices);

} // namespace velmora

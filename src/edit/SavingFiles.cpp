#include "edit/SavingFiles.h"

#include "base/Format.h"
#include "edit/Messages.h"

namespace velmora {

namespace {

bool refuse(SaveOutcome& outcome, std::string message, StepField field = StepField::None) {
  outcome.message = std::move(message);
  outcome.field = field;
  return false;
}

// The name rules of "Enter Name"; false with the reason in the outcome.
bool checkNewName(const CEditFiles& files, EditFileKind kind, std::string_view typed, const SaveChoices& choices,
                  SaveOutcome& outcome) {
  const NameCheck check = files.checkName(kind, typed);
  outcome.name = check.name;
  const char* what = kind == EditFileKind::Macro ? "macro" : "step";
  if (check.state == NameCheck::State::Empty)
    return refuse(outcome, strprintf("The %s name \"%s\" is empty once leading blanks and everything from the "
                                     "first \".\" are dropped.",
                                     what, std::string(typed).c_str()));
  const bool exists = check.state == NameCheck::State::Exists;
  // The name field takes no more than 8 characters; a file already there keeps its name.
  if (choices.limitNameLength && !exists && check.name.size() > kDosNameLength)
    return refuse(outcome, strprintf("The %s name %s is longer than 8 characters, the limit that Edit Settings "
                                     "sets for compatibility with DOS Score.",
                                     what, check.name.c_str()));
  if (exists && !choices.overwrite)
    return refuse(outcome, strprintf("The %s %s already exists; --overwrite replaces it.", what, check.name.c_str()));
  return true;
}

} // namespace

std::string descriptionForStoring(std::string_view typed) {
  std::string out;
  for (size_t i = 0; i < typed.size(); ++i) {
    if (typed[i] == '\r' && i + 1 < typed.size() && typed[i + 1] == '\n') continue;
    if (typed[i] == '\n') out += '\r';
    out += typed[i];
  }
  return out;
}

SaveOutcome saveStepAs(const CEditFiles& files, std::string_view typedName, StepData step, const SaveChoices& choices) {
  SaveOutcome outcome;
  if (!checkNewName(files, EditFileKind::Step, typedName, choices, outcome)) return outcome;
  const FieldCheck check = normaliseAndCheckStep(step, choices.extendedParameters);
  if (!check.ok()) {
    refuse(outcome, check.message, check.focus);
    return outcome;
  }
  // A write failure has been shown by the host.
  outcome.saved = files.saveStep(outcome.name, step);
  return outcome;
}

SaveOutcome saveMacroAs(const CEditFiles& files, std::string_view typedName, MacroData macro,
                        const SaveChoices& choices) {
  SaveOutcome outcome;
  if (!checkNewName(files, EditFileKind::Macro, typedName, choices, outcome)) return outcome;
  for (std::string& step : macro.steps) {
    const std::string name = normaliseName(step);
    if (name.empty()) {
      refuse(outcome, strprintf("The step name \"%s\" is empty once leading blanks and everything from the first "
                                "\".\" are dropped.",
                                step.c_str()));
      return outcome;
    }
    step = name;
    if (!choices.allowMissingSteps && !files.exists(EditFileKind::Step, step)) {
      refuse(outcome, strprintf(edit_msg::kUnableToOpenStep, files.pathOf(EditFileKind::Step, step).c_str()));
      return outcome;
    }
  }
  outcome.saved = files.saveMacro(outcome.name, macro);
  return outcome;
}

} // namespace velmora

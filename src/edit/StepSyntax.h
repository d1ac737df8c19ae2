#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "edit/MacroFiles.h"

namespace velmora {

// Where the text of a "TXT[" ends: at the last "]" before the next "&&" or
// "||", or, with no "]" there, at that operator or the end of the field.
struct TxtSpan {
  size_t start = 0; // first character after "TXT["
  size_t end = 0;   // the closing "]", or the end of its segment
  bool closed = false;
};
TxtSpan txtSpanAt(std::string_view text, size_t keyword);

// Where an operation value that is not a plain number ends: at the first
// ")" (or the end), extended past one more ")" for every "(" from `start` on.
size_t assignmentValueEnd(std::string_view operation, size_t start);

// The code-number field upper-cased; the argument and operation upper-cased
// except the text inside each TXT[...].
std::string normaliseCodeField(std::string_view typed);
std::string normaliseStepText(std::string_view typed);
// All three fields of a step, as the editor's OK and the run do.
void normaliseStep(StepData& step);

// The blank-separated numbers of the code field; an empty field is {99}.
std::vector<int> codeList(std::string_view codes);

// A text step is one whose code field is 16; it may use TXT[...].
bool isTextStep(std::string_view codes);

enum class StepField { None, CodeNumbers, Argument, Operation };

// The result of a field check: the message (with its string-table id) and
// the field that gets the focus, or focus None when the field passed.
struct FieldCheck {
  StepField focus = StepField::None;
  int messageId = 0;
  std::string message;

  bool ok() const { return focus == StepField::None; }
};

// The string-table text of a validation message, a printf format.
const char* stepMessageText(int id);

FieldCheck checkCodeNumbers(std::string_view codes);
FieldCheck checkArgument(std::string_view argument, std::string_view codes, bool extendedParameters);
FieldCheck checkOperation(std::string_view operation, std::string_view codes, bool extendedParameters);
// The step editor's OK: normalises the fields, then checks code numbers,
// argument and operation in that order, stopping at the first fault.
FieldCheck normaliseAndCheckStep(StepData& step, bool extendedParameters);

// The field lengths of the search-and-replace dialogs.
inline constexpr size_t kMaxFontNumberLength = 2;
inline constexpr size_t kMaxReplaceTextLength = 160;

// The fills of the "Fonts..." and "Text..." search-and-replace dialogs.
void fillFontReplace(StepData& step, std::string_view fontA, std::string_view fontB);
void fillTextReplace(StepData& step, std::string_view textA, std::string_view textB);

} // namespace velmora

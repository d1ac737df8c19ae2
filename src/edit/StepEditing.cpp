#include "edit/StepEditing.h"

#include <algorithm>

#include "base/Format.h"
#include "edit/Messages.h"
#include "edit/StepSyntax.h"

namespace velmora {

std::string_view keywordText(StepKeyword keyword) {
  switch (keyword) {
  case StepKeyword::Equal: return "== ";
  case StepKeyword::NotEqual: return "!= ";
  case StepKeyword::Greater: return "> ";
  case StepKeyword::Less: return "< ";
  case StepKeyword::GreaterOrEqual: return ">= ";
  case StepKeyword::LessOrEqual: return "<= ";
  case StepKeyword::And: return "&& ";
  case StepKeyword::Or: return "|| ";
  case StepKeyword::Comp: return "COMP[] ";
  case StepKeyword::Comp2: return "COMP2[] ";
  case StepKeyword::Txt: return "TXT[] ";
  }
  return {};
}

CaretText insertKeyword(std::string_view text, size_t from, size_t to, StepKeyword keyword) {
  from = std::min(from, text.size());
  to = std::clamp(to, from, text.size());
  const std::string_view inserted = keywordText(keyword);
  CaretText out;
  out.text.reserve(text.size() + inserted.size() + 1);
  out.text.append(text.substr(0, from));
  if (from > 0 && text[from - 1] != ' ') out.text += ' ';
  const size_t start = out.text.size();
  out.text.append(inserted);
  const size_t bracket = inserted.find('[');
  out.caret = bracket == std::string_view::npos ? out.text.size() : start + bracket + 1;
  out.text.append(text.substr(to));
  return out;
}

CaretText deleteOperation() { return {"DEL", 3}; }

CaretText insertOperation() { return {"INS[] ", 4}; }

CaretText appendOperation(std::string_view path) { return {"APP[" + std::string(path) + "] ", 4 + path.size()}; }

namespace {

std::string quoted(const char* label) { return std::string("\"") + label + "\""; }

bool blankOnly(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

bool digitsAndBlanks(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || (c >= '0' && c <= '9'); });
}

ReplaceCheck fault(ReplaceField field, std::string message) { return {field, std::move(message)}; }

} // namespace

ReplaceCheck checkFontReplace(std::string_view search, std::string_view replacement) {
  using F = ReplaceField;
  // A field of blanks names no font: it would give the text "_".
  if (blankOnly(search))
    return fault(F::Search, strprintf(edit_msg::kEnterFontNumber, quoted(edit_msg::kFontSearchLabel).c_str()));
  if (blankOnly(replacement))
    return fault(F::Replacement,
                 strprintf(edit_msg::kEnterFontNumber, quoted(edit_msg::kFontReplacementLabel).c_str()));
  const auto invalid = [](const char* label) {
    return strprintf(stepMessageText(25), stepMessageText(26), quoted(label).c_str());
  };
  if (!digitsAndBlanks(search)) return fault(F::Search, invalid(edit_msg::kFontSearchLabel));
  if (!digitsAndBlanks(replacement)) return fault(F::Replacement, invalid(edit_msg::kFontReplacementLabel));
  return {};
}

ReplaceCheck checkTextReplace(std::string_view search, std::string_view) {
  if (search.empty())
    return fault(ReplaceField::Search, strprintf(edit_msg::kEnterText, quoted(edit_msg::kTextSearchLabel).c_str()));
  return {};
}

} // namespace velmora

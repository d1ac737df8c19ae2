#pragma once

#include <string>
#include <string_view>

namespace velmora {

// A field's text with its caret, as the step editor's keyword buttons leave it.
struct CaretText {
  std::string text;
  size_t caret = 0;

  bool operator==(const CaretText&) const = default;
};

// The keyword buttons of the step editor.
enum class StepKeyword {
  Equal,
  NotEqual,
  Greater,
  Less,
  GreaterOrEqual,
  LessOrEqual,
  And,
  Or,
  Comp,
  Comp2,
  Txt,
};

// The text a keyword button inserts: "== ", "&& ", "COMP[] ", ...
std::string_view keywordText(StepKeyword keyword);

// Inserts the keyword in place of the selection [from, to) (the caret when
// equal): a blank goes in front when the character before is not a blank,
// the text after stays, and the caret lands after the insertion or between
// the square brackets. Positions past the end count as the end.
CaretText insertKeyword(std::string_view text, size_t from, size_t to, StepKeyword keyword);

// The operation buttons that replace the whole field.
CaretText deleteOperation();                      // "DEL", caret at the end
CaretText insertOperation();                      // "INS[] ", caret between the brackets
CaretText appendOperation(std::string_view path); // "APP[path] ", caret before "]"

// Which field of a search-and-replace dialog is at fault.
enum class ReplaceField { None, Search, Replacement };

struct ReplaceCheck {
  ReplaceField focus = ReplaceField::None;
  std::string message;

  bool ok() const { return focus == ReplaceField::None; }
};

// "Search and replace Initial Font Number": both filled, digits and blanks only.
ReplaceCheck checkFontReplace(std::string_view search, std::string_view replacement);
// "Search and replace text": the search text must be filled.
ReplaceCheck checkTextReplace(std::string_view search, std::string_view replacement);

} // namespace velmora

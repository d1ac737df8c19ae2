#include "edit/StepSyntax.h"

#include <cstdlib>

#include "base/Format.h"

namespace velmora {

namespace {

constexpr const char* kFieldOperation = "Operation";                                     // 32
constexpr const char* kFieldCodes = "Code No(s) to Affect";                              // 33
constexpr const char* kFieldArgument = "Conditional Argument";                           // 36
constexpr const char* kListDigits = "numerical digits";                                  // 26
constexpr const char* kListAssignment = "numerical digits + - * / = . or special words"; // 27
constexpr const char* kListArgument = "numerical digits + - ! = < > . & | ( )";          // 37
constexpr const char* kListValues = "numerical digits + - * / = . ()p";                  // 61204

constexpr const char* kArgumentChars = " 0123456789.+-*/!=<>&|()P[]%#";
constexpr const char* kValueListChars = " 0123456789+-*/.,P()[]%#";
constexpr const char* kAssignmentChars = " 0123456789+-*/=.P()[]%#";

// Stands for one TXT[...] term once its text has been checked.
constexpr char kTxtMark = '\x01';

struct MessageEntry {
  int id;
  const char* text;
};

constexpr MessageEntry kMessages[] = {
    {24, "Invalid Code Number %s in %s field!"},
    {25, "Invalid characters found. Please use only %s in %s field!"},
    {26, kListDigits},
    {27, kListAssignment},
    {28, "Invalid operator %s in %s field!"},
    {29, "Invalid Parameter Number %s in %s field!"},
    {30, "Invalid float value %s in %s field!"},
    {31, "Missing float %s after operator in %s field!"},
    {32, kFieldOperation},
    {33, kFieldCodes},
    {34, "Operator invalid with Parameter Number %s in %s field!"},
    {36, kFieldArgument},
    {37, kListArgument},
    {38, "Missing %s bracket in %s field! Left- and right-hand brackets must be used in pairs."},
    {39, "Invalid %s right-hand bracket in %s field."},
    {43, "Invalid float value %s used with current Parameter Number in %s field! Please use values between 1.0 and "
         "19.0."},
    {57, "Neither COMP nor any function can appear in the Parameter Number position in Operation!"},
    {59, "No right square bracket found after COMP function - syntax = COMP[x]"},
    {60, "No left square bracket found after COMP function - syntax = COMP[x]"},
    {73, "Parameters must be separated by commas."},
    {61204, kListValues},
};

const char* fieldName(StepField field) {
  switch (field) {
  case StepField::CodeNumbers: return kFieldCodes;
  case StepField::Argument: return kFieldArgument;
  case StepField::Operation: return kFieldOperation;
  case StepField::None: break;
  }
  return "";
}

FieldCheck fault(StepField field, int id, const std::string& first = std::string()) {
  FieldCheck check;
  check.focus = field;
  check.messageId = id;
  const std::string text = stepMessageText(id);
  if (text.find("%s") == std::string::npos)
    check.message = text;
  else
    check.message = strprintf(text.c_str(), first.c_str(), fieldName(field));
  return check;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool startsWith(std::string_view s, size_t at, std::string_view word) { return s.substr(at, word.size()) == word; }

bool allDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (!isDigit(c)) return false;
  return true;
}

// An optional sign, digits and at most one ".".
bool isPlainNumber(std::string_view s) {
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  int digits = 0, dots = 0;
  for (; i < s.size(); ++i) {
    if (isDigit(s[i]))
      ++digits;
    else if (s[i] == '.')
      ++dots;
    else
      return false;
  }
  return digits > 0 && dots <= 1;
}

double numberOf(std::string_view s) { return std::strtod(std::string(s).c_str(), nullptr); }

// Length of "COMP", "COMP2" or "COMP3" at `at`, or 0.
size_t compKeywordLength(std::string_view s, size_t at) {
  if (!startsWith(s, at, "COMP")) return 0;
  if (at + 4 < s.size() && (s[at + 4] == '2' || s[at + 4] == '3')) return 5;
  return 4;
}

// Every character is allowed, a keyword, or (in a text step) a TXT text.
bool charactersAllowed(std::string_view s, const char* allowed, bool textStep) {
  const std::string_view set = allowed;
  for (size_t i = 0; i < s.size();) {
    if (const size_t n = compKeywordLength(s, i)) {
      i += n;
      continue;
    }
    if (textStep && startsWith(s, i, "TXT")) {
      if (i + 3 < s.size() && s[i + 3] == '[') {
        const TxtSpan span = txtSpanAt(s, i);
        i = span.closed ? span.end + 1 : span.end;
      } else {
        i += 3;
      }
      continue;
    }
    if (set.find(s[i]) == std::string_view::npos) return false;
    ++i;
  }
  return true;
}

// The field with each TXT[...] of a text step replaced by one mark.
std::string maskTexts(std::string_view s, bool textStep) {
  if (!textStep) return std::string(s);
  std::string out;
  for (size_t i = 0; i < s.size();) {
    if (startsWith(s, i, "TXT") && i + 3 < s.size() && s[i + 3] == '[') {
      const TxtSpan span = txtSpanAt(s, i);
      out.push_back(kTxtMark);
      i = span.closed ? span.end + 1 : span.end;
      continue;
    }
    out.push_back(s[i++]);
  }
  return out;
}

FieldCheck checkCompBrackets(std::string_view s, StepField field, int maxParameter) {
  for (size_t i = s.find("COMP"); i != std::string_view::npos; i = s.find("COMP", i)) {
    const size_t open = i + compKeywordLength(s, i);
    if (open >= s.size() || s[open] != '[') return fault(field, 60);
    const size_t close = s.find(']', open + 1);
    // The "]" stands at most three characters after the "[".
    if (close == std::string_view::npos || close - open > 3) return fault(field, 59);
    const std::string content(s.substr(open + 1, close - open - 1));
    if (!allDigits(content)) return fault(field, 29, content);
    const int n = std::atoi(content.c_str());
    if (n < 1 || n > maxParameter) return fault(field, 29, content);
    i = close + 1;
  }
  return {};
}

FieldCheck checkTxtBrackets(std::string_view s, StepField field) {
  for (size_t i = s.find("TXT"); i != std::string_view::npos; i = s.find("TXT", i)) {
    if (i + 3 >= s.size() || s[i + 3] != '[') return fault(field, 60);
    const TxtSpan span = txtSpanAt(s, i);
    if (!span.closed) return fault(field, 59);
    i = span.end + 1;
  }
  return {};
}

FieldCheck checkParentheses(std::string_view s, StepField field) {
  int depth = 0;
  for (char c : s) {
    if (c == '(') ++depth;
    if (c == ')') {
      if (depth == 0) return fault(field, 39, ")");
      --depth;
    }
  }
  if (depth > 0) return fault(field, 38, ")");
  return {};
}

// Tokens of a masked field, for the term and value checks.
struct CheckToken {
  enum Type { Open, Close, Comma, Logic, BadJoin, Op, Sign, Prefix, PRef, Comp, Number, Txt, Other } type;
  std::string text;
};

std::vector<CheckToken> lexForCheck(std::string_view s) {
  std::vector<CheckToken> tokens;
  for (size_t i = 0; i < s.size();) {
    const char c = s[i];
    const size_t start = i;
    auto take = [&](CheckToken::Type type, size_t end) {
      tokens.push_back({type, std::string(s.substr(start, end - start))});
      i = end;
    };
    if (c == ' ') {
      ++i;
    } else if (c == '(') {
      take(CheckToken::Open, i + 1);
    } else if (c == ')') {
      take(CheckToken::Close, i + 1);
    } else if (c == ',') {
      take(CheckToken::Comma, i + 1);
    } else if (c == '&' || c == '|') {
      size_t j = i;
      while (j < s.size() && (s[j] == '&' || s[j] == '|'))
        ++j;
      const std::string_view run = s.substr(i, j - i);
      take(run == "&&" || run == "||" ? CheckToken::Logic : CheckToken::BadJoin, j);
    } else if (std::string_view("=!<>*/").find(c) != std::string_view::npos) {
      size_t j = i;
      while (j < s.size() && std::string_view("=!<>*/").find(s[j]) != std::string_view::npos)
        ++j;
      take(CheckToken::Op, j);
    } else if (c == '+' || c == '-') {
      take(CheckToken::Sign, i + 1);
    } else if (c == '%' || c == '#') {
      take(CheckToken::Prefix, i + 1);
    } else if (c == kTxtMark) {
      take(CheckToken::Txt, i + 1);
    } else if (const size_t n = compKeywordLength(s, i)) {
      const size_t close = s.find(']', i + n);
      take(CheckToken::Comp, close == std::string_view::npos ? s.size() : close + 1);
    } else if (c == 'P') {
      size_t j = i + 1;
      while (j < s.size() && isDigit(s[j]))
        ++j;
      take(CheckToken::PRef, j);
    } else if (isDigit(c) || c == '.') {
      size_t j = i;
      while (j < s.size() && (isDigit(s[j]) || s[j] == '.'))
        ++j;
      take(CheckToken::Number, j);
    } else {
      take(CheckToken::Other, i + 1);
    }
  }
  return tokens;
}

bool validPRef(const std::string& text) {
  const std::string digits = text.substr(1);
  if (!allDigits(digits)) return false;
  const long n = std::strtol(digits.c_str(), nullptr, 10);
  return n >= 1 && n <= 54;
}

bool isComparison(const std::string& op) {
  return op == "==" || op == "!=" || op == "<" || op == ">" || op == "<=" || op == ">=" || op == "*" || op == "/";
}

// Terms of the conditional argument: operand, operator, operand, ... joined by "&&" or "||".
FieldCheck checkTerms(std::string_view masked, bool extended) {
  constexpr StepField F = StepField::Argument;
  const long maxLow = extended ? 30 : 19;
  const long maxHigh = extended ? 30999 : 19999;
  const auto tokens = lexForCheck(masked);
  bool expectOperand = true, termStart = true;
  std::string lastOp, sign;
  for (const CheckToken& t : tokens) {
    if (t.type == CheckToken::Open || t.type == CheckToken::Close) continue;
    if (expectOperand) {
      switch (t.type) {
      case CheckToken::Prefix: continue;
      case CheckToken::Sign: sign = t.text; continue;
      case CheckToken::PRef:
        if (!validPRef(t.text)) return fault(F, 29, t.text);
        break;
      case CheckToken::Number: {
        const std::string full = sign + t.text;
        if (!isPlainNumber(full)) return fault(F, 30, full);
        if (termStart) {
          const bool digitsOnly = allDigits(t.text) && sign.empty();
          const long n = digitsOnly ? std::strtol(t.text.c_str(), nullptr, 10) : -1;
          if (!((n >= 1 && n <= maxLow) || (n >= 1000 && n <= maxHigh))) return fault(F, 29, full);
        }
        break;
      }
      case CheckToken::Comp:
      case CheckToken::Txt: break;
      default:
        if (!lastOp.empty()) return fault(F, 31, lastOp);
        return fault(F, 28, t.text);
      }
      expectOperand = false;
      termStart = false;
      sign.clear();
      continue;
    }
    switch (t.type) {
    case CheckToken::Op:
      if (!isComparison(t.text)) return fault(F, 28, t.text);
      break;
    case CheckToken::Sign: break; // arithmetic on either side, as the evaluator reads it
    case CheckToken::Logic: termStart = true; break;
    default: return fault(F, 28, t.text);
    }
    lastOp = t.text;
    expectOperand = true;
  }
  if (expectOperand && !lastOp.empty()) return fault(F, 31, lastOp);
  return {};
}

// A value of the operation: operands joined by arithmetic operators.
// `commaSeparated` is set for the list of INS[...], where two adjacent values need a comma.
FieldCheck checkValue(std::string_view masked, bool commaSeparated) {
  constexpr StepField F = StepField::Operation;
  bool expectOperand = true;
  std::string lastOp, sign;
  for (const CheckToken& t : lexForCheck(masked)) {
    if (t.type == CheckToken::Open || t.type == CheckToken::Close) continue;
    if (commaSeparated && t.type == CheckToken::Comma) {
      if (expectOperand && !lastOp.empty()) return fault(F, 31, lastOp);
      expectOperand = true;
      lastOp.clear();
      continue;
    }
    const bool operand = t.type == CheckToken::PRef || t.type == CheckToken::Number || t.type == CheckToken::Comp ||
                         t.type == CheckToken::Txt;
    if (operand) {
      if (!expectOperand) {
        if (commaSeparated) return fault(F, 73);
        sign.clear();
        continue;
      }
      if (t.type == CheckToken::PRef && !validPRef(t.text)) return fault(F, 30, t.text);
      if (t.type == CheckToken::Number && !isPlainNumber(sign + t.text)) return fault(F, 30, sign + t.text);
      expectOperand = false;
      sign.clear();
      continue;
    }
    switch (t.type) {
    case CheckToken::Prefix: continue;
    case CheckToken::Sign:
      if (expectOperand) {
        sign = t.text;
        continue;
      }
      break;
    case CheckToken::Op:
      if (t.text != "*" && t.text != "/") return fault(F, 28, t.text);
      if (expectOperand && !lastOp.empty()) return fault(F, 31, lastOp);
      break;
    default: return fault(F, 28, t.text);
    }
    lastOp = t.text;
    expectOperand = true;
  }
  if (expectOperand && !lastOp.empty()) return fault(F, 31, lastOp);
  return {};
}

size_t tokenEnd(std::string_view s, size_t from) {
  const size_t blank = s.find(' ', from);
  return blank == std::string_view::npos ? s.size() : blank;
}

size_t skipBlanks(std::string_view s, size_t i) {
  while (i < s.size() && s[i] == ' ')
    ++i;
  return i;
}

FieldCheck checkAssignments(std::string_view m, bool extended) {
  constexpr StepField F = StepField::Operation;
  const double maxOperator = extended ? 30 : 19;
  const double maxHigh = extended ? 30999 : 19999;
  const double copyFrom = extended ? 3100 : 2000;
  for (size_t i = skipBlanks(m, 0); i < m.size(); i = skipBlanks(m, i)) {
    if (m[i] == kTxtMark) {
      ++i;
      continue;
    }
    if ((m[i] >= 'A' && m[i] <= 'Z') || (m[i] >= 'a' && m[i] <= 'z')) return fault(F, 57);
    size_t j = i;
    if (m[j] == '+' || m[j] == '-') ++j;
    while (j < m.size() && isDigit(m[j]))
      ++j;
    if (j == i || !isDigit(m[j - 1]) ||
        (j < m.size() && m[j] != ' ' && std::string_view("=+-*/").find(m[j]) == std::string_view::npos))
      return fault(F, 29, std::string(m.substr(i, tokenEnd(m, i) - i)));
    const std::string numberText(m.substr(i, j - i));
    const double n = numberOf(numberText);
    if (!((n >= 1 && n <= maxOperator) || (n >= 100 && n <= maxHigh))) return fault(F, 29, numberText);
    i = skipBlanks(m, j);
    if (i >= m.size()) return fault(F, 31, numberText);
    const bool signedNumber =
        (m[i] == '+' || m[i] == '-') && i + 1 < m.size() && (isDigit(m[i + 1]) || m[i + 1] == '.');
    if (isDigit(m[i]) || m[i] == '.' || signedNumber) {
      // Number form: "5 3", "1205 -2".
      const size_t end = tokenEnd(m, i);
      const std::string value(m.substr(i, end - i));
      if (!isPlainNumber(value)) return fault(F, 30, value);
      if (n >= copyFrom) {
        const double v = numberOf(value);
        if (!(v >= 1 && v <= maxOperator)) return fault(F, 43, value);
      }
      i = end;
      continue;
    }
    size_t k = i;
    while (k < m.size() && std::string_view("=+-*/").find(m[k]) != std::string_view::npos)
      ++k;
    const std::string op(m.substr(i, k - i));
    if (op != "=" && op != "+=" && op != "-=" && op != "*=" && op != "/=")
      return fault(F, 28, op.empty() ? std::string(m.substr(i, tokenEnd(m, i) - i)) : op);
    if (n > maxOperator) return fault(F, 34, numberText);
    i = skipBlanks(m, k);
    if (i >= m.size()) return fault(F, 31, op);
    const bool signedValue = (m[i] == '+' || m[i] == '-') && i + 1 < m.size() && (isDigit(m[i + 1]) || m[i + 1] == '.');
    if (isDigit(m[i]) || m[i] == '.' || signedValue) {
      const size_t end = tokenEnd(m, i);
      const std::string value(m.substr(i, end - i));
      if (!isPlainNumber(value)) return fault(F, 30, value);
      i = end;
      continue;
    }
    if (compKeywordLength(m, i) == 4 && i + 4 < m.size() && m[i + 4] == '[') {
      i = tokenEnd(m, i);
      continue;
    }
    const size_t end = assignmentValueEnd(m, i);
    if (FieldCheck check = checkValue(m.substr(i, end - i), false); !check.ok()) return check;
    i = end;
  }
  return {};
}

} // namespace

TxtSpan txtSpanAt(std::string_view text, size_t keyword) {
  TxtSpan span;
  span.start = std::min(text.size(), keyword + 4);
  size_t segment = text.size();
  for (size_t i = span.start; i + 1 < text.size(); ++i) {
    if ((text[i] == '&' && text[i + 1] == '&') || (text[i] == '|' && text[i + 1] == '|')) {
      segment = i;
      break;
    }
  }
  const size_t close =
      segment > span.start ? text.substr(span.start, segment - span.start).rfind(']') : std::string_view::npos;
  span.closed = close != std::string_view::npos;
  span.end = span.closed ? span.start + close : segment;
  return span;
}

size_t assignmentValueEnd(std::string_view s, size_t start) {
  size_t end = s.find(')', start);
  if (end == std::string_view::npos) return s.size();
  for (size_t i = s.find('(', start); i != std::string_view::npos; i = s.find('(', i + 1)) {
    const size_t close = s.find(')', end);
    if (close == std::string_view::npos) return s.size();
    end = close + 1;
  }
  return end;
}

std::string normaliseCodeField(std::string_view typed) { return toUpperAscii(std::string(typed)); }

std::string normaliseStepText(std::string_view typed) {
  const std::string upper = toUpperAscii(std::string(typed));
  std::string out = upper;
  for (size_t i = upper.find("TXT["); i != std::string::npos; i = upper.find("TXT[", i + 4)) {
    const TxtSpan span = txtSpanAt(upper, i);
    out.replace(span.start, span.end - span.start, typed.substr(span.start, span.end - span.start));
  }
  return out;
}

void normaliseStep(StepData& step) {
  step.codeNumbers = normaliseCodeField(step.codeNumbers);
  step.argument = normaliseStepText(step.argument);
  step.operation = normaliseStepText(step.operation);
}

std::vector<int> codeList(std::string_view codes) {
  std::vector<int> list;
  for (size_t i = skipBlanks(codes, 0); i < codes.size(); i = skipBlanks(codes, i)) {
    const size_t end = tokenEnd(codes, i);
    list.push_back(std::atoi(std::string(codes.substr(i, std::min<size_t>(end - i, 9))).c_str()));
    i = end;
  }
  if (list.empty()) list.push_back(99);
  return list;
}

bool isTextStep(std::string_view codes) {
  const size_t first = codes.find_first_not_of(' ');
  if (first == std::string_view::npos) return false;
  const size_t last = codes.find_last_not_of(' ');
  return codes.substr(first, last - first + 1) == "16";
}

const char* stepMessageText(int id) {
  for (const auto& m : kMessages)
    if (m.id == id) return m.text;
  return "";
}

FieldCheck checkCodeNumbers(std::string_view codes) {
  constexpr StepField F = StepField::CodeNumbers;
  for (char c : codes)
    if (c != ' ' && !isDigit(c)) return fault(F, 25, kListDigits);
  for (size_t i = skipBlanks(codes, 0); i < codes.size(); i = skipBlanks(codes, i)) {
    const size_t end = tokenEnd(codes, i);
    const std::string number(codes.substr(i, end - i));
    const long n = number.size() > 9 ? -1 : std::strtol(number.c_str(), nullptr, 10);
    if (!((n >= 1 && n <= 18) || n == 99)) return fault(F, 24, number);
    i = end;
  }
  return {};
}

FieldCheck checkArgument(std::string_view argument, std::string_view codes, bool extended) {
  constexpr StepField F = StepField::Argument;
  const bool textStep = isTextStep(codes);
  if (!charactersAllowed(argument, kArgumentChars, textStep)) return fault(F, 25, kListArgument);
  const std::string masked = maskTexts(argument, textStep);
  if (FieldCheck check = checkCompBrackets(masked, F, extended ? 30 : 19); !check.ok()) return check;
  if (textStep)
    if (FieldCheck check = checkTxtBrackets(argument, F); !check.ok()) return check;
  if (FieldCheck check = checkParentheses(masked, F); !check.ok()) return check;
  return checkTerms(masked, extended);
}

FieldCheck checkOperation(std::string_view operation, std::string_view codes, bool extended) {
  constexpr StepField F = StepField::Operation;
  const bool textStep = isTextStep(codes);
  std::string_view text = operation.substr(std::min(operation.size(), operation.find_first_not_of(' ')));
  const size_t last = text.find_last_not_of(' ');
  if (last != std::string_view::npos && equalsIgnoreCaseAscii(text.substr(0, last + 1), "DEL")) return {};
  const std::string keyword(text.substr(0, std::min(text.find(' '), text.find('['))));
  if (equalsIgnoreCaseAscii(keyword, "INS") || equalsIgnoreCaseAscii(keyword, "APP")) {
    const size_t open = text.find('[');
    if (open == std::string_view::npos) return fault(F, 60);
    const size_t close = text.rfind(']');
    if (close == std::string_view::npos || close < open) return fault(F, 59);
    // A file name cannot pass the value check; APP only needs its brackets.
    if (equalsIgnoreCaseAscii(keyword, "APP")) return {};
    const std::string_view content = text.substr(open + 1, close - open - 1);
    if (!charactersAllowed(content, kValueListChars, textStep)) return fault(F, 25, kListValues);
    const std::string masked = maskTexts(content, textStep);
    if (FieldCheck check = checkCompBrackets(masked, F, extended ? 30 : 19); !check.ok()) return check;
    if (textStep)
      if (FieldCheck check = checkTxtBrackets(content, F); !check.ok()) return check;
    if (FieldCheck check = checkParentheses(masked, F); !check.ok()) return check;
    return checkValue(masked, true);
  }
  if (!charactersAllowed(operation, kAssignmentChars, textStep)) return fault(F, 25, kListAssignment);
  const std::string masked = maskTexts(operation, textStep);
  if (FieldCheck check = checkCompBrackets(masked, F, extended ? 30 : 19); !check.ok()) return check;
  if (textStep)
    if (FieldCheck check = checkTxtBrackets(operation, F); !check.ok()) return check;
  if (FieldCheck check = checkParentheses(masked, F); !check.ok()) return check;
  return checkAssignments(masked, extended);
}

FieldCheck normaliseAndCheckStep(StepData& step, bool extended) {
  normaliseStep(step);
  if (FieldCheck check = checkCodeNumbers(step.codeNumbers); !check.ok()) return check;
  if (FieldCheck check = checkArgument(step.argument, step.codeNumbers, extended); !check.ok()) return check;
  return checkOperation(step.operation, step.codeNumbers, extended);
}

void fillFontReplace(StepData& step, std::string_view fontA, std::string_view fontB) {
  const auto twoDigits = [](std::string_view font) {
    std::string f(font);
    while (!f.empty() && f.back() == ' ')
      f.pop_back();
    f.erase(0, f.find_first_not_of(' '));
    return f.size() == 1 ? "0" + f : f;
  };
  step.codeNumbers = "16";
  step.description = "Replaces font " + std::string(fontA) + " with font " + std::string(fontB);
  step.argument = "TXT[_" + twoDigits(fontA) + "]";
  step.operation = "TXT[_" + twoDigits(fontB) + "]";
}

void fillTextReplace(StepData& step, std::string_view textA, std::string_view textB) {
  step.codeNumbers = "16";
  step.description = "Replaces text \"" + std::string(textA) + "\" with \"" + std::string(textB) + "\"";
  step.argument = "TXT[" + std::string(textA) + "]";
  step.operation = textB.empty() ? std::string() : "TXT[" + std::string(textB) + "]";
}

} // namespace velmora

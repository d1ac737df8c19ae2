#pragma once

#include <cmath>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "edit/CandidateSets.h"
#include "model/CItem.h"

namespace velmora::detail {

enum class Cmp { Eq, Ne, Lt, Gt, Le, Ge };

struct Operand {
  enum class Type { Param, Number, Comp } type = Type::Number;
  char prefix = 0;     // '%' fractional part, '#' integer part, or 0
  bool negate = false; // a sign in front of P or COMP
  int param = 0;       // Param and Comp: the parameter number
  int set = 0;         // Comp: 0 COMP, 1 COMP2, 2 COMP3
  double number = 0;   // Number, its sign included
};

struct Token {
  enum class Type { Operand, Cmp, Arith, And, Or, True, False } type = Type::Operand;
  Cmp cmp = Cmp::Eq;
  char arith = 0;
  Operand operand;
  size_t end = 0; // offset just past the token in the text
};

// Reads a step text (condition or value) into tokens; blanks and characters
// that belong to no token are passed over.
std::vector<Token> lex(std::string_view text);

// "%" keeps the fractional part, "#" the integer part (toward zero).
inline double applyPrefix(double value, char prefix) {
  if (prefix == '%') return value - std::trunc(value);
  if (prefix == '#') return std::trunc(value);
  return value;
}

// Left to right with no precedence; division by zero gives 0. `value` gives
// each operand's value.
template <class Value> double arithmetic(std::span<const Token> tokens, Value&& value) {
  double result = 0;
  bool haveOperand = false;
  char pending = 0;
  for (const Token& t : tokens) {
    if (t.type == Token::Type::Arith) {
      if (haveOperand) pending = t.arith;
      continue;
    }
    if (t.type != Token::Type::Operand) continue;
    const double v = value(t.operand);
    if (!haveOperand) {
      result = v;
      haveOperand = true;
    } else if (pending == '+') {
      result += v;
    } else if (pending == '-') {
      result -= v;
    } else if (pending == '*') {
      result *= v;
    } else if (pending == '/') {
      result = v == 0 ? 0 : result / v;
    }
    pending = 0;
  }
  return result;
}

// An operand's value against the current item: a missing parameter, an
// empty set or a set's missing parameter is 0.
double operandValue(const Operand& operand, const CItem& item, const CItemStore& store, const CCandidateSets& sets);

// Reduces the innermost bracket group first, left to right, each replaced by
// what `flat` gives for its content, until no bracket is left. A bracket
// without its partner is dropped.
template <class Flat> std::string reduceBrackets(const std::string& text, Flat&& flat) {
  // One pass with a stack of open brackets: each pair is reduced when its ")"
  // comes, innermost first and left to right; a ")" with no "(" open and the
  // "(" never closed are dropped.
  std::string out;
  out.reserve(text.size());
  std::vector<size_t> open;
  for (const char c : text) {
    if (c == '(') {
      open.push_back(out.size());
      out.push_back(c);
    } else if (c != ')') {
      out.push_back(c);
    } else if (!open.empty()) {
      const size_t at = open.back();
      open.pop_back();
      std::string value = flat(out.substr(at + 1));
      out.resize(at);
      out += value;
    }
  }
  if (open.empty()) return out;
  std::string kept;
  kept.reserve(out.size());
  size_t next = 0;
  for (size_t i = 0; i < out.size(); ++i) {
    if (next < open.size() && open[next] == i) {
      ++next;
      continue;
    }
    kept.push_back(out[i]);
  }
  return kept;
}

// A number as a bracket result is written back into the text.
std::string numberText(double value);

} // namespace velmora::detail

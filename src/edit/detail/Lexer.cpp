#include "edit/detail/Lexer.h"

#include <cmath>
#include <cstdlib>

#include "base/Format.h"

namespace velmora::detail {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Parameter numbers beyond any item are kept finite.
int readInt(std::string_view s, size_t& i) {
  long n = 0;
  while (i < s.size() && isDigit(s[i])) {
    if (n < 1000000) n = n * 10 + (s[i] - '0');
    ++i;
  }
  return static_cast<int>(n);
}

} // namespace

std::vector<Token> lex(std::string_view s) {
  std::vector<Token> tokens;
  char sign = 0, prefix = 0;
  auto valueEnds = [&] {
    if (tokens.empty()) return false;
    const auto t = tokens.back().type;
    return t == Token::Type::Operand || t == Token::Type::True || t == Token::Type::False;
  };
  auto push = [&](Token t, size_t end) {
    t.end = end;
    tokens.push_back(t);
  };
  auto pushOperand = [&](Operand o, size_t end) {
    o.prefix = prefix;
    if (o.type == Operand::Type::Number) {
      if (sign == '-') o.number = -o.number;
    } else {
      o.negate = sign == '-';
    }
    sign = prefix = 0;
    Token t;
    t.type = Token::Type::Operand;
    t.operand = o;
    push(t, end);
  };
  auto pushCmp = [&](Cmp c, size_t end) {
    Token t;
    t.type = Token::Type::Cmp;
    t.cmp = c;
    push(t, end);
  };
  for (size_t i = 0; i < s.size();) {
    const char c = s[i];
    const char next = i + 1 < s.size() ? s[i + 1] : '\0';
    Token t;
    if (c == '&' || c == '|') {
      t.type = c == '&' ? Token::Type::And : Token::Type::Or;
      i += next == c ? 2 : 1;
      push(t, i);
    } else if (c == '=') {
      i += next == '=' ? 2 : 1;
      pushCmp(Cmp::Eq, i);
    } else if (c == '!') {
      if (next == '=') pushCmp(Cmp::Ne, i + 2);
      i += next == '=' ? 2 : 1;
    } else if (c == '<' || c == '>') {
      const bool orEqual = next == '=';
      i += orEqual ? 2 : 1;
      pushCmp(c == '<' ? (orEqual ? Cmp::Le : Cmp::Lt) : (orEqual ? Cmp::Ge : Cmp::Gt), i);
    } else if (c == '*' || c == '/' || ((c == '+' || c == '-') && valueEnds())) {
      t.type = Token::Type::Arith;
      t.arith = c;
      push(t, ++i);
    } else if (c == '+' || c == '-') {
      sign = c;
      ++i;
    } else if (c == '%' || c == '#') {
      prefix = c;
      ++i;
    } else if (c == 'P') {
      ++i;
      Operand o;
      o.type = Operand::Type::Param;
      o.param = readInt(s, i);
      pushOperand(o, i);
    } else if (s.substr(i, 4) == "COMP") {
      Operand o;
      o.type = Operand::Type::Comp;
      i += 4;
      if (i < s.size() && (s[i] == '2' || s[i] == '3')) o.set = s[i++] - '1';
      if (i < s.size() && s[i] == '[') {
        ++i;
        o.param = readInt(s, i);
        if (i < s.size() && s[i] == ']') ++i;
      }
      pushOperand(o, i);
    } else if (isDigit(c) || c == '.') {
      const size_t start = i;
      while (i < s.size() && isDigit(s[i]))
        ++i;
      if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i]))
          ++i;
      }
      Operand o;
      o.number = std::strtod(std::string(s.substr(start, i - start)).c_str(), nullptr);
      pushOperand(o, i);
    } else if (c == 't' || c == 'f') {
      t.type = c == 't' ? Token::Type::True : Token::Type::False;
      sign = prefix = 0;
      push(t, ++i);
    } else {
      ++i;
    }
  }
  return tokens;
}

double operandValue(const Operand& o, const CItem& item, const CItemStore& store, const CCandidateSets& sets) {
  double v = 0;
  switch (o.type) {
  case Operand::Type::Number: return applyPrefix(o.number, o.prefix);
  case Operand::Type::Param: v = item.p(o.param); break;
  case Operand::Type::Comp: {
    const CItem* first = sets.sets[static_cast<size_t>(o.set)].first(store);
    v = first ? first->p(o.param) : 0.0f;
    break;
  }
  }
  v = applyPrefix(v, o.prefix);
  return o.negate ? -v : v;
}

std::string numberText(double value) {
  // "inf" would read back as the letter f, a false term.
  return strprintf("%.4f ", std::isfinite(value) ? value : 0.0);
}

} // namespace velmora::detail

#include "edit/Condition.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <type_traits>
#include <unordered_map>

#include "edit/ItemText.h"
#include "edit/StepSyntax.h"
#include "edit/detail/Lexer.h"

namespace velmora {

namespace {

using detail::Cmp;
using detail::Operand;
using detail::Token;
using T = Token::Type;
using Tokens = std::span<const Token>;

constexpr const char* kSetNames[3] = {"COMP", "COMP2", "COMP3"};

template <Cmp op, class T> bool compareAs(T a, T b) {
  if constexpr (op == Cmp::Eq) return a == b;
  if constexpr (op == Cmp::Ne) return a != b;
  if constexpr (op == Cmp::Lt) return a < b;
  if constexpr (op == Cmp::Gt) return a > b;
  if constexpr (op == Cmp::Le) return a <= b;
  if constexpr (op == Cmp::Ge) return a >= b;
}

// Calls f with the operator as a compile-time constant, for the loops over candidates.
template <class F> decltype(auto) withOperator(Cmp op, F&& f) {
  switch (op) {
  case Cmp::Eq: return f(std::integral_constant<Cmp, Cmp::Eq>{});
  case Cmp::Ne: return f(std::integral_constant<Cmp, Cmp::Ne>{});
  case Cmp::Lt: return f(std::integral_constant<Cmp, Cmp::Lt>{});
  case Cmp::Gt: return f(std::integral_constant<Cmp, Cmp::Gt>{});
  case Cmp::Le: return f(std::integral_constant<Cmp, Cmp::Le>{});
  case Cmp::Ge: break;
  }
  return f(std::integral_constant<Cmp, Cmp::Ge>{});
}

bool compare(float a, Cmp op, float b) {
  return withOperator(op, [&](auto c) { return compareAs<decltype(c)::value, float>(a, b); });
}

// What a comparison with a missing side gives when the other side is 0.
bool holdsForEqual(Cmp op) { return op == Cmp::Eq || op == Cmp::Le || op == Cmp::Ge; }

// A constant read where a parameter number is expected.
int parameterNumberOf(double v) { return v > -1000000.0 && v < 1000000.0 ? static_cast<int>(v) : 0; }

bool isLogic(const Token& t) { return t.type == T::And || t.type == T::Or; }

const Operand* single(Tokens t) { return t.size() == 1 && t[0].type == T::Operand ? &t[0].operand : nullptr; }

size_t skipBlanks(const std::string& s, size_t i) {
  while (i < s.size() && s[i] == ' ')
    ++i;
  return i;
}

bool logicAt(const std::string& s, size_t i) {
  return i + 1 < s.size() && ((s[i] == '&' && s[i + 1] == '&') || (s[i] == '|' && s[i + 1] == '|'));
}

// A text without brackets, lexed, with what its evaluation asks of the text.
struct FlatText {
  std::vector<Token> tokens;
  bool logical = false;
  bool namesComp = false;
  // Where each set name last occurs: whether the rest names it is then one comparison.
  std::array<size_t, 3> lastName{};
};

FlatText lexFlat(const std::string& text) {
  FlatText f;
  f.tokens = detail::lex(text);
  for (const Token& t : f.tokens)
    if (t.type != T::Operand && t.type != T::Arith) f.logical = true;
  f.namesComp = text.find("COMP") != std::string::npos;
  for (size_t x = 0; x < 3; ++x)
    f.lastName[x] = text.rfind(kSetNames[x]);
  return f;
}

uint64_t bitsOf(double v) {
  uint64_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

uint64_t bitsOf(float v) {
  uint32_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

class Evaluator {
public:
  enum class Kind { False, True, Arithmetic };
  struct Result {
    Kind kind;
    std::string text;
  };

  Evaluator(const CItem& item, ConditionContext& context) : item_(item), ctx_(context) {}

  // The text between brackets, or what is left once they are gone.
  Result flat(const FlatText& text) {
    const std::vector<Token>& tokens = text.tokens;
    if (tokens.empty()) return {Kind::True, {}};
    if (!text.logical) {
      if (text.namesComp) return {Kind::Arithmetic, "0"};
      return {Kind::Arithmetic, detail::numberText(arith(tokens))};
    }
    const Tokens all(tokens);
    const std::array<size_t, 3>& lastName = text.lastName;
    const auto restNames = [&](size_t x, size_t from) {
      return lastName[x] != std::string::npos && lastName[x] >= from;
    };
    size_t pos = 0;
    bool value = true, lastWasOr = false, someAlternativeTrue = false;
    for (;;) {
      size_t j = pos;
      while (j < all.size() && !isLogic(all[j]))
        ++j;
      value = term(all.subspan(pos, j - pos));
      if (j == all.size()) break;
      lastWasOr = all[j].type == T::Or;
      const size_t rest = all[j].end;
      const bool restNamesComp = restNames(0, rest);
      if (!lastWasOr) {
        if (!value) return {Kind::False, {}};
      } else if (value) {
        someAlternativeTrue = true;
        if (!restNamesComp) return {Kind::True, {}};
        for (size_t x = 0; x < 3; ++x)
          ctx_.candidates.saved[x].append(ctx_.candidates.sets[x]);
        refill(restNames, rest);
      } else if (restNamesComp) {
        refill(restNames, rest);
      }
      pos = j + 1;
    }
    if (!lastWasOr) return {value ? Kind::True : Kind::False, {}};
    const bool result = someAlternativeTrue || value;
    if (result) {
      for (size_t x = 0; x < 3; ++x) {
        CCandidateSet& saved = ctx_.candidates.saved[x];
        saved.append(ctx_.candidates.sets[x]);
        ctx_.candidates.sets[x] = std::move(saved);
        saved.clear();
      }
    }
    return {result ? Kind::True : Kind::False, {}};
  }

private:
  int precision(int parameter) const { return parameter == 7 || (parameter == 2 && ctx_.fourPointPrecision) ? 4 : 3; }

  // A typed number is held as the 32-bit value a parameter would hold, so a
  // parameter holding exactly that number rounds the same way.
  static double typed(double number) { return static_cast<float>(number); }

  static float rounded(double value, int decimals, char prefix) {
    return static_cast<float>(detail::applyPrefix(roundToDecimals(value, decimals), prefix));
  }

  bool exists(int n) const { return n >= 1 && n <= item_.count(); }
  static double signedParam(const CItem& item, int n, const Operand& o) {
    const double v = item.p(n);
    return o.negate ? -v : v;
  }

  double arith(Tokens tokens) const {
    return detail::arithmetic(
        tokens, [this](const Operand& o) { return detail::operandValue(o, item_, ctx_.store, ctx_.candidates); });
  }

  template <class Names> void refill(const Names& restNames, size_t rest) {
    for (size_t x = 0; x < 3; ++x)
      if (restNames(x, rest)) ctx_.candidates.sets[x].appendWholeFile();
  }

  bool term(Tokens t) {
    if (t.empty()) return true;
    if (t[0].type == T::True) return true;
    if (t[0].type == T::False) return false;
    size_t c = 0;
    while (c < t.size() && t[c].type != T::Cmp)
      ++c;
    // A term without a comparison is arithmetic, which counts as true.
    if (c == t.size()) return true;
    const Tokens left = t.first(c), right = t.subspan(c + 1);
    if (left.empty() || right.empty()) return false;
    const Cmp op = t[c].cmp;
    const Operand* l = single(left);
    const Operand* r = single(right);
    if ((l && l->type == Operand::Type::Comp) || (r && r->type == Operand::Type::Comp))
      return compTerm(l, left, op, r, right);
    if (!l) {
      const char rp = r ? r->prefix : 0;
      const double rv =
          r ? (r->type == Operand::Type::Param ? signedParam(item_, r->param, *r) : typed(r->number)) : arith(right);
      return compare(rounded(arith(left), 3, 0), op, rounded(rv, 3, rp));
    }
    const int n = l->type == Operand::Type::Param ? l->param : parameterNumberOf(l->number);
    if (r && r->type == Operand::Type::Param) return paramVsParam(n, *l, r->param, *r, op);
    // 5012 == 9 compares P5 with P9.
    if (l->type == Operand::Type::Number && l->number >= 1000 && r && r->type == Operand::Type::Number)
      return paramVsParam(parameterNumberOf(l->number / 1000), *l, parameterNumberOf(r->number), *r, op);
    const double constant = r ? typed(r->number) : arith(right);
    return paramVsConstant(n, *l, constant, r ? r->prefix : 0, op);
  }

  bool paramVsConstant(int n, const Operand& l, double constant, char rp, Cmp op) const {
    if (!exists(n)) return compare(0.0f, op, static_cast<float>(constant));
    const int k = precision(n);
    return compare(rounded(signedParam(item_, n, l), k, l.prefix), op, rounded(constant, k, rp));
  }

  bool paramVsParam(int n, const Operand& l, int m, const Operand& r, Cmp op) const {
    const bool en = exists(n), em = exists(m);
    if (en && em) {
      const int k = precision(n);
      return compare(rounded(signedParam(item_, n, l), k, l.prefix), op,
                     rounded(signedParam(item_, m, r), k, r.prefix));
    }
    if (en != em && (en ? item_.p(n) : item_.p(m)) != 0.0f) return false;
    return holdsForEqual(op);
  }

  // Filters the set of the COMP function; the term holds when an item is left.
  bool compTerm(const Operand* l, Tokens left, Cmp op, const Operand* r, Tokens right) {
    const bool leftFromCandidate = l && l->type == Operand::Type::Comp;
    const int x = leftFromCandidate ? l->set : r->set;
    const bool rightFromCandidate = r && r->type == Operand::Type::Comp && r->set == x;
    const int n = !l ? 0 : l->type == Operand::Type::Number ? parameterNumberOf(l->number) : l->param;
    const int k = l ? precision(n) : 3;
    const char lp = l ? l->prefix : 0;
    const char rp = r ? r->prefix : 0;

    // The sides that do not depend on the candidate are worked out once.
    bool leftExists = true;
    float leftRounded = 0;
    if (!leftFromCandidate) {
      if (l) {
        leftExists = exists(n);
        leftRounded = rounded(leftExists ? signedParam(item_, n, *l) : 0.0, k, lp);
      } else {
        leftRounded = rounded(arith(left), k, 0);
      }
    }
    double rightRaw = 0;
    if (!rightFromCandidate) {
      if (!r) {
        rightRaw = arith(right);
      } else if (r->type == Operand::Type::Param) {
        rightRaw = signedParam(item_, r->param, *r);
      } else if (r->type == Operand::Type::Number) {
        rightRaw = typed(r->number);
      } else {
        // Another set's function reads that set's first item.
        const CItem* first = ctx_.candidates.sets[static_cast<size_t>(r->set)].first(ctx_.store);
        rightRaw = first ? signedParam(*first, r->param, *r) : 0.0;
      }
    }
    const float rightRounded = rounded(rightRaw, k, rp);

    // Without "%" or "#", two values rounded to k decimals compare as their scaled
    // integers do while those stay below 10^7: there the float grid is finer than
    // 10^-k, so no division is needed per candidate.
    const double scale = k == 4 ? 10000.0 : 1000.0;
    const bool scaledCompare = lp == 0 && rp == 0;
    const auto scaled = [scale](double v) { return std::trunc(v * scale + 0.5); };
    const auto exact = [](double t) { return t > -1.0e7 && t < 1.0e7; };
    double leftScaled = 0, rightScaled = 0;
    if (!leftFromCandidate) leftScaled = l ? scaled(leftExists ? signedParam(item_, n, *l) : 0.0) : scaled(arith(left));
    if (!rightFromCandidate) rightScaled = scaled(rightRaw);

    // Everything the test below reads besides the candidate, for the cache.
    std::array<uint64_t, 7> test{};
    test[0] = static_cast<uint64_t>(op) | uint64_t{leftFromCandidate} << 3 | uint64_t{rightFromCandidate} << 4 |
              uint64_t{leftExists} << 5 | uint64_t{scaledCompare} << 6 | uint64_t{static_cast<uint8_t>(lp)} << 8 |
              uint64_t{static_cast<uint8_t>(rp)} << 16 | static_cast<uint64_t>(k) << 24;
    if (leftFromCandidate) {
      test[1] = static_cast<uint32_t>(l->param) | uint64_t{l->negate} << 32;
    } else {
      test[2] = bitsOf(leftScaled);
      test[3] = bitsOf(leftRounded);
    }
    if (rightFromCandidate) {
      test[0] |= uint64_t{static_cast<uint32_t>(r->param)} << 32;
      test[1] |= uint64_t{r->negate} << 33;
    } else {
      test[4] = bitsOf(rightRaw);
      test[5] = bitsOf(rightScaled);
      test[6] = bitsOf(rightRounded);
    }

    const CItem* self = &item_;
    CCandidateSet& set = ctx_.candidates.sets[static_cast<size_t>(x)];
    // The hot loop of the quadratic COMP semantics: nothing is parsed or allocated per candidate.
    withOperator(op, [&](auto c) {
      constexpr Cmp cmp = decltype(c)::value;
      set.filterCached(
          ctx_.store,
          [&](const CItem& candidate) {
            bool le = leftExists;
            double lt = leftScaled;
            if (leftFromCandidate) {
              le = l->param >= 1 && l->param <= candidate.count();
              if (le) lt = scaled(signedParam(candidate, l->param, *l));
            }
            double rr = rightRaw;
            double rt = rightScaled;
            if (rightFromCandidate) {
              rr = signedParam(candidate, r->param, *r);
              rt = scaled(rr);
            }
            if (!le) return compareAs<cmp, float>(0.0f, static_cast<float>(rr));
            if (scaledCompare && exact(lt) && exact(rt)) return compareAs<cmp, double>(lt, rt);
            const float lv = leftFromCandidate ? static_cast<float>(detail::applyPrefix(lt / scale, lp)) : leftRounded;
            const float rv =
                rightFromCandidate ? static_cast<float>(detail::applyPrefix(rt / scale, rp)) : rightRounded;
            return compareAs<cmp, float>(lv, rv);
          },
          ctx_.wholeFile, ctx_.wholeFile ? ctx_.compCache : nullptr, test, self);
      return 0;
    });
    return !set.empty(ctx_.store);
  }

  const CItem& item_;
  ConditionContext& ctx_;
};

} // namespace

double roundToDecimals(double value, int decimals) {
  const float scale = decimals == 4 ? 10000.0f : 1000.0f;
  return std::trunc(value * static_cast<double>(scale) + 0.5) / static_cast<double>(scale);
}

struct CCondition::Lexed {
  bool hasBrackets = false;
  // The working text itself when it has no brackets.
  FlatText whole;
  // Bracket contents and the texts they reduce to, as met; kept within bounds.
  std::unordered_map<std::string, FlatText> seen;
  size_t seenChars = 0;

  const FlatText& of(const std::string& text) {
    const auto it = seen.find(text);
    if (it != seen.end()) return it->second;
    if (seen.size() >= 1024 || seenChars + text.size() > (1u << 20)) {
      seen.clear();
      seenChars = 0;
    }
    seenChars += text.size();
    return seen.emplace(text, lexFlat(text)).first->second;
  }
};

CCondition::~CCondition() = default;
CCondition::CCondition(CCondition&&) noexcept = default;
CCondition& CCondition::operator=(CCondition&&) noexcept = default;

CCondition::CCondition(std::string argument) : argument_(std::move(argument)), lexed_(std::make_unique<Lexed>()) {
  for (size_t x = 0; x < 3; ++x)
    fills_[x] = argument_.find(kSetNames[x]) != std::string::npos;
  // Each TXT term leaves with the "&&" or "||" that joins it and the blanks after it.
  std::string s = argument_;
  for (size_t i = s.find("TXT["); i != std::string::npos; i = s.find("TXT[", i)) {
    const TxtSpan span = txtSpanAt(s, i);
    texts_.push_back(s.substr(span.start, span.end - span.start));
    size_t from = i, to = span.closed ? span.end + 1 : span.end;
    const size_t after = skipBlanks(s, to);
    if (logicAt(s, after)) {
      to = skipBlanks(s, after + 2);
    } else {
      size_t before = from;
      while (before > 0 && s[before - 1] == ' ')
        --before;
      if (before >= 2 && logicAt(s, before - 2)) from = before - 2;
      to = after;
    }
    s.erase(from, to - from);
    i = from;
  }
  withoutTexts_ = std::move(s);
  lexed_->hasBrackets = withoutTexts_.find_first_of("()") != std::string::npos;
  if (!lexed_->hasBrackets) lexed_->whole = lexFlat(withoutTexts_);
}

bool CCondition::evaluate(const CItem& item, int matchedEntry, ConditionContext& context) const {
  context.candidates.clear();
  for (size_t x = 0; x < 3; ++x)
    if (fills_[x]) context.candidates.sets[x].appendWholeFile();
  // The text test acts as an AND, whatever joins it; only a code-16 match makes it.
  if (matchedEntry == 16 && !texts_.empty()) {
    const std::string text = itemTextToZero(item);
    for (const std::string& t : texts_)
      if (text.find(t) == std::string::npos) return false;
  }
  Evaluator evaluator(item, context);
  if (!lexed_->hasBrackets) return evaluator.flat(lexed_->whole).kind != Evaluator::Kind::False;
  const std::string reduced = detail::reduceBrackets(withoutTexts_, [&](const std::string& inner) -> std::string {
    const Evaluator::Result r = evaluator.flat(lexed_->of(inner));
    if (r.kind == Evaluator::Kind::False) return "f";
    if (r.kind == Evaluator::Kind::True) return "t";
    return r.text;
  });
  return evaluator.flat(lexed_->of(reduced)).kind != Evaluator::Kind::False;
}

} // namespace velmora

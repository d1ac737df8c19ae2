#include "edit/Condition.h"

#include <gtest/gtest.h>

#include "edit/EditFixtures.h"
#include "edit/StepSyntax.h"
#include "edit/detail/Lexer.h"
#include "support/ScoreFixture.h"

namespace velmora {
namespace {

// A store built from parameter lists, and the argument evaluated on one of its items.
class Evaluation {
public:
  explicit Evaluation(const std::string& items) {
    for (const auto& p : test::parseItems(items))
      store.addItem(p);
  }
  // The n-th item (from 0) in list order.
  const CItem& item(size_t n) const {
    for (int l = 0; l < kStaveListCount; ++l)
      for (const CItem& i : store.list(l))
        if (n-- == 0) return i;
    throw std::out_of_range("no such item");
  }
  bool eval(const std::string& argument, size_t n, int entry = 1) {
    const CCondition condition(normaliseStepText(argument));
    ConditionContext context{store, sets, fourPoint};
    return condition.evaluate(item(n), entry, context);
  }
  // The items left in candidate set x, as their P3 values.
  std::vector<float> setP3(size_t x) const {
    std::vector<float> out;
    for (const CItem* i : sets.sets[x].items(store))
      out.push_back(i->p(3));
    return out;
  }

  CItemStore store;
  CCandidateSets sets;
  bool fourPoint = false;
};

struct Case {
  const char* argument;
  size_t item;
  bool expected;
};

void expectCases(Evaluation& e, const std::vector<Case>& cases) {
  for (const Case& c : cases)
    EXPECT_EQ(e.eval(c.argument, c.item), c.expected) << c.argument << " on item " << c.item;
}

TEST(Condition, Rounding) {
  // trunc(x * 10^k + 0.5) / 10^k: a negative value moves toward zero.
  EXPECT_FLOAT_EQ(static_cast<float>(roundToDecimals(1.23449f, 3)), 1.234f);
  EXPECT_FLOAT_EQ(static_cast<float>(roundToDecimals(1.2345f, 3)), 1.235f);
  EXPECT_FLOAT_EQ(static_cast<float>(roundToDecimals(-0.5f, 3)), -0.499f);
  EXPECT_FLOAT_EQ(static_cast<float>(roundToDecimals(1.23456f, 4)), 1.2346f);

  Evaluation e("1 1 10 2.5 0 1.23449 1.2345\n"
               "1 1.0004 10 2.25 0 1.2345\n"
               "1 1 10 -0.5\n");
  expectCases(e, {
                     // Three decimals, four for P7.
                     {"P6 == 1.234", 0, true},
                     {"P6 == 1.235", 0, false},
                     {"P6 == 1.235", 1, true},
                     {"P7 == 1.2345", 0, true},
                     {"P7 == 1.235", 0, false},
                     // Both sides are rounded alike, so -0.5 still equals -0.5.
                     {"P4 == -0.5", 2, true},
                     {"P4 > -0.5", 2, false},
                     {"P4 == -0.4995", 2, true},
                     {"P4 == -0.499", 2, false},
                     // "%" and "#" after rounding.
                     {"%P4 == 0.5", 0, true},
                     {"%P4 == 0.5", 1, false},
                     {"#P4 == 2", 0, true},
                     {"#P4 == 2", 1, true},
                     {"P4 == #2.7", 0, false},
                     {"%P4 == %3.5", 0, true},
                     // P2 to three decimals unless the 4-point option is set.
                     {"P2 == 1", 1, true},
                 });
  e.fourPoint = true;
  EXPECT_FALSE(e.eval("P2 == 1", 1));
  EXPECT_TRUE(e.eval("P2 == 1.0004", 1));
}

TEST(Condition, TypedNumbersRoundLikeTheParametersHoldingThem) {
  // Each constant is held by the item as a 32-bit float; both sides round from that.
  Evaluation e("1 1 10 12.3455 0.0025 0.0045 1.23445\n"
               "1 1 20 0 0.0025\n");
  expectCases(e, {
                     {"P5 == 0.0025", 0, true},
                     {"P5 != 0.0025", 0, false},
                     {"P6 == 0.0045", 0, true},
                     {"P4 == 12.3455", 0, true},
                     {"P4 >= 12.3455", 0, true},
                     {"P7 == 1.23445", 0, true},
                     {"P7 > 1.23445", 0, false},
                     // The same through a candidate set.
                     {"COMP[5] == 0.0025", 0, true},
                     {"COMP[3] == 20 && COMP[5] == 0.0025", 0, true},
                 });
}

TEST(Condition, MissingParametersAndParameterPairs) {
  Evaluation e("1 1 10 4\n"
               "1 1 0\n"
               "1 1 7 7 9\n");
  expectCases(e, {
                     // A missing Pn compares 0 with the constant.
                     {"P5 == 3", 0, false},
                     {"P5 < 3", 0, true},
                     {"P5 == 0", 0, true},
                     {"P5 > -1", 0, true},
                     // Pn against Pm: both present.
                     {"P3 > P4", 0, true},
                     {"P3 == P4", 2, true},
                     // One missing: false unless the other is 0, then ==, <=, >= hold.
                     {"P3 == P9", 1, true},
                     {"P3 >= P9", 1, true},
                     {"P3 != P9", 1, false},
                     {"P3 == P9", 0, false},
                     {"P3 != P9", 0, false},
                     // Both missing.
                     {"P8 <= P9", 0, true},
                     {"P8 < P9", 0, false},
                     // A number of 1000 or more compares two parameters of the item.
                     {"3000 == 4", 2, true},
                     {"3999 == 4.9", 2, true},
                     {"5000 > 4", 2, true},
                     {"3000 < 4", 2, false},
                     // A left constant is a parameter number.
                     {"3 == 10", 0, true},
                 });
}

TEST(Condition, LogicBracketsAndArithmetic) {
  Evaluation e("1 1 10 4\n"
               "2 1 20 6 0.5\n"
               "2 1 30 6\n"
               "3 1 40 6\n");
  expectCases(e, {
                     // Empty and arithmetic-only arguments are true.
                     {"", 0, true},
                     {"P5 + 1", 0, true},
                     {"(P5 + 1)", 0, true},
                     // Strictly left to right, with early exits.
                     {"P1 == 1 || P1 == 2 && P5 > 0", 0, true},
                     {"P1 == 1 || P1 == 2 && P5 > 0", 1, true},
                     {"P1 == 1 || P1 == 2 && P5 > 0", 2, false},
                     {"P1 == 1 || P1 == 2 && P5 > 0", 3, false},
                     {"P1 == 2 && P5 > 0 || P1 == 3", 3, false},
                     {"P1 == 3 || P1 == 2 && P5 > 0", 3, true},
                     {"P1 == 9 || P1 == 3", 3, true},
                     // Brackets group, innermost first; a bracket on the right is a value.
                     {"(P1 == 2 && P5 > 0) || P1 == 3", 3, true},
                     {"(P1 == 2 && P5 > 0) || (P1 == 1)", 2, false},
                     {"((P1 == 2) && (P4 == 6))", 2, true},
                     {"P3 > (P4 * 2)", 0, true},
                     {"P3 > (P4 * 3)", 0, false},
                     {"P3 == (P4 + 1) * 2", 0, true},
                     // Values have no precedence: 4 + 1 * 2 is 10.
                     {"P3 == (P4 + 1 * 2)", 0, true},
                     // A bracket result is written with four decimals before it is compared.
                     {"P4 == (1 / 3 * 12)", 0, true},
                     {"P3 == ((1 / 3) * 30)", 0, false},
                     {"P3 > ((1 / 3) * 30)", 0, true},
                     // Division by zero gives 0.
                     {"P4 > (P3 / 0)", 0, true},
                 });
}

TEST(Condition, BracketsReduceInnermostFirstInOnePass) {
  std::vector<std::string> calls;
  const auto mark = [&](const std::string& inner) {
    calls.push_back(inner);
    return "[" + inner + "]";
  };
  // Pairs in the order their ")" come; an unclosed "(" and a stray ")" are dropped.
  EXPECT_EQ(detail::reduceBrackets("a(b(c)d)e(f", mark), "a[b[c]d]ef");
  EXPECT_EQ(calls, (std::vector<std::string>{"c", "b[c]d"}));
  calls.clear();
  EXPECT_EQ(detail::reduceBrackets(")x((y)", mark), "x[y]");
  EXPECT_EQ(calls, (std::vector<std::string>{"y"}));
  EXPECT_EQ(detail::reduceBrackets("((((", mark), "");
  // Found by timing: 20,000 nested pairs took quadratic time before.
  int reductions = 0;
  const auto one = [&](const std::string&) { return std::to_string(++reductions); };
  EXPECT_EQ(detail::reduceBrackets(std::string(20000, '(') + "x" + std::string(20000, ')'), one), "20000");
}

TEST(Condition, CompOverOtherItems) {
  Evaluation e("8 1 0\n"      // 0
               "1 1 10 4\n"   // 1
               "1 1 20 5\n"   // 2
               "5 1 15 4 6\n" // 3
               "8 2 0\n"      // 4
               "1 2 10 4\n"); // 5
  expectCases(e, {
                     // Another code-1 item on the same stave.
                     {"COMP[1] == 1 && COMP[2] == P2", 1, true},
                     {"COMP[1] == 1 && COMP[2] == P2", 5, false},
                     // The set persists from term to term: one other item meets both.
                     {"COMP[1] == 5 && COMP[3] > P3", 1, true},
                     {"COMP[1] == 5 && COMP[3] > P3", 2, false},
                     // The current item is never its own candidate.
                     {"COMP[3] == P3", 1, true},
                     {"COMP[3] == P3", 2, false},
                     {"COMP[1] == 5", 3, false},
                     // The right side may read the same candidate: P3 above its own P4.
                     {"COMP[3] > COMP[5] && COMP[1] == 5", 0, true},
                     // COMP2 is an independent set.
                     {"COMP[1] == 5 && COMP2[1] == 8 && COMP2[2] == 2", 1, true},
                     {"COMP[1] == 5 && COMP2[1] == 8 && COMP2[2] == 3", 1, false},
                     // A missing candidate parameter compares 0 with the raw right side.
                     {"COMP[5] == 0 && COMP[1] == 8", 1, true},
                     {"COMP[5] == 6", 1, true},
                 });

  // What the condition leaves is what the operation reads.
  ASSERT_TRUE(e.eval("COMP[1] == 5 && COMP[3] > P3", 1));
  EXPECT_EQ(e.setP3(0), std::vector<float>{15});
  EXPECT_TRUE(e.setP3(1).empty());
  // An unfiltered set holds the whole file, the current item included.
  ASSERT_TRUE(e.eval("P1 == 1 && COMP2[1] == 5", 1));
  EXPECT_EQ(e.setP3(0).size(), 6u);
  EXPECT_EQ(e.setP3(1), std::vector<float>{15});
  // "||" with COMP after it: the set is refilled, and at the end it is the saved set plus the last one.
  ASSERT_TRUE(e.eval("COMP[1] == 1 || COMP[1] == 5", 0));
  EXPECT_EQ(e.setP3(0), (std::vector<float>{10, 20, 10, 15}));
  ASSERT_TRUE(e.eval("COMP[1] == 9 || COMP[1] == 5", 0));
  EXPECT_EQ(e.setP3(0), std::vector<float>{15});
  // Without COMP after "||", a true alternative ends the evaluation at once.
  ASSERT_TRUE(e.eval("COMP[1] == 5 || P1 == 99", 0));
  EXPECT_EQ(e.setP3(0), std::vector<float>{15});
  // Sets the argument does not name stay empty.
  ASSERT_TRUE(e.eval("P1 == 8", 0));
  EXPECT_TRUE(e.setP3(0).empty());
}

TEST(Condition, TextTest) {
  CItemStore store;
  store.addItem(test::textItem(1, 20, "_00Allegro"));
  store.addItem(std::vector<float>{1, 1, 10});
  CCandidateSets sets;
  ConditionContext context{store, sets, false};
  const CItem& text = store.list(0).front();
  const auto eval = [&](const std::string& argument, int entry) {
    return CCondition(normaliseStepText(argument)).evaluate(text, entry, context);
  };
  EXPECT_TRUE(eval("TXT[Allegro]", 16));
  EXPECT_TRUE(eval("TXT[_00]", 16));
  // Byte for byte, case-sensitive.
  EXPECT_FALSE(eval("TXT[allegro]", 16));
  // The text test acts as an AND, whatever joins it.
  EXPECT_FALSE(eval("TXT[Adagio] || P1 == 16", 16));
  EXPECT_TRUE(eval("P1 == 16 || TXT[Allegro]", 16));
  EXPECT_FALSE(eval("TXT[Allegro] && P3 > 50", 16));
  EXPECT_TRUE(eval("TXT[Allegro] && P3 < 50", 16));
  EXPECT_TRUE(eval("(TXT[Allegro]) && P3 < 50", 16));
  // Only a match through the code 16 runs it.
  EXPECT_TRUE(eval("TXT[Adagio] && P3 < 50", 99));

  const CCondition condition("P3 > 0 && TXT[Allegro] ma]");
  ASSERT_TRUE(condition.hasTxtTerm());
  EXPECT_EQ(condition.txtText(), "Allegro] ma");
  EXPECT_FALSE(CCondition("P3 > 0").hasTxtTerm());
}

} // namespace
} // namespace velmora

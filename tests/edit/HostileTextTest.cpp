#include <gtest/gtest.h>

#include <random>

#include "edit/Condition.h"
#include "edit/Operations.h"
#include "edit/StepSyntax.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"

namespace velmora {
namespace {

// Step texts from hand-made or damaged step files: whatever they hold, the
// evaluation and the operations end, stay in bounds and leave the store sound.
class HostileText : public ::testing::Test {
protected:
  void fill() {
    store.clear();
    for (const auto& p : test::parseItems("8 1 0\n1 1 10 4 10 0 1\n16 1 20 0 0 0 0 0 0 0 0 1e9 0 7\n5 2 15 4 6"))
      store.addItem(p);
    store.headerWord = 40;
  }
  void run(const std::string& argument, const std::string& operation) {
    fill();
    const CCondition condition(normaliseStepText(argument));
    const auto expressions = parseOperation(normaliseStepText(operation));
    checkArgument(argument, "16", false);
    checkOperation(operation, "16", true);
    for (int l = 0; l < kStaveListCount; ++l) {
      StaveList& list = store.list(l);
      // Items added by the operations are not visited, as in the run.
      size_t remaining = list.size();
      for (auto it = list.begin(); it != list.end() && remaining > 0; --remaining) {
        const auto next = std::next(it);
        ConditionContext context{store, sets, false};
        if (condition.evaluate(*it, 16, context)) {
          OperationContext op{host,
                              store,
                              sets,
                              "/nonexistent/",
                              condition.hasTxtTerm(),
                              condition.hasTxtTerm() ? condition.txtText() : "",
                              "/out.EDI"};
          if (applyOperation(op, expressions, l, it) == ApplyResult::Stopped) return;
        }
        sets.clear();
        it = next;
      }
    }
  }

  CItemStore store;
  CCandidateSets sets;
  test::FakeHost host;
};

TEST_F(HostileText, ChosenCases) {
  for (const auto& [argument, operation] : std::vector<std::pair<std::string, std::string>>{
           {"((((", "5 = ((P4"},
           {"))))", "))) 5 = 3"},
           {"COMP[", "3 = COMP["},
           {"COMP[99999999999] == 1 || COMP2[0] > COMP3[-1]", "5 = COMP3[99999999999]"},
           {"P99999999999 == 1e400", "99999999999 1"},
           {"TXT[", "TXT["},
           {"&&||&&||", "INS[TXT["},
           {"t f t && f || t", "INS[,,,]"},
           {"%#%#P5 == %#", "5000 -1 5000 nan 1205 1e38 1205 1e38"},
           {"P3 == (1 / 0) || (P3 * 1e38 * 1e38)", "5 = 1 / 0 6 /= 0 7 = (1e38 * 1e38)"},
           {"- + - + P", "-5 3 0 3 54 1 55 1"},
           {"P1 == 16", "TXT[] TXT[x]"},
           {"", "APP[] APP[, A]"},
       })
    run(argument, operation);
  EXPECT_LE(store.headerWord, kMaxEditWords);
  EXPECT_FALSE(store.empty());
}

TEST_F(HostileText, RandomTexts) {
  // Fixed seed: the same texts every run.
  std::mt19937 random(4);
  const std::string alphabet = " 0123456789.+-*/!=<>&|()P[]%#CMOTXAIDSNEL,tf";
  std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1), length(0, 24);
  const auto text = [&] {
    std::string s;
    for (size_t n = length(random); n > 0; --n)
      s += alphabet[pick(random)];
    return s;
  };
  for (int i = 0; i < 3000; ++i)
    run(text(), text());
  EXPECT_LE(store.headerWord, kMaxEditWords);
}

} // namespace
} // namespace velmora

#include "edit/Operations.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/Format.h"
#include "edit/EditFixtures.h"
#include "edit/StepSyntax.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

namespace velmora {
namespace {

using test::FakeHost;
using test::parseItems;
using test::TempDir;
using Params = std::vector<float>;
using Exprs = std::vector<CParamExpression>;

Params paramsOf(const CItem& item) {
  const auto v = item.params().values();
  return Params(v.begin(), v.end());
}

// A store with its header word counted as a reader leaves it (trailer of 5 words).
class Operation {
public:
  explicit Operation(const std::string& items, std::string folder = "") : folder_(std::move(folder)) {
    add(parseItems(items));
  }
  explicit Operation(const std::vector<Params>& items) { add(items); }

  ApplyResult apply(const std::string& op, bool conditionHasText = false, const std::string& conditionText = "") {
    if (store.list(0).empty()) throw std::logic_error("the item must stand on stave 1");
    OperationContext context{host, store, sets, folder_, conditionHasText, conditionText, "/out/a.EDI"};
    return applyOperation(context, parseOperation(normaliseStepText(op)), 0, store.list(0).begin());
  }
  ApplyResult append(const std::string& op) {
    OperationContext context{host, store, sets, folder_, false, "", "/out/a.EDI"};
    return appendScoreFile(context, parseOperation(normaliseStepText(op)).at(0));
  }
  Params first() const { return paramsOf(store.list(0).front()); }
  Params placed(size_t n) const { return paramsOf(*std::next(store.list(kPlacedList).begin(), static_cast<long>(n))); }
  Params at(int list, size_t n) const { return paramsOf(*std::next(store.list(list).begin(), static_cast<long>(n))); }

  CItemStore store;
  CCandidateSets sets;
  FakeHost host;
  int32_t headerBefore = 0;

private:
  void add(const std::vector<Params>& items) {
    store.headerWord = 5;
    for (const auto& p : items) {
      store.addItem(p);
      store.headerWord += 1 + static_cast<int32_t>(p.size());
    }
    store.trailerLength = 5;
    store.trailer.assign(20, 0xAB);
    headerBefore = store.headerWord;
  }
  std::string folder_;
};

TEST(Operations, Parsing) {
  struct Case {
    const char* text;
    Exprs expected;
  };
  for (const Case& c : std::vector<Case>{
           {"5 = 3", {{5, "=", "3", ""}}},
           {"5 3", {{5, "", "3", ""}}},
           {"5 -2", {{5, "", "-2", ""}}},
           {"5 += 1 6 -= 2.5 7 *= 2 8 /= 4",
            {{5, "+=", "1", ""}, {6, "-=", "2.5", ""}, {7, "*=", "2", ""}, {8, "/=", "4", ""}}},
           {"1205 3 5000 12", {{1205, "", "3", ""}, {5000, "", "12", ""}}},
           {"5 = P4 + 1", {{5, "=", "P4 + 1", ""}}},
           {"5 = #P4", {{5, "=", "#P4", ""}}},
           // A value that is not a plain number runs to its closing brackets.
           {"5 = P4 * (P5 + 1) 6 = 1", {{5, "=", "P4 * (P5 + 1)", ""}, {6, "=", "1", ""}}},
           {"5 = (P4 + 1) * 2", {{5, "=", "(P4 + 1)", ""}}},
           {"3 = COMP[3] 4 = 1", {{3, "=", "COMP[3]", ""}, {4, "=", "1", ""}}},
           // Keyword forms.
           {" del ", {{0, "DEL", "", ""}}},
           {"INS[1, P2, TXT[a, b]]", {{0, "INS", "1, P2, TXT[a, b]", ""}}},
           {"APP[HEADER.MUS, B]", {{0, "APP", "HEADER.MUS, B", ""}}},
           {"TXT[Allegro] 5 = 1", {{0, "TXT", "", "Allegro"}, {5, "=", "1", ""}}},
           {"TXT[]", {{0, "TXT", "", ""}}},
           // Nothing to set.
           {"", {}},
           {"5 =", {}},
       })
    EXPECT_EQ(parseOperation(normaliseStepText(c.text)), c.expected) << c.text;
}

TEST(Operations, Values) {
  CItemStore store;
  store.addItem(Params{1, 1, 4, 2.5});
  store.addItem(Params{5, 1, 30, 7});
  const CItem& item = store.list(0).front();
  CCandidateSets sets;
  struct Case {
    const char* text;
    float expected;
  };
  for (const Case& c : std::vector<Case>{
           // Left to right with no precedence; division by zero gives 0.
           {"P3 + 2 * 3", 18},
           {"10 / 0", 0},
           {"P3 / (P9 - 0)", 0},
           {"P3 - -2", 6},
           {"-P3 + 1", -3},
           {"(P3 + 1) * 2", 10},
           {"2 * (P3 + (1 + 1))", 12},
           // A bracket's result is written with four decimals.
           {"(1 / 3) * 3", 0.9999f},
           {"%P4", 0.5f},
           {"#P4", 2},
           {"%-2.75", -0.75f},
           {"P9", 0},
           {"", 0},
           {"COMP[3]", 0},
       })
    EXPECT_FLOAT_EQ(evaluateValue(c.text, item, store, sets), c.expected) << c.text;
  // COMP reads the first item of its set as the condition left it.
  sets.sets[0].appendWholeFile();
  sets.sets[0].filter(store, [](const CItem& i) { return i.code() == 5; });
  EXPECT_FLOAT_EQ(evaluateValue("COMP[3] + COMP[4]", item, store, sets), 37);
  EXPECT_FLOAT_EQ(evaluateValue("COMP2[3]", item, store, sets), 0);
}

TEST(Operations, AssignmentsGrowTheItemAndTheHeaderWord) {
  struct Case {
    const char* items;
    const char* op;
    Params expected;
  };
  for (const Case& c : std::vector<Case>{
           {"1 1 10", "5 = 3", {1, 1, 10, 0, 3}},
           {"1 1 10", "5 += 1", {1, 1, 10, 0, 1}},
           {"1 1 10 4 7", "5 /= 0", {1, 1, 10, 4, 0}},
           {"1 1 10 4 7", "5 -= 2 4 *= 0.5", {1, 1, 10, 2, 5}},
           // Each value is computed just before its expression.
           {"1 1 10 4 7", "5 *= 2 6 = P5", {1, 1, 10, 4, 14, 14}},
           {"1 1 10 4 7", "5 -2", {1, 1, 10, 4, -2}},
           // 200 to 1999 add to parameter N / 100.
           {"1 1 10", "1205 3", {1, 1, 10, 0, 0, 0, 0, 0, 0, 0, 0, 3}},
           {"1 1 10 4", "499 -1", {1, 1, 10, 3}},
           // 2000 and above copy parameter W into parameter N / 1000.
           {"1 1 10 4 7 0 0 0 0 0 0 9", "5000 12", {1, 1, 10, 4, 9, 0, 0, 0, 0, 0, 0, 9}},
           {"1 1 10 4 7", "2000 5", {1, 7, 10, 4, 7}},
           // Numbers outside the ranges and unknown operators change nothing.
           {"1 1 10", "150 3 60 3 -5 3", {1, 1, 10}},
           {"1 1 10", "5 - 3", {1, 1, 10}},
       }) {
    Operation o(c.items);
    EXPECT_EQ(o.apply(c.op), ApplyResult::Done) << c.op;
    EXPECT_EQ(o.first(), c.expected) << c.op;
    EXPECT_EQ(o.store.headerWord - o.headerBefore,
              static_cast<int32_t>(c.expected.size() - parseItems(c.items).at(0).size()))
        << c.op;
  }
  // 5000 25 on an item with 14 parameters grows it to 25 and sets P5 to 0.
  Operation o(std::vector<Params>{Params(14, 1.0f)});
  ASSERT_EQ(o.apply("5000 25"), ApplyResult::Done);
  Params expected(25, 0.0f);
  std::fill(expected.begin(), expected.begin() + 14, 1.0f);
  expected[4] = 0;
  EXPECT_EQ(o.first(), expected);
  EXPECT_EQ(o.store.headerWord - o.headerBefore, 11);
}

TEST(Operations, DeleteAndInsert) {
  // DEL removes the item and 1 + its count words.
  Operation del("1 1 10 4 0 0 0 0 1\n2 1 20");
  EXPECT_EQ(del.apply("DEL"), ApplyResult::Deleted);
  EXPECT_EQ(del.store.list(0).size(), 1u);
  EXPECT_EQ(del.store.headerWord - del.headerBefore, -10);

  // INS adds an item computed from the current one at the end of the placed list.
  Operation ins("1 1 10 4");
  ASSERT_EQ(ins.apply("INS[1, P2, P3 + 10, 0, 0]"), ApplyResult::Done);
  EXPECT_EQ(ins.first(), (Params{1, 1, 10, 4}));
  ASSERT_EQ(ins.store.list(kPlacedList).size(), 1u);
  EXPECT_EQ(ins.placed(0), (Params{1, 1, 20, 0, 0}));
  EXPECT_EQ(ins.store.headerWord - ins.headerBefore, 6);

  // A TXT element stores its text from P14 with "_00" in front, P12 its length.
  Operation text("16 1 10");
  ASSERT_EQ(text.apply("INS[16, 2, 30, TXT[Allegro]]"), ApplyResult::Done);
  EXPECT_EQ(text.placed(0), test::textItem(2, 30, "_00Allegro"));
  EXPECT_EQ(text.store.headerWord - text.headerBefore, 17);
  // Code and stave are filled in; a comma inside the text stays in it.
  ASSERT_EQ(text.apply("INS[TXT[_02Hi, there]]"), ApplyResult::Done);
  EXPECT_EQ(text.placed(1), test::textItem(1, 0, "_02Hi, there"));
  // An empty INS[] adds an item of code 0, which the edit run then refuses to write.
  ASSERT_EQ(text.apply("INS[]"), ApplyResult::Done);
  ASSERT_EQ(text.store.list(kPlacedList).size(), 3u);
  EXPECT_EQ(text.placed(2), (Params{0}));
}

TEST(Operations, TextReplacement) {
  const auto replace = [](const std::string& text, const std::string& search, const std::string& op) {
    Operation o(std::vector<Params>{test::textItem(1, 20, text)});
    EXPECT_EQ(o.apply(op, true, search), ApplyResult::Done);
    EXPECT_TRUE(o.host.messages.empty());
    return std::make_pair(o.first(), o.store.headerWord - o.headerBefore);
  };
  // Every match, left to right, is replaced; the result is written back from P14.
  EXPECT_EQ(replace("Allegro moderato", "moderato", "TXT[vivace]").first, test::textItem(1, 20, "Allegro vivace"));
  EXPECT_EQ(replace("a-a-a", "a", "TXT[aa]").first, test::textItem(1, 20, "aa-aa-aa"));
  // A longer text appends parameters and raises the header word.
  const auto grown = replace("_00I", "I", "TXT[Allegro]");
  EXPECT_EQ(grown.first, test::textItem(1, 20, "_00Allegro"));
  EXPECT_EQ(grown.second, 2);
  // An empty replacement deletes, then trailing blanks go; later parameters keep their values.
  Params shorter = test::textItem(1, 20, "Allegro moderato");
  shorter[11] = 7;
  EXPECT_EQ(replace("Allegro moderato", " moderato", "TXT[]").first, shorter);
  // Case-sensitive: nothing matches.
  EXPECT_EQ(replace("Allegro", "allegro", "TXT[x]").first, test::textItem(1, 20, "Allegro"));

  // Without a TXT term in the condition: message 76, item unchanged.
  Operation none(std::vector<Params>{test::textItem(1, 20, "Allegro")});
  EXPECT_EQ(none.apply("TXT[x]"), ApplyResult::Done);
  EXPECT_EQ(none.host.messages,
            std::vector<std::string>{"You have not specified any text to replace. Please add a TXT statement in "
                                     "the Conditional Argument field."});
  EXPECT_EQ(none.first(), test::textItem(1, 20, "Allegro"));

  // P12 claiming more than the item holds reads only what is there.
  Params lying = test::textItem(1, 20, "_00I");
  lying[11] = 1.0e9f;
  Operation o(std::vector<Params>{lying});
  EXPECT_EQ(o.apply("TXT[_01]", true, "_00"), ApplyResult::Done);
  EXPECT_EQ(o.first(), test::textItem(1, 20, "_01I"));
}

TEST(Operations, GrowthBeyondAnyScoreFileStopsTheFile) {
  Operation o("1 1 10");
  EXPECT_EQ(o.apply("5000 40000"), ApplyResult::Stopped);
  EXPECT_EQ(o.host.messages, std::vector<std::string>{"Unable to write file /out/a.EDI: its word total 40006 does not "
                                                      "fit in a SCORE file header (0 to 65535)."});
  EXPECT_EQ(o.first(), (Params{1, 1, 10}));
  // An index no item can have, in the number or the value, changes nothing and says nothing.
  for (const char* op : {"99999999999999999999 = 1", "5000 99999999999", "5000 -99999999999"}) {
    Operation huge("1 1 10");
    EXPECT_EQ(huge.apply(op), ApplyResult::Done) << op;
    EXPECT_TRUE(huge.host.messages.empty()) << op;
    EXPECT_EQ(huge.first(), (Params{1, 1, 10})) << op;
    EXPECT_EQ(huge.store.headerWord, huge.headerBefore) << op;
  }
}

TEST(Operations, AppendAFile) {
  TempDir dir;
  test::writeBytes(dir.file("header.mus"), test::buildScore("8 1 0 0\n16 2 5", test::scoreTrailer(3)));
  const std::string staves = "8 1 0\n1 1 10\n8 3 0";
  struct Case {
    const char* op;
    std::vector<Params> placed; // the appended items
    Params stave3;              // the item of list 2
  };
  for (const Case& c : std::vector<Case>{
           // A: appended staves go above the highest stave in use (3).
           {"APP[HEADER.MUS, A]", {{8, 4, 0, 0}, {16, 5, 5}}, {8, 3, 0}},
           {"APP[header.mus,T]", {{8, 3, 0, 0}, {16, 4, 5}}, {8, 3, 0}},
           // B: the file's own staves move up by the appended file's highest stave.
           {"APP[HEADER.MUS, B]", {{8, 1, 0, 0}, {16, 2, 5}}, {8, 5, 0}},
           {"APP[HEADER.MUS]", {{8, 1, 0, 0}, {16, 2, 5}}, {8, 3, 0}},
       }) {
    Operation o(staves, dir.path());
    ASSERT_EQ(o.append(c.op), ApplyResult::Done) << c.op;
    ASSERT_EQ(o.store.list(kPlacedList).size(), 2u) << c.op;
    EXPECT_EQ(o.placed(0), c.placed[0]) << c.op;
    EXPECT_EQ(o.placed(1), c.placed[1]) << c.op;
    EXPECT_EQ(o.at(2, 0), c.stave3) << c.op;
    EXPECT_EQ(o.store.headerWord - o.headerBefore, 9) << c.op;
    // The appended trailer is kept apart; the file's own trailer stays.
    EXPECT_EQ(o.store.appendedTrailerLength, 3);
    EXPECT_EQ(o.store.appendedWordTotal, 12);
    EXPECT_EQ(o.store.appendedTrailer.size(), 12u);
    EXPECT_EQ(o.store.trailer, std::vector<uint8_t>(20, 0xAB));
    EXPECT_TRUE(o.host.messages.empty());
  }

  // A missing file appends nothing and the step goes on.
  Operation missing(staves, dir.path());
  EXPECT_EQ(missing.append("APP[NONE.MUS, A]"), ApplyResult::Done);
  EXPECT_EQ(missing.host.messages,
            std::vector<std::string>{"Unable to open file " + dir.file("NONE.MUS") + " for reading"});
  EXPECT_TRUE(missing.store.list(kPlacedList).empty());

  // A faulty item stops the read; the items before it stay and no stave is raised.
  test::writeBytes(dir.file("bad.mus"), test::buildScore("8 1 0 0\n0 2 5"));
  Operation bad(staves, dir.path());
  EXPECT_EQ(bad.append("APP[BAD.MUS, A]"), ApplyResult::Done);
  EXPECT_EQ(bad.host.messages, std::vector<std::string>{"Error - Item no. 2 found with invalid Code No. (= 0!! "
                                                        "CIEL)\nPlease try editing your SCORE file."});
  ASSERT_EQ(bad.store.list(kPlacedList).size(), 1u);
  EXPECT_EQ(bad.placed(0), (Params{8, 1, 0, 0}));

  // Names are matched ignoring case, part by part, from the project folder or the root.
  EXPECT_EQ(resolveAppendPath(dir.path(), "HEADER.MUS"), dir.file("header.mus"));
  EXPECT_EQ(resolveAppendPath("/elsewhere/", toUpperAscii(dir.file("header.mus"))), dir.file("header.mus"));
  std::filesystem::create_directory(dir.file("Sub"));
  test::writeBytes(dir.file("Sub/Tail.mus"), test::buildScore("1 1 1"));
  EXPECT_EQ(resolveAppendPath(dir.path(), "SUB\\TAIL.MUS"), dir.file("Sub/Tail.mus"));
}

} // namespace
} // namespace velmora

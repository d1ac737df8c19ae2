#include "edit/StepEditing.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using K = StepKeyword;

CaretText at(std::string_view text, size_t caret, K keyword) { return insertKeyword(text, caret, caret, keyword); }

TEST(StepEditing, BlankInFrontOnlyAfterANonBlank) {
  // "AND" right after P5==3: a blank, "&& ", caret after the final blank.
  EXPECT_EQ(at("P5==3", 5, K::And), (CaretText{"P5==3 && ", 9}));
  // After a blank, or at the start, nothing is put in front.
  EXPECT_EQ(at("P5 ", 3, K::Equal), (CaretText{"P5 == ", 6}));
  EXPECT_EQ(at("", 0, K::Greater), (CaretText{"> ", 2}));
  EXPECT_EQ(at("P5", 0, K::Less), (CaretText{"< P5", 2}));
}

TEST(StepEditing, BracketKeywordsLeaveTheCaretInside) {
  // "COMP" in an empty argument.
  EXPECT_EQ(at("", 0, K::Comp), (CaretText{"COMP[] ", 5}));
  EXPECT_EQ(at("P5==3 &&", 8, K::Comp2), (CaretText{"P5==3 && COMP2[] ", 15}));
  EXPECT_EQ(at("P1 == 16 && ", 12, K::Txt), (CaretText{"P1 == 16 && TXT[] ", 16}));
}

TEST(StepEditing, TextAfterTheCaretStays) {
  EXPECT_EQ(at("P5P6", 2, K::NotEqual), (CaretText{"P5 != P6", 6}));
  EXPECT_EQ(at("P5 3", 3, K::GreaterOrEqual), (CaretText{"P5 >= 3", 6}));
  EXPECT_EQ(at("P5 == 3P6 > 1", 7, K::Or), (CaretText{"P5 == 3 || P6 > 1", 11}));
  // A selection is replaced; the blank rule looks at the character before it.
  EXPECT_EQ(insertKeyword("P5 <> 3", 3, 5, K::LessOrEqual), (CaretText{"P5 <=  3", 6}));
  EXPECT_EQ(insertKeyword("P5xx3", 2, 4, K::Equal), (CaretText{"P5 == 3", 6}));
  // Positions past the end, or a reversed selection, count as the end / the caret.
  EXPECT_EQ(at("P5", 99, K::Equal), (CaretText{"P5 == ", 6}));
  EXPECT_EQ(insertKeyword("P5", 2, 0, K::Equal), (CaretText{"P5 == ", 6}));
}

TEST(StepEditing, OperationButtons) {
  EXPECT_EQ(deleteOperation(), (CaretText{"DEL", 3}));
  EXPECT_EQ(insertOperation(), (CaretText{"INS[] ", 4}));
  // A chosen file goes inside; a cancelled choice still gives the brackets.
  EXPECT_EQ(appendOperation("/scores/HEADER.MUS"), (CaretText{"APP[/scores/HEADER.MUS] ", 22}));
  EXPECT_EQ(appendOperation(""), (CaretText{"APP[] ", 4}));
}

TEST(StepEditing, FontReplaceChecks) {
  const std::string emptyA = "Please enter font number into \"if font number equals\" field!";
  const std::string emptyB = "Please enter font number into \"change it to\" field!";
  const std::string charsA =
      "Invalid characters found. Please use only numerical digits in \"if font number equals\" field!";
  const std::string charsB = "Invalid characters found. Please use only numerical digits in \"change it to\" field!";
  struct Case {
    const char* a;
    const char* b;
    ReplaceField focus;
    std::string message;
  };
  for (const Case& c : std::vector<Case>{
           {"2", "13", ReplaceField::None, ""},
           {" 2", "1 ", ReplaceField::None, ""},
           {"", "13", ReplaceField::Search, emptyA},
           {"2", "", ReplaceField::Replacement, emptyB},
           // A field of blanks names no font.
           {"  ", "13", ReplaceField::Search, emptyA},
           // Both empty: the first field is named first.
           {"", "", ReplaceField::Search, emptyA},
           // Emptiness is checked before characters.
           {"x", "", ReplaceField::Replacement, emptyB},
           {"2a", "13", ReplaceField::Search, charsA},
           {"-1", "13", ReplaceField::Search, charsA},
           {"2", "1.", ReplaceField::Replacement, charsB},
       }) {
    const ReplaceCheck check = checkFontReplace(c.a, c.b);
    EXPECT_EQ(check.focus, c.focus) << c.a << "|" << c.b;
    EXPECT_EQ(check.message, c.message) << c.a << "|" << c.b;
  }
}

TEST(StepEditing, TextReplaceChecks) {
  EXPECT_TRUE(checkTextReplace("Allegro", "").ok());
  EXPECT_TRUE(checkTextReplace(" ", "x").ok());
  const ReplaceCheck empty = checkTextReplace("", "Andante");
  EXPECT_EQ(empty.focus, ReplaceField::Search);
  EXPECT_EQ(empty.message, "Please enter text into \"if text equals\" field!");
}

} // namespace
} // namespace velmora

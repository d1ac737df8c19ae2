#include "edit/StepSyntax.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using F = StepField;

struct Case {
  const char* text;
  F focus; // None: passes
  int id;  // the message's string-table id
  std::string message;
};

const std::string kCodes = " in Code No(s) to Affect field!";
const std::string kArg = " in Conditional Argument field!";
const std::string kOp = " in Operation field!";

void expectCase(const FieldCheck& check, const Case& c) {
  EXPECT_EQ(check.focus, c.focus) << c.text;
  EXPECT_EQ(check.messageId, c.id) << c.text;
  EXPECT_EQ(check.message, c.message) << c.text;
}

TEST(StepSyntax, Normalisation) {
  // Upper case except the text after each TXT[, up to the last "]" before "&&" or "||".
  EXPECT_EQ(normaliseStepText("p5 == 3 && txt[Allegro]"), "P5 == 3 && TXT[Allegro]");
  EXPECT_EQ(normaliseStepText("txt[a]b] || p5 == 1"), "TXT[a]b] || P5 == 1");
  EXPECT_EQ(normaliseStepText("Txt[Ma] && txt[x] y] z"), "TXT[Ma] && TXT[x] y] Z");
  EXPECT_EQ(normaliseStepText("txt[open && p1 == 1"), "TXT[open && P1 == 1");
  EXPECT_EQ(normaliseStepText("app[header.mus, b]"), "APP[HEADER.MUS, B]");
  EXPECT_EQ(normaliseCodeField("1 16"), "1 16");

  // The code list: blank-separated numbers, an empty field means 99.
  EXPECT_EQ(codeList(""), std::vector<int>{99});
  EXPECT_EQ(codeList("  1  99 "), (std::vector<int>{1, 99}));
  EXPECT_TRUE(isTextStep(" 16 "));
  EXPECT_FALSE(isTextStep("16 1"));
}

TEST(StepSyntax, CodeNumbers) {
  for (const Case& c : std::vector<Case>{
           {"1 5 99", F::None, 0, ""},
           {"", F::None, 0, ""},
           {"18", F::None, 0, ""},
           {"0", F::CodeNumbers, 24, "Invalid Code Number 0" + kCodes},
           {"1 19", F::CodeNumbers, 24, "Invalid Code Number 19" + kCodes},
           {"98", F::CodeNumbers, 24, "Invalid Code Number 98" + kCodes},
           {"1,5", F::CodeNumbers, 25, "Invalid characters found. Please use only numerical digits" + kCodes},
           {"1 -5", F::CodeNumbers, 25, "Invalid characters found. Please use only numerical digits" + kCodes},
       })
    expectCase(checkCodeNumbers(c.text), c);
}

TEST(StepSyntax, ConditionalArgument) {
  const std::string chars = "Invalid characters found. Please use only numerical digits + - ! = < > . & | ( )" + kArg;
  for (const Case& c : std::vector<Case>{
           // Forms that pass.
           {"", F::None, 0, ""},
           {"P5 == 3 && P6 > 2.5 || P1 != 1", F::None, 0, ""},
           {"COMP[5] == 3", F::None, 0, ""},
           {"COMP[1] == 1 && COMP2[2] == P2 && COMP3[3] > P3", F::None, 0, ""},
           {"P3 > (P4 * 2)", F::None, 0, ""},
           {"%P4 == 0.5 && #P4 == -2", F::None, 0, ""},
           {"5 == 3 && 19000 < 4 && 1 >= -1", F::None, 0, ""},
           // Characters and keywords.
           {"P5 == 3 $", F::Argument, 25, chars},
           {"TXT[Allegro]", F::Argument, 25, chars},
           // COMP brackets and their parameter.
           {"COMP5 == 3", F::Argument, 60, "No left square bracket found after COMP function - syntax = COMP[x]"},
           {"COMP[5 == 3", F::Argument, 59, "No right square bracket found after COMP function - syntax = COMP[x]"},
           {"COMP[1234] == 3", F::Argument, 59, "No right square bracket found after COMP function - syntax = COMP[x]"},
           // The "]" at most three characters after the "[": COMP[12] is checked for its number.
           {"COMP[123] == 3", F::Argument, 59, "No right square bracket found after COMP function - syntax = COMP[x]"},
           {"COMP[12] == 3", F::None, 0, ""},
           {"COMP[P1] == 3", F::Argument, 29, "Invalid Parameter Number P1" + kArg},
           {"COMP[20] == 1", F::Argument, 29, "Invalid Parameter Number 20" + kArg},
           {"COMP[] == 1", F::Argument, 29, "Invalid Parameter Number " + kArg},
           // Brackets.
           {"(P5 == 3", F::Argument, 38,
            "Missing ) bracket in Conditional Argument field! Left- and right-hand brackets must be used in pairs."},
           {"P5 == 3)", F::Argument, 39, "Invalid ) right-hand bracket in Conditional Argument field."},
           // Terms.
           {"P5 === 3", F::Argument, 28, "Invalid operator ===" + kArg},
           {"P5 => 3", F::Argument, 28, "Invalid operator =>" + kArg},
           {"P5 == 3 & P6 == 2", F::Argument, 28, "Invalid operator &" + kArg},
           {"P5 ==", F::Argument, 31, "Missing float == after operator" + kArg},
           {"P5 == 3 &&", F::Argument, 31, "Missing float && after operator" + kArg},
           {"P55 == 3", F::Argument, 29, "Invalid Parameter Number P55" + kArg},
           {"P0 == 3", F::Argument, 29, "Invalid Parameter Number P0" + kArg},
           {"25 == 3", F::Argument, 29, "Invalid Parameter Number 25" + kArg},
           {"20000 == 3", F::Argument, 29, "Invalid Parameter Number 20000" + kArg},
           {"P5 == 1.2.3", F::Argument, 30, "Invalid float value 1.2.3" + kArg},
       })
    expectCase(checkArgument(c.text, "1", false), c);

  // Extended parameters raise the limits to 30 and 30999.
  EXPECT_TRUE(checkArgument("COMP[20] == 1 && 30 == 2 && 30999 > 1", "1", true).ok());
  EXPECT_EQ(checkArgument("COMP[31] == 1", "1", true).message, "Invalid Parameter Number 31" + kArg);

  // TXT[...] only in a text step, with its brackets before the next "&&" or "||".
  EXPECT_TRUE(checkArgument("TXT[Allegro (ma non)] || P5 == 3", "16", false).ok());
  EXPECT_TRUE(checkArgument("P5 == 3 && TXT[a]b]", "16", false).ok());
  EXPECT_EQ(checkArgument("P5 == 1 && TXT", "16", false).messageId, 60);
  EXPECT_EQ(checkArgument("TXT[Allegro && P5 == 3", "16", false).messageId, 59);
}

TEST(StepSyntax, Operation) {
  for (const Case& c : std::vector<Case>{
           // Forms that pass.
           {"DEL", F::None, 0, ""},
           {"  del ", F::None, 0, ""},
           {"", F::None, 0, ""},
           {"5 = 3 6 += 1.5 7 -= 2 8 *= 3 9 /= 2", F::None, 0, ""},
           {"5 3 1205 -2 150 3", F::None, 0, ""},
           {"5 = P4", F::None, 0, ""},
           {"3 = COMP[3]", F::None, 0, ""},
           {"5 = P4 * (P5 + 1)", F::None, 0, ""},
           {"5000 12", F::None, 0, ""},
           {"INS[1, P2, P3 + 10, 0, 0]", F::None, 0, ""},
           {"APP[HEADER.MUS, B]", F::None, 0, ""},
           // Parameter numbers.
           {"0 5", F::Operation, 29, "Invalid Parameter Number 0" + kOp},
           {"20 5", F::Operation, 29, "Invalid Parameter Number 20" + kOp},
           {"99 5", F::Operation, 29, "Invalid Parameter Number 99" + kOp},
           {"COMP[3] = 5", F::Operation, 57,
            "Neither COMP nor any function can appear in the Parameter Number position in Operation!"},
           {"P5 = 3", F::Operation, 57,
            "Neither COMP nor any function can appear in the Parameter Number position in Operation!"},
           // Operators and values.
           {"150 = 3", F::Operation, 34, "Operator invalid with Parameter Number 150" + kOp},
           {"5 == 3", F::Operation, 28, "Invalid operator ==" + kOp},
           {"5 - 3", F::Operation, 28, "Invalid operator -" + kOp},
           {"5 =", F::Operation, 31, "Missing float = after operator" + kOp},
           {"5 = 1.2.3", F::Operation, 30, "Invalid float value 1.2.3" + kOp},
           {"5 1.2.3", F::Operation, 30, "Invalid float value 1.2.3" + kOp},
           {"5 = P60", F::Operation, 30, "Invalid float value P60" + kOp},
           {"5000 25", F::Operation, 43,
            "Invalid float value 25 used with current Parameter Number in Operation field! Please use values "
            "between 1.0 and 19.0."},
           {"5 = 3 $", F::Operation, 25,
            "Invalid characters found. Please use only numerical digits + - * / = . or special words" + kOp},
           {"5 = (P4 + 1", F::Operation, 38,
            "Missing ) bracket in Operation field! Left- and right-hand brackets must be used in pairs."},
           {"5 = COMP3 [1]", F::Operation, 60, "No left square bracket found after COMP function - syntax = COMP[x]"},
           // INS and APP.
           {"INS[1 2]", F::Operation, 73, "Parameters must be separated by commas."},
           {"INS[1, $]", F::Operation, 25,
            "Invalid characters found. Please use only numerical digits + - * / = . ()p" + kOp},
           {"INS 1, 2", F::Operation, 60, "No left square bracket found after COMP function - syntax = COMP[x]"},
           {"APP[HEADER.MUS", F::Operation, 59, "No right square bracket found after COMP function - syntax = COMP[x]"},
       })
    expectCase(checkOperation(c.text, "1", false), c);

  // Extended parameters: 20 passes, 5000 25 passes, the operator form goes to 30.
  EXPECT_TRUE(checkOperation("20 5 5000 25 30 = 1 30999 1", "1", true).ok());
  EXPECT_EQ(checkOperation("31 = 1", "1", true).messageId, 29);
  EXPECT_EQ(checkOperation("100 = 1", "1", true).messageId, 34);
  // A text step may replace text and insert text items.
  EXPECT_TRUE(checkOperation("TXT[_02]", "16", false).ok());
  EXPECT_TRUE(checkOperation("INS[16, 1, 20, TXT[Allegro, ma non troppo]]", "16", false).ok());
  EXPECT_EQ(checkOperation("TXT[_02]", "1", false).messageId, 25);
}

TEST(StepSyntax, ChecksRunInOrderOnTheNormalisedStep) {
  // The code field is checked first, then the argument, then the operation.
  StepData step{"", "0", "P5 ==", "5 == 3", 0};
  EXPECT_EQ(normaliseAndCheckStep(step, false).focus, F::CodeNumbers);
  step.codeNumbers = "1";
  EXPECT_EQ(normaliseAndCheckStep(step, false).focus, F::Argument);
  step.argument = "p5 == 3";
  FieldCheck check = normaliseAndCheckStep(step, false);
  EXPECT_EQ(check.focus, F::Operation);
  EXPECT_EQ(check.messageId, 28);
  step.operation = "5 = 4";
  EXPECT_TRUE(normaliseAndCheckStep(step, false).ok());
  EXPECT_EQ(step.argument, "P5 == 3");

  // Typed text keeps its case.
  StepData text{"", "16", "txt[Allegro]", "txt[Allegro vivace]", 0};
  EXPECT_TRUE(normaliseAndCheckStep(text, false).ok());
  EXPECT_EQ(text.argument, "TXT[Allegro]");
  EXPECT_EQ(text.operation, "TXT[Allegro vivace]");
}

TEST(StepSyntax, SearchAndReplaceFills) {
  StepData step;
  fillFontReplace(step, "2", "13");
  EXPECT_EQ(step, (StepData{"Replaces font 2 with font 13", "16", "TXT[_02]", "TXT[_13]", 0}));
  EXPECT_TRUE(normaliseAndCheckStep(step, false).ok());
  fillTextReplace(step, "Allegro", "Andante");
  EXPECT_EQ(step, (StepData{"Replaces text \"Allegro\" with \"Andante\"", "16", "TXT[Allegro]", "TXT[Andante]", 0}));
  fillTextReplace(step, "rit.", "");
  EXPECT_EQ(step.operation, "");
  EXPECT_EQ(step.description, "Replaces text \"rit.\" with \"\"");
}

} // namespace
} // namespace velmora

#include "edit/SyntaxHelp.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "edit/Operations.h"
#include "edit/StepSyntax.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

namespace velmora {
namespace {

std::vector<uint8_t> bytesOf(std::string_view text) { return {text.begin(), text.end()}; }

TEST(SyntaxHelp, ShippedTextIsPlainCrLfText) {
  const std::string_view text = builtInSyntaxText();
  ASSERT_GT(text.size(), 4000u);
  ASSERT_TRUE(text.ends_with("\r\n"));
  size_t lineStart = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    ASSERT_TRUE(c == '\r' || c == '\n' || (c >= 0x20 && c < 0x7f)) << "byte " << i;
    if (c == '\r') {
      ASSERT_EQ(text[i + 1], '\n') << "byte " << i;
    }
    if (c == '\n') {
      ASSERT_EQ(text[i - 1], '\r') << "byte " << i;
      EXPECT_LE(i - 1 - lineStart, 80u) << text.substr(lineStart, i - 1 - lineStart);
      lineStart = i + 1;
    }
  }
  EXPECT_TRUE(text.starts_with("VELMORA STEP SYNTAX\r\n"));
}

TEST(SyntaxHelp, DocumentedExamplesPassTheStepChecks) {
  // The steps the help shows as valid: code field, argument, operation.
  const std::vector<StepData> examples = {
      {"", "1", "P5 == 3", "5 4", 0},
      {"", "1", "P2 == 1 && P4 > 10", "4 -= 1", 0},
      {"", "14", "P5 == 8", "DEL", 0},
      {"", "1 2", "P3 < 20", "3 += 2", 0},
      {"", "1", "P5 == 3 && COMP[4] > 10", "5 = 4", 0},
      {"", "16", "TXT[_02]", "TXT[_05]", 0},
      {"", "1", "COMP[1] == 5 && COMP[3] == P3", "INS[9, P2, P3, 12, 16]", 0},
      {"", "99", "P2 > 4", "2 += 1", 0},
      {"", "16", "TXT[rit.]", "TXT[]", 0},
      {"", "16", "TXT[Score title]", "APP[HEADER.MUS, B]", 1},
      {"", "", "P1 == 1 || P1 == 2 && P5 > 0", "5 -2", 0},
      {"", "", "P5 > 0 && (P1 == 1 || P1 == 2)", "3 12.5", 0},
      {"", "1", "P3 > (P4 * 2)", "5 = P6", 0},
      {"", "1", "5000 == 6 && 12000 > 4", "4 += (P3 / 10)", 0},
      {"", "1", "COMP[3] > COMP[4]", "3 = COMP[3]", 0},
      {"", "1", "COMP[1] == 14 && COMP2[1] == 3 && COMP2[2] == P2", "5 4 6 = 0 4 += 1", 0},
      {"", "1", "%P4 == 0.5 && #P4 == 2", "1205 3", 0},
      {"", "1", "P5 < 3", "5000 12", 0},
      {"", "16", "TXT[rit.] && P2 == 1", "INS[16, P2, P3, P4, TXT[_02dolce]]", 0},
      {"", "1", "", "INS[1, P2, P3 + 10, 0, 0]", 0},
      {"", "1", "P5 + 1", "6 *= 2", 0},
      {"", "1", "P5 != 3", "6 /= 2", 0},
  };
  for (StepData step : examples) {
    const std::string shown = step.codeNumbers + " | " + step.argument + " | " + step.operation;
    const FieldCheck check = normaliseAndCheckStep(step, false);
    EXPECT_TRUE(check.ok()) << shown << ": " << check.message;
    EXPECT_NE(builtInSyntaxText().find(step.operation), std::string_view::npos) << step.operation;
  }
  // Several assignments are made in order.
  const std::vector<CParamExpression> parsed = parseOperation("5 4 6 = 0 4 += 1");
  ASSERT_EQ(parsed.size(), 3u);
  EXPECT_EQ(parsed[1].op, "=");
  EXPECT_EQ(parsed[2].op, "+=");
  // The help says these are refused.
  for (const char* argument : {"COMP[P4>10]", "COMP5 == 1", "COMP[5 == 1"}) {
    StepData step{"", "1", argument, "", 0};
    EXPECT_FALSE(normaliseAndCheckStep(step, false).ok()) << argument;
  }
}

TEST(SyntaxHelp, ReadLineByLine) {
  test::TempDir folder;
  // Missing: empty.
  EXPECT_EQ(readSyntaxHelp(folder.path()), "");
  // Every line ends in CR LF, whatever it ended in; a last line without an end gets one.
  test::writeBytes(folder.file("syntax.txt"), bytesOf("one\ntwo\r\n\nthree"));
  EXPECT_EQ(readSyntaxHelp(folder.path()), "one\r\ntwo\r\n\r\nthree\r\n");
  // An empty file stays empty.
  test::writeBytes(folder.file("syntax.txt"), {});
  EXPECT_EQ(readSyntaxHelp(folder.path()), "");
  // Binary bytes pass as they are, NUL as a blank.
  test::writeBytes(folder.file("syntax.txt"), {'a', 0, 0xE9, 0xFF, '\r', 'b', '\n'});
  EXPECT_EQ(readSyntaxHelp(folder.path()), std::string("a \xE9\xFF\rb\r\n"));
}

TEST(SyntaxHelp, HostileFiles) {
  // A huge file is cut at the limit with a note.
  test::TempDir folder;
  std::vector<uint8_t> huge(kMaxSyntaxBytes + 5000, 'x');
  for (size_t i = 99; i < huge.size(); i += 100)
    huge[i] = '\n';
  test::writeBytes(folder.file("SYNTAX.TXT"), huge);
  const std::string shown = readSyntaxHelp(folder.path());
  EXPECT_TRUE(shown.ends_with("\r\n[The rest of the file is not shown.]\r\n"));
  EXPECT_LT(shown.size(), kMaxSyntaxBytes + kMaxSyntaxBytes / 50);
  // Exactly the limit is not cut.
  test::writeBytes(folder.file("SYNTAX.TXT"), std::vector<uint8_t>(kMaxSyntaxBytes, 'y'));
  EXPECT_EQ(readSyntaxHelp(folder.path()).size(), kMaxSyntaxBytes + 2);

  // A folder or a FIFO of that name shows nothing and does not hang.
  test::TempDir dir;
  std::filesystem::create_directory(dir.file("SYNTAX.TXT"));
  EXPECT_EQ(readSyntaxHelp(dir.path()), "");
  test::TempDir fifo;
  ASSERT_EQ(::mkfifo(fifo.file("SYNTAX.TXT").c_str(), 0600), 0);
  EXPECT_EQ(readSyntaxHelp(fifo.path()), "");
}

} // namespace
} // namespace velmora

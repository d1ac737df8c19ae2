#include "eps/EpsFile.h"

#include <gtest/gtest.h>

#include <climits>

namespace velmora {
namespace {

using Lines = std::vector<std::string>;

EpsText split(const std::string& s) {
  return splitEpsText(std::span(reinterpret_cast<const uint8_t*>(s.data()), s.size()));
}

TEST(EpsFile, LinesAndTheirTerminators) {
  using Ends = std::vector<bool>;
  // CRLF and LF files, a missing last terminator, the empty file.
  for (const auto& [text, lines, crlf, final] : std::vector<std::tuple<std::string, Lines, Ends, bool>>{
           {"a\r\nb\r\n", {"a", "b"}, {true, true}, true},
           {"a\nb\n", {"a", "b"}, {false, false}, true},
           {"a\r\nb", {"a", "b"}, {true, true}, false},
           {"", {}, {}, true},
           {"\n\n", {"", ""}, {false, false}, true},
           {"x", {"x"}, {false}, false},
           {"a\r\nb\nc\r\n\r\nd", {"a", "b", "c", "", "d"}, {true, false, true, true, true}, false},
       }) {
    const EpsText t = split(text);
    EXPECT_EQ(t.lines, lines) << text;
    EXPECT_EQ(t.crlf, crlf) << text;
    EXPECT_EQ(t.finalTerminator, final) << text;
    EXPECT_EQ(joinEpsText(t.lines, t.crlf, t.finalTerminator), text);
  }
  // Only the one CR before a LF is a terminator; others are text.
  EXPECT_EQ(split("a\rb\r\r\nc\r").lines, (Lines{"a\rb\r", "c\r"}));
  // A line without a flag is written with a LF.
  EXPECT_EQ(joinEpsText({"a", "b"}, {true}, true), "a\r\nb\n");
}

TEST(EpsFile, NumbersTitlesAndNames) {
  // Decimal-integer conversion.
  EXPECT_EQ(decimalValue("12"), 12);
  EXPECT_EQ(decimalValue("-47"), -47);
  EXPECT_EQ(decimalValue("  +7x"), 7);
  EXPECT_EQ(decimalValue("abc"), 0);
  EXPECT_EQ(decimalValue(""), 0);
  EXPECT_EQ(decimalValue("99999999999999999999"), INT_MAX);
  EXPECT_EQ(decimalValue("-99999999999999999999"), INT_MIN);

  // The four numbers after the comment, each up to the next blank.
  const BoxNumbers b = parseBoxNumbers("%%BoundingBox: 31 22 579 738      ", 15);
  EXPECT_EQ((std::vector<long long>{b.x1, b.y1, b.x2, b.y2}), (std::vector<long long>{31, 22, 579, 738}));
  const BoxNumbers shortLine = parseBoxNumbers("%%BoundingBox:", 15);
  EXPECT_EQ((std::vector<long long>{shortLine.x1, shortLine.y2}), (std::vector<long long>{0, 0}));
  const BoxNumbers twoBlanks = parseBoxNumbers("%%BoundingBox:  5 6 7 8", 15);
  EXPECT_EQ((std::vector<long long>{twoBlanks.x1, twoBlanks.y1, twoBlanks.x2, twoBlanks.y2}),
            (std::vector<long long>{0, 5, 6, 7}));
  EXPECT_EQ(boundingBoxLine({-47, -70, 548, 771}), "%%BoundingBox: -47 -70 548 771");
  EXPECT_EQ(oldBoundingBoxLine({100, 100, 400, 600}), "%%OldBoundingBox: 100 100 400 600");

  // The title rule.
  EXPECT_EQ(titleName("%%Title: CHOR005.MUS             "), "CHOR005");
  EXPECT_EQ(titleName("%%Title: SONG"), "SONG");
  EXPECT_EQ(titleName("%%Title:"), "");
  EXPECT_EQ(fileNamePart("../../etc/x"), "x");
  EXPECT_EQ(fileNamePart("C:\\SCORE\\SONG"), "SONG");
  EXPECT_EQ(fileNamePart(std::string("ab\0/c", 5)), "ab");
  // Trailing blanks go; a blank title names nothing.
  EXPECT_EQ(fileNamePart("SONG    \t"), "SONG");
  EXPECT_EQ(fileNamePart(" MY SONG "), " MY SONG");
  EXPECT_EQ(fileNamePart("   "), "");
  EXPECT_EQ(fileNamePart("C:\\SCORE\\  "), "");
}

} // namespace
} // namespace velmora

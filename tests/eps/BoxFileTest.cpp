#include "eps/BoxFile.h"

#include <gtest/gtest.h>

#include "support/ScoreFixture.h"
#include "support/TempDir.h"

namespace velmora {
namespace {

TEST(BoxFile, CoordinateExpressions) {
  const struct {
    const char* text;
    long long value;
    long long result;
  } cases[] = {
      {"+20", 100, 120}, {"-20", 100, 80}, {"*2", 100, 200}, {"/3", 100, 33},  {"612", 100, 612}, {"0", 100, 0},
      {"abc", 100, 100}, {"", 100, 100},   {"/0", 100, 100}, {"/", 100, 100},  {"x+5", 100, 105}, {"-7", -10, -17},
      {" 0", 100, 100},  {"-0", 5, 5},     {"*-2", 3, -6},   {"5-2", 100, 98}, {"/-3", -10, 3},
  };
  for (const auto& c : cases)
    EXPECT_EQ(evaluateCoordinate(c.text, c.value), c.result) << c.text;
}

TEST(BoxFile, LayoutLoadAndSave) {
  test::TempDir dir;
  std::string message;
  // Four counted strings in the order x1, x2, y1, y2.
  ASSERT_TRUE(saveBoxFile(dir.file("a.bbx"), {"+20", "", "*2", "612"}, message));
  EXPECT_EQ(test::readBytes(dir.file("a.bbx")),
            (std::vector<uint8_t>{3, '+', '2', '0', 2, '*', '2', 0, 3, '6', '1', '2'}));
  BoxExpressions loaded;
  ASSERT_TRUE(loadBoxFile(dir.file("a.bbx"), loaded, message));
  EXPECT_EQ(loaded, (BoxExpressions{"+20", "", "*2", "612"}));

  // Truncated, bad lengths and missing files leave the fields.
  const BoxExpressions kept{"1", "2", "3", "4"};
  for (const std::vector<uint8_t>& bad : {std::vector<uint8_t>{3, '+', '2', '0', 2, '*'},
                                          std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F},
                                          {}}) {
    test::writeBytes(dir.file("bad.bbx"), bad);
    BoxExpressions fields = kept;
    EXPECT_FALSE(loadBoxFile(dir.file("bad.bbx"), fields, message));
    EXPECT_EQ(message, "Unable to open file " + dir.file("bad.bbx") + " for reading");
    EXPECT_EQ(fields, kept);
  }
  BoxExpressions fields = kept;
  EXPECT_FALSE(loadBoxFile(dir.file("none.bbx"), fields, message));
  EXPECT_FALSE(saveBoxFile(dir.file("no/such.bbx"), kept, message));
  EXPECT_EQ(message, "Unable to open file " + dir.file("no/such.bbx") + " for reading");

  // The saved name drops a doubled extension; dots in folders do not count.
  EXPECT_EQ(boxFileSavePath("/home/u/.config/box.bbx"), "/home/u/.config/box.bbx");
  EXPECT_EQ(boxFileSavePath("/p/x.bbx.BBX"), "/p/x.bbx");
  EXPECT_EQ(boxFileSavePath("/p.q/x"), "/p.q/x");
}

TEST(BoxFile, CommandLineList) {
  BoxExpressions e;
  ASSERT_TRUE(parseBoxList("+20,,*2, 612", e));
  EXPECT_EQ(e, (BoxExpressions{"+20", "", "*2", "612"}));
  ASSERT_TRUE(parseBoxList(" +20 -20  *2 612 ", e));
  EXPECT_EQ(e, (BoxExpressions{"+20", "-20", "*2", "612"}));
  for (const char* bad : {"", "1,2,3", "1 2 3", "1,2,3,4,5", "1 2 3 4 5"})
    EXPECT_FALSE(parseBoxList(bad, e)) << bad;
}

} // namespace
} // namespace velmora

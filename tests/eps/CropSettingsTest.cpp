#include "eps/CropSettings.h"

#include <gtest/gtest.h>

#include "support/ScoreFixture.h"
#include "support/TempDir.h"

namespace velmora {
namespace {

std::vector<int32_t> box(const CropOptions& o) { return {o.boxX1, o.boxY1, o.boxX2, o.boxY2}; }

TEST(CropSettings, PaperSizesAndOffsets) {
  CropOptions o;
  o.boxX1 = 7;
  ASSERT_TRUE(applyPaperSize(o, 3, false));
  EXPECT_EQ(box(o), (std::vector<int32_t>{0, 0, 612, 792}));
  ASSERT_TRUE(applyPaperSize(o, 5, true));
  EXPECT_EQ(box(o), (std::vector<int32_t>{0, 0, 1224, 792}));
  EXPECT_EQ(o.paperSize, 5);
  EXPECT_EQ(o.landscape, 1);
  // Unlisted choices change nothing.
  const CropOptions before = o;
  EXPECT_FALSE(applyPaperSize(o, 6, false));
  EXPECT_FALSE(applyPaperSize(o, -1, false));
  EXPECT_EQ(o, before);

  // An arrow reporting -1 moves the box by +1, one reporting +1 by -1.
  applyBoxOffset(o, true, -1);
  EXPECT_EQ(box(o), (std::vector<int32_t>{1, 0, 1225, 792}));
  applyBoxOffset(o, false, 1);
  EXPECT_EQ(box(o), (std::vector<int32_t>{1, -1, 1225, 791}));
  EXPECT_EQ(paperSizes()[1].name, std::string("B4"));
}

TEST(CropSettings, FieldTextsAndRangeMessages) {
  const CropFieldTexts defaults = cropFieldTexts(CropOptions{});
  EXPECT_EQ(defaults, (CropFieldTexts{"0", "0", "595", "841", "0", "0", "22", "0.5"}));

  const struct {
    CropField field;
    const char* text;
    const char* message;
  } refused[] = {
      {CropField::BoxX1, "abc", "Enter an integer."},
      {CropField::OriginY, "1.5", "Enter an integer."},
      {CropField::BoxY2, "", "Enter an integer."},
      {CropField::MarkLength, "100", "Enter an integer between 0 and 99."},
      {CropField::MarkLength, "-1", "Enter an integer between 0 and 99."},
      {CropField::MarkThickness, "0.05", "Enter a number between 0.1 and 5.0."},
      {CropField::MarkThickness, "5.01", "Enter a number between 0.1 and 5.0."},
      {CropField::MarkThickness, "thin", "Enter a number."},
      {CropField::MarkThickness, "nan", "Enter a number."},
  };
  for (const auto& r : refused) {
    CropFieldTexts texts = defaults;
    std::string* target = r.field == CropField::BoxX1        ? &texts.boxX1
                          : r.field == CropField::OriginY    ? &texts.originY
                          : r.field == CropField::BoxY2      ? &texts.boxY2
                          : r.field == CropField::MarkLength ? &texts.markLength
                                                             : &texts.markThickness;
    *target = r.text;
    CropOptions o;
    o.boxX2 = 1;
    const CropFieldProblem problem = readCropFieldTexts(texts, o);
    EXPECT_EQ(problem.field, r.field) << r.text;
    EXPECT_EQ(problem.message, r.message) << r.text;
    EXPECT_EQ(o.boxX2, 1) << "a refusal keeps every field";
  }
  // The range ends are accepted.
  CropFieldTexts texts{" -5", "6 ", "7", "8", "9", "-10", "99", "5.0"};
  CropOptions o;
  ASSERT_TRUE(readCropFieldTexts(texts, o).ok());
  EXPECT_EQ((std::vector<int32_t>{o.boxX1, o.boxY1, o.boxX2, o.boxY2, o.originX, o.originY, o.markLength}),
            (std::vector<int32_t>{-5, 6, 7, 8, 9, -10, 99}));
  EXPECT_EQ(o.markThickness, 5.0f);
  texts.markLength = "0";
  texts.markThickness = "0.1";
  ASSERT_TRUE(readCropFieldTexts(texts, o).ok());
  EXPECT_EQ(o.markThickness, 0.1f);
}

TEST(CropSettings, CropFiles) {
  test::TempDir dir;
  std::string message;
  // The "crops.dat" layout: version 379, then the fields with the box as x1, x2, y1, y2.
  CropOptions o;
  o.boxY1 = -2;
  ASSERT_TRUE(saveCropFile(dir.file("a.crp"), o, message));
  std::vector<uint8_t> expected;
  for (uint32_t word : {379u, 0u, 0u, 0u, 0u, 595u, 0xFFFFFFFEu, 841u, 22u, 0x3F000000u, 1u, 0u, 1u})
    for (int shift = 0; shift < 32; shift += 8)
      expected.push_back(static_cast<uint8_t>(word >> shift));
  EXPECT_EQ(test::readBytes(dir.file("a.crp")), expected) << test::hexDump(test::readBytes(dir.file("a.crp")));
  CropOptions loaded;
  ASSERT_TRUE(loadCropFile(dir.file("a.crp"), loaded, message));
  EXPECT_EQ(loaded, o);

  // An empty file (older versions stored nothing) loads nothing; a short one is refused.
  test::writeBytes(dir.file("empty.crp"), {});
  CropOptions kept;
  kept.markLength = 3;
  ASSERT_TRUE(loadCropFile(dir.file("empty.crp"), kept, message));
  EXPECT_EQ(kept.markLength, 3);
  test::writeBytes(dir.file("short.crp"), {0x7B, 1, 0, 0, 5, 0, 0, 0});
  EXPECT_FALSE(loadCropFile(dir.file("short.crp"), kept, message));
  EXPECT_EQ(message, "The settings file " + dir.file("short.crp") + " is damaged; it was not loaded.");
  EXPECT_EQ(kept.paperSize, 0);
  EXPECT_FALSE(loadCropFile(dir.file("none.crp"), kept, message));
  EXPECT_EQ(message, "Unable to open file " + dir.file("none.crp") + " for reading");
}

} // namespace
} // namespace velmora

#include <gtest/gtest.h>

#include "Bytes.h"
#include "settings/Serialize.h"
#include "support/TempDir.h"

namespace velmora {
namespace {

using test::Bytes;
using test::operator+;
using test::chars;
using test::kStamp379;
using test::word;

// The reset widths in file order: noteFlag is not among them, it comes last.
const Bytes kResetWidthsFileOrder =
    word(0x40400000) + word(0x4059999A) + word(0x40666666) + word(0x402CCCCD) + word(0x404CCCCD) + word(0x40266666) +
    word(0x40966666) + word(0x404CCCCD) + word(0x402CCCCD) + word(0x40833333) + word(0x40466666) + word(0x40666666) +
    word(0x3F59999A) + word(0x3F4CCCCD) + word(0x3F666666) + word(0x40033333) + word(0x40133333) + word(0x40066666);

TEST(SettingsLayout, DefaultsAreStoredByteForByte) {
  // prefs.dat: empty subfolder, explorer flag as int32.
  EXPECT_EQ(storeRecord(GeneralPrefs{}), kStamp379 + Bytes{0x00} + word(0));
  // opt.dat: four flag8, the extension, the flag8 added in 370.
  EXPECT_EQ(storeRecord(OptimizeOptions{}),
            (kStamp379 + Bytes{0x01, 0x00, 0x01, 0x00, 0x03} + chars("OPT") + Bytes{0x00}));
  // uno.dat ends with its extension.
  EXPECT_EQ(storeRecord(UnoptimizeOptions{}), (kStamp379 + Bytes{0x00, 0x01, 0x00, 0x00, 0x03} + chars("UNO")));
  // edi.dat: extension first, four flag8, then three int32.
  EXPECT_EQ(storeRecord(EditOptions{}),
            (kStamp379 + Bytes{0x03} + chars("EDI") + Bytes{0x01, 0x00, 0x00, 0x00} + word(0) + word(0) + word(0)));
  // just.dat: minimum space 0.5, 18 widths, spacing, barline type, noteFlag 2.1 last.
  EXPECT_EQ(storeRecord(JustifyOptions{}),
            (kStamp379 + Bytes{0x03} + chars("JST") + Bytes{0x00, 0x00} + word(0x3F000000) + kResetWidthsFileOrder +
             word(0) + word(0) + word(0) + word(0x40066666)));
  // beam.dat: extension, then seven int32.
  EXPECT_EQ(storeRecord(BeamOptions{}), kStamp379 + Bytes{0x03} + chars("BIM") + word(0) + word(0) + word(0) + word(0) +
                                            word(0) + word(0) + word(0));
  // run.dat: four int32, extension, runJustify.
  EXPECT_EQ(storeRecord(RunOptions{}),
            kStamp379 + word(0) + word(0) + word(0) + word(0) + Bytes{0x03} + chars("RUN") + word(0));
  // crops.dat: box stored x1, x2, y1, y2 = 0, 595, 0, 841; thickness 0.5 as float.
  EXPECT_EQ(storeRecord(CropOptions{}), kStamp379 + word(0) + word(0) + word(0) + word(0) + word(595) + word(0) +
                                            word(841) + word(22) + word(0x3F000000) + word(1) + word(0) + word(1));
  // report.dat: fifteen int32 ones.
  Bytes report = kStamp379;
  for (int i = 0; i < 15; ++i)
    report = report + word(1);
  EXPECT_EQ(storeRecord(ReportOptions{}), report);
  // SCORCNT2.DAT.
  EXPECT_EQ(storeRecord(ItemCountOptions{}), kStamp379 + word(0));
}

TEST(SettingsLayout, FieldOrderOfNonDefaultValues) {
  // Each crop field lands in its own slot (the box's odd order included).
  CropOptions c;
  c.paperSize = 3, c.originX = -10, c.originY = 20, c.boxX1 = 1, c.boxX2 = 2, c.boxY1 = 3, c.boxY2 = 4;
  c.markLength = 99, c.markThickness = 5.0f, c.alignWithFileBox = 0, c.landscape = 1, c.renameToScoreName = 0;
  EXPECT_EQ(storeRecord(c), kStamp379 + word(3) + word(0xFFFFFFF6) + word(20) + word(1) + word(2) + word(3) + word(4) +
                                word(99) + word(0x40A00000) + word(0) + word(1) + word(0));

  // Report flags in their listed order: only the last one cleared.
  ReportOptions r;
  r.listMacrosPerStep = 0;
  const Bytes stored = storeRecord(r);
  ASSERT_EQ(stored.size(), 4u + 15 * 4);
  EXPECT_EQ(Bytes(stored.end() - 8, stored.end()), word(1) + word(0));

  // The edit record's three trailing int32 in order.
  EditOptions e;
  e.limitNameLength = 1, e.fourPointPrecision = 2, e.saveOnlyIfModified = 3;
  const Bytes edi = storeRecord(e);
  ASSERT_EQ(edi.size(), 4u + 4 + 4 + 12);
  EXPECT_EQ(Bytes(edi.end() - 12, edi.end()), word(1) + word(2) + word(3));
}

template <class R> void expectRoundTrip(const R& values) {
  R back; // defaults, which `values` all differ from
  EXPECT_EQ(loadRecord(storeRecord(values), back), LoadResult::Loaded);
  EXPECT_TRUE(back == values);
}

TEST(SettingsLayout, EveryRecordRoundTrips) {
  expectRoundTrip(GeneralPrefs{"PROJ/", 1});
  expectRoundTrip(OptimizeOptions{0, 1, 0, 1, "XYZ", 1});
  expectRoundTrip(UnoptimizeOptions{1, 0, 1, 1, "U2"});
  expectRoundTrip(EditOptions{"E", 0, 1, 1, 1, 1, 1, 1});
  JustifyOptions j;
  j.extension = "LONGER EXT", j.promptBeforeOperation = 1, j.recognizeStretchedNotes = 1, j.minimumSpace = 0.01f;
  float w = 10.0f;
  for (float* width : justifyWidths(j))
    *width = (w += 0.25f);
  j.extraSpaceFirstNote = 1.5f, j.extraSpaceOpeningTie = -0.5f, j.barlineType = 8;
  expectRoundTrip(j);
  expectRoundTrip(BeamOptions{"B", 1, 1, 1, 1, 2, 1, 1});
  expectRoundTrip(RunOptions{1, 1, 1, 1, "run", 1});
  expectRoundTrip(CropOptions{5, 1, 2, 3, 4, 5, 6, 7, 0.1f, 0, 1, 0});
  expectRoundTrip(ReportOptions{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  expectRoundTrip(ItemCountOptions{1});
}

TEST(SettingsLayout, OlderStampsEndBeforeLaterFields) {
  // opt.dat 369 ends after the extension: showInstrumentDeleteWindow keeps its value.
  const Bytes opt369 = Bytes{0x71, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x03} + chars("ABC");
  OptimizeOptions o;
  o.showInstrumentDeleteWindow = 1;
  EXPECT_EQ(loadRecord(opt369, o), LoadResult::Loaded);
  EXPECT_EQ(o, (OptimizeOptions{0, 1, 0, 1, "ABC", 1}));
  // Saving it again writes 379 and all seven fields.
  EXPECT_EQ(storeRecord(o), (kStamp379 + Bytes{0x00, 0x01, 0x00, 0x01, 0x03} + chars("ABC") + Bytes{0x01}));
  // The same bytes stamped 379 lack a field: damaged, the fields before it kept.
  Bytes opt379 = opt369;
  opt379[0] = 0x7B;
  OptimizeOptions o2;
  o2.showInstrumentDeleteWindow = 1;
  EXPECT_EQ(loadRecord(opt379, o2), LoadResult::Damaged);
  EXPECT_EQ(o2, (OptimizeOptions{0, 1, 0, 1, "ABC", 1}));

  // just.dat 376: 18 widths and the three spacing fields, no noteFlag.
  const Bytes just376 = Bytes{0x78, 0x01, 0x00, 0x00, 0x01} + chars("J") + Bytes{0x01, 0x00} + word(0x3F800000) +
                        kResetWidthsFileOrder + word(0x3F000000) + word(0x40000000) + word(9);
  JustifyOptions j;
  j.noteFlag = 7.0f;
  j.rhythmDot = 0.0f;
  EXPECT_EQ(loadRecord(just376, j), LoadResult::Loaded);
  EXPECT_EQ(j.extension, "J");
  EXPECT_EQ(j.promptBeforeOperation, 1);
  EXPECT_EQ(j.minimumSpace, 1.0f);
  EXPECT_EQ(j.rhythmDot, 2.05f);
  EXPECT_EQ(j.accidentalParenthesis, 2.1f);
  EXPECT_EQ(j.extraSpaceFirstNote, 0.5f);
  EXPECT_EQ(j.extraSpaceOpeningTie, 2.0f);
  EXPECT_EQ(j.barlineType, 9);
  EXPECT_EQ(j.noteFlag, 7.0f);

  // just.dat 374 ends after the minimum space: the widths stay as they were.
  const Bytes just374 = Bytes{0x76, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00} + word(0x40000000);
  JustifyOptions k;
  k.noteheadWhole = 9.0f;
  EXPECT_EQ(loadRecord(just374, k), LoadResult::Loaded);
  EXPECT_EQ(k.extension, "");
  EXPECT_EQ(k.minimumSpace, 2.0f);
  EXPECT_EQ(k.noteheadWhole, 9.0f);

  // edi.dat 365 stops after limitNameLength, 366 adds fourPointPrecision, 369 saveOnlyIfModified.
  const Bytes edi = Bytes{0x00, 0x01, 0x01, 0x01, 0x01} + word(1);
  EditOptions e365;
  e365.fourPointPrecision = 5, e365.saveOnlyIfModified = 6;
  EXPECT_EQ(loadRecord(Bytes{0x6D, 0x01, 0x00, 0x00} + edi, e365), LoadResult::Loaded);
  EXPECT_EQ(e365, (EditOptions{"", 1, 1, 1, 1, 1, 5, 6}));
  EditOptions e368;
  e368.saveOnlyIfModified = 6;
  EXPECT_EQ(loadRecord(Bytes{0x70, 0x01, 0x00, 0x00} + edi + word(1), e368), LoadResult::Loaded);
  EXPECT_EQ(e368, (EditOptions{"", 1, 1, 1, 1, 1, 1, 6}));

  // run.dat 375 has no runJustify.
  RunOptions r;
  r.runJustify = 1;
  EXPECT_EQ(loadRecord(Bytes{0x77, 0x01, 0x00, 0x00} + word(1) + word(1) + word(0) + word(1) + Bytes{0x00}, r),
            LoadResult::Loaded);
  EXPECT_EQ(r, (RunOptions{1, 1, 0, 1, "", 1}));
}

TEST(SettingsLayout, StampIgnoredWhereTheLayoutHasNoThresholds) {
  // uno.dat, beam.dat and the others read every field whatever the stamp says.
  UnoptimizeOptions u;
  EXPECT_EQ(loadRecord(word(1) + Bytes{0x01, 0x00, 0x01, 0x01, 0x01} + chars("Q"), u), LoadResult::Loaded);
  EXPECT_EQ(u, (UnoptimizeOptions{1, 0, 1, 1, "Q"}));
}

TEST(SettingsLayout, DamagedInputKeepsWhatWasRead) {
  // Empty file: nothing at all, damaged.
  BeamOptions b;
  b.skip64ths = 1;
  EXPECT_EQ(loadRecord(Bytes{}, b), LoadResult::Damaged);
  EXPECT_EQ(b.skip64ths, 1);

  // Crops cut inside markThickness: the eight int32 before it are applied, the rest kept.
  CropOptions c;
  c.renameToScoreName = 0;
  EXPECT_EQ(loadRecord(kStamp379 + word(1) + word(2) + word(3) + word(4) + word(5) + word(6) + word(7) + word(8) +
                           Bytes{0x00, 0x00, 0x80},
                       c),
            LoadResult::Damaged);
  EXPECT_EQ(c, (CropOptions{1, 2, 3, 4, 5, 6, 7, 8, 0.5f, 1, 0, 0}));

  // prefs.dat whose subfolder claims more characters than the file has.
  GeneralPrefs p{"OLD/", 1};
  EXPECT_EQ(loadRecord(kStamp379 + Bytes{0x20} + chars("PROJ\\") + word(0), p), LoadResult::Damaged);
  EXPECT_EQ(p, (GeneralPrefs{"OLD/", 1}));
}

TEST(SettingsLayout, JustifyFilesUseTheJustLayout) {
  test::TempDir dir;
  JustifyOptions j;
  j.extension = "jst2";
  j.noteFlag = 3.25f;
  ASSERT_TRUE(saveJustifyFile(dir.file("mine.jdt"), j));
  EXPECT_EQ(test::readBytes(dir.file("mine.jdt")), storeRecord(j));
  EXPECT_EQ(dir.listing(), "mine.jdt");

  JustifyOptions back;
  EXPECT_EQ(loadJustifyFile(dir.file("mine.jdt"), back), LoadResult::Loaded);
  EXPECT_EQ(back, j);

  // Missing file and an unwritable target are told apart from a loaded one.
  EXPECT_EQ(loadJustifyFile(dir.file("none.jdt"), back), LoadResult::CannotOpen);
  std::string error;
  EXPECT_FALSE(saveJustifyFile(dir.file("missing/x.jdt"), j, &error));
  EXPECT_FALSE(error.empty());

  // A file far too large for a settings file is refused unread.
  test::writeBytes(dir.file("big.jdt"), Bytes(kMaxSettingsFileBytes + 1, 0x00));
  EXPECT_EQ(loadJustifyFile(dir.file("big.jdt"), back), LoadResult::Damaged);
  EXPECT_EQ(back, j);
}

TEST(SettingsLayout, ResetWidthsMatchTheDefaults) {
  // The Widths dialog order puts noteFlag between rhythmDot and noteParenthesis.
  JustifyOptions j;
  const auto fields = justifyWidths(j);
  EXPECT_EQ(fields[15], &j.rhythmDot);
  EXPECT_EQ(fields[16], &j.noteFlag);
  EXPECT_EQ(fields[17], &j.noteParenthesis);
  EXPECT_EQ(justifyResetWidths()[16], 2.1f);

  for (float* f : fields)
    *f = 0.0f;
  j.minimumSpace = 4.0f;
  resetJustifyWidths(j);
  JustifyOptions expected;
  expected.minimumSpace = 4.0f;
  EXPECT_EQ(j, expected);
}

} // namespace
} // namespace velmora

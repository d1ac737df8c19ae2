#include <gtest/gtest.h>

#include <filesystem>

#include "EpsFixture.h"
#include "eps/EpsTools.h"

namespace velmora {
namespace {

using test::joined;
using test::Lines;
using test::readText;
using test::scorePage;

constexpr const char* kNotScoreEps = "This file is not a SCORE EPS file";

CropOptions noRename() {
  CropOptions o;
  o.renameToScoreName = 0;
  return o;
}

// The A4 portrait defaults centred on the box 100 100 400 600.
const Lines kMarkedA4{"%!PS-Adobe-2.0 EPSF-1.2",
                      "%%Creator: SCORE (tm) Ver. 4.00, Serial #4009999",
                      "%%Title: SONG.MUS",
                      "%%OldBoundingBox: 100 100 400 600",
                      "%%BoundingBox: -47 -70 548 771",
                      "%%DocumentFonts: (atend)",
                      "%%EndComments",
                      " /scoredict 200 dict def scoredict begin",
                      " save",
                      "/crops",
                      "{",
                      "0.500000 setlinewidth",
                      "-69 -70 moveto",
                      "22 0 rlineto",
                      "stroke",
                      "-47 -70 moveto",
                      "0 -22 rlineto",
                      "stroke",
                      "548 -70 moveto",
                      "22 0 rlineto",
                      "stroke",
                      "548 -70 moveto",
                      "0 -22 rlineto",
                      "stroke",
                      "548 771 moveto",
                      "22 0 rlineto",
                      "stroke",
                      "548 771 moveto",
                      "0 22 rlineto",
                      "stroke",
                      "-69 771 moveto",
                      "22 0 rlineto",
                      "stroke",
                      "-47 771 moveto",
                      "0 22 rlineto",
                      "stroke",
                      "} def",
                      "crops",
                      " /m /moveto load def /l /lineto load def",
                      "    -270  -19952 m save (28) show",
                      "showpage",
                      "%%Trailer",
                      "%%DocumentFonts: Times-Italic    ",
                      "%%+ Times-Bold"};

using CropMarks = test::EpsTest;

TEST_F(CropMarks, AlignedA4MarksAndTheirExactRemoval) {
  for (const std::string eol : {"\r\n", "\n"}) {
    const std::string original = joined(scorePage(), eol);
    const std::string path = put("page.eps", original);

    ASSERT_EQ(tools.addCropMarks(noRename(), path), 1);
    EXPECT_EQ(readText(path), joined(kMarkedA4, eol));
    EXPECT_EQ(state.scoreName, "SONG");

    // Adding again gives the same file; removing restores the input byte for byte.
    ASSERT_EQ(tools.addCropMarks(noRename(), path), 1);
    EXPECT_EQ(readText(path), joined(kMarkedA4, eol));
    ASSERT_EQ(tools.removeCropMarks(path), 1);
    EXPECT_EQ(readText(path), original);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(dir.listing(), "page.eps");
  }
}

TEST_F(CropMarks, MixedTerminatorsStayLineByLine) {
  // CR LF on even lines, LF on odd ones: the box line and " save" end in LF, the header in CR LF.
  const Lines page = scorePage();
  std::vector<bool> ends;
  for (size_t i = 0; i < page.size(); ++i)
    ends.push_back(i % 2 == 0);
  const std::string original = joinEpsText(page, ends, true);
  const std::string path = put("page.eps", original);
  ASSERT_EQ(tools.addCropMarks(noRename(), path), 1);

  // Copied lines keep their own; the two box lines take the box line's, the procedure that of " save".
  std::vector<bool> marked(ends.begin(), ends.begin() + 3);
  marked.insert(marked.end(), 2, ends[3]);
  marked.insert(marked.end(), ends.begin() + 4, ends.begin() + 8);
  marked.insert(marked.end(), 29, ends[7]);
  marked.insert(marked.end(), ends.begin() + 8, ends.end());
  ASSERT_EQ(marked.size(), kMarkedA4.size());
  const std::string text = readText(path);
  EXPECT_EQ(text, joinEpsText(kMarkedA4, marked, true));
  EXPECT_EQ(text.substr(0, 127), "%!PS-Adobe-2.0 EPSF-1.2\r\n%%Creator: SCORE (tm) Ver. 4.00, Serial #4009999\n"
                                 "%%Title: SONG.MUS\r\n%%OldBoundingBox: 100 100 400 600\n");
  EXPECT_NE(text.find("%%BoundingBox: -47 -70 548 771\n%%DocumentFonts: (atend)\r\n"), std::string::npos);
  EXPECT_NE(text.find("begin\r\n save\n/crops\n{\n"), std::string::npos);
  EXPECT_NE(text.find("} def\ncrops\n /m /moveto load def /l /lineto load def\r\n"), std::string::npos);

  // Removal gives the input back byte for byte.
  ASSERT_EQ(tools.removeCropMarks(path), 1);
  EXPECT_EQ(readText(path), original);
}

TEST_F(CropMarks, OriginLengthAndLastLineWithoutTerminator) {
  // A translated origin moves the box and adds the translate line after " save".
  CropOptions o = noRename();
  o.originX = 10;
  o.originY = -5;
  o.markLength = 0;
  const std::string original = joined(scorePage(), "\r\n") + "%%EOF";
  const std::string path = put("page.eps", original);
  ASSERT_EQ(tools.addCropMarks(o, path), 1);
  const std::string marked = readText(path);
  EXPECT_NE(marked.find("%%OldBoundingBox: 100 100 400 600\r\n%%BoundingBox: -37 -75 558 766\r\n"), std::string::npos);
  EXPECT_NE(marked.find("\r\n save\r\n10 -5 translate\r\n /m /moveto"), std::string::npos);
  // Length 0: no procedure at all.
  EXPECT_EQ(marked.find("crops"), std::string::npos);
  EXPECT_EQ(marked.substr(marked.size() - 7), "\r\n%%EOF");
  ASSERT_EQ(tools.removeCropMarks(path), 1);
  EXPECT_EQ(readText(path), original);

  // Thickness and length reach the procedure in their formats.
  o.originX = o.originY = 0;
  o.markLength = 5;
  o.markThickness = 1.25f;
  o.alignWithFileBox = 0;
  ASSERT_EQ(tools.addCropMarks(o, path), 1);
  const std::string thick = readText(path);
  EXPECT_NE(thick.find("%%BoundingBox: 0 0 595 841\r\n"), std::string::npos);
  EXPECT_NE(thick.find("/crops\r\n{\r\n1.250000 setlinewidth\r\n-5 0 moveto\r\n5 0 rlineto\r\nstroke\r\n"),
            std::string::npos);
  EXPECT_EQ(thick.find("translate"), std::string::npos);
  ASSERT_EQ(tools.removeCropMarks(path), 1);
  EXPECT_EQ(readText(path), original);
}

TEST_F(CropMarks, RangeChecksInTheirOrder) {
  CropOptions o = noRename();
  o.alignWithFileBox = 0;
  const struct {
    const char* box;
    const char* message;
  } cases[] = {
      {"-5 100 400 600", "Bottom left crop mark X coordinate out of range!"},
      {"-5 -5 900 900", "Bottom left crop mark X coordinate out of range!"},
      {"0 -1 595 841", "Bottom left crop mark Y coordinate out of range!"},
      {"0 0 596 842", "Top right crop mark X coordinate out of range!"},
      {"0 0 595 842", "Top right crop mark Y coordinate out of range!"},
  };
  for (const auto& c : cases) {
    host.messages.clear();
    const std::string original = joined(scorePage(c.box));
    const std::string path = put("page.eps", original);
    EXPECT_EQ(tools.addCropMarks(o, path), -1) << c.box;
    EXPECT_EQ(host.messages, (Lines{c.message})) << c.box;
    EXPECT_EQ(readText(path), original);
  }
  // The paper's own edges are inside.
  host.messages.clear();
  const std::string path = put("page.eps", joined(scorePage("0 0 595 841")));
  EXPECT_EQ(tools.addCropMarks(o, path), 1);
  EXPECT_TRUE(host.messages.empty());

  // A refusal of a file marked before leaves its old marks in place.
  o.alignWithFileBox = 1;
  ASSERT_EQ(tools.addCropMarks(o, put("page.eps", joined(scorePage()))), 1);
  const std::string marked = readText(dir.file("page.eps"));
  o.boxX2 = 100;
  EXPECT_EQ(tools.addCropMarks(o, dir.file("page.eps")), -1);
  EXPECT_EQ(readText(dir.file("page.eps")), marked);
}

TEST_F(CropMarks, UnmarkedFilesAndHeaders) {
  // Removing from an unmarked file rewrites the same lines, the header cut at its first blank.
  Lines page = scorePage();
  const std::string path = put("page.eps", joined(page, "\n"));
  ASSERT_EQ(tools.removeCropMarks(path), 1);
  EXPECT_EQ(readText(path), joined(page, "\n"));
  page[0] = "%!PS-Adobe-2.0 EPSF-3.0";
  put("page.eps", joined(page, "\n"));
  ASSERT_EQ(tools.removeCropMarks(path), 1);
  page[0] = "%!PS-Adobe-2.0";
  EXPECT_EQ(readText(path), joined(page, "\n"));

  // Refused headers and second lines, the file untouched.
  for (const Lines& bad : {Lines{"%!PS-Adobe-3.0 EPSF-3.0", "%%Creator: SCORE"},
                           Lines{"%!PS-Adobe-2.0", "%%Creator: x"}, Lines{"%!PS-Adobe-2.0 EPSF-1.2"}, Lines{}}) {
    host.messages.clear();
    const std::string text = joined(bad);
    put("bad.eps", text);
    EXPECT_EQ(tools.removeCropMarks(dir.file("bad.eps")), -1);
    EXPECT_EQ(tools.addCropMarks(noRename(), dir.file("bad.eps")), -1);
    EXPECT_EQ(host.messages, (Lines{kNotScoreEps, kNotScoreEps}));
    EXPECT_EQ(readText(dir.file("bad.eps")), text);
  }
}

TEST_F(CropMarks, FilesEndingTooEarlyAreRefusedUntouched) {
  const Lines page = scorePage();
  // Add: no title; no " save" after the box.
  const Lines noTitle{page[0], page[1], page[3]};
  const Lines noSave{page[0], page[1], page[2], page[3], page[4]};
  // Remove: the marks end before their box, their " save" or their "crops".
  Lines marked = kMarkedA4;
  const Lines cutBeforeBox(marked.begin(), marked.begin() + 4);
  const Lines cutBeforeSave(marked.begin(), marked.begin() + 7);
  const Lines cutInProcedure(marked.begin(), marked.begin() + 20);
  for (const Lines* lines : {&noTitle, &noSave, &cutBeforeBox, &cutBeforeSave, &cutInProcedure}) {
    host.messages.clear();
    const std::string text = joined(*lines);
    const std::string path = put("short.eps", text);
    EXPECT_EQ(tools.addCropMarks(noRename(), path), -1);
    EXPECT_EQ(host.messages, (Lines{kNotScoreEps}));
    EXPECT_EQ(readText(path), text);
  }
  for (const Lines* lines : {&cutBeforeBox, &cutBeforeSave, &cutInProcedure}) {
    host.messages.clear();
    const std::string path = put("short.eps", joined(*lines));
    EXPECT_EQ(tools.removeCropMarks(path), -1);
    EXPECT_EQ(host.messages, (Lines{kNotScoreEps}));
  }
  // A file ending right after its marks' " save" keeps what it has.
  const Lines endsAtSave(marked.begin(), marked.begin() + 9);
  const std::string path = put("short.eps", joined(endsAtSave));
  EXPECT_EQ(tools.removeCropMarks(path), 1);
  EXPECT_EQ(readText(path), joined({page[0], page[1], page[2], page[3], page[4], page[5], page[6], page[7]}));
}

TEST_F(CropMarks, CancelAndWriteFailuresLeaveTheFile) {
  const std::string original = joined(scorePage());
  const std::string path = put("page.eps", original);
  // A key during the scan, then one during the writing: both confirmed.
  for (long at : {3L, 40L}) {
    host.keyAtPump = {host.pumps + at};
    host.yesNoAnswers = {true};
    EXPECT_EQ(tools.addCropMarks(noRename(), path), 0) << at;
    EXPECT_EQ(readText(path), original);
    EXPECT_EQ(dir.listing(), "page.eps");
  }
  // A read-only file is not replaced.
  std::filesystem::permissions(path, std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
  host.messages.clear();
  EXPECT_EQ(tools.removeCropMarks(path), -1);
  EXPECT_EQ(host.messages, (Lines{"Unable to open file " + path + " for reading"}));
  std::filesystem::permissions(path, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
  // A missing file.
  host.messages.clear();
  EXPECT_EQ(tools.addCropMarks(noRename(), dir.file("gone.eps")), -1);
  EXPECT_EQ(host.messages, (Lines{"Unable to open file " + dir.file("gone.eps") + " for reading"}));
}

TEST_F(CropMarks, RenameAfterMarking) {
  const std::string path = put("page1.eps", joined(scorePage()));
  ASSERT_EQ(tools.addCropMarks(CropOptions{}, path), 1);
  EXPECT_EQ(dir.listing(), "SONG.EPS");
  EXPECT_EQ(readText(dir.file("SONG.EPS")), joined(kMarkedA4));
  EXPECT_EQ(batch.log.rows(), (Lines{"progress, renaming to " + dir.file("SONG.EPS")}));
  EXPECT_EQ(state.scoreName, dir.file("SONG.EPS"));
}

TEST_F(CropMarks, HostileInputs) {
  // Binary junk, with NULs and no line feed.
  std::string junk;
  for (int i = 0; i < 5000; ++i)
    junk.push_back(static_cast<char>((i * 7919) % 256));
  put("junk.eps", junk);
  EXPECT_EQ(tools.addCropMarks(noRename(), dir.file("junk.eps")), -1);
  EXPECT_EQ(tools.removeCropMarks(dir.file("junk.eps")), -1);
  EXPECT_EQ(readText(dir.file("junk.eps")), junk);

  // A huge line and junk after a good header are carried through unchanged.
  Lines page = scorePage();
  page.insert(page.begin() + 9, std::string(3u << 20, 'x'));
  page.insert(page.begin() + 10, std::string("\x01\x02\0\xff", 4));
  const std::string path = put("big.eps", joined(page));
  ASSERT_EQ(tools.addCropMarks(noRename(), path), 1);
  ASSERT_EQ(tools.removeCropMarks(path), 1);
  EXPECT_EQ(readText(path), joined(page));

  // No bounding box: nothing to mark; huge or odd numbers in the box are clamped.
  Lines noBox = scorePage();
  noBox.erase(noBox.begin() + 3);
  put("nobox.eps", joined(noBox));
  ASSERT_EQ(tools.addCropMarks(noRename(), dir.file("nobox.eps")), 1);
  EXPECT_EQ(readText(dir.file("nobox.eps")), joined(noBox));
  put("odd.eps", joined(scorePage("99999999999999 x -99999999999 ")));
  ASSERT_EQ(tools.addCropMarks(noRename(), dir.file("odd.eps")), 1);
  EXPECT_NE(readText(dir.file("odd.eps")).find("%%OldBoundingBox: 2147483647 0 -2147483648 0\r\n"), std::string::npos);
}

} // namespace
} // namespace velmora

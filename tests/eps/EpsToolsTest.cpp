#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <filesystem>

#include "EpsFixture.h"
#include "base/Format.h"
#include "eps/EpsTools.h"

namespace velmora {
namespace {

using test::joined;
using test::Lines;
using test::readText;
using test::scorePage;

constexpr const char* kNotScoreEps = "This file is not a SCORE EPS file";

using EpsTools = test::EpsTest;

TEST_F(EpsTools, RenameToScoreName) {
  // PAGE1.EPS naming SONG.MUS becomes SONG.EPS, content untouched.
  const std::string text = joined(scorePage());
  const std::string path = put("PAGE1.EPS", text);
  ASSERT_EQ(tools.renameToScoreFile(path), 1);
  EXPECT_EQ(dir.listing(), "SONG.EPS");
  EXPECT_EQ(readText(dir.file("SONG.EPS")), text);
  EXPECT_EQ(batch.log.rows(), (Lines{"progress, renaming to " + dir.file("SONG.EPS")}));

  // An existing file of that name is never replaced; the file keeps its name, silently.
  put("PAGE2.EPS", joined(scorePage("0 0 1 1")));
  ASSERT_EQ(tools.renameToScoreFile(dir.file("PAGE2.EPS")), 1);
  EXPECT_EQ(dir.listing(), "PAGE2.EPS SONG.EPS");
  EXPECT_EQ(readText(dir.file("SONG.EPS")), text);
  EXPECT_TRUE(host.messages.empty());

  // A title with folders cannot move the file out of its folder.
  put("PAGE3.EPS", joined(scorePage("0 0 1 1", "C:\\SCORE\\sub/ELSE.MUS   ")));
  ASSERT_EQ(tools.renameToScoreFile(dir.file("PAGE3.EPS")), 1);
  EXPECT_EQ(dir.listing(), "ELSE.EPS PAGE2.EPS SONG.EPS");

  // Padding without a "." is not part of the name; a blank title keeps the old name and says so.
  put("PAGE4.EPS", joined(scorePage("0 0 1 1", "PADDED    ")));
  ASSERT_EQ(tools.renameToScoreFile(dir.file("PAGE4.EPS")), 1);
  EXPECT_EQ(dir.listing(), "ELSE.EPS PADDED.EPS PAGE2.EPS SONG.EPS");
  for (const std::string title : {"", "   ", "  .MUS"}) {
    batch.log.append("progress");
    put("PAGE5.EPS", joined(scorePage("0 0 1 1", title)));
    ASSERT_EQ(tools.renameToScoreFile(dir.file("PAGE5.EPS")), 1);
    EXPECT_EQ(dir.listing(), "ELSE.EPS PADDED.EPS PAGE2.EPS PAGE5.EPS SONG.EPS") << title;
    EXPECT_EQ(batch.log.rows().back(), "progress, not renamed: its title names no file");
  }
  // Adding crop marks with the rename on: marked, not renamed.
  CropOptions crops;
  ASSERT_EQ(crops.renameToScoreName, 1);
  batch.log.append("progress");
  ASSERT_EQ(tools.addCropMarks(crops, dir.file("PAGE5.EPS")), 1);
  EXPECT_EQ(dir.listing(), "ELSE.EPS PADDED.EPS PAGE2.EPS PAGE5.EPS SONG.EPS");
  EXPECT_NE(readText(dir.file("PAGE5.EPS")).find("%%OldBoundingBox: 0 0 1 1\r\n"), std::string::npos);
  EXPECT_EQ(batch.log.rows().back(), "progress, not renamed: its title names no file");
  EXPECT_TRUE(host.messages.empty());
  std::filesystem::remove(dir.file("PAGE5.EPS"));

  // No title, or not SCORE: refused, the name kept.
  Lines noTitle = scorePage();
  noTitle.erase(noTitle.begin() + 2);
  put("x.eps", joined(noTitle));
  EXPECT_EQ(tools.renameToScoreFile(dir.file("x.eps")), -1);
  EXPECT_EQ(host.messages, (Lines{kNotScoreEps}));
  EXPECT_EQ(dir.listing(), "ELSE.EPS PADDED.EPS PAGE2.EPS SONG.EPS x.eps");
}

Lines pageOf(const std::string& title, const std::string& box) {
  return {"%!PS-Adobe-2.0 EPSF-1.2",
          "%%Creator: SCORE (tm) Ver. 4.00",
          "%%Title: " + title,
          "%%Pages: 3",
          "%%BoundingBox: " + box,
          "%%Page: 1 1",
          " save",
          "showpage"};
}

TEST_F(EpsTools, SplitIntoThreePages) {
  Lines all;
  for (const auto& [title, box] : {std::pair{"ONE.MUS", "1 1 2 2"}, {"TWO.MUS", "3 3 4 4"}, {"THREE.MUS", "5 5 6 6"}})
    for (const auto& line : pageOf(title, box))
      all.push_back(line);
  const std::string input = joined(all, "\n");
  const std::string path = put("all.eps", input);
  ASSERT_EQ(tools.splitPages(path), 1);

  // Named from each title, without the page comments; the input stays.
  EXPECT_EQ(dir.listing(), "ONE.EPS THREE.EPS TWO.EPS all.eps");
  EXPECT_EQ(readText(path), input);
  const auto expected = [](const std::string& title, const std::string& box) {
    return joined({"%!PS-Adobe-2.0 EPSF-1.2", "%%Creator: SCORE (tm) Ver. 4.00", "%%Title: " + title,
                   "%%BoundingBox: " + box, " save", "showpage"},
                  "\n");
  };
  EXPECT_EQ(readText(dir.file("ONE.EPS")), expected("ONE.MUS", "1 1 2 2"));
  EXPECT_EQ(readText(dir.file("TWO.EPS")), expected("TWO.MUS", "3 3 4 4"));
  EXPECT_EQ(readText(dir.file("THREE.EPS")), expected("THREE.MUS", "5 5 6 6"));
  EXPECT_EQ(batch.log.rows(), (Lines{"progress, saving to " + dir.file("ONE.EPS"), "progress, saving to " + dir.file("TWO.EPS"),
                                     "progress, saving to " + dir.file("THREE.EPS")}));
  EXPECT_EQ(state.outputs, (Lines{dir.file("ONE.EPS"), dir.file("TWO.EPS"), dir.file("THREE.EPS")}));
  EXPECT_EQ(state.scoreName, dir.file("THREE.EPS"));
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(EpsTools, SplitEdgeCases) {
  // One page: renamed like Rename to Score name, content untouched (page comments too).
  const std::string single = joined(pageOf("SOLO.MUS", "1 1 2 2"));
  put("solo.eps", single);
  ASSERT_EQ(tools.splitPages(dir.file("solo.eps")), 1);
  EXPECT_EQ(dir.listing(), "SOLO.EPS");
  EXPECT_EQ(readText(dir.file("SOLO.EPS")), single);

  // A page named like the input replaces it only after the other page is saved.
  Lines two = pageOf("A.MUS", "1 1 2 2");
  for (const auto& line : pageOf("B.MUS", "3 3 4 4"))
    two.push_back(line);
  put("A.EPS", joined(two));
  ASSERT_EQ(tools.splitPages(dir.file("A.EPS")), 1);
  EXPECT_EQ(dir.listing(), "A.EPS B.EPS SOLO.EPS");
  EXPECT_NE(readText(dir.file("A.EPS")).find("%%Title: A.MUS"), std::string::npos);
  EXPECT_EQ(readText(dir.file("A.EPS")).find("B.MUS"), std::string::npos);
  EXPECT_NE(readText(dir.file("B.EPS")).find("%%Title: B.MUS"), std::string::npos);

  // Two pages of one name would overwrite each other: nothing is written.
  Lines same = pageOf("C.MUS", "1 1 2 2");
  for (const auto& line : pageOf("C.MUS", "3 3 4 4"))
    same.push_back(line);
  put("same.eps", joined(same));
  EXPECT_EQ(tools.splitPages(dir.file("same.eps")), -1);
  EXPECT_EQ(host.messages, (Lines{dir.file("same.eps") + " holds two pages named " + dir.file("C.EPS") +
                                  "; no page file was written."}));
  EXPECT_EQ(dir.listing(), "A.EPS B.EPS SOLO.EPS same.eps");

  // A page whose title names no file: refused before any page is written.
  host.messages.clear();
  Lines blank = pageOf("E.MUS", "1 1 2 2");
  for (const auto& line : pageOf("   ", "3 3 4 4"))
    blank.push_back(line);
  put("blank.eps", joined(blank));
  EXPECT_EQ(tools.splitPages(dir.file("blank.eps")), -1);
  EXPECT_EQ(host.messages,
            (Lines{dir.file("blank.eps") + " holds a page whose title names no file; no page file was written."}));
  EXPECT_EQ(dir.listing(), "A.EPS B.EPS SOLO.EPS blank.eps same.eps");
  std::filesystem::remove(dir.file("blank.eps"));

  // A later page without a title: refused before any page is written.
  host.messages.clear();
  Lines cut = pageOf("D.MUS", "1 1 2 2");
  cut.push_back("%!PS-Adobe-2.0 EPSF-1.2");
  cut.push_back("%%Creator: SCORE");
  put("cut.eps", joined(cut));
  EXPECT_EQ(tools.splitPages(dir.file("cut.eps")), -1);
  EXPECT_EQ(host.messages, (Lines{kNotScoreEps}));
  EXPECT_EQ(dir.listing(), "A.EPS B.EPS SOLO.EPS cut.eps same.eps");

  // Each page keeps its lines' terminators; only the last page ends where the input does.
  std::string mixed = joined(pageOf("F.MUS", "1 1 2 2"), "\n") + joined(pageOf("G.MUS", "3 3 4 4"), "\r\n");
  mixed.resize(mixed.size() - 2);
  put("mixed.eps", mixed);
  ASSERT_EQ(tools.splitPages(dir.file("mixed.eps")), 1);
  EXPECT_EQ(readText(dir.file("F.EPS")), "%!PS-Adobe-2.0 EPSF-1.2\n%%Creator: SCORE (tm) Ver. 4.00\n%%Title: F.MUS\n"
                                         "%%BoundingBox: 1 1 2 2\n save\nshowpage\n");
  EXPECT_EQ(readText(dir.file("G.EPS")), "%!PS-Adobe-2.0 EPSF-1.2\r\n%%Creator: SCORE (tm) Ver. 4.00\r\n"
                                         "%%Title: G.MUS\r\n%%BoundingBox: 3 3 4 4\r\n save\r\nshowpage");
}

TEST_F(EpsTools, RowsSayWhatTheRenameDid) {
  // A rename that cannot happen leaves the name and says why in the row, never in a message box.
  const std::string longName = std::string(300, 'L');
  struct Case {
    std::string file;  // the input's name
    std::string title; // its title
    bool taken;        // SONG.EPS exists beforehand
    int routine;       // 0 rename, 1 add crop marks, 2 split of one page
    std::string ending;
    bool renamed;
  };
  const std::string song = dir.file("SONG.EPS");
  const std::vector<Case> cases{
      {"p.eps", "SONG.MUS", false, 0, ", renaming to " + song, true},
      {"p.eps", "SONG.MUS", true, 0, ", not renamed: " + song + " exists", false},
      {"SONG.EPS", "SONG.MUS", false, 0, ", already named " + song, false},
      {"p.eps", longName + ".MUS", false, 0,
       ", not renamed to " + dir.file(longName + ".EPS") + ": File name too long", false},
      {"p.eps", "SONG.MUS", true, 1, ", not renamed: " + song + " exists", false},
      {"p.eps", "SONG.MUS", true, 2, ", not renamed: " + song + " exists", false},
      {"p.eps", "SONG.MUS", false, 2, ", renaming to " + song, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ending);
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
      std::filesystem::remove(entry.path());
    if (c.taken) put("SONG.EPS", "taken");
    const std::string path = put(c.file, joined(scorePage("100 100 400 600", c.title)));
    batch.log.clear();
    batch.log.append("progress");
    CropOptions crops;
    const int result = c.routine == 0   ? tools.renameToScoreFile(path)
                       : c.routine == 1 ? tools.addCropMarks(crops, path)
                                        : tools.splitPages(path);
    ASSERT_EQ(result, 1);
    EXPECT_EQ(batch.log.rows(), Lines{"progress" + c.ending});
    EXPECT_TRUE(host.messages.empty());
    // The outputs: the file under its new name, or the file written in place.
    const std::string now = c.renamed ? song : path;
    EXPECT_EQ(state.outputs, c.renamed || c.routine == 1 ? Lines{now} : Lines{});
    EXPECT_TRUE(std::filesystem::exists(now));
    if (c.taken) {
      EXPECT_EQ(readText(song), "taken");
    }
  }
}

TEST_F(EpsTools, SplitReplacesOnlyAnEarlierSplitOfThePage) {
  Lines two = pageOf("A.MUS", "1 1 2 2");
  for (const auto& line : pageOf("B.MUS", "3 3 4 4"))
    two.push_back(line);
  const std::string twoPages = joined(two);
  const std::string earlierB = joined(pageOf("B.MUS", "9 9 9 9"));
  const std::string listed = "%s holds a page for %s, which is waiting in this batch; no page file was written.";
  const std::string taken =
      "%s holds a page for %s, which exists and is not an earlier split of that page; no page file was written.";
  struct Case {
    const char* what;
    std::string existingB; // what B.EPS holds beforehand
    bool inBatch;          // B.EPS is in the batch's file list
    std::string message;   // "" when B.EPS is replaced
  };
  const std::vector<Case> cases{
      {"a multi-page file waiting in the batch", twoPages, true, listed},
      {"even an earlier split, when in the batch", earlierB, true, listed},
      {"an unrelated page", joined(pageOf("KEEP.MUS", "9 9 9 9")), false, taken},
      {"two pages, the first of the same title", twoPages.substr(twoPages.find("%!", 1)) + twoPages, false, taken},
      {"not an EPS file", "hello", false, taken},
      {"an earlier split of the same page", earlierB, false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
      std::filesystem::remove(entry.path());
    const std::string path = put("multi.eps", twoPages);
    const std::string b = put("B.EPS", c.existingB);
    batch.fileList = c.inBatch ? Lines{path, b} : Lines{path};
    batch.log.clear();
    batch.log.append("progress");
    host.messages.clear();
    if (!c.message.empty()) {
      // Refused before any page file is written; B.EPS is left as it was.
      EXPECT_EQ(tools.splitPages(path), -1);
      EXPECT_EQ(host.messages, Lines{strprintf(c.message.c_str(), path.c_str(), b.c_str())});
      EXPECT_EQ(dir.listing(), "B.EPS multi.eps");
      EXPECT_EQ(readText(b), c.existingB);
      EXPECT_TRUE(state.outputs.empty());
      continue;
    }
    ASSERT_EQ(tools.splitPages(path), 1);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(batch.log.rows(), (Lines{"progress, saving to " + dir.file("A.EPS"), "progress, replacing " + b}));
    EXPECT_EQ(state.outputs, (Lines{dir.file("A.EPS"), b}));
    EXPECT_NE(readText(b).find("%%BoundingBox: 3 3 4 4"), std::string::npos);
  }
}

// Answers the dialog from a queue and records what it was shown.
struct ScriptedBoxDialog : IEpsDialogs {
  BoxAnswer alterBoundingBox(BoxDialogData& data) override {
    shown.push_back(data);
    if (answers.empty()) return BoxAnswer::Cancel;
    auto [answer, fields] = answers.front();
    answers.pop_front();
    data.fields = fields;
    return answer;
  }
  bool cropMarkSettings(CropDialogData&) override { return false; }
  std::deque<std::pair<BoxAnswer, BoxExpressions>> answers;
  std::vector<BoxDialogData> shown;
};

TEST_F(EpsTools, SplitOfManyPagesChecksTheirNamesInLinearTime) {
  // 100,000 pages whose last repeats the first name: refused before any page is
  // written. Found by review: the name check compared every pair of pages.
  Lines pages;
  for (int i = 0; i <= 100000; ++i) {
    pages.push_back("%!PS-Adobe-2.0 EPSF-1.2");
    pages.push_back("%%Creator: SCORE (tm) Ver. 4.00");
    pages.push_back("%%Title: P" + std::to_string(i % 100000) + ".MUS");
  }
  put("many.eps", joined(pages));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(tools.splitPages(dir.file("many.eps")), -1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  EXPECT_EQ(host.messages, (Lines{dir.file("many.eps") + " holds two pages named " + dir.file("P0.EPS") +
                                  "; no page file was written."}));
  EXPECT_EQ(dir.listing(), "many.eps");
}

TEST_F(EpsTools, AlterBoundingBox) {
  ScriptedBoxDialog dialogs;
  const std::string path = put("page.eps", joined(scorePage()));

  // The dialog shows the file's values; fields left as shown keep them.
  dialogs.answers.push_back({BoxAnswer::Ok, {"100", "100", "400", "600"}});
  ASSERT_EQ(tools.alterBoundingBox(dialogs, "/project/", path), 1);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].fields, (BoxExpressions{"100", "100", "400", "600"}));
  EXPECT_EQ(dialogs.shown[0].folder, "/project/");
  EXPECT_EQ(readText(path), joined(scorePage()));

  // Each operator, a plain number, and text that is no number.
  dialogs.answers.push_back({BoxAnswer::Ok, {"+20", "-20", "*2", "612"}});
  ASSERT_EQ(tools.alterBoundingBox(dialogs, "/project/", path), 1);
  EXPECT_EQ(readText(path), joined(scorePage("120 80 800 612")));
  dialogs.answers.push_back({BoxAnswer::Ok, {"abc", "", "/0", "x/2"}});
  ASSERT_EQ(tools.alterBoundingBox(dialogs, "/project/", path), 1);
  EXPECT_EQ(readText(path), joined(scorePage("120 80 800 306")));
  EXPECT_EQ(state.askBoxPerFile, 1);

  // Cancel ends the file with 0, untouched.
  const std::string before = readText(path);
  ASSERT_EQ(tools.alterBoundingBox(dialogs, "/project/", path), 0);
  EXPECT_EQ(readText(path), before);

  // "OK to All": later files use the same expressions without asking.
  dialogs.shown.clear();
  dialogs.answers.push_back({BoxAnswer::OkToAll, {"+1", "+1", "+1", "+1"}});
  ASSERT_EQ(tools.alterBoundingBox(dialogs, "/project/", path), 1);
  const std::string other = put("other.eps", joined(scorePage("0 0 10 10"), "\n"));
  ASSERT_EQ(tools.alterBoundingBox(dialogs, "/project/", other), 1);
  EXPECT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(state.askBoxPerFile, 0);
  EXPECT_EQ(state.boxExpressions, (BoxExpressions{"+1", "+1", "+1", "+1"}));
  EXPECT_EQ(readText(other), joined(scorePage("1 1 11 11"), "\n"));

  // A marked file's negative box, left as shown, stays; a typed "-7" still subtracts.
  state.askBoxPerFile = 1;
  dialogs.shown.clear();
  CropOptions crops;
  crops.renameToScoreName = 0;
  const std::string marked = put("marked.eps", joined(scorePage()));
  ASSERT_EQ(tools.addCropMarks(crops, marked), 1);
  const std::string markedText = readText(marked);
  ASSERT_NE(markedText.find("%%BoundingBox: -47 -70 548 771\r\n"), std::string::npos);
  dialogs.answers.push_back({BoxAnswer::Ok, {"-47", "-70", "548", "771"}});
  ASSERT_EQ(tools.alterBoundingBox(dialogs, "/project/", marked), 1);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].fields, (BoxExpressions{"-47", "-70", "548", "771"}));
  EXPECT_EQ(readText(marked), markedText);
  dialogs.answers.push_back({BoxAnswer::Ok, {"-7", "-70", "548", "-71"}});
  ASSERT_EQ(tools.alterBoundingBox(dialogs, "/project/", marked), 1);
  EXPECT_NE(readText(marked).find("%%BoundingBox: -54 -70 548 700\r\n"), std::string::npos);

  // A box line ending in LF within a CR LF file keeps its LF.
  Lines page = scorePage();
  std::string lfBox =
      joined(Lines(page.begin(), page.begin() + 3)) + page[3] + "\n" + joined(Lines(page.begin() + 4, page.end()));
  const std::string lfPath = put("lfbox.eps", lfBox);
  dialogs.answers.push_back({BoxAnswer::Ok, {"+1", "100", "400", "600"}});
  ASSERT_EQ(tools.alterBoundingBox(dialogs, "/project/", lfPath), 1);
  EXPECT_EQ(readText(lfPath), std::string(lfBox).replace(lfBox.find("100 100"), 7, "101 100"));

  // No bounding box: no dialog, same lines; not SCORE: refused.
  dialogs.shown.clear();
  Lines noBox = scorePage();
  noBox.erase(noBox.begin() + 3);
  put("nobox.eps", joined(noBox));
  ASSERT_EQ(tools.alterBoundingBox(dialogs, "/project/", dir.file("nobox.eps")), 1);
  EXPECT_EQ(readText(dir.file("nobox.eps")), joined(noBox));
  put("bad.eps", "%!PS-Adobe-2.0\r\nnothing\r\n");
  EXPECT_EQ(tools.alterBoundingBox(dialogs, "/project/", dir.file("bad.eps")), -1);
  EXPECT_EQ(host.messages, (Lines{kNotScoreEps}));
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(EpsTools, ListTextFonts) {
  Lines first = scorePage();
  first.push_back("%%+ Times-Italic");
  first.push_back("%%EOF");
  put("a.eps", joined(first));
  Lines second = scorePage();
  second.back() = "%%+ Helvetica extra";
  put("b.eps", joined(second, "\n"));
  ASSERT_EQ(tools.listTextFonts(dir.file("a.eps")), 1);
  ASSERT_EQ(tools.listTextFonts(dir.file("b.eps")), 1);
  // Distinct names in order of first appearance, including the end comment.
  EXPECT_EQ(state.fontList, (Lines{"Times-Italic", "Times-Bold", "%%EOF", "Helvetica"}));

  // FONTLIST.TXT in the project folder.
  const std::string listPath = tools.writeFontList(dir.path());
  EXPECT_EQ(listPath, dir.file("FONTLIST.TXT"));
  EXPECT_EQ(readText(listPath),
            "TEXT FONTS REQUIRED IN SELECTED EPS FILES\n\nTimes-Italic\nTimes-Bold\n%%EOF\nHelvetica\n");

  // A Winscore header is refused here only; so is a file without a trailer.
  Lines winscore = scorePage();
  winscore[0] = "%!PS-Adobe-2.0";
  put("w.eps", joined(winscore));
  EXPECT_EQ(tools.listTextFonts(dir.file("w.eps")), -1);
  EXPECT_EQ(host.messages, (Lines{"This file is not a Score 3 or 4 EPS file\nCannot process Winscore files with this "
                                  "function (no trailer!)"}));
  EXPECT_EQ(tools.renameToScoreFile(dir.file("w.eps")), 1);
  host.messages.clear();
  Lines noTrailer = scorePage();
  noTrailer.resize(11);
  put("t.eps", joined(noTrailer));
  EXPECT_EQ(tools.listTextFonts(dir.file("t.eps")), -1);
  EXPECT_EQ(host.messages, (Lines{kNotScoreEps}));
  EXPECT_EQ(state.fontList.size(), 4u);

  // An unwritable project folder: the message names the file.
  host.messages.clear();
  EXPECT_EQ(tools.writeFontList(dir.file("missing/")), "");
  EXPECT_EQ(host.messages, (Lines{"Unable to open file " + dir.file("missing/FONTLIST.TXT") + " for reading"}));
}

TEST_F(EpsTools, HostileInputsForEveryTool) {
  ScriptedBoxDialog dialogs;
  std::string junk(20000, '\0');
  for (size_t i = 0; i < junk.size(); ++i)
    junk[i] = static_cast<char>((i * 131 + 7) % 256);
  for (const std::string& text : {junk, std::string(), std::string("%!PS-Adobe-2.0 EPSF-1.2"),
                                  std::string("%!PS-Adobe-2.0 EPSF-1.2\n%%Creator: SCORE\n") + junk}) {
    put("h.eps", text);
    const std::string path = dir.file("h.eps");
    EXPECT_EQ(tools.renameToScoreFile(path), -1);
    EXPECT_EQ(tools.splitPages(path), -1);
    tools.alterBoundingBox(dialogs, dir.path(), path);
    EXPECT_NE(tools.listTextFonts(path), 0);
    EXPECT_EQ(dir.listing(), "h.eps");
  }
}

} // namespace
} // namespace velmora

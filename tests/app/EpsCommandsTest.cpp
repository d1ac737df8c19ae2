#include <gtest/gtest.h>

#include <deque>
#include <fstream>
#include <iterator>

#include "app/CCommandHandlers.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

namespace velmora {
namespace {

using test::FakeHost;
using test::TempDir;
using Rows = std::vector<std::string>;

std::string page(const std::string& box, const std::string& title = "SONG.MUS") {
  return "%!PS-Adobe-2.0 EPSF-1.2\r\n%%Creator: SCORE (tm) Ver. 4.00\r\n%%Title: " + title +
         "\r\n%%BoundingBox: " + box + "\r\n save\r\nshowpage\r\n%%Trailer\r\n%%DocumentFonts: Times-Roman\r\n";
}

void writeText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct ScriptedEpsDialogs : IEpsDialogs {
  BoxAnswer alterBoundingBox(BoxDialogData& data) override {
    ++boxDialogs;
    data.fields = fields;
    return answer;
  }
  bool cropMarkSettings(CropDialogData& data) override {
    folder = data.folder;
    shownLength = data.options.markLength;
    data.options.markLength = 7;
    return cropAnswer;
  }
  BoxExpressions fields;
  BoxAnswer answer = BoxAnswer::OkToAll;
  int boxDialogs = 0;
  bool cropAnswer = true;
  std::string folder;
  int shownLength = -1;
};

class EpsCommandsTest : public ::testing::Test {
protected:
  void SetUp() override {
    FakeHost quiet;
    ASSERT_TRUE(doc.create(quiet, settingsDir.path()));
  }
  TempDir settingsDir;
  TempDir files;
  CVelmoraDoc doc;
  CBatchState batch;
  FakeHost host;
  CCommandHandlers handlers{doc, batch, host};
};

TEST_F(EpsCommandsTest, AddAndRemoveCropMarks) {
  writeText(files.file("p1.eps"), page("100 100 400 600"));
  host.fileChoices.push_back({files.file("p1.eps")});
  EXPECT_EQ(handlers.onAddCropMarks(), BatchOutcome::Finished);

  // The bare title and the PostScript filter; the crops file is re-read after the choice.
  ASSERT_EQ(host.fileRequests.size(), 1u);
  EXPECT_EQ(host.fileRequests[0].title, "Create Filelist for Adding Crop Marks");
  EXPECT_EQ(host.fileRequests[0].kind, FileKind::PostScript);
  EXPECT_EQ(host.messages, (Rows{"Unable to open file " + settingsDir.file("crops.dat") + " for reading"}));
  EXPECT_EQ(batch.log.rows(),
            (Rows{"Adding crop marks to " + files.file("p1.eps") + ", renaming to " + files.file("SONG.EPS"),
                  "1 file(s) processed adding crop marks. Finished."}));
  EXPECT_EQ(files.listing(), "SONG.EPS");
  EXPECT_NE(readText(files.file("SONG.EPS")).find("%%BoundingBox: -47 -70 548 771\r\n"), std::string::npos);

  host.fileChoices.push_back({files.file("SONG.EPS")});
  EXPECT_EQ(handlers.onRemoveCropMarks(), BatchOutcome::Finished);
  EXPECT_EQ(host.fileRequests[1].title, "Create Filelist for Removing Crop Marks");
  EXPECT_EQ(readText(files.file("SONG.EPS")), page("100 100 400 600"));
  EXPECT_EQ(batch.log.rows(), (Rows{"Removing crop marks from " + files.file("SONG.EPS"),
                                    "1 file(s) processed removing crop marks. Finished."}));
  EXPECT_FALSE(batch.busy);

  // A refused second file stops the batch; the first keeps its output, the third is untouched.
  writeText(files.file("bad.eps"), "%!PS-Adobe-2.0\r\nno\r\n");
  writeText(files.file("c.eps"), page("0 0 10 10", "C.MUS"));
  host.messages.clear();
  host.fileChoices.push_back({files.file("SONG.EPS"), files.file("bad.eps"), files.file("c.eps")});
  EXPECT_EQ(handlers.onAddCropMarks(), BatchOutcome::Stopped);
  EXPECT_EQ(host.messages, (Rows{"Unable to open file " + settingsDir.file("crops.dat") + " for reading",
                                 "This file is not a SCORE EPS file"}));
  EXPECT_EQ(batch.log.rows(),
            (Rows{"Adding crop marks to " + files.file("SONG.EPS") + ", already named " + files.file("SONG.EPS"),
                  "Adding crop marks to " + files.file("bad.eps"), "Operation cancelled."}));
  EXPECT_EQ(readText(files.file("c.eps")), page("0 0 10 10", "C.MUS"));
  EXPECT_TRUE(batch.fileList.empty());
}

TEST_F(EpsCommandsTest, CropMarkSettingsFollowTheSettingsPattern) {
  ScriptedEpsDialogs dialogs;
  dialogs.cropAnswer = false;
  handlers.onCropSettings(dialogs);
  // Cancel writes nothing; the dialogs start in the settings folder.
  EXPECT_EQ(settingsDir.listing(), "");
  EXPECT_EQ(dialogs.folder, settingsDir.path());
  EXPECT_EQ(dialogs.shownLength, 22);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].rfind("Unable to open file " + settingsDir.file("crops.dat") + " for reading. Please", 0),
            0u);

  dialogs.cropAnswer = true;
  handlers.onCropSettings(dialogs);
  EXPECT_EQ(doc.settings.crops().markLength, 7);
  EXPECT_EQ(test::readBytes(settingsDir.file("crops.dat")).size(), 52u);

  // The next Add crop marks re-reads it.
  doc.settings.crops().markLength = 30;
  writeText(files.file("p.eps"), page("100 100 400 600"));
  host.fileChoices.push_back({files.file("p.eps")});
  EXPECT_EQ(handlers.onAddCropMarks(), BatchOutcome::Finished);
  EXPECT_NE(readText(files.file("SONG.EPS")).find("\r\n-54 -70 moveto\r\n7 0 rlineto\r\n"), std::string::npos);
}

TEST_F(EpsCommandsTest, OkToAllLastsIntoTheNextBatch) {
  ScriptedEpsDialogs dialogs;
  dialogs.fields = {"+10", "", "", "-10"};
  writeText(files.file("a.eps"), page("1 2 3 40"));
  writeText(files.file("b.eps"), page("5 6 7 80"));
  host.fileChoices.push_back({files.file("a.eps"), files.file("b.eps")});
  EXPECT_EQ(handlers.onAlterBoundingBox(dialogs), BatchOutcome::Finished);
  EXPECT_EQ(host.fileRequests[0].title, "Create Filelist for Altering EPS Bounding Box");
  EXPECT_EQ(dialogs.boxDialogs, 1);
  EXPECT_EQ(batch.log.rows(),
            (Rows{"Altering bounding box in file " + files.file("a.eps"),
                  "Altering bounding box in file " + files.file("b.eps"), "2 file(s) altered. Finished."}));
  EXPECT_EQ(readText(files.file("b.eps")), page("15 6 7 70"));

  host.fileChoices.push_back({files.file("a.eps")});
  EXPECT_EQ(handlers.onAlterBoundingBox(dialogs), BatchOutcome::Finished);
  EXPECT_EQ(dialogs.boxDialogs, 1);
  EXPECT_EQ(readText(files.file("a.eps")), page("21 2 3 20"));
}

TEST_F(EpsCommandsTest, RenameSplitAndFontList) {
  writeText(files.file("x.eps"), page("1 1 2 2", "ONE.MUS"));
  host.fileChoices.push_back({files.file("x.eps")});
  EXPECT_EQ(handlers.onRenameEps(), BatchOutcome::Finished);
  EXPECT_EQ(batch.log.rows(), (Rows{"Renaming file " + files.file("x.eps") + ", renaming to " + files.file("ONE.EPS"),
                                    "1 file(s) renamed. Finished."}));

  writeText(files.file("two.eps"), page("1 1 2 2", "A.MUS") + page("3 3 4 4", "B.MUS"));
  host.fileChoices.push_back({files.file("two.eps")});
  EXPECT_EQ(handlers.onSplitEps(), BatchOutcome::Finished);
  EXPECT_EQ(host.fileRequests[1].title, "Create Filelist for Splitting Multi-page EPS Files");
  EXPECT_EQ(batch.log.rows(), (Rows{"Splitting file " + files.file("two.eps") + ", saving to " + files.file("A.EPS"),
                                    "Splitting file " + files.file("two.eps") + ", saving to " + files.file("B.EPS"),
                                    "1 file(s) split. Finished."}));
  EXPECT_EQ(files.listing(), "A.EPS B.EPS ONE.EPS two.eps");

  host.fileChoices.push_back({files.file("A.EPS"), files.file("ONE.EPS")});
  EXPECT_EQ(handlers.onListFonts(), BatchOutcome::Finished);
  EXPECT_EQ(host.fileRequests[2].title, "Create Filelist for Postscript Font List");
  EXPECT_EQ(batch.log.rows(), (Rows{"Recording text fonts needed in " + files.file("A.EPS"),
                                    "Recording text fonts needed in " + files.file("ONE.EPS"),
                                    "2 file(s) processed creating font list. Finished."}));
  const std::string list = doc.settings.projectFolder() + "FONTLIST.TXT";
  EXPECT_EQ(host.opened, (Rows{list}));
  EXPECT_EQ(readText(list), "TEXT FONTS REQUIRED IN SELECTED EPS FILES\n\nTimes-Roman\n");

  // A stopped batch writes no list; each command starts a new one.
  host.opened.clear();
  host.fileChoices.push_back({files.file("gone.eps")});
  EXPECT_EQ(handlers.onListFonts(), BatchOutcome::Stopped);
  EXPECT_TRUE(host.opened.empty());
  EXPECT_TRUE(doc.eps.fontList.empty());
}

} // namespace
} // namespace velmora

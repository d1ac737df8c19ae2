#include "beams/BeamAnglesEditor.h"

#include <gtest/gtest.h>

#include "base/FileSystem.h"
#include "beams/BeamLibrary.h"
#include "beams/ScriptedBeamDialogs.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

namespace velmora {
namespace {

using test::FakeHost;
using test::TempDir;
using Bytes = std::vector<uint8_t>;
using Rows = std::vector<std::string>;

Bytes recordsFile(const Rows& records) { return libraryBytes(records); }

TEST(BeamRows, PlacementRule) {
  const Rows rows{"\t-3\t0\t0\t1\t1", "\t2\t5\t1\t1\t1", "\t<4\t0\t0\t1\t1",
                  "\t4\t6\t2\t1\t1",  "\t4\t6\t8\t1\t1", "\t10\t0\t0\t1\t1"};
  // An empty left field goes to the top, whatever else the row holds.
  EXPECT_EQ(beamRowPlace(rows, "\t\t9\t9\t1\t1"), 0u);
  // Numeric order of the left field, negatives first.
  EXPECT_EQ(beamRowPlace(rows, "\t-5\t0\t0\t\t"), 0u);
  EXPECT_EQ(beamRowPlace(rows, "\t-1\t0\t0\t\t"), 1u);
  EXPECT_EQ(beamRowPlace(rows, "\t11\t0\t0\t\t"), 6u);
  // An equal left value: a "<" row goes before rows that are not "<".
  EXPECT_EQ(beamRowPlace(rows, "\t<2\t9\t9\t\t"), 1u);
  // Otherwise the mid field decides, then the right field.
  EXPECT_EQ(beamRowPlace(rows, "\t2\t4\t9\t\t"), 1u);
  EXPECT_EQ(beamRowPlace(rows, "\t2\t5\t0\t\t"), 1u);
  EXPECT_EQ(beamRowPlace(rows, "\t2\t5\t1\t\t"), 2u);
  EXPECT_EQ(beamRowPlace(rows, "\t4\t6\t5\t\t"), 4u);
  // An exact 4 against the "<4" row falls to its mid: 0 is not greater than 0, and so on.
  EXPECT_EQ(beamRowPlace(rows, "\t4\t-1\t0\t\t"), 2u);
  EXPECT_EQ(beamRowPlace(rows, "\t4\t7\t0\t\t"), 5u);
  EXPECT_EQ(beamRowPlace({}, "\t1"), 0u);
}

TEST(BeamRows, FieldsAndChecks) {
  EXPECT_EQ(beamRowText({"<3", ">7", "5", "13.5", "12"}), "\t<3\t>7\t5\t13.5\t12");
  EXPECT_EQ(beamRowText({}), kBlankBeamRow);
  EXPECT_EQ(beamRowFields("\t<3\t>7\t5\t13.500\t12.000\t"), (BeamRowFields{"<3", ">7", "5", "13.500", "12.000"}));
  EXPECT_EQ(beamRowFields(""), BeamRowFields{});

  // Note fields take "0123456789.<>-", endpoints "0123456789.-"; the text goes into the message.
  EXPECT_EQ(checkBeamField(kLeftNoteField, "<-3.5"), "");
  EXPECT_EQ(checkBeamField(kRightNoteField, ""), "");
  EXPECT_EQ(checkBeamField(kLeftNoteField, "3a"), "Invalid Parameter Number 3a in Left Note Position field field!");
  EXPECT_EQ(checkBeamField(kMidNoteField, "1 2"), "Invalid Parameter Number 1 2 in Mid Note Position field field!");
  EXPECT_EQ(checkBeamField(kRightNoteField, "+1"), "Invalid Parameter Number +1 in Right Note Position field field!");
  EXPECT_EQ(checkBeamField(kLeftEndField, "<1"), "Invalid Parameter Number <1 in Left Beam Endpoint field field!");
  EXPECT_EQ(checkBeamField(kRightEndField, "1e3"), "Invalid Parameter Number 1e3 in Right Beam Endpoint field field!");
  EXPECT_EQ(checkBeamField(kRightEndField, "-12.25"), "");
}

class BeamAnglesEditorTest : public ::testing::Test {
protected:
  std::string file(int index) const { return project.path() + beamLibraryInfo(index).fileName; }
  TempDir project;
  FakeHost host;
  test::ScriptedBeamDialogs dialogs;
  BeamAnglesEditor editor{host, project.path()};
};

TEST_F(BeamAnglesEditorTest, OpeningAMissingAndAnExistingLibrary) {
  // Missing: the message, one blank row, a count of 0.
  editor.open(kDown16ths);
  EXPECT_EQ(host.messages, Rows{"Unable to open file " + file(kDown16ths) + " for reading"});
  EXPECT_EQ(editor.rows(), Rows{kBlankBeamRow});
  EXPECT_EQ(editor.selected(), 0);
  EXPECT_EQ(editor.countText(), "0 beam angles in library");
  EXPECT_FALSE(editor.readOnly());

  // Existing: rows as the records stand, first row's fields shown, read-only from the file.
  test::writeBytes(file(kUp8ths), recordsFile({"\t<3\t>7\t5\t13.500\t12.000\t", "\t9\t9\t9\t1\t1"}));
  ASSERT_EQ(setReadOnlyFile(file(kUp8ths), true), 0);
  host.messages.clear();
  editor.open(kUp8ths);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(editor.rows(), (Rows{"\t<3\t>7\t5\t13.500\t12.000\t", "\t9\t9\t9\t1\t1"}));
  EXPECT_EQ(editor.fields(), (BeamRowFields{"<3", ">7", "5", "13.500", "12.000"}));
  EXPECT_EQ(editor.countText(), "2 beam angles in library");
  EXPECT_TRUE(editor.readOnly());
  // While read-only the rows cannot be changed.
  EXPECT_FALSE(editor.add());
  editor.remove();
  EXPECT_EQ(editor.rows().size(), 2u);
}

TEST_F(BeamAnglesEditorTest, EditingRowsAndWritingOnOk) {
  test::writeBytes(file(kUp8ths), recordsFile({"\t2\t5\t1\t1\t1", "\t9\t0\t0\t4\t4"}));
  editor.open(kUp8ths);

  // "&Add" puts a blank row on top and counts it; the fields keep their text.
  EXPECT_TRUE(editor.add());
  EXPECT_EQ(editor.rows().front(), kBlankBeamRow);
  EXPECT_EQ(editor.selected(), 0);
  EXPECT_EQ(editor.countText(), "3 beam angles in library");
  EXPECT_EQ(editor.fields()[kLeftNoteField], "2");
  EXPECT_FALSE(editor.add());
  EXPECT_EQ(editor.rows().size(), 3u);

  // Leaving a field replaces the selected row with the fields, at its sorted place.
  editor.setField(kLeftNoteField, "5");
  editor.setField(kMidNoteField, "");
  editor.setField(kRightNoteField, "<6");
  editor.setField(kLeftEndField, "13.5");
  editor.setField(kRightEndField, "12");
  EXPECT_TRUE(editor.leaveField(kRightEndField));
  EXPECT_EQ(editor.rows(), (Rows{"\t2\t5\t1\t1\t1", "\t5\t\t<6\t13.5\t12", "\t9\t0\t0\t4\t4"}));
  EXPECT_EQ(editor.selected(), 1);

  // A refused text shows its message and changes nothing.
  editor.setField(kLeftEndField, "13,5");
  EXPECT_FALSE(editor.leaveField(kLeftEndField));
  EXPECT_EQ(host.messages, Rows{"Invalid Parameter Number 13,5 in Left Beam Endpoint field field!"});
  EXPECT_EQ(editor.rows().size(), 3u);

  // Selecting a row shows its fields; "&Remove" selects the first row while rows follow the removed one.
  editor.selectRow(0);
  EXPECT_EQ(editor.fields(), (BeamRowFields{"2", "5", "1", "1", "1"}));
  editor.remove();
  EXPECT_EQ(editor.selected(), 0);
  EXPECT_EQ(editor.countText(), "2 beam angles in library");
  editor.selectRow(1);
  editor.remove();
  EXPECT_EQ(editor.selected(), -1);
  EXPECT_EQ(editor.rows(), Rows{"\t5\t\t<6\t13.5\t12"});

  // Nothing is written before OK; then the rows go out as typed, without a final tab.
  EXPECT_EQ(test::readBytes(file(kUp8ths)), recordsFile({"\t2\t5\t1\t1\t1", "\t9\t0\t0\t4\t4"}));
  editor.add();
  editor.ok();
  EXPECT_EQ(test::readBytes(file(kUp8ths)), recordsFile({"\t5\t\t<6\t13.5\t12"}));
  EXPECT_EQ(editor.writtenLibraries(), 1u << kUp8ths);
  EXPECT_FALSE(isReadOnlyFile(file(kUp8ths)));
}

TEST_F(BeamAnglesEditorTest, ClearingAsksFirst) {
  test::writeBytes(file(kDownGrace), recordsFile({"\t1", "\t2"}));
  editor.open(kDownGrace);
  dialogs.areYouSureAnswer = false;
  EXPECT_FALSE(editor.clearAll(dialogs));
  EXPECT_EQ(editor.rows().size(), 2u);
  dialogs.areYouSureAnswer = true;
  EXPECT_TRUE(editor.clearAll(dialogs));
  EXPECT_EQ(dialogs.areYouSureAsked, 2);
  EXPECT_TRUE(editor.rows().empty());
  EXPECT_EQ(editor.countText(), "0 beam angles in library");
  editor.ok();
  EXPECT_TRUE(test::readBytes(file(kDownGrace)).empty());
}

TEST_F(BeamAnglesEditorTest, DirectionChangeSavesTheShownLibrary) {
  test::writeBytes(file(kUp8ths), recordsFile({"\t1\t1\t1\t1\t1"}));
  editor.open(kUp8ths);
  editor.setField(kLeftEndField, "7");
  ASSERT_TRUE(editor.leaveField(kLeftEndField));
  editor.setReadOnly(true);
  EXPECT_TRUE(isReadOnlyFile(file(kUp8ths)));

  editor.changeDirection(kDown32nds);
  // The shown rows were written and the file is read-only again; the new library is missing.
  EXPECT_EQ(test::readBytes(file(kUp8ths)), recordsFile({"\t1\t1\t1\t7\t1"}));
  EXPECT_TRUE(isReadOnlyFile(file(kUp8ths)));
  EXPECT_EQ(host.messages, Rows{"Unable to open file " + file(kDown32nds) + " for reading"});
  EXPECT_EQ(editor.library(), kDown32nds);
  // Unlike on opening, the empty library shows a row without any text; "&Add" puts the blank row above it.
  EXPECT_EQ(editor.rows(), Rows{""});
  EXPECT_EQ(editor.selected(), 0);
  EXPECT_EQ(editor.fields(), BeamRowFields{});
  EXPECT_FALSE(editor.readOnly());
  EXPECT_EQ(editor.countText(), "0 beam angles in library");
  EXPECT_TRUE(editor.add());
  EXPECT_EQ(editor.rows(), (Rows{kBlankBeamRow, ""}));

  // "Read Only" on a file that is not there reports the system error.
  host.messages.clear();
  editor.setReadOnly(true);
  EXPECT_EQ(host.messages, Rows{"Error Code 2"});
  editor.setReadOnly(false);

  // OK on a fresh library drops the blank row and creates the file.
  editor.ok();
  EXPECT_TRUE(fileExists(file(kDown32nds)));
  EXPECT_TRUE(test::readBytes(file(kDown32nds)).empty());
  EXPECT_EQ(editor.writtenLibraries(), (1u << kUp8ths) | (1u << kDown32nds));
}

TEST_F(BeamAnglesEditorTest, PrefilledOpeningAndDamagedFiles) {
  test::writeBytes(file(kUp16ths), recordsFile({"\t9\t9\t9\t1\t1"}));
  editor.openPrefilled(kUp16ths, "5", "", "-4");
  EXPECT_EQ(editor.rows(), (Rows{kBlankBeamRow, "\t9\t9\t9\t1\t1"}));
  EXPECT_EQ(editor.selected(), 0);
  EXPECT_EQ(editor.fields(), (BeamRowFields{"5", "", "-4", "", ""}));
  EXPECT_EQ(editor.countText(), "1 beam angles in library");
  editor.setField(kLeftEndField, "3");
  editor.setField(kRightEndField, "2");
  ASSERT_TRUE(editor.leaveField(kRightEndField));
  editor.ok();
  EXPECT_EQ(test::readBytes(file(kUp16ths)), recordsFile({"\t5\t\t-4\t3\t2", "\t9\t9\t9\t1\t1"}));

  // A damaged file is not rewritten unless its rows were changed.
  Bytes damaged = recordsFile({"\t1"});
  damaged.push_back(0x40);
  test::writeBytes(file(kUp32nds), damaged);
  host.messages.clear();
  editor.open(kUp32nds);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(editor.rows(), Rows{"\t1"});
  editor.changeDirection(kUp8ths);
  EXPECT_EQ(test::readBytes(file(kUp32nds)), damaged);
  // The blank row of the missing library is not written as a record.
  editor.changeDirection(kUp32nds);
  EXPECT_TRUE(test::readBytes(file(kUp8ths)).empty());
  editor.remove();
  editor.ok();
  EXPECT_TRUE(test::readBytes(file(kUp32nds)).empty());

  // Nor is it rewritten for a blank row alone: "&Add", a prefilled opening, or no record readable at all.
  test::writeBytes(file(kUp32nds), damaged);
  editor.open(kUp32nds);
  ASSERT_TRUE(editor.add());
  editor.changeDirection(kUp8ths);
  EXPECT_EQ(test::readBytes(file(kUp32nds)), damaged);
  editor.openPrefilled(kUp32nds, "1", "", "2");
  editor.ok();
  EXPECT_EQ(test::readBytes(file(kUp32nds)), damaged);
  const Bytes unreadable{0x40, '\t'};
  test::writeBytes(file(kDown8ths), unreadable);
  host.messages.clear();
  editor.open(kDown8ths);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(editor.rows(), Rows{kBlankBeamRow});
  editor.changeDirection(kUp8ths);
  EXPECT_EQ(test::readBytes(file(kDown8ths)), unreadable);
  editor.changeDirection(kDown8ths);
  EXPECT_EQ(editor.rows(), Rows{""});
  editor.ok();
  EXPECT_EQ(test::readBytes(file(kDown8ths)), unreadable);
  EXPECT_EQ(editor.writtenLibraries() & (1u << kDown8ths | 1u << kUp32nds), 1u << kUp32nds);
}

} // namespace
} // namespace velmora

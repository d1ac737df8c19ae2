#include "beams/BeamLibrary.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cfloat>
#include <cmath>

#include "base/FileSystem.h"
#include "beams/BeamAnglesEditor.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

namespace velmora {
namespace {

using test::FakeHost;
using test::TempDir;
using Bytes = std::vector<uint8_t>;
using Rows = std::vector<std::string>;

Bytes textBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

// A library file made of counted strings, as the program writes them.
Bytes recordsFile(const Rows& records) {
  Bytes out;
  for (const auto& r : records) {
    out.push_back(static_cast<uint8_t>(r.size()));
    out.insert(out.end(), r.begin(), r.end());
  }
  return out;
}

CBeamAngle entry(float left, int32_t lc, float mid, int32_t mc, float right, int32_t rc, float le = 0, float re = 0) {
  return CBeamAngle{left, lc, mid, mc, right, rc, le, re};
}

mode_t modeOf(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_mode & 0777;
}

TEST(BeamRecord, RunTextByteForByte) {
  // The example entry, then truncation toward zero of the note positions.
  EXPECT_EQ(beamRecordText(entry(3, 1, 7, 2, 5, 0, 13.5f, 12)), "\t<3\t>7\t5\t13.500\t12.000\t");
  EXPECT_EQ(beamRecordText(entry(2.75f, 0, -2.75f, 1, kNoMidNote, 0, -0.0004f, 1234.5678f)),
            "\t2\t<-2\t-99\t-0.000\t1234.568\t");
  // Values no int holds, and NaN, still give defined text.
  EXPECT_EQ(beamRecordText(entry(FLT_MAX, 2, -FLT_MAX, 0, NAN, 0, NAN, 0)),
            "\t>2147483647\t-2147483648\t0\t0.000\t0.000\t");

  // Counted strings, one per record; an empty record holds no entry and is not written.
  const Rows records{beamRecordText(entry(3, 1, 7, 2, 5, 0, 13.5f, 12)), "", "\t4"};
  Bytes expected{0x17};
  const Bytes first = textBytes("\t<3\t>7\t5\t13.500\t12.000\t");
  expected.insert(expected.end(), first.begin(), first.end());
  expected.insert(expected.end(), {0x02, '\t', '4'});
  EXPECT_EQ(libraryBytes(records), expected) << test::hexDump(libraryBytes(records));
  // A record of 255 characters takes the 0xFF prefix and a 16-bit length.
  const Bytes longRecord = libraryBytes(Rows{std::string(255, 'x')});
  ASSERT_EQ(longRecord.size(), 258u);
  EXPECT_EQ((Bytes{longRecord[0], longRecord[1], longRecord[2]}), (Bytes{0xFF, 0xFF, 0x00}));
}

TEST(BeamRecord, ParsingOddities) {
  // The example record and the lone digit.
  EXPECT_EQ(parseBeamRecord("\t<3\t>7\t5\t13.500\t12.000\t"), entry(3, 1, 7, 2, 5, 0, 13.5f, 12));
  EXPECT_EQ(parseBeamRecord("\t4"), entry(4, 0, 0, 0, 0, 0, 0, 0));
  // The first character is dropped whatever it is.
  EXPECT_EQ(parseBeamRecord("X5\t6"), entry(5, 0, 6, 0, 0, 0));
  EXPECT_EQ(parseBeamRecord("5\t6"), entry(0, 0, 6, 0, 0, 0));
  EXPECT_EQ(parseBeamRecord(""), CBeamAngle{});
  EXPECT_EQ(parseBeamRecord("\t"), CBeamAngle{});
  // Only a lone "<" or ">" is a comparison; any other run counts as exact and is skipped.
  EXPECT_EQ(parseBeamRecord("\t<>5\t>>6\t<<7"), entry(5, 0, 6, 0, 7, 0));
  EXPECT_EQ(parseBeamRecord("\t<\t>\t><-2"), entry(0, 1, 0, 2, -2, 0));
  // Numbers read as the C library reads them: blanks, sign, point, exponent; junk ignored.
  EXPECT_EQ(parseNumberField("12abc"), 12.0f);
  EXPECT_EQ(parseNumberField("  -3.25junk"), -3.25f);
  EXPECT_EQ(parseNumberField("1.5e2x"), 150.0f);
  EXPECT_EQ(parseNumberField("1e"), 1.0f);
  EXPECT_EQ(parseNumberField("2E+1"), 20.0f);
  EXPECT_EQ(parseNumberField("+7"), 7.0f);
  EXPECT_EQ(parseNumberField("-.5"), -0.5f);
  EXPECT_EQ(parseNumberField("5."), 5.0f);
  EXPECT_EQ(parseNumberField("."), 0.0f);
  EXPECT_EQ(parseNumberField("abc"), 0.0f);
  EXPECT_EQ(parseNumberField("- 5"), 0.0f);
  EXPECT_EQ(parseNumberField("0x10"), 0.0f);
  EXPECT_EQ(parseNumberField("nan"), 0.0f);
  EXPECT_EQ(parseNumberField("1e999"), FLT_MAX);
  EXPECT_EQ(parseNumberField("-1e39"), -FLT_MAX);
  EXPECT_EQ(parseNumberField("1e-999"), 0.0f);
  // Missing trailing fields and empty fields are zero.
  EXPECT_EQ(parseBeamRecord("\t1\t2"), entry(1, 0, 2, 0, 0, 0));
  EXPECT_EQ(parseBeamRecord("\t1\t\t3\t\t9"), entry(1, 0, 0, 0, 3, 0, 0, 9));
  // A sixth field is ignored.
  EXPECT_EQ(parseBeamRecord("\t1\t2\t3\t4\t5\t6"), entry(1, 0, 2, 0, 3, 0, 4, 5));
}

TEST(BeamLibraryOrder, InsertionRules) {
  // "<" before an exact entry of the same left position, ">" after it.
  CBeamLibrary lib{entry(3, 0, 0, 0, 0, 0)};
  insertInOrder(lib, entry(3, 1, 0, 0, 0, 0));
  insertInOrder(lib, entry(3, 2, 0, 0, 0, 0));
  EXPECT_EQ(lib, (CBeamLibrary{entry(3, 1, 0, 0, 0, 0), entry(3, 0, 0, 0, 0, 0), entry(3, 2, 0, 0, 0, 0)}));

  // Ascending left; ties go to mid and then right; an equal entry lands after its equals.
  lib = {entry(-4, 0, 0, 0, 0, 0), entry(2, 0, 5, 0, 1, 0), entry(2, 0, 5, 0, 3, 0), entry(9, 0, 0, 0, 0, 0)};
  insertInOrder(lib, entry(2, 0, 5, 1, 9, 0, 1, 1));
  insertInOrder(lib, entry(2, 0, 5, 0, 2, 0, 2, 2));
  insertInOrder(lib, entry(2, 0, 5, 0, 3, 0, 3, 3));
  insertInOrder(lib, entry(-10, 0, 0, 0, 0, 0, 4, 4));
  insertInOrder(lib, entry(10, 0, 0, 0, 0, 0, 5, 5));
  ASSERT_EQ(lib.size(), 9u);
  EXPECT_EQ(lib[0].leftEnd, 4);
  EXPECT_EQ(lib[1].left, -4);
  EXPECT_EQ(lib[2].leftEnd, 1); // mid "<" 5 before mid exact 5
  EXPECT_EQ(lib[3].right, 1);
  EXPECT_EQ(lib[4].leftEnd, 2);
  EXPECT_EQ(lib[5].right, 3);
  EXPECT_EQ(lib[5].leftEnd, 0);
  EXPECT_EQ(lib[6].leftEnd, 3);
  EXPECT_EQ(lib[7].left, 9);
  EXPECT_EQ(lib[8].leftEnd, 5);

  // A left position of -99 goes to the front whatever the file order.
  lib = {entry(-200, 0, 0, 0, 0, 0), entry(1, 0, 0, 0, 0, 0)};
  insertInOrder(lib, entry(-99, 0, 0, 0, 0, 0));
  EXPECT_EQ(lib.front().left, -99);
  // Unsorted files keep their order; the new entry goes before the first that ranks after it.
  lib = {entry(5, 0, 0, 0, 0, 0), entry(1, 0, 0, 0, 0, 0)};
  insertInOrder(lib, entry(3, 0, 0, 0, 0, 0));
  EXPECT_EQ(lib[0].left, 3);
}

TEST(BeamLibraryFiles, EmptyRecordsAreSkippedAndEveryEntryKept) {
  TempDir project;
  // An empty record between entries, and one at the very start: every entry after them is read.
  Bytes between = recordsFile({"\t9\t1\t2\t3\t4"});
  between.push_back(0);
  const Bytes after = recordsFile({"\t<3\t>7\t5\t13.500\t12.000\t"});
  between.insert(between.end(), after.begin(), after.end());
  test::writeBytes(project.file("BUP8THS.DAT"), between);
  Bytes leading{0};
  const Bytes rest = recordsFile({"\t1", "\t2"});
  leading.insert(leading.end(), rest.begin(), rest.end());
  test::writeBytes(project.file("BDN8THS.DAT"), leading);

  FakeHost host;
  CBeamLibraries libs;
  libs.load(host, project.path(), kUp8ths);
  libs.load(host, project.path(), kDown8ths);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(libs[kUp8ths], (CBeamLibrary{entry(9, 0, 1, 0, 2, 0, 3, 4), entry(3, 1, 7, 2, 5, 0, 13.5f, 12)}));
  EXPECT_EQ(libs[kDown8ths], (CBeamLibrary{entry(1, 0, 0, 0, 0, 0), entry(2, 0, 0, 0, 0, 0)}));
  // The window's library editor reads the same records.
  BeamAnglesEditor editor(host, project.path());
  editor.open(kDown8ths);
  EXPECT_EQ(editor.rows(), (Rows{"\t1", "\t2"}));
  EXPECT_EQ(editor.count(), 2);
  // Written back in the run's format, every entry kept and in file order.
  libs.saveAll(host, project.path());
  EXPECT_EQ(test::readBytes(project.file("BUP8THS.DAT")),
            recordsFile({"\t9\t1\t2\t3.000\t4.000\t", "\t<3\t>7\t5\t13.500\t12.000\t"}));
  EXPECT_EQ(test::readBytes(project.file("BDN8THS.DAT")),
            recordsFile({"\t1\t0\t0\t0.000\t0.000\t", "\t2\t0\t0\t0.000\t0.000\t"}));
}

TEST(BeamLibraryFiles, MissingFilesCaseAndSaving) {
  TempDir project;
  // A lower-case file is found and written under its own name; missing ones are created upper-case.
  test::writeBytes(project.file("bdn16ths.dat"), recordsFile({"\t20\t>19\t16\t-3\t-4"}));
  FakeHost host;
  CBeamLibraries libs;
  libs.loadAll(host, project.path());
  Rows expected;
  for (const char* name :
       {"BUP8THS.DAT", "BDN8THS.DAT", "BUP16THS.DAT", "BUP32NDS.DAT", "BDN32NDS.DAT", "BUPGRACE.DAT", "BDNGRACE.DAT"})
    expected.push_back("Unable to open file " + project.path() + name + " for reading");
  EXPECT_EQ(host.messages, expected);
  ASSERT_EQ(libs[kDown16ths].size(), 1u);
  EXPECT_EQ(libs[kDown16ths][0], entry(20, 0, 19, 2, 16, 0, -3, -4));

  libs[kUpGrace].push_back(entry(105, 0, -99, 1, 106, 0, 113, 112));
  host.messages.clear();
  libs.saveAll(host, project.path());
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(project.listing(), "BDN32NDS.DAT BDN8THS.DAT BDNGRACE.DAT BUP16THS.DAT BUP32NDS.DAT BUP8THS.DAT "
                               "BUPGRACE.DAT bdn16ths.dat");
  EXPECT_EQ(test::readBytes(project.file("bdn16ths.dat")), recordsFile({"\t20\t>19\t16\t-3.000\t-4.000\t"}));
  EXPECT_EQ(test::readBytes(project.file("BUPGRACE.DAT")), recordsFile({"\t105\t<-99\t106\t113.000\t112.000\t"}));
  EXPECT_TRUE(test::readBytes(project.file("BUP8THS.DAT")).empty());

  // Clearing by kind and stem set.
  libs[kDown8ths].push_back(CBeamAngle{});
  libs[kUp8ths].push_back(CBeamAngle{});
  libs.clear(3, BeamStems::Up);
  EXPECT_TRUE(libs[kUpGrace].empty());
  libs.clear(0, BeamStems::Down);
  EXPECT_TRUE(libs[kDown8ths].empty());
  EXPECT_EQ(libs[kUp8ths].size(), 1u);
  libs.clear();
  EXPECT_TRUE(libs.empty());

  // A folder that cannot be written: every library says so and nothing is left behind.
  host.messages.clear();
  libs.saveAll(host, project.path() + "gone/");
  ASSERT_EQ(host.messages.size(), 8u);
  EXPECT_EQ(host.messages[0], "Unable to open file " + project.path() + "gone/BUP8THS.DAT for reading");
}

TEST(BeamLibraryFiles, ReadOnlyLibraryIsSavedAndStaysReadOnly) {
  TempDir project;
  const std::string path = project.file("BUP8THS.DAT");
  test::writeBytes(path, recordsFile({"\t5\t7\t6\t13.5\t12"}));
  ASSERT_EQ(setReadOnlyFile(path, true), 0);
  EXPECT_TRUE(isReadOnlyFile(path));
  EXPECT_EQ(modeOf(path) & S_IWUSR, 0u);

  FakeHost host;
  CBeamLibraries libs;
  libs.load(host, project.path(), kUp8ths);
  insertInOrder(libs[kUp8ths], entry(4, 0, 0, 0, 0, 0, 1, 2));
  libs.saveAll(host, project.path());
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(test::readBytes(path), recordsFile({"\t4\t0\t0\t1.000\t2.000\t", "\t5\t7\t6\t13.500\t12.000\t"}));
  EXPECT_TRUE(isReadOnlyFile(path));

  ASSERT_EQ(setReadOnlyFile(path, false), 0);
  EXPECT_FALSE(isReadOnlyFile(path));
  EXPECT_EQ(setReadOnlyFile(project.file("none.dat"), true), ENOENT);
  EXPECT_FALSE(isReadOnlyFile(project.file("none.dat")));
}

TEST(BeamLibraryFiles, DamagedLibraryKeepsItsRecordsAndIsNotOverwritten) {
  TempDir project;
  const std::string path = project.file("BDN8THS.DAT");
  Bytes bytes = recordsFile({"\t20\t>19\t16\t-3\t-4"});
  bytes.insert(bytes.end(), {0x30, '\t', '1'});
  test::writeBytes(path, bytes);

  FakeHost host;
  CBeamLibraries libs;
  libs.load(host, project.path(), kDown8ths);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0], path + " is damaged: string at offset 0x11 claims 48 characters, beyond the end of data "
                                     "at 0x14. The beam angles before that point are used.");
  EXPECT_EQ(libs[kDown8ths].size(), 1u);
  EXPECT_TRUE(libs.keptFromSaving(kDown8ths));

  // What the run learned for it is not written over what could not be read.
  libs[kDown8ths].push_back(CBeamAngle{});
  host.messages.clear();
  libs.saveAll(host, project.path());
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0], path + " was not read in full, so it is left as it is: the beam angles learned for "
                                     "it in this run are not saved.");
  EXPECT_EQ(test::readBytes(path), bytes);
  // Clearing forgets the mark; the next load decides again.
  libs.clear();
  EXPECT_FALSE(libs.keptFromSaving(kDown8ths));
}

} // namespace
} // namespace velmora

#include "edit/MacroFiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "edit/EditFixtures.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

namespace velmora {
namespace {

using test::FakeHost;
using test::hexDump;
using test::readBytes;
using test::TempDir;
using test::writeBytes;
using Bytes = std::vector<uint8_t>;
using Names = std::vector<std::string>;

Bytes bytesOf(std::initializer_list<int> values) {
  Bytes out;
  for (int v : values)
    out.push_back(static_cast<uint8_t>(v));
  return out;
}

void append(Bytes& out, const std::string& text) { out.insert(out.end(), text.begin(), text.end()); }

TEST(MacroFiles, LayoutsByteForByte) {
  // A macro: counted description, 16-bit count, counted names.
  Bytes macro = bytesOf({4});
  append(macro, "Demo");
  macro.insert(macro.end(), {2, 0, 1});
  append(macro, "A");
  macro.push_back(4);
  append(macro, "BEAM");
  EXPECT_EQ(hexDump(encodeMacro({"Demo", {"A", "BEAM"}})), hexDump(macro));

  // A step: four counted strings and the 32-bit flag.
  Bytes step = bytesOf({1});
  append(step, "d");
  step.push_back(1);
  append(step, "1");
  step.push_back(7);
  append(step, "P5 == 3");
  step.push_back(5);
  append(step, "5 = 1");
  step.insert(step.end(), {1, 0, 0, 0});
  EXPECT_EQ(hexDump(encodeStep({"d", "1", "P5 == 3", "5 = 1", 1})), hexDump(step));

  // A macro with no steps is three bytes and reads back empty.
  EXPECT_EQ(encodeMacro({}), bytesOf({0, 0, 0}));
  MacroData empty{"x", {"y"}};
  std::string why;
  ASSERT_TRUE(decodeMacro(bytesOf({0, 0, 0}), empty, why));
  EXPECT_EQ(empty, MacroData{});

  // A description of 300 characters takes the 0xFF + 16-bit prefix and survives.
  const MacroData longer{std::string(300, 'x') + "\r\nend", {"S"}};
  const Bytes encoded = encodeMacro(longer);
  ASSERT_GE(encoded.size(), 3u);
  EXPECT_EQ(Bytes(encoded.begin(), encoded.begin() + 3), bytesOf({0xFF, 0x31, 0x01}));
  MacroData back;
  ASSERT_TRUE(decodeMacro(encoded, back, why));
  EXPECT_EQ(back, longer);
}

TEST(MacroFiles, ReadingRules) {
  std::string why;
  // Only a stored 1 sets the not-found flag.
  for (const auto& [stored, set] :
       std::vector<std::pair<int32_t, bool>>{{1, true}, {0, false}, {2, false}, {-1, false}}) {
    StepData step;
    ASSERT_TRUE(decodeStep(encodeStep({"", "", "", "APP[X.MUS]", stored}), step, why));
    EXPECT_EQ(step.notFound, stored);
    EXPECT_EQ(step.notFoundFlag(), set) << stored;
  }
  // The wide-string tag is read as 16-bit characters.
  Bytes wide = bytesOf({0xFF, 0xFE, 0xFF, 3, 'a', 0, 'b', 0, 'c', 0, 1, 0, 1});
  append(wide, "S");
  MacroData macro;
  ASSERT_TRUE(decodeMacro(wide, macro, why)) << why;
  EXPECT_EQ(macro, (MacroData{"abc", {"S"}}));
}

TEST(MacroFiles, DamagedFilesAreRefusedWithTheirPath) {
  TempDir dir;
  const std::string path = dir.file("BAD.STP");
  struct Case {
    Bytes bytes;
    std::string why;
  };
  // Truncated flag, a string longer than the file, an empty file.
  for (const Case& c : std::vector<Case>{
           {bytesOf({0, 0, 0, 0, 1, 0}), "offset 0x8 is beyond the end of data at 0x6"},
           {bytesOf({5, 'a'}), "string at offset 0x0 claims 5 characters, beyond the end of data at 0x2"},
           {Bytes{}, "offset 0x1 is beyond the end of data at 0x0"},
       }) {
    writeBytes(path, c.bytes);
    StepData step;
    std::string message;
    EXPECT_EQ(readStepFile(path, step, message), FileRead::Damaged);
    EXPECT_EQ(message, path + " is damaged and cannot be processed: " + c.why + ".");
  }
  // A step count beyond the data.
  writeBytes(dir.file("BAD.MAC"), bytesOf({0, 5, 0}));
  MacroData macro;
  std::string message;
  EXPECT_EQ(readMacroFile(dir.file("BAD.MAC"), macro, message), FileRead::Damaged);
  EXPECT_EQ(message, dir.file("BAD.MAC") +
                         " is damaged and cannot be processed: the step count 5 at offset 0x1 is more than the file "
                         "holds.");
  // A missing file.
  EXPECT_EQ(readMacroFile(dir.file("GONE.MAC"), macro, message), FileRead::CannotOpen);
  EXPECT_EQ(message, "Unable to open file " + dir.file("GONE.MAC") + " for reading");
}

TEST(MacroFiles, NamesAndTheOverwriteCheck) {
  // Leading blanks go, everything from the first "." goes, the rest is upper-cased.
  EXPECT_EQ(normaliseName("  beam.up"), "BEAM");
  EXPECT_EQ(normaliseName("stems Down"), "STEMS DOWN");
  EXPECT_EQ(normaliseName("   "), "");
  EXPECT_EQ(normaliseName(".mac"), "");

  TempDir dir;
  FakeHost host;
  CEditFiles files(dir.path(), host);
  writeBytes(dir.file("beam.mac"), encodeMacro({}));
  NameCheck check = files.checkName(EditFileKind::Macro, "  beam.up");
  EXPECT_EQ(check.state, NameCheck::State::Exists);
  EXPECT_EQ(check.name, "BEAM");
  EXPECT_EQ(check.question, "The macro BEAM already exists. Do you wish to overwrite?");
  EXPECT_EQ(files.pathOf(EditFileKind::Macro, "BEAM"), dir.file("beam.mac"));
  check = files.checkName(EditFileKind::Step, "beam");
  EXPECT_EQ(check.state, NameCheck::State::Accepted);
  EXPECT_EQ(files.pathOf(EditFileKind::Step, check.name), dir.file("BEAM.STP"));
  writeBytes(dir.file("BEAM.STP"), encodeStep({}));
  EXPECT_EQ(files.checkName(EditFileKind::Step, "beam").question,
            "The step BEAM already exists. Do you wish to overwrite?");
  EXPECT_EQ(files.checkName(EditFileKind::Step, " .x").state, NameCheck::State::Empty);
}

TEST(MacroFiles, Listing) {
  TempDir dir;
  FakeHost host;
  for (const char* name : {"b.mac", "A.MAC", "a.b.MAC", "c.stp", "x.txt", "MAC"})
    writeBytes(dir.file(name), encodeMacro({}));
  std::filesystem::create_directory(dir.file("dir.MAC"));
  CEditFiles files(dir.path(), host);
  EXPECT_EQ(files.list(EditFileKind::Macro), (Names{"A", "A.B", "B"}));
  EXPECT_EQ(files.list(EditFileKind::Step), (Names{"C"}));
  EXPECT_FALSE(files.exists(EditFileKind::Macro, "DIR"));
}

TEST(MacroFiles, DuplicateRenameDelete) {
  TempDir dir;
  FakeHost host;
  CEditFiles files(dir.path(), host);
  ASSERT_TRUE(files.saveMacro("M1", {"one", {"A", "X", "A"}}));
  ASSERT_TRUE(files.saveMacro("M2", {"two", {"a"}}));
  ASSERT_TRUE(files.saveMacro("M3", {"three", {"X"}}));
  ASSERT_TRUE(files.saveStep("A", {"step a", "1", "", "5 = 1", 0}));

  // Duplicate copies the content.
  ASSERT_TRUE(files.duplicate(EditFileKind::Step, "A", "COPY"));
  EXPECT_EQ(readBytes(dir.file("COPY.STP")), readBytes(dir.file("A.STP")));

  // Renaming step A rewrites M1 only; "a" in M2 differs in case, M3 lacks it.
  const Bytes m2 = readBytes(dir.file("M2.MAC"));
  struct stat before {};
  ASSERT_EQ(::stat(dir.file("M3.MAC").c_str(), &before), 0);
  ASSERT_TRUE(files.renameStep("A", "B"));
  EXPECT_FALSE(files.exists(EditFileKind::Step, "A"));
  EXPECT_TRUE(files.exists(EditFileKind::Step, "B"));
  MacroData m1;
  ASSERT_TRUE(files.loadMacro("M1", m1));
  EXPECT_EQ(m1, (MacroData{"one", {"B", "X", "B"}}));
  EXPECT_EQ(readBytes(dir.file("M2.MAC")), m2);
  struct stat after {};
  ASSERT_EQ(::stat(dir.file("M3.MAC").c_str(), &after), 0);
  EXPECT_EQ(before.st_ino, after.st_ino);

  // A rename never replaces a file.
  EXPECT_FALSE(files.renameMacro("M1", "M2"));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0],
            "Unable to rename file " + dir.file("M1.MAC") + " to " + dir.file("M2.MAC") + ": File exists.");
  EXPECT_EQ(readBytes(dir.file("M2.MAC")), m2);
  ASSERT_TRUE(files.renameMacro("M1", "M9"));
  EXPECT_EQ(files.list(EditFileKind::Macro), (Names{"M2", "M3", "M9"}));

  // Deleting macros leaves their steps; a file that cannot go is skipped.
  EXPECT_EQ(CEditFiles::deleteQuestion(EditFileKind::Macro, 2),
            "Are you sure you want to delete 2 macro(s) from disk?");
  EXPECT_EQ(CEditFiles::deleteQuestion(EditFileKind::Step, 1), "Are you sure you want to delete 1 step(s) from disk?");
  EXPECT_EQ(files.remove(EditFileKind::Macro, {"M9", "NOPE"}), 1);
  EXPECT_EQ(files.list(EditFileKind::Macro), (Names{"M2", "M3"}));
  EXPECT_EQ(files.list(EditFileKind::Step), (Names{"B", "COPY"}));
  EXPECT_EQ(host.messages.size(), 1u);
}

TEST(MacroFiles, LoadingForEditingAndAppending) {
  TempDir dir;
  FakeHost host;
  CEditFiles files(dir.path(), host);
  ASSERT_TRUE(files.saveStep("S1", {}));
  ASSERT_TRUE(files.saveMacro("M1", {"one", {"S1", "GONE", "S1"}}));
  ASSERT_TRUE(files.saveMacro("M3", {"three", {"X"}}));

  // A step whose file is missing is reported and left out.
  MacroData macro;
  ASSERT_TRUE(files.loadMacroForEditing("M1", macro));
  EXPECT_EQ(macro, (MacroData{"one", {"S1", "S1"}}));
  EXPECT_EQ(host.messages, (Names{"Unable to open step " + dir.file("GONE.STP") + " for reading"}));

  // Appending: names as stored, unchecked; a missing macro ends the append.
  host.messages.clear();
  Names steps{"FIRST"};
  EXPECT_TRUE(files.appendMacros({"M1", "M3"}, steps));
  EXPECT_EQ(steps, (Names{"FIRST", "S1", "GONE", "S1", "X"}));
  steps.clear();
  EXPECT_FALSE(files.appendMacros({"M3", "NOPE", "M1"}, steps));
  EXPECT_EQ(steps, (Names{"X"}));
  EXPECT_EQ(host.questions, (Names{"OK/Cancel: Macro " + dir.file("NOPE.MAC") + " not found\n"}));
  EXPECT_EQ(host.messages, (Names{"Unable to open file " + dir.file("NOPE.MAC") + " for reading"}));
  // Cancel in the box ends it without the second message.
  host.messages.clear();
  host.okCancelAnswers = {false};
  EXPECT_FALSE(files.appendMacros({"NOPE"}, steps));
  EXPECT_TRUE(host.messages.empty());
}

} // namespace
} // namespace velmora

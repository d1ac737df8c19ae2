#include "beams/BeamTask.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "base/FileSystem.h"
#include "batch/BatchRunner.h"
#include "beams/ScriptedBeamDialogs.h"
#include "model/ScoreReader.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

namespace velmora {
namespace {

using test::FakeHost;
using test::TempDir;
using Items = std::vector<std::vector<float>>;
using Rows = std::vector<std::string>;

std::vector<float> params(const CItem& item) {
  const auto v = item.params().values();
  return {v.begin(), v.end()};
}

class BeamTaskTest : public ::testing::Test {
protected:
  // Writes a library file and loads it into the run's copy.
  void library(int index, const Rows& records) {
    test::writeBytes(project.file(beamLibraryInfo(index).fileName), libraryBytes(records));
    libraries.load(host, project.path(), index);
  }

  // Runs the per-file routine on a score and returns the items of its output, in list order.
  Items runOn(const std::string& items, int expected = 1) {
    const std::string path = scores.file("a.mus");
    test::writeBytes(path, test::buildScore(items));
    EXPECT_EQ(setBeamAnglesInFile(run, path, "BIM"), expected);
    EXPECT_TRUE(groups.empty());
    EXPECT_TRUE(store.empty());
    Items out;
    if (expected != 1) return out;
    CItemStore written;
    FakeHost quiet;
    EXPECT_EQ(openAndReadGeneral(quiet, scores.file("a.BIM"), written), 1);
    for (int list = 0; list < kStaveListCount; ++list)
      for (const CItem& item : written.list(list))
        out.push_back(params(item));
    return out;
  }

  // P4 and P5 of the n-th beam of a run's output.
  static std::pair<float, float> beam(const Items& items, int n = 0) {
    for (const auto& item : items)
      if (item.size() >= 7 && item[0] == 6.0f && n-- == 0) return {item[3], item[4]};
    ADD_FAILURE() << "no beam " << n;
    return {-1000, -1000};
  }

  // Reads a score into the store and finds its groups.
  void findGroups(const std::string& items) {
    const std::string path = scores.file("g.mus");
    test::writeBytes(path, test::buildScore(items));
    ScoreFile file;
    ASSERT_EQ(openScoreFile(host, path, store, file), 1);
    ASSERT_EQ(readBeams(host, file, store, groups), 1);
    ASSERT_EQ(findBeamNotes(host, store, groups, run.options), 1);
  }

  TempDir project;
  TempDir scores;
  FakeHost host;
  test::ScriptedBeamDialogs dialogs;
  CItemStore store;
  CBeamLibraries libraries;
  CBeamGroups groups;
  BeamRun run{host, dialogs, store, libraries, groups, project.path(), BeamOptions{}};
};

constexpr const char* kUpGroup = "6 1 10 9 8 30 11\n1 1 10 5 10\n1 1 20 7 10\n1 1 30 6 10\n";
constexpr const char* kDownGroup = "6 2 10 9 8 30 21\n1 2 10 5 5\n1 2 20 7 5\n1 2 30 6 5\n";

TEST_F(BeamTaskTest, LookupTakesTheFirstMatchingEntry) {
  library(kUp8ths, {"\t5\t7\t7\t1\t1", "\t5\t7\t6\t13.5\t12", "\t<6\t<8\t<7\t2\t2"});
  const Items out = runOn(kUpGroup);
  EXPECT_EQ(beam(out), std::make_pair(13.5f, 12.0f));
  EXPECT_EQ(out[1], (std::vector<float>{1, 1, 10, 5, 10}));
  EXPECT_TRUE(host.messages.empty());
  EXPECT_TRUE(dialogs.questions.empty());
  EXPECT_EQ(libraries[kUp8ths].size(), 3u);
}

TEST_F(BeamTaskTest, HorizontalModes) {
  // "Always": the higher endpoint for stems up, the lower for stems down.
  library(kUp8ths, {"\t5\t7\t6\t13.5\t12"});
  library(kDown8ths, {"\t5\t7\t6\t13.5\t12"});
  run.options.horizontalRule = kHorizontalAlways;
  Items out = runOn(std::string(kUpGroup) + kDownGroup);
  EXPECT_EQ(beam(out, 0), std::make_pair(13.5f, 13.5f));
  EXPECT_EQ(beam(out, 1), std::make_pair(12.0f, 12.0f));

  // A grace entry: the offset of 100 comes off the endpoint and goes back on P4.
  library(kUpGrace, {"\t105\t107\t106\t113\t12"});
  out = runOn("6 1 10 105 105 30 11\n1 1 10 105 10\n1 1 20 107 10\n1 1 30 106 10");
  EXPECT_EQ(beam(out), std::make_pair(113.0f, 13.0f));
  // Below -100 the offset turns negative.
  library(kDownGrace, {"\t-105\t-107\t-106\t-113\t-12"});
  out = runOn("6 1 10 -105 -105 30 21\n1 1 10 -105 5\n1 1 20 -107 5\n1 1 30 -106 5");
  EXPECT_EQ(beam(out), std::make_pair(-113.0f, -13.0f));

  // "As specified" writes the endpoints as they stand.
  run.options.horizontalRule = kHorizontalAsSpecified;
  out = runOn(std::string(kUpGroup) + kDownGroup);
  EXPECT_EQ(beam(out, 0), std::make_pair(13.5f, 12.0f));
  EXPECT_EQ(beam(out, 1), std::make_pair(13.5f, 12.0f));
}

TEST_F(BeamTaskTest, SixtyFourthsTakeTheExtraOffset) {
  library(kUp32nds, {"\t1\t2\t3\t-3\t-5", "\t5\t7\t6\t13.5\t12"});
  library(kDown32nds, {"\t5\t7\t6\t13.5\t12"});
  const std::string items = "6 1 10 0 0 30 14\n1 1 10 5 10\n1 1 20 7 10\n1 1 30 6 10\n"
                            "6 2 10 0 0 30 24\n1 2 10 5 5\n1 2 20 7 5\n1 2 30 6 5\n"
                            "6 3 10 0 0 30 14\n1 3 10 1 10\n1 3 20 2 10\n1 3 30 3 10\n"
                            "6 4 10 0 0 30 13\n1 4 10 5 10\n1 4 20 7 10\n1 4 30 6 10\n";
  Items out = runOn(items);
  EXPECT_EQ(beam(out, 0), std::make_pair(14.5f, 13.0f));
  EXPECT_EQ(beam(out, 1), std::make_pair(12.5f, 11.0f));
  // A negative left endpoint takes the offset the other way.
  EXPECT_EQ(beam(out, 2), std::make_pair(-4.0f, -6.0f));
  EXPECT_EQ(beam(out, 3), std::make_pair(13.5f, 12.0f));

  // "Don't process 64th notes" leaves them alone and learns nothing from them.
  run.options.skip64ths = 1;
  out = runOn(items);
  EXPECT_EQ(beam(out, 0), std::make_pair(0.0f, 0.0f));
  EXPECT_EQ(beam(out, 1), std::make_pair(0.0f, 0.0f));
  EXPECT_EQ(beam(out, 3), std::make_pair(13.5f, 12.0f));
  EXPECT_EQ(libraries[kUp32nds].size(), 2u);
}

TEST_F(BeamTaskTest, FarNotesAreShiftedForTheLookupAndRestored) {
  // Stems up: -5 and -4 are looked up as -1 and 0.
  library(kUp8ths, {"\t-5\t<0\t-4\t1\t1", "\t-1\t<0\t0\t3\t4"});
  Items out = runOn("6 1 10 0 0 30 11\n1 1 10 -5 10\n1 1 30 -4 10");
  EXPECT_EQ(beam(out), std::make_pair(3.0f, 4.0f));
  EXPECT_EQ(out[1][3], -5.0f);
  EXPECT_EQ(out[2][3], -4.0f);

  // Stems down, with a mid note (never shifted): 20 and 16 are looked up as 18 and 14.
  library(kDown8ths, {"\t18\t18\t14\t5\t6"});
  out = runOn("6 1 10 0 0 30 21\n1 1 10 20 5\n1 1 20 18 5\n1 1 30 16 5");
  EXPECT_EQ(beam(out), std::make_pair(5.0f, 6.0f));
  EXPECT_EQ(out[1][3], 20.0f);
  EXPECT_EQ(out[2][3], 18.0f);
  EXPECT_EQ(out[3][3], 16.0f);

  // Shifted positions are what silent learning records; the notes are restored all the same.
  libraries.clear();
  out = runOn("6 1 10 -3 -4 30 21\n1 1 10 20 5\n1 1 20 18 5\n1 1 30 16 5");
  ASSERT_EQ(libraries[kDown8ths].size(), 1u);
  EXPECT_EQ(beamRecordText(libraries[kDown8ths][0]), "\t>17\t>17\t14\t-3.000\t-4.000\t");
  EXPECT_EQ(out[1][3], 20.0f);

  // Hostile positions cannot make the shift loop forever.
  out = runOn("6 1 10 0 0 30 11\n1 1 10 -1e30 10\n1 1 30 -2e30 10");
  EXPECT_EQ(out[1][3], -1e30f);
}

TEST_F(BeamTaskTest, ExclusionAndBeamsLeftAlone) {
  library(kUp8ths, {"\t5\t7\t6\t13.5\t12"});
  // A placed note with P12 above 0 removes its group; the next group is set.
  Items out = runOn("6 1 10 9 8 30 11\n1 1 10 5 10\n1 1 20 7 10 0 0 0 0 0 0 1\n1 1 30 6 10\n"
                    "6 2 10 9 8 30 11\n1 2 10 5 10\n1 2 20 7 10\n1 2 30 6 10 0 0 0 0 0 0 0\n");
  EXPECT_EQ(beam(out, 0), std::make_pair(9.0f, 8.0f));
  EXPECT_EQ(beam(out, 1), std::make_pair(13.5f, 12.0f));
  EXPECT_EQ(libraries[kUp8ths].size(), 1u);

  // P4 of exactly 100, P7 of 10 or exactly 20, and P7 below 10: left alone, nothing learned, nothing asked.
  run.options.allowNoAngleDialog = 1;
  out = runOn("6 1 10 100 100 30 11\n1 1 10 5 10\n1 1 30 6 10\n"
              "6 2 10 9 8 30 10\n1 2 10 5 10\n1 2 30 6 10\n"
              "6 3 10 9 8 30 20\n1 3 10 5 5\n1 3 30 6 5\n"
              "6 4 10 9 8 30 5\n1 4 10 5 5\n1 4 30 6 5\n");
  EXPECT_EQ(beam(out, 0), std::make_pair(100.0f, 100.0f));
  EXPECT_EQ(beam(out, 1), std::make_pair(9.0f, 8.0f));
  EXPECT_EQ(beam(out, 2), std::make_pair(9.0f, 8.0f));
  EXPECT_EQ(beam(out, 3), std::make_pair(9.0f, 8.0f));
  EXPECT_TRUE(dialogs.questions.empty());

  // A group without both end notes is put to the user with the missing note empty; it never matches.
  dialogs.notFoundAnswers = {BeamNotFoundAnswer::Yes, BeamNotFoundAnswer::NoToAll};
  dialogs.onEditLibrary = [this](BeamLibraryRequest&) {
    test::writeBytes(project.file("BUP8THS.DAT"), libraryBytes(Rows{"\t4\t>0\t>0\t1\t1", "\t>0\t>0\t4\t1\t1"}));
    return true;
  };
  out = runOn("6 1 10 9 8 30 11\n1 1 10 4 10\n"
              "6 2 10 9 8 30 11\n1 2 30 4 10\n"
              "6 3 10 9 8 30 11\n1 3 30 4 10\n");
  ASSERT_EQ(dialogs.questions.size(), 2u);
  EXPECT_EQ(dialogs.questions[0].text.substr(dialogs.questions[0].text.find('\n')),
            "\nDirection: Up 8ths\tLeft note: 4\tMid note: \tRight note: ");
  EXPECT_EQ(dialogs.questions[1].text.substr(dialogs.questions[1].text.find('\n')),
            "\nDirection: Up 8ths\tLeft note: \tMid note: \tRight note: 4");
  ASSERT_EQ(dialogs.libraryRequests.size(), 1u);
  EXPECT_EQ((Rows{dialogs.libraryRequests[0].left, dialogs.libraryRequests[0].mid, dialogs.libraryRequests[0].right}),
            (Rows{"4", "", ""}));
  // The reloaded library has no entry it could take; after "No To All" nothing is learned from it.
  EXPECT_EQ(beam(out, 0), std::make_pair(9.0f, 8.0f));
  EXPECT_EQ(beam(out, 1), std::make_pair(9.0f, 8.0f));
  EXPECT_EQ(beam(out, 2), std::make_pair(9.0f, 8.0f));
  EXPECT_EQ(run.options.allowNoAngleDialog, 0);
  EXPECT_EQ(libraries[kUp8ths].size(), 2u);
}

TEST_F(BeamTaskTest, FindingTheNotesOfAGroup) {
  // Stems up: the highest chord note at each end, the middle note nearest the beam; wrong stems and far notes ignored.
  findGroups("6 1 10 0 0 30 11\n1 1 10 5 10\n1 1 9 8 115\n1 1 8.9 20 10\n1 1 20 3 10\n1 1 21 4 25\n"
             "1 1 25 2 10\n1 1 29 6 10\n1 1 31 9 121\n1 1 31.1 12 10\n2 1 20 30\n"
             "6 1 40 0 0 60 21\n1 1 40 5 5\n1 1 41 3 121\n1 1 50 9 20\n1 1 51 10 111\n1 1 60 2 5\n1 1 55 1 15\n");
  ASSERT_EQ(groups.size(), 2u);
  ASSERT_TRUE(groups[0].leftNote && groups[0].midNote && groups[0].rightNote);
  EXPECT_EQ(groups[0].leftNote->p(4), 8.0f);
  EXPECT_EQ(groups[0].midNote->p(4), 3.0f);
  EXPECT_EQ(groups[0].rightNote->p(4), 6.0f);
  // Stems down: the lowest notes.
  ASSERT_TRUE(groups[1].leftNote && groups[1].midNote && groups[1].rightNote);
  EXPECT_EQ(groups[1].leftNote->p(4), 3.0f);
  EXPECT_EQ(groups[1].midNote->p(4), 9.0f);
  EXPECT_EQ(groups[1].rightNote->p(4), 2.0f);
  EXPECT_EQ(groups[0].directionChanges + groups[0].repeatedPitch, 0);
  groups.clear();
  store.clear();

  // The flags are only looked for under "Only" with their options.
  run.options.horizontalRule = kHorizontalOnly;
  run.options.horizontalIfDirectionChanges = 1;
  run.options.horizontalIfPitchRepeated = 1;
  findGroups(
      // Rising then falling.
      "6 1 10 0 0 30 11\n1 1 10 5 10\n1 1 20 8 10\n1 1 30 6 10\n"
      // A chord in the middle is one column, and the higher note stands for it.
      "6 2 10 0 0 30 11\n1 2 10 5 10\n1 2 20 6 10\n1 2 20.5 4 10\n1 2 30 7 10\n"
      // The same pitch twice in the middle.
      "6 3 10 0 0 30 11\n1 3 10 5 10\n1 3 15 7 10\n1 3 20 7 10\n1 3 30 9 10\n"
      // Equal end notes without a mid note, and a mid note equal to an end.
      "6 4 10 0 0 30 11\n1 4 10 5 10\n1 4 30 5 10\n"
      "6 5 10 0 0 30 11\n1 5 10 5 10\n1 5 20 9 10\n1 5 30 9 10\n"
      // A plain rising group.
      "6 6 10 0 0 30 11\n1 6 10 4 10\n1 6 20 6 10\n1 6 30 8 10\n");
  ASSERT_EQ(groups.size(), 6u);
  const std::vector<std::pair<int, int>> flags{{1, 0}, {0, 0}, {0, 1}, {0, 1}, {0, 1}, {0, 0}};
  for (size_t i = 0; i < flags.size(); ++i) {
    EXPECT_EQ(groups[i].directionChanges, flags[i].first) << i;
    EXPECT_EQ(groups[i].repeatedPitch, flags[i].second) << i;
  }
}

TEST_F(BeamTaskTest, OnlyModeSetsFlaggedGroupsHorizontal) {
  run.options.horizontalRule = kHorizontalOnly;
  run.options.horizontalIfDirectionChanges = 1;
  library(kUp8ths, {"\t4\t6\t8\t13.5\t12", "\t5\t8\t6\t13.5\t12", "\t5\t7\t9\t13.5\t12"});
  const std::string items = "6 1 10 0 0 30 11\n1 1 10 5 10\n1 1 20 8 10\n1 1 30 6 10\n"
                            "6 2 10 0 0 30 11\n1 2 10 5 10\n1 2 15 7 10\n1 2 20 7 10\n1 2 30 9 10\n"
                            "6 3 10 0 0 30 11\n1 3 10 4 10\n1 3 20 6 10\n1 3 30 8 10\n";
  Items out = runOn(items);
  EXPECT_EQ(beam(out, 0), std::make_pair(13.5f, 13.5f));
  EXPECT_EQ(beam(out, 1), std::make_pair(13.5f, 12.0f));
  EXPECT_EQ(beam(out, 2), std::make_pair(13.5f, 12.0f));
  run.options.horizontalIfPitchRepeated = 1;
  out = runOn(items);
  EXPECT_EQ(beam(out, 1), std::make_pair(13.5f, 13.5f));
  EXPECT_EQ(beam(out, 2), std::make_pair(13.5f, 12.0f));
}

TEST_F(BeamTaskTest, LearningFromFiles) {
  // "As specified" with learning: the beam keeps its angle, the entry takes it.
  library(kUp8ths, {"\t5\t7\t6\t13.5\t12"});
  run.options.replaceLibraryAngles = 1;
  Items out = runOn(kUpGroup);
  EXPECT_EQ(beam(out), std::make_pair(9.0f, 8.0f));
  EXPECT_EQ(beamRecordText(libraries[kUp8ths][0]), "\t5\t7\t6\t9.000\t8.000\t");
  // With "Always" the learned endpoints are then set horizontal.
  run.options.horizontalRule = kHorizontalAlways;
  out = runOn("6 1 10 4 11 30 11\n1 1 10 5 10\n1 1 20 7 10\n1 1 30 6 10\n");
  EXPECT_EQ(beam(out), std::make_pair(11.0f, 11.0f));
  EXPECT_EQ(beamRecordText(libraries[kUp8ths][0]), "\t5\t7\t6\t4.000\t11.000\t");

  // Silent learning: comparisons widen towards the beam and entries go in library order.
  run.options = BeamOptions{};
  libraries.clear();
  out = runOn("6 1 10 9 8 30 11\n1 1 10 -3 10\n1 1 30 5 10\n"
              "6 2 10 1 2 30 11\n1 2 10 -150 10\n1 2 20 -120 10\n1 2 30 -150 10\n"
              "6 3 10 3 4 30 21\n1 3 10 20 5\n1 3 30 16 5\n"
              "6 4 10 9 8 30 11\n1 4 10 -3 10\n1 4 30 5 10\n");
  EXPECT_EQ(beam(out, 0), std::make_pair(9.0f, 8.0f));
  Rows texts;
  for (const CBeamAngle& e : libraries[kUp8ths])
    texts.push_back(beamRecordText(e));
  // The fourth group matched the first's entry, so nothing more was added.
  EXPECT_EQ(texts, (Rows{"\t<-149\t-120\t<-149\t1.000\t2.000\t", "\t<-2\t<-2\t5\t9.000\t8.000\t"}));
  ASSERT_EQ(libraries[kDown8ths].size(), 1u);
  EXPECT_EQ(beamRecordText(libraries[kDown8ths][0]), "\t>19\t>19\t>15\t3.000\t4.000\t");

  // With "Always" the learned entry is tried again at once and set horizontal.
  run.options.horizontalRule = kHorizontalAlways;
  libraries.clear();
  out = runOn("6 1 10 9 8 30 11\n1 1 10 5 10\n1 1 30 6 10\n");
  EXPECT_EQ(beam(out), std::make_pair(9.0f, 9.0f));
}

TEST_F(BeamTaskTest, NotFoundDialogFlow) {
  run.options.allowNoAngleDialog = 1;
  run.options.horizontalRule = kHorizontalAlways;
  // "Yes": the user adds the entry in the library dialog; the run reloads the library and uses it.
  dialogs.notFoundAnswers = {BeamNotFoundAnswer::Yes, BeamNotFoundAnswer::No, BeamNotFoundAnswer::NoToAll};
  dialogs.onEditLibrary = [this](BeamLibraryRequest& request) {
    test::writeBytes(project.file("BUP8THS.DAT"), libraryBytes(Rows{"\t5\t7\t6\t13.5\t12"}));
    test::writeBytes(project.file("BDN8THS.DAT"), libraryBytes(Rows{"\t1\t1\t1\t1\t1"}));
    request.writtenLibraries = (1u << kUp8ths) | (1u << kDown8ths);
    return true;
  };
  const Items out = runOn(std::string(kUpGroup) + "6 2 10 9 8 30 11\n1 2 10 1 10\n1 2 30 3 10\n"
                                                  "6 3 10 9 8 30 11\n1 3 10 1 10\n1 3 30 3 10\n"
                                                  "6 4 10 9 8 30 11\n1 4 10 1 10\n1 4 30 3 10\n");
  ASSERT_EQ(dialogs.questions.size(), 3u);
  EXPECT_EQ(dialogs.questions[0].text, "The following beam angle position was not found. Do you wish to add it to the "
                                       "array?\nDirection: Up 8ths\tLeft note: 5\tMid note: 7\tRight note: 6");
  EXPECT_EQ(dialogs.questions[1].text, "The following beam angle position was not found. Do you wish to add it to the "
                                       "array?\nDirection: Up 8ths\tLeft note: 1\tMid note: \tRight note: 3");
  ASSERT_EQ(dialogs.libraryRequests.size(), 1u);
  const BeamLibraryRequest& request = dialogs.libraryRequests[0];
  EXPECT_TRUE(request.prefilled);
  EXPECT_EQ(request.libraryIndex, kUp8ths);
  EXPECT_EQ(request.projectFolder, project.path());
  EXPECT_EQ((Rows{request.left, request.mid, request.right}), (Rows{"5", "7", "6"}));
  // The entry was applied, then tried again under "Always".
  EXPECT_EQ(beam(out, 0), std::make_pair(13.5f, 13.5f));
  // "No" and "No To All" leave their beams alone; after "No To All" the next is learned silently.
  EXPECT_EQ(beam(out, 1), std::make_pair(9.0f, 8.0f));
  EXPECT_EQ(beam(out, 2), std::make_pair(9.0f, 8.0f));
  EXPECT_EQ(beam(out, 3), std::make_pair(9.0f, 9.0f));
  EXPECT_EQ(run.options.allowNoAngleDialog, 0);
  ASSERT_EQ(libraries[kUp8ths].size(), 2u);
  EXPECT_EQ(beamRecordText(libraries[kUp8ths][0]), "\t1\t<2\t3\t9.000\t8.000\t");
  // The other library the dialog wrote was read again too.
  ASSERT_EQ(libraries[kDown8ths].size(), 1u);
  EXPECT_EQ(libraries[kDown8ths][0].leftEnd, 1.0f);

  // "Yes" then Cancel: nothing more happens, not even the retry.
  run.options.allowNoAngleDialog = 1;
  dialogs.notFoundAnswers = {BeamNotFoundAnswer::Yes};
  dialogs.onEditLibrary = nullptr;
  libraries.clear();
  const Items cancelled = runOn(kUpGroup);
  EXPECT_EQ(beam(cancelled), std::make_pair(9.0f, 8.0f));
  EXPECT_TRUE(libraries.empty());
  // The not-found flow on a grace group names its library.
  dialogs.notFoundAnswers = {BeamNotFoundAnswer::No};
  runOn("6 1 10 105 105 30 21\n1 1 10 -105 5\n1 1 30 -106 5");
  EXPECT_EQ(dialogs.questions.back().text.substr(dialogs.questions.back().text.find('\n')),
            "\nDirection: Down grace\tLeft note: -105\tMid note: \tRight note: -106");
}

TEST_F(BeamTaskTest, CancelsAndRefusals) {
  library(kUp8ths, {"\t9\t9\t9\t1\t1", "\t5\t7\t6\t13.5\t12"});
  // The reader pumps once per item (4), step A once per stave item (4), the lookup once per entry.
  for (long at : {5L, 9L, 10L}) {
    host.pumps = 0;
    host.keyAtPump = {at};
    host.yesNoAnswers = {true};
    runOn(kUpGroup, 0);
    EXPECT_FALSE(fileExists(scores.file("a.BIM"))) << at;
  }
  host.keyAtPump.clear();
  EXPECT_EQ(host.questions.back(), "Cancel Action: Do you wish to cancel the current operation?");

  // A missing input is -1 with the reader's message; a damaged one is 0.
  host.messages.clear();
  EXPECT_EQ(setBeamAnglesInFile(run, scores.file("none.mus"), "BIM"), -1);
  EXPECT_EQ(host.messages, Rows{"Unable to open file " + scores.file("none.mus") + " for reading"});
  test::writeBytes(scores.file("bad.mus"), {1, 2, 3});
  EXPECT_EQ(setBeamAnglesInFile(run, scores.file("bad.mus"), "BIM"), 0);
  EXPECT_TRUE(groups.empty());
}

TEST(BeamClassify, CountsAndLibraries) {
  const auto item = [](std::vector<float> p) { return CItem(p); };
  // Beam counts from P7's units digit, P10 and P13.
  EXPECT_EQ(beamCount(item({6, 1, 0, 0, 0, 0, 11})), 1);
  EXPECT_EQ(beamCount(item({6, 1, 0, 0, 0, 0, 12.7f})), 2);
  EXPECT_EQ(beamCount(item({6, 1, 0, 0, 0, 0, 23, 0, 0, 4})), 4);
  EXPECT_EQ(beamCount(item({6, 1, 0, 0, 0, 0, 21, 0, 0, 13})), 4);
  EXPECT_EQ(beamCount(item({6, 1, 0, 0, 0, 0, 21, 0, 0, 0, 0, 0, 25})), 7);
  EXPECT_EQ(beamCount(item({6, 1, 0, 0, 0, 0, 21, 0, 0, 0, 0, 0})), 1);
  EXPECT_EQ(beamCount(item({6, 1, 0, 0, 0, 0, NAN})), 0);

  struct Case {
    std::vector<float> beam;
    bool skip;
    int library, extra, grace;
  };
  const std::vector<Case> cases{
      {{6, 1, 0, 0, 0, 0, 11}, false, kUp8ths, 0, 0},
      {{6, 1, 0, 99.9f, 0, 0, 22}, false, kDown16ths, 0, 0},
      {{6, 1, 0, -5, 0, 0, 13}, false, kUp32nds, 0, 0},
      {{6, 1, 0, 0, 0, 0, 15}, false, kUp32nds, 2, 0},
      {{6, 1, 0, 0, 0, 0, 25}, false, kDown32nds, -2, 0},
      {{6, 1, 0, 0, 0, 0, 15}, true, -1, 0, 0},
      {{6, 1, 0, -100.5f, 0, 0, 10.5f}, false, kUpGrace, 0, 100},
      {{6, 1, 0, 150, 0, 0, 30}, true, kDownGrace, 0, 100},
      {{6, 1, 0, 0, 0, 0, 10}, false, -1, 0, 0},
      {{6, 1, 0, 0, 0, 0, 20}, false, -1, 0, 0},
      {{6, 1, 0, 0, 0, 0, 10.5f}, false, -1, 0, 0},
      {{6, 1, 0, -100, 0, 0, 11}, false, -1, 0, 0},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    const BeamClass kind = classifyBeam(item(cases[i].beam), cases[i].skip);
    EXPECT_EQ(kind.library, cases[i].library) << i;
    EXPECT_EQ(kind.extraOffset, cases[i].extra) << i;
    EXPECT_EQ(kind.graceOffset, cases[i].grace) << i;
  }
}

TEST(BeamMatch, MidConditions) {
  const std::vector<float> l{1, 1, 10, 5}, m{1, 1, 20, -99}, r{1, 1, 30, 6};
  CItem left(l), mid(m), right(r);
  CBeamPosition withMid{nullptr, &left, &mid, &right};
  CBeamPosition noMid{nullptr, &left, nullptr, &right};
  const auto e = [](float value, int32_t c) { return CBeamAngle{5, 0, value, c, 6, 0, 0, 0}; };
  // "<" never matches a mid note at -99; ">" never matches with the value -99.
  EXPECT_FALSE(entryMatches(e(0, kCompareBelow), withMid));
  EXPECT_TRUE(entryMatches(e(0, kCompareBelow), noMid));
  EXPECT_TRUE(entryMatches(e(-100, kCompareAbove), withMid));
  EXPECT_TRUE(entryMatches(e(-99, kCompareAbove), noMid));
  EXPECT_TRUE(entryMatches(e(-99, kCompareEqual), withMid));
  EXPECT_FALSE(entryMatches(e(-99, kCompareEqual), noMid));
  // Unknown comparison codes never match; a missing end note never does.
  EXPECT_FALSE(entryMatches(CBeamAngle{5, 3, 0, 1, 6, 0, 0, 0}, noMid));
  CBeamPosition noRight{nullptr, &left, nullptr, nullptr};
  EXPECT_FALSE(entryMatches(CBeamAngle{5, 0, 0, 1, 0, 1, 0, 0}, noRight));
}

// Real files: after one run that learns silently, a second run finds an entry for every group with both end notes.
TEST_F(BeamTaskTest, CorpusSecondRunFindsEveryGroup) {
  const std::string corpus = test::corpusDir();
  if (corpus.empty()) GTEST_SKIP() << "no corpus";
  std::vector<std::string> files;
  for (const auto& e : std::filesystem::directory_iterator(corpus))
    if (e.path().extension() == ".mus") {
      const std::string copy = scores.file(e.path().filename().string());
      std::filesystem::copy_file(e.path(), copy);
      std::filesystem::permissions(copy, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
      files.push_back(copy);
    }
  ASSERT_FALSE(files.empty());
  for (const auto& f : files)
    ASSERT_EQ(setBeamAnglesInFile(run, f, "BIM"), 1) << f;
  size_t learned = 0;
  for (int i = 0; i < kBeamLibraryCount; ++i)
    learned += libraries[i].size();
  EXPECT_GT(learned, 10u);
  libraries.saveAll(host, project.path());
  libraries.clear();
  host.messages.clear();
  libraries.loadAll(host, project.path());
  EXPECT_TRUE(host.messages.empty());

  run.options.allowNoAngleDialog = 1;
  for (const auto& f : files)
    ASSERT_EQ(setBeamAnglesInFile(run, f, "BIM"), 1) << f;
  // Only groups missing an end note are asked about again.
  for (const BeamNotFoundQuestion& question : dialogs.questions)
    EXPECT_TRUE(question.left.empty() || question.right.empty()) << question.text;
  // Every file was written again.
  for (const auto& f : files)
    EXPECT_TRUE(fileExists(outputPathFor(f, "BIM"))) << f;
}

} // namespace
} // namespace velmora

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/CCommandHandlers.h"
#include "base/FileSystem.h"
#include "beams/BeamLibrary.h"
#include "beams/ScriptedBeamDialogs.h"
#include "model/ScoreReader.h"
#include "settings/Serialize.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

namespace velmora {
namespace {

using test::FakeHost;
using test::TempDir;
using Rows = std::vector<std::string>;
using Bytes = std::vector<uint8_t>;

constexpr const char* kUpGroup = "6 1 10 9 8 30 11\n1 1 10 5 10\n1 1 20 7 10\n1 1 30 6 10\n";

class BeamCommandsTest : public ::testing::Test {
protected:
  void SetUp() override {
    FakeHost quiet;
    ASSERT_TRUE(doc.create(quiet, settingsDir.path()));
  }
  std::string library(int index) const { return settingsDir.path() + beamLibraryInfo(index).fileName; }
  Rows missingLibraries() const {
    Rows rows;
    for (int i = 0; i < kBeamLibraryCount; ++i)
      rows.push_back("Unable to open file " + library(i) + " for reading");
    return rows;
  }
  std::pair<float, float> beamOf(const std::string& path) {
    CItemStore store;
    FakeHost quiet;
    EXPECT_EQ(openAndReadGeneral(quiet, path, store), 1);
    for (const CItem& item : store.list(0))
      if (item.p(1) == 6.0f) return {item.p(4), item.p(5)};
    return {-1000, -1000};
  }
  void writeOptions(const BeamOptions& options) { ASSERT_TRUE(saveRecordFile(settingsDir.file("beam.dat"), options)); }

  TempDir settingsDir;
  TempDir scores;
  CVelmoraDoc doc;
  CBatchState batch;
  FakeHost host;
  test::ScriptedBeamDialogs dialogs;
  CCommandHandlers handlers{doc, batch, host};
};

TEST_F(BeamCommandsTest, RunLearnsAndSavesTheLibrariesAtTheEnd) {
  test::writeBytes(scores.file("a.mus"), test::buildScore(kUpGroup));
  test::writeBytes(scores.file("b.mus"), test::buildScore("6 1 10 2 3 30 11\n1 1 10 5 10\n1 1 20 7 10\n1 1 30 6 10"));
  host.fileChoices.push_back({scores.file("a.mus"), scores.file("b.mus")});

  EXPECT_EQ(handlers.onSetBeamAngles(dialogs), BatchOutcome::Finished);

  ASSERT_EQ(host.fileRequests.size(), 1u);
  EXPECT_EQ(host.fileRequests[0].title, "Create Filelist for Setting beam angles (Output = BIM)");
  Rows expected{"Unable to open file " + settingsDir.file("beam.dat") + " for reading"};
  for (const auto& m : missingLibraries())
    expected.push_back(m);
  EXPECT_EQ(host.messages, expected);
  EXPECT_EQ(batch.log.rows(),
            (Rows{"Setting beam angles in " + scores.file("a.mus"), "Setting beam angles in " + scores.file("b.mus"),
                  "Beam angles set in 2 file(s). Finished."}));
  // The first file taught the position; the second was set from it.
  EXPECT_EQ(beamOf(scores.file("a.BIM")), std::make_pair(9.0f, 8.0f));
  EXPECT_EQ(beamOf(scores.file("b.BIM")), std::make_pair(9.0f, 8.0f));
  EXPECT_EQ(test::readBytes(library(kUp8ths)), libraryBytes(Rows{"\t5\t7\t6\t9.000\t8.000\t"}));
  for (int i = 1; i < kBeamLibraryCount; ++i)
    EXPECT_TRUE(fileExists(library(i)) && test::readBytes(library(i)).empty()) << i;
  // Nothing of the run stays behind.
  EXPECT_TRUE(doc.beamLibraries.empty());
  EXPECT_TRUE(doc.beamGroups.empty());
  EXPECT_TRUE(doc.store.empty());
  EXPECT_FALSE(batch.busy);
  EXPECT_TRUE(batch.fileList.empty());
}

TEST_F(BeamCommandsTest, StoppedRunSavesNothing) {
  const Bytes before = libraryBytes(Rows{"\t9\t9\t9\t1\t1"});
  test::writeBytes(library(kUp8ths), before);
  test::writeBytes(scores.file("a.mus"), test::buildScore(kUpGroup));
  host.fileChoices.push_back({scores.file("a.mus"), scores.file("gone.mus"), scores.file("a.mus")});

  EXPECT_EQ(handlers.onSetBeamAngles(dialogs), BatchOutcome::Stopped);

  EXPECT_EQ(batch.log.rows(), (Rows{"Setting beam angles in " + scores.file("a.mus"),
                                    "Setting beam angles in " + scores.file("gone.mus"), "Operation cancelled."}));
  EXPECT_EQ(host.messages.back(), "Unable to open file " + scores.file("gone.mus") + " for reading");
  // The file before the stop keeps its output; what the run learned is dropped.
  EXPECT_TRUE(fileExists(scores.file("a.BIM")));
  EXPECT_EQ(test::readBytes(library(kUp8ths)), before);
  EXPECT_FALSE(fileExists(library(kDown8ths)));
  EXPECT_TRUE(doc.beamLibraries.empty());
  EXPECT_TRUE(doc.beamGroups.empty());

  // Choosing nothing writes no line and loads nothing.
  host.messages.clear();
  host.fileChoices.push_back({});
  EXPECT_EQ(handlers.onSetBeamAngles(dialogs), BatchOutcome::NothingChosen);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(batch.log.rows().size(), 3u);
}

TEST_F(BeamCommandsTest, ReadOnlyLibraryLearnsAndStaysReadOnly) {
  // "As specified" with learning: the beam is kept, the library takes its endpoints.
  BeamOptions options;
  options.replaceLibraryAngles = 1;
  options.extension = "XYZ";
  writeOptions(options);
  test::writeBytes(library(kUp8ths), libraryBytes(Rows{"\t5\t7\t6\t13.5\t12"}));
  ASSERT_EQ(setReadOnlyFile(library(kUp8ths), true), 0);
  test::writeBytes(scores.file("a.mus"), test::buildScore(kUpGroup));
  host.fileChoices.push_back({scores.file("a.mus")});

  EXPECT_EQ(handlers.onSetBeamAngles(dialogs), BatchOutcome::Finished);

  // The title shows the extension in memory; the files get the one just loaded.
  EXPECT_EQ(host.fileRequests[0].title, "Create Filelist for Setting beam angles (Output = BIM)");
  EXPECT_EQ(beamOf(scores.file("a.XYZ")), std::make_pair(9.0f, 8.0f));
  EXPECT_EQ(test::readBytes(library(kUp8ths)), libraryBytes(Rows{"\t5\t7\t6\t9.000\t8.000\t"}));
  EXPECT_TRUE(isReadOnlyFile(library(kUp8ths)));
}

TEST_F(BeamCommandsTest, BeamSettingsRemembersTheLibraryShown) {
  dialogs.onEditSettings = [](BeamSettingsRequest& request) {
    request.options.extension = "bxx";
    request.options.allowNoAngleDialog = 1;
    request.libraryIndex = kDown32nds;
    return true;
  };
  handlers.onBeamSettings(dialogs);
  // The missing file is announced with the longer text, then written on OK.
  EXPECT_EQ(host.messages, Rows{"Unable to open file " + settingsDir.file("beam.dat") +
                                " for reading. Please press OK to continue - Settings file will open where you can "
                                "define new settings and save to file."});
  ASSERT_EQ(dialogs.settingsRequests.size(), 1u);
  EXPECT_EQ(dialogs.settingsRequests[0].libraryIndex, 0);
  EXPECT_EQ(dialogs.settingsRequests[0].projectFolder, settingsDir.path());
  EXPECT_EQ(handlers.beamLibraryShown(), kDown32nds);
  BeamOptions stored;
  ASSERT_EQ(loadRecordFile(settingsDir.file("beam.dat"), stored), LoadResult::Loaded);
  EXPECT_EQ(stored.extension, "BXX");
  EXPECT_EQ(stored.allowNoAngleDialog, 1);

  // Cancel keeps both the file and the library remembered.
  dialogs.onEditSettings = [](BeamSettingsRequest& request) {
    request.libraryIndex = kUp8ths;
    request.options.extension = "NO";
    return false;
  };
  handlers.onBeamSettings(dialogs);
  EXPECT_EQ(dialogs.settingsRequests[1].libraryIndex, kDown32nds);
  EXPECT_EQ(dialogs.settingsRequests[1].options.extension, "BXX");
  EXPECT_EQ(handlers.beamLibraryShown(), kDown32nds);
  ASSERT_EQ(loadRecordFile(settingsDir.file("beam.dat"), stored), LoadResult::Loaded);
  EXPECT_EQ(stored.extension, "BXX");
}

} // namespace
} // namespace velmora

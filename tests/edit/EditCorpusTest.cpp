#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "edit/EditFixtures.h"
#include "edit/ItemText.h"
#include "edit/StepSyntax.h"
#include "model/ScoreReader.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

namespace velmora {
namespace {

using test::TempDir;
using Items = std::vector<std::vector<float>>;

// Real SCORE files, copied before anything is written beside them.
class EditCorpusTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (test::corpusDir().empty()) GTEST_SKIP() << "no corpus";
  }
  std::string copy(const std::string& name) {
    std::filesystem::copy_file(test::corpusDir() + name, scores.file(name));
    return scores.file(name);
  }
  Items run(const std::string& path, const std::vector<StepData>& steps) {
    std::vector<std::string> names;
    for (size_t i = 0; i < steps.size(); ++i) {
      names.push_back("S" + std::to_string(i));
      test::writeStep(project.path(), names.back(), steps[i]);
    }
    test::writeMacro(project.path(), "M", names);
    CEditRun edit(EditRunContext{host, dialogs, store, candidates, options, project.path(), batch});
    EXPECT_EQ(edit.editFile("M", path, "EDI"), 1) << path;
    EXPECT_TRUE(host.messages.empty());
    // The output reads back with the general reader.
    CItemStore back;
    EXPECT_EQ(openAndReadGeneral(host, outputPathFor(path, "EDI"), back), 1);
    return test::fileItems(test::readBytes(outputPathFor(path, "EDI")));
  }
  // The input as the plain writer would give it: regrouped by stave, trailing zeros gone.
  static Items regrouped(const std::string& path) {
    Items items = test::fileItems(test::readBytes(path));
    std::stable_sort(items.begin(), items.end(),
                     [](const auto& a, const auto& b) { return static_cast<int>(a[1]) < static_cast<int>(b[1]); });
    for (auto& item : items)
      while (item.size() > 1 && item.back() == 0.0f)
        item.pop_back();
    return items;
  }

  TempDir project;
  TempDir scores;
  test::FakeHost host;
  test::ScriptedEditDialogs dialogs;
  CItemStore store;
  CCandidateSets candidates;
  EditOptions options;
  CBatchState batch;
};

TEST_F(EditCorpusTest, AnEmptyMacroRewritesEachFileAsThePlainWriterDoes) {
  for (const char* name : {"chor005.mus", "chopin2801.mus", "ex1.mus", "epsgraph.mus"}) {
    const std::string path = copy(name);
    EXPECT_EQ(run(path, {}), regrouped(path)) << name;
  }
}

TEST_F(EditCorpusTest, CompFindsTheBeamAtANotesPosition) {
  const std::string path = copy("chor005.mus");
  const Items before = regrouped(path);
  const Items after = run(path, {{"", "1", "COMP[1] == 6 && COMP[3] == P3", "9 = 77", 0}});
  ASSERT_EQ(after.size(), before.size());
  const auto r3 = [](float v) { return std::trunc(static_cast<double>(v) * 1000.0 + 0.5); };
  int marked = 0;
  for (size_t i = 0; i < before.size(); ++i) {
    bool beamHere = false;
    for (const auto& other : before)
      beamHere = beamHere || (other[0] == 6 && other.size() >= 3 && r3(other[2]) == r3(before[i][2]));
    const bool note = before[i][0] == 1;
    if (note && beamHere) {
      ++marked;
      ASSERT_GE(after[i].size(), 9u);
      EXPECT_EQ(after[i][8], 77.0f);
      EXPECT_EQ(std::vector<float>(after[i].begin(), after[i].begin() + 3),
                std::vector<float>(before[i].begin(), before[i].begin() + 3));
    } else {
      EXPECT_EQ(after[i], before[i]) << i;
    }
  }
  EXPECT_GT(marked, 10);
}

TEST_F(EditCorpusTest, TextStepsOnRealTexts) {
  const std::string path = copy("ex1.mus");
  const auto texts = [](const Items& items) {
    std::vector<std::string> out;
    for (const auto& p : items)
      if (p[0] == 16) out.push_back(itemTextByLength(CItem(p)));
    return out;
  };
  const std::vector<std::string> before = texts(regrouped(path));
  ASSERT_FALSE(before.empty());
  // Font 00 becomes 02 in every text that has it; the others stay.
  StepData font;
  fillFontReplace(font, "0", "2");
  const std::vector<std::string> after = texts(run(path, {font}));
  ASSERT_EQ(after.size(), before.size());
  for (size_t i = 0; i < before.size(); ++i) {
    std::string expected = before[i];
    for (size_t at = expected.find("_00"); at != std::string::npos; at = expected.find("_00", at))
      expected.replace(at, 3, "_02");
    while (!expected.empty() && expected.back() == ' ')
      expected.pop_back();
    EXPECT_EQ(after[i], expected);
  }
  // Deleting every text item leaves the rest.
  Items rest;
  for (const auto& item : regrouped(path))
    if (item[0] != 16) rest.push_back(item);
  EXPECT_EQ(run(path, {{"", "16", "", "DEL", 0}}), rest);
}

} // namespace
} // namespace velmora

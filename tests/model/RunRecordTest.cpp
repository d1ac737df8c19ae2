#include "model/RunRecord.h"

#include <gtest/gtest.h>

#include "support/ScoreFixture.h"

namespace velmora {
namespace {

using test::buildScore;

TEST(ModelRunRecord, ComparesFilesItemByItem) {
  struct Case {
    const char* name;
    const char* before;
    const char* after;
    bool ignoreStave;
    long long changed, deleted, inserted;
  };
  const Case cases[] = {
      {"trailing zeros the writer trims", "1 1 10 4 0 0\n8 1 0 0 0 0 0 0 20", "1 1 10 4\n8 1 0 0 0 0 0 0 20", false, 0,
       0, 0},
      // An item added in the middle does not shift the ones after it out of step.
      {"insert in the middle", "1 1 10\n1 1 20\n1 1 30\n1 1 40", "1 1 10\n2 1 15\n1 1 20\n1 1 30\n1 1 40", false, 0, 0,
       1},
      {"moved to the end", "14 1 10\n1 1 20\n1 1 30", "1 1 20\n1 1 30\n14 1 10", false, 0, 0, 0},
      {"changed and deleted", "1 1 10 4\n1 1 20 4\n3 1 5", "1 1 10 7\n1 1 20 4", false, 1, 1, 0},
      {"another code is no change of this one", "1 1 10", "2 1 10", false, 0, 1, 1},
      {"renumbered stave counts without the flag", "8 3 0 0 0 0 0 0 30\n1 3 10", "8 2 0 0 0 0 0 0 30\n1 2 10", false, 0,
       2, 2},
      {"renumbered stave is no change with it", "8 3 0 0 0 0 0 0 30\n1 3 10", "8 2 0 0 0 0 0 0 30\n1 2 10", true, 0, 0,
       0},
      {"negative zero is a change", "1 1 10 0 5", "1 1 10 -0 5", false, 1, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ChangeCounts counts;
    std::vector<ItemChange> items;
    ASSERT_TRUE(compareScoreBytes(buildScore(c.before), buildScore(c.after), c.ignoreStave, counts, &items, 1));
    EXPECT_EQ(counts.changed, c.changed);
    EXPECT_EQ(counts.deleted, c.deleted);
    EXPECT_EQ(counts.inserted, c.inserted);
    EXPECT_EQ(items.size(), std::min<size_t>(1, c.changed + c.deleted + c.inserted));
  }
  ChangeCounts counts;
  const std::vector<uint8_t> damaged{1, 2, 3};
  EXPECT_FALSE(compareScoreBytes(damaged, buildScore("1 1 10"), false, counts));
}

TEST(ModelRunRecord, SummaryLines) {
  FileChanges file;
  file.compared = true;
  file.counts = {0, 3, 1, 2};
  file.steps.push_back({"SET5", {4, 3, 0, 0}});
  file.steps.push_back({"DROP", {1, 0, 1, 2}});
  EXPECT_EQ(summaryLines(file), (std::vector<std::string>{"  step SET5: 4 matched, 3 changed, 0 deleted, 0 inserted",
                                                          "  step DROP: 1 matched, 0 changed, 1 deleted, 2 inserted",
                                                          "  3 item(s) changed, 1 deleted, 2 inserted"}));
  FileChanges eps;
  eps.notes = {"crop marks removed (4 line(s))", "new name /x/SONG.EPS"};
  EXPECT_EQ(summaryLines(eps),
            (std::vector<std::string>{"  crop marks removed (4 line(s))", "  new name /x/SONG.EPS"}));
  // A SCORE file that was not written changed nothing.
  EXPECT_EQ(summaryLines(FileChanges{}), (std::vector<std::string>{"  0 item(s) changed, 0 deleted, 0 inserted"}));
}

} // namespace
} // namespace velmora

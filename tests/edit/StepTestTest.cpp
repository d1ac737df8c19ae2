#include "edit/StepTest.h"

#include <gtest/gtest.h>

#include "edit/EditFixtures.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

namespace velmora {
namespace {

TEST(StepTest, CountsAndListsWithoutWriting) {
  test::TempDir dir;
  test::FakeHost host;
  const std::string in = dir.file("a.mus");
  test::writeBytes(in, test::buildScore("1 1 10 4\n1 1 20 1\n1 1 30 5\n3 1 5 1"));
  EditOptions options;
  options.promptBeforeOperation = 1; // a test asks nothing
  struct Case {
    StepData step;
    ChangeCounts counts;
    size_t listed;
  };
  const Case cases[] = {
      {{"", "1", "P4 > 2", "5 = 7", 0}, {2, 2, 0, 0}, 1},
      {{"", "3", "", "DEL", 0}, {1, 0, 1, 0}, 1},
      // Matched but already so: no change.
      {{"", "1", "P3 = 20", "4 = 1", 0}, {1, 0, 0, 0}, 0},
  };
  for (const Case& c : cases) {
    StepTestResult result;
    ASSERT_TRUE(testStepOnFile(host, dir.path(), options, c.step, in, 1, result));
    EXPECT_EQ(result.counts.matched, c.counts.matched) << c.step.operation;
    EXPECT_EQ(result.counts.changed, c.counts.changed) << c.step.operation;
    EXPECT_EQ(result.counts.deleted, c.counts.deleted) << c.step.operation;
    EXPECT_EQ(result.items.size(), c.listed) << c.step.operation;
  }
  StepTestResult first;
  ASSERT_TRUE(testStepOnFile(host, dir.path(), options, cases[0].step, in, 10, first));
  ASSERT_EQ(first.items.size(), 2u);
  EXPECT_EQ(first.items[0].before.params().values().size(), 4u);
  EXPECT_EQ(first.items[0].after.p(5), 7.0f);
  EXPECT_EQ(dir.listing(), "a.mus");
  EXPECT_TRUE(host.messages.empty());
  // A file that cannot be read: its message, no result.
  EXPECT_FALSE(testStepOnFile(host, dir.path(), options, cases[0].step, dir.file("gone.mus"), 1, first));
  EXPECT_EQ(host.messages.size(), 1u);
}

} // namespace
} // namespace velmora

#include "batch/ProgressText.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(ProgressText, CountsThenElapsedAndEstimate) {
  struct Case {
    size_t index, count;
    long long elapsedMs;
    const char* expected;
  };
  const Case cases[] = {
      // No estimate before a few seconds, nor before the first file is done.
      {1, 1, 0, "File 1 of 1"},
      {643, 2731, 2999, "File 643 of 2731"},
      {1, 2731, 60000, "File 1 of 2731"},
      // 642 files in 42 s leave 2089 files, about 136.6 s.
      {643, 2731, 42000, "File 643 of 2731, 0:42 elapsed, about 2:16 left"},
      // The limit of the list, an hour in.
      {10000, 10000, 3600000, "File 10000 of 10000, 1:00:00 elapsed, about 0:00 left"},
      {2, 10000, 3000, "File 2 of 10000, 0:03 elapsed, about 8:19:57 left"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(batchProgressText(c.index, c.count, c.elapsedMs), c.expected) << c.index << " of " << c.count;
  EXPECT_EQ(formatDuration(-5), "0:00");
  EXPECT_EQ(formatDuration(59999), "0:59");
  EXPECT_EQ(formatDuration(3599000), "59:59");
  EXPECT_EQ(formatDuration(36000000), "10:00:00");
}

} // namespace
} // namespace velmora

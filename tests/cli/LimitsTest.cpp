#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "CliRun.h"
#include "edit/EditFixtures.h"
#include "edit/StepSyntax.h"
#include "settings/Settings.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

namespace velmora::cli {
namespace {

using clitest::runVelmoraCli;
using Clock = std::chrono::steady_clock;
using Items = std::vector<std::vector<float>>;

// Sanitizer and debug builds run several times slower; the bounds widen with them.
#if defined(__SANITIZE_ADDRESS__) || !defined(NDEBUG)
constexpr double kSlowBuild = 10.0;
#else
constexpr double kSlowBuild = 1.0;
#endif

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count() / kSlowBuild;
}

// The figures users reach: each works, or is refused with a clear message,
// in seconds.
class Limits : public ::testing::Test {
protected:
  void SetUp() override {
    test::FakeHost quiet;
    CSettings files(settings.path());
    files.edit().promptBeforeOperation = 0;
    ASSERT_TRUE(files.save(SettingsFile::Edit, quiet));
  }
  clitest::CliRun edit(const std::vector<std::string>& files) {
    std::vector<std::string> args{"--settings", settings.path(), "edit", "--macro", "DEMO"};
    args.insert(args.end(), files.begin(), files.end());
    return runVelmoraCli(args);
  }

  test::TempDir settings;
  test::TempDir scores;
};

TEST_F(Limits, BatchOfTenThousandFiles) {
  std::vector<std::string> args{"--settings", settings.path(), "count"};
  const std::vector<uint8_t> bytes = test::buildScore("8 1 0 0 200 0 0 0 9\n1 1 10 4 10");
  for (int i = 0; i < 10000; ++i) {
    args.push_back(scores.file("F" + std::to_string(i) + ".MUS"));
    test::writeBytes(args.back(), bytes);
  }
  const auto start = Clock::now();
  const clitest::CliRun r = runVelmoraCli(args);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("\n10000 file(s) edited. Finished.\n"), std::string::npos);
  EXPECT_LT(secondsSince(start), 30.0);
}

TEST_F(Limits, FileOfSixtyFiveThousandWords) {
  // 6,553 items of 9 parameters and a 5-word trailer: 65,535 words, the largest header.
  Items items;
  for (int i = 0; i < 6553; ++i)
    items.push_back({1, static_cast<float>(1 + i % 200), static_cast<float>(i % 200), 4, 10, 1, 1, 1, 1});
  items.back()[4] = 11;
  const std::string in = scores.file("BIG.MUS");
  test::writeBytes(in, test::buildScore(items));
  test::writeStep(settings.path(), "SET", {"", "1", "P4 == 4", "4 = 5", 0});
  test::writeMacro(settings.path(), "DEMO", {"SET"});
  const auto start = Clock::now();
  clitest::CliRun r = edit({in});
  EXPECT_EQ(r.status, 0) << r.err;
  const auto out = test::fileItems(test::readBytes(scores.file("BIG.EDI")));
  ASSERT_EQ(out.size(), items.size());
  EXPECT_EQ(out.back()[3], 5.0f);
  EXPECT_LT(secondsSince(start), 10.0);

  // One word more does not fit the header: refused, nothing written.
  std::filesystem::remove(scores.file("BIG.EDI"));
  test::writeStep(settings.path(), "SET", {"", "1", "P5 == 11", "10 = 1", 0});
  r = edit({in});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Unable to write file " + scores.file("BIG.EDI") +
                       ": its word total 65536 does not fit in a SCORE file header (0 to 65535)."),
            std::string::npos)
      << r.err;
  EXPECT_FALSE(std::filesystem::exists(scores.file("BIG.EDI")));
}

TEST_F(Limits, TwoHundredFiftyStaves) {
  // A template of 250 staves fills a one-stave file up to the last stave.
  Items tpl;
  for (int stave = 1; stave <= 250; ++stave)
    tpl.push_back({8, static_cast<float>(stave), 0, 0, 200, 0, 0, 0, static_cast<float>(stave)});
  test::writeBytes(scores.file("FULL.TPL"), test::buildScore(tpl));
  const std::string in = scores.file("ONE.MUS");
  test::writeBytes(in, test::buildScore("8 1 0 0 200 0 0 0 1\n1 1 10 4 10"));
  const auto start = Clock::now();
  const clitest::CliRun r =
      runVelmoraCli({"--settings", settings.path(), "unoptimize", "--template", scores.file("FULL.TPL"), in});
  EXPECT_EQ(r.status, 0) << r.err;
  const auto out = test::fileItems(test::readBytes(scores.file("ONE.UNO")));
  int staffs = 0;
  float highest = 0;
  for (const auto& item : out)
    if (item[0] == 8) ++staffs, highest = std::max(highest, item[1]);
  EXPECT_EQ(staffs, 250);
  EXPECT_EQ(highest, 250.0f);
  EXPECT_LT(secondsSince(start), 10.0);

  // SCORE files hold at most 200 staves: a stave 201 in an input is refused by item.
  const std::string over = scores.file("OVER.MUS");
  test::writeBytes(over, test::buildScore("8 1 0 0 200 0 0 0 1\n1 201 10 4 10"));
  test::writeStep(settings.path(), "SET", {"", "1", "P4 == 4", "4 = 5", 0});
  test::writeMacro(settings.path(), "DEMO", {"SET"});
  const clitest::CliRun refused = edit({over});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("Item no. 2 found with invalid stave number"), std::string::npos) << refused.err;
}

TEST_F(Limits, MacroOfFiveHundredSteps) {
  std::vector<std::string> steps;
  for (int i = 0; i < 500; ++i) {
    steps.push_back("S" + std::to_string(i));
    test::writeStep(settings.path(), steps.back(), {"", "1", "P4 >= 0", "4 += 1", 0});
  }
  test::writeMacro(settings.path(), "DEMO", steps);
  Items items;
  for (int i = 0; i < 500; ++i)
    items.push_back({1, 1, static_cast<float>(i), 0, 10});
  const std::string in = scores.file("A.MUS");
  test::writeBytes(in, test::buildScore(items));
  const auto start = Clock::now();
  const clitest::CliRun r = edit({in});
  EXPECT_EQ(r.status, 0) << r.err;
  const auto out = test::fileItems(test::readBytes(scores.file("A.EDI")));
  ASSERT_EQ(out.size(), 500u);
  EXPECT_EQ(out[0][3], 500.0f);
  EXPECT_EQ(out[499][3], 500.0f);
  EXPECT_LT(secondsSince(start), 10.0);
}

TEST_F(Limits, StepTextOfOneHundredThousandCharacters) {
  // Long conditions of every kind of term, and a long operation.
  // Only the last of the alternatives holds, and only for the notes at position 4.
  std::string argument;
  while (argument.size() < 100000)
    argument += "P5 > 1000 || P6 < 0 || COMP[P1 == 99] == 1 || (P3 + 1) * 2 == -1 || ";
  argument += "P4 == 4";
  std::string operation = "4 += 1";
  while (operation.size() < 100000)
    operation += " 5 += 0";
  StepData step{"", "1", argument, operation, 0};
  const auto start = Clock::now();
  StepData checked = step;
  normaliseAndCheckStep(checked, true);
  EXPECT_LT(secondsSince(start), 5.0);

  test::writeStep(settings.path(), "LONG", step);
  test::writeMacro(settings.path(), "DEMO", {"LONG"});
  const std::string in = scores.file("A.MUS");
  // Found by timing: each item's evaluation took time quadratic in the text (over a
  // minute for these 400 items), now linear.
  Items items;
  for (int i = 0; i < 400; ++i)
    items.push_back({1, 1, static_cast<float>(i), static_cast<float>(4 + i % 2), 10});
  test::writeBytes(in, test::buildScore(items));
  const clitest::CliRun r = edit({in});
  EXPECT_EQ(r.status, 0) << r.err;
  const auto out = test::fileItems(test::readBytes(scores.file("A.EDI")));
  ASSERT_EQ(out.size(), 400u);
  EXPECT_EQ(out[0][3], 5.0f);
  EXPECT_EQ(out[1][3], 5.0f);
  EXPECT_LT(secondsSince(start), 10.0);
}

} // namespace
} // namespace velmora::cli

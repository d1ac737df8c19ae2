#include <gtest/gtest.h>

#include "cli/Arguments.h"
#include "cli/CliRun.h"
#include "edit/EditFixtures.h"
#include "settings/Serialize.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

namespace velmora::cli {
namespace {

using clitest::runVelmoraCli;

TEST(CliReportTest, SelectsEveryMacroAndStepAndPrintsThePath) {
  test::TempDir settings;
  test::writeMacro(settings.path(), "M", {"S"}, "demo");
  test::writeStep(settings.path(), "S", {"d", "1", "", "DEL", 0});
  ReportOptions options;
  options.macroDate = options.stepDate = options.listBeamAngles = options.listOptions = 0;
  ASSERT_TRUE(saveRecordFile(settings.file("report.dat"), options));

  const auto run = runVelmoraCli({"--settings", settings.path(), "report"});
  EXPECT_EQ(run.status, kExitFinished) << run.err;
  EXPECT_EQ(run.out, "Creating report VELRPT.TXT\nFinished.\n" + settings.file("VELRPT.TXT") + "\n");
  EXPECT_EQ(run.err, "");
  const auto bytes = test::readBytes(settings.file("VELRPT.TXT"));
  const std::string text(bytes.begin(), bytes.end());
  EXPECT_NE(
      text.find("MACROS\n\nM.MAC\n\tDescription: demo\n\tSteps: S\n\n\nTotal macros found = 1\n\nSTEPS\n\nS.STP\n"),
      std::string::npos);
  EXPECT_NE(text.find("\tStep\tMacros\n\n\tS - M, \n\n"), std::string::npos);

  // The report works on the project folder and takes no FILE.
  EXPECT_EQ(runVelmoraCli({"--settings", settings.path(), "report", "a.mus"}).status, kExitUsage);
}

} // namespace
} // namespace velmora::cli

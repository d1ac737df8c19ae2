#include <gtest/gtest.h>

#include <cstdio>

#include "cli/Arguments.h"
#include "cli/CliJustify.h"
#include "cli/CliMain.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

namespace velmora::cli {
namespace {

using test::TempDir;

std::string slurp(std::FILE* f) {
  std::rewind(f);
  std::string s;
  char buf[4096];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
    s.append(buf, n);
  std::fclose(f);
  return s;
}

struct JustifyCliRun {
  int status;
  std::string out;
  std::string err;
};

JustifyCliRun justify(const std::string& settings, const std::vector<std::string>& files) {
  std::vector<std::string> args{"velmora-cli", "--settings", settings, "justify"};
  args.insert(args.end(), files.begin(), files.end());
  std::vector<const char*> argv;
  for (auto& a : args)
    argv.push_back(a.c_str());
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  const int status = runCli(static_cast<int>(argv.size()), argv.data(), out, err);
  return {status, slurp(out), slurp(err)};
}

TEST(CliJustify, JustifiesTheFilesGiven) {
  TempDir settings, scores;
  test::writeBytes(scores.file("a.mus"), test::buildScore("1 1 20 5 10\n1 1 22 5 10\n14 1 22"));
  test::writeBytes(scores.file("b.mus"), test::buildScore("2 1 10 1\n1 1 20 5 10\n1 1 22 5 10\n14 1 110"));
  const JustifyCliRun r = justify(settings.path(), {scores.file("a.mus"), scores.file("b.mus")});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "Justifying " + scores.file("a.mus") +
                       "\n!!Not enough space to justify ideally on stave 1.\nJustifying " + scores.file("b.mus") +
                       "\n2 file(s) justified. Finished.\n");
  EXPECT_EQ(r.err, "velmora-cli: Unable to open file " + settings.file("just.dat") + " for reading\n");
  EXPECT_EQ(scores.listing(), "a.JST a.mus b.JST b.mus");

  // A file that cannot be opened ends the batch with status 1.
  const JustifyCliRun missing = justify(settings.path(), {scores.file("gone.mus"), scores.file("b.mus")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "Justifying " + scores.file("gone.mus") + "\nOperation cancelled.\n");
  EXPECT_NE(usageText().find("  justify        remove overlaps between notes (Justify)\n"), std::string::npos);
}

TEST(CliJustify, PromptWithoutATerminalIsYesToAll) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  CliHost host(out, err);
  CliJustifyDialogs dialogs(host, err, false);
  JustifyPrompt prompt{"Prompt before Operation", "Conditions are TRUE for the following item in file /a.mus",
                       "1.0000 1.0000 22.0000 ", "Do you wish to perform the operation?", "/a.mus"};
  EXPECT_EQ(dialogs.promptBeforeOperation(prompt), PromptAnswer::YesToAll);
  JustifyOptions options;
  EXPECT_FALSE(dialogs.editJustifySettings(options));
  std::fclose(out);
  EXPECT_EQ(slurp(err), "velmora-cli: Prompt before Operation: Conditions are TRUE for the following item in file "
                        "/a.mus\nParameters: 1.0000 1.0000 22.0000 \nDo you wish to perform the operation? "
                        "[y]es/[a]ll/[n]o/[c]ancel Yes To All\n");
}

} // namespace
} // namespace velmora::cli

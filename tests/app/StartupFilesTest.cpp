#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "app/CVelmoraDoc.h"
#include "app/StartupFiles.h"
#include "edit/SyntaxHelp.h"
#include "support/FakeHost.h"
#include "support/Faults.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

namespace velmora {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;
using Bytes = std::vector<uint8_t>;
using Names = std::vector<std::string>;

const Bytes kManual = {'%', 'P', 'D', 'F', '-', '1', '.', '4'};
const Bytes kUsers = {'m', 'i', 'n', 'e'};

TEST(AppStartupFiles, HelpFilesCarryTheShippedSyntaxText) {
  const std::vector<StartupFile> files = helpFiles("/nowhere/bin/velmora");
  const auto syntax =
      std::find_if(files.begin(), files.end(), [](const StartupFile& f) { return f.name == "SYNTAX.TXT"; });
  ASSERT_NE(syntax, files.end());
  EXPECT_EQ(syntax->content, builtInSyntaxText());
}

TEST(AppStartupFiles, InstallsOnlyWhatTheSettingsFolderLacks) {
  TempDir data, settings;
  writeBytes(data.file("velmora3.pdf"), kManual);
  writeBytes(data.file("changelog.txt"), {'3', '.', '7'});
  const std::vector<StartupFile> files{{"velmora3.pdf", data.file("velmora3.pdf"), {}},
                                       {"changelog.txt", data.file("changelog.txt"), {}},
                                       {"SYNTAX.TXT", "", "P5 == 3"}};
  // An empty folder gets every file, from a source path or from embedded bytes.
  InstallReport report = installMissingFiles(settings.path(), files);
  EXPECT_EQ(report.installed, (Names{"velmora3.pdf", "changelog.txt", "SYNTAX.TXT"}));
  EXPECT_TRUE(report.problems.empty());
  EXPECT_EQ(readBytes(settings.file("velmora3.pdf")), kManual);
  EXPECT_EQ(readBytes(settings.file("SYNTAX.TXT")), (Bytes{'P', '5', ' ', '=', '=', ' ', '3'}));
  // The second start finds them all and writes nothing.
  report = installMissingFiles(settings.path(), files);
  EXPECT_TRUE(report.installed.empty());
  EXPECT_EQ(settings.listing(), "SYNTAX.TXT changelog.txt velmora3.pdf");
}

TEST(AppStartupFiles, NeverReplacesTheUsersFile) {
  TempDir data, settings;
  writeBytes(data.file("velmora3.pdf"), kManual);
  writeBytes(data.file("changelog.txt"), kManual);
  // A file of the same name in another case counts as present.
  writeBytes(settings.file("VELMORA3.PDF"), kUsers);
  writeBytes(settings.file("changelog.txt"), kUsers);
  const InstallReport report =
      installMissingFiles(settings.path(), {{"velmora3.pdf", data.file("velmora3.pdf"), {}},
                                            {"changelog.txt", data.file("changelog.txt"), {}}});
  EXPECT_TRUE(report.installed.empty());
  EXPECT_EQ(settings.listing(), "VELMORA3.PDF changelog.txt");
  EXPECT_EQ(readBytes(settings.file("VELMORA3.PDF")), kUsers);
  EXPECT_EQ(readBytes(settings.file("changelog.txt")), kUsers);
}

TEST(AppStartupFiles, MissingSourcesAndFailedWrites) {
  TempDir data, settings;
  // No source file, no source at all: skipped quietly.
  InstallReport report =
      installMissingFiles(settings.path(), {{"velmora3.pdf", data.file("velmora3.pdf"), {}}, {"empty.txt", "", {}}});
  EXPECT_TRUE(report.installed.empty());
  EXPECT_TRUE(report.problems.empty());
  EXPECT_EQ(settings.listing(), "");
  // A write that fails names the file and leaves nothing behind.
  writeBytes(data.file("velmora3.pdf"), kManual);
  {
    test::InjectedFault full(test::InjectedFault::Kind::DiskFullAt, 3);
    report = installMissingFiles(settings.path(), {{"velmora3.pdf", data.file("velmora3.pdf"), {}}});
  }
  EXPECT_EQ(report.problems,
            (Names{"Unable to install " + settings.file("velmora3.pdf") + ": No space left on device"}));
  EXPECT_EQ(settings.listing(), "");
  // A settings folder without a trailing separator is the same folder.
  std::string folder = settings.path();
  folder.pop_back();
  report = installMissingFiles(folder, {{"velmora3.pdf", data.file("velmora3.pdf"), {}}});
  EXPECT_EQ(report.installed, Names{"velmora3.pdf"});
  EXPECT_EQ(readBytes(settings.file("velmora3.pdf")), kManual);
}

TEST(AppStartupFiles, DataFilesAreFoundBesideTheExecutablesFolder) {
  TempDir prefix;
  std::filesystem::create_directories(prefix.file("bin"));
  std::filesystem::create_directories(prefix.file("share/velmora/folder.d"));
  writeBytes(prefix.file("share/velmora/velmora3.pdf"), kManual);
  const std::string exe = prefix.file("bin/velmora");
  EXPECT_EQ(dataFilePath(exe, "velmora3.pdf"), prefix.file("share/velmora/velmora3.pdf"));
  // Missing files and folders are not data files.
  EXPECT_EQ(dataFilePath(exe, "no-such-data-file.txt"), "");
  EXPECT_EQ(dataFilePath(exe, "folder.d"), "");
  const std::vector<StartupFile> help = helpFiles(exe);
  ASSERT_EQ(help.size(), 3u);
  EXPECT_EQ(help[0].name, "velmora3.pdf");
  EXPECT_EQ(help[0].sourcePath, prefix.file("share/velmora/velmora3.pdf"));
  EXPECT_EQ(help[1].name, "changelog.txt");
}

} // namespace
} // namespace velmora

namespace velmora {
namespace {

// XDG_CONFIG_HOME for one test, put back afterwards.
class ConfigHomeScope {
public:
  explicit ConfigHomeScope(const std::string& value) {
    if (const char* old = std::getenv("XDG_CONFIG_HOME")) old_ = old, had_ = true;
    ::setenv("XDG_CONFIG_HOME", value.c_str(), 1);
  }
  ~ConfigHomeScope() {
    if (had_)
      ::setenv("XDG_CONFIG_HOME", old_.c_str(), 1);
    else
      ::unsetenv("XDG_CONFIG_HOME");
  }

private:
  std::string old_;
  bool had_ = false;
};

TEST(AppFirstStart, NewDefaultFolderGetsEveryFileAndNoMessages) {
  test::TempDir dir;
  ConfigHomeScope home(dir.file("config"));
  const std::string folder = dir.file("config/corvane software/velmora3/");
  // First start: the folder is made and filled; loading then finds every file.
  {
    test::FakeHost host;
    CVelmoraDoc doc;
    ASSERT_TRUE(doc.create(host, ""));
    EXPECT_TRUE(host.messages.empty()) << host.messages.front();
    for (const char* name : {"prefs.dat", "opt.dat", "uno.dat", "edi.dat", "just.dat", "beam.dat", "run.dat",
                             "crops.dat", "report.dat", "SCORCNT2.DAT"})
      EXPECT_TRUE(std::filesystem::exists(folder + name)) << name;
  }
  // A folder that exists but lacks a file keeps the missing-file message for it.
  std::filesystem::remove(folder + "opt.dat");
  test::FakeHost host;
  CVelmoraDoc doc;
  ASSERT_TRUE(doc.create(host, ""));
  EXPECT_EQ(host.messages, std::vector<std::string>{"Unable to open file " + folder + "opt.dat for reading"});
  EXPECT_FALSE(std::filesystem::exists(folder + "opt.dat"));
}

} // namespace
} // namespace velmora

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "Bytes.h"
#include "base/FileSystem.h"
#include "settings/Folders.h"
#include "support/TempDir.h"

namespace velmora {
namespace {

// Sets environment variables for one test and puts the old values back.
class EnvGuard {
public:
  ~EnvGuard() {
    // Newest first, so a variable set twice ends at its original value.
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      const auto& [name, value] = *it;
      if (value)
        ::setenv(name.c_str(), value->c_str(), 1);
      else
        ::unsetenv(name.c_str());
    }
  }
  void set(const std::string& name, const char* value) {
    const char* old = std::getenv(name.c_str());
    saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    if (value)
      ::setenv(name.c_str(), value, 1);
    else
      ::unsetenv(name.c_str());
  }

private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST(SettingsFolders, CommandLineNamesTheFolderAsIs) {
  // Without a trailing separator one is appended; with one it is unchanged.
  EXPECT_EQ(locateSettingsFolder("/data/my settings").path, "/data/my settings/");
  EXPECT_EQ(locateSettingsFolder("/data/my settings/").path, "/data/my settings/");
  // No parsing or quote stripping, and relative text stays relative.
  EXPECT_EQ(locateSettingsFolder("\"C:\\x\" -y").path, "\"C:\\x\" -y/");
  EXPECT_EQ(locateSettingsFolder("rel").path, "rel/");
  EXPECT_TRUE(locateSettingsFolder("rel").ok());
  // A named folder is not created.
  test::TempDir dir;
  EXPECT_TRUE(locateSettingsFolder(dir.file("absent")).ok());
  EXPECT_FALSE(fileExists(dir.file("absent")));
}

TEST(SettingsFolders, DefaultFolderFollowsTheXdgRules) {
  // The pure rule: absolute XDG_CONFIG_HOME first, a relative one ignored, then HOME/.config.
  EXPECT_EQ(defaultSettingsFolder("/cfg", "/home/u"), "/cfg/corvane software/velmora3/");
  EXPECT_EQ(defaultSettingsFolder("/cfg/", "/home/u"), "/cfg/corvane software/velmora3/");
  EXPECT_EQ(defaultSettingsFolder("cfg", "/home/u"), "/home/u/.config/corvane software/velmora3/");
  EXPECT_EQ(defaultSettingsFolder("", "/home/u/"), "/home/u/.config/corvane software/velmora3/");
  EXPECT_EQ(defaultSettingsFolder(nullptr, "/home/u"), "/home/u/.config/corvane software/velmora3/");
  EXPECT_EQ(defaultSettingsFolder("cfg", "home"), "");
  EXPECT_EQ(defaultSettingsFolder(nullptr, nullptr), "");

  // Through the environment: an absolute XDG_CONFIG_HOME is used and the folder created with its parents.
  test::TempDir dir;
  EnvGuard env;
  env.set("XDG_CONFIG_HOME", dir.file("x/y").c_str());
  env.set("HOME", dir.file("home").c_str());
  FolderResult r = locateSettingsFolder("");
  EXPECT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(r.path, dir.file("x/y/corvane software/velmora3/"));
  EXPECT_TRUE(isDirectory(r.path));
  EXPECT_TRUE(r.created);
  EXPECT_FALSE(locateSettingsFolder("").created); // there now

  // A relative XDG_CONFIG_HOME is ignored in favour of HOME. Run from the
  // temporary folder so a wrongly used relative path lands there.
  const std::filesystem::path cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  env.set("XDG_CONFIG_HOME", "relative/cfg");
  r = locateSettingsFolder("");
  std::filesystem::current_path(cwd);
  EXPECT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(r.path, dir.file("home/.config/corvane software/velmora3/"));
  EXPECT_TRUE(isDirectory(r.path));
  EXPECT_FALSE(fileExists(dir.file("relative")));
}

TEST(SettingsFolders, FolderThatCannotBeCreatedIsAnError) {
  // A regular file where a parent folder should be.
  test::TempDir dir;
  test::writeBytes(dir.file("plain"), {0x00});
  EnvGuard env;
  env.set("XDG_CONFIG_HOME", dir.file("plain").c_str());
  const FolderResult r = locateSettingsFolder("");
  EXPECT_FALSE(r.ok());
  EXPECT_EQ(r.path, "");
  EXPECT_EQ(r.error, "Unable to create the settings folder " + dir.file("plain/corvane software/velmora3/") +
                         ": Not a directory.");
}

TEST(SettingsFolders, ProjectSubfolderIsOneFolderNameOrNothing) {
  // Accepted: one plain name, with a stored backslash read as the separator.
  EXPECT_EQ(cleanProjectSubfolder("PROJ\\"), "PROJ/");
  EXPECT_EQ(cleanProjectSubfolder("PROJ/"), "PROJ/");
  EXPECT_EQ(cleanProjectSubfolder("PROJ"), "PROJ/");
  EXPECT_EQ(cleanProjectSubfolder("My Project 2"), "My Project 2/");
  EXPECT_EQ(cleanProjectSubfolder(""), "");

  // Hostile: climbing out, several components, absolute, NUL, the folder itself.
  EXPECT_EQ(cleanProjectSubfolder(".."), "");
  EXPECT_EQ(cleanProjectSubfolder("..\\"), "");
  EXPECT_EQ(cleanProjectSubfolder("../x/"), "");
  EXPECT_EQ(cleanProjectSubfolder("A..B/"), "");
  EXPECT_EQ(cleanProjectSubfolder("A/B/"), "");
  EXPECT_EQ(cleanProjectSubfolder("A\\B\\"), "");
  EXPECT_EQ(cleanProjectSubfolder("PROJ//"), "");
  EXPECT_EQ(cleanProjectSubfolder("/etc/"), "");
  EXPECT_EQ(cleanProjectSubfolder("/"), "");
  EXPECT_EQ(cleanProjectSubfolder("\\"), "");
  EXPECT_EQ(cleanProjectSubfolder(std::string("A\0B/", 4)), "");
  EXPECT_EQ(cleanProjectSubfolder("./"), "");

  // Joined with the settings folder; hostile text leaves the settings folder.
  EXPECT_EQ(projectFolderFor("/s/", "PROJ\\"), "/s/PROJ/");
  EXPECT_EQ(projectFolderFor("/s/", "../../etc/"), "/s/");
}

TEST(SettingsFolders, StoredSubfolderIsTheTailOfTheProjectFolder) {
  EXPECT_EQ(projectSubfolderOf("/s/", "/s/"), "");
  EXPECT_EQ(projectSubfolderOf("/s/", "/s/PROJ/"), "PROJ/");
  // A project folder shorter than the settings folder stores nothing.
  EXPECT_EQ(projectSubfolderOf("/s/long/", "/s/"), "");
}

} // namespace
} // namespace velmora

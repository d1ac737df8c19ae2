#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "base/AtomicFile.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using test::readBytes;
using test::TempDir;
using test::writeBytes;
using Bytes = std::vector<uint8_t>;

const Bytes kOld = {'o', 'l', 'd'};
const Bytes kNew = {'n', 'e', 'w', '!', '!'};

// Names in a folder, sorted and joined by blanks.
std::string listingOf(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  std::string out;
  for (const auto& name : names)
    out += (out.empty() ? "" : " ") + name;
  return out;
}

struct stat statOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
  return st;
}

// Restores the process's umask whatever the test does.
struct UmaskScope {
  explicit UmaskScope(mode_t mask) : old(::umask(mask)) {}
  ~UmaskScope() { ::umask(old); }
  mode_t old;
};

// A link is written through to the file it names; a file with other hard
// links is left whole. `target` is what is written, `real` where the bytes
// must land (or stay), `links` the links that must still be links after.
TEST(BaseAtomicFile, LinksAreWrittenThroughAndHardLinksRefused) {
  struct Case {
    const char* name;
    std::vector<std::pair<const char*, const char*>> symlinks; // link, what it names
    const char* hardTwin;                                      // a second name of real/a.eps, or null
    const char* target;
    bool realExists;
    WriteStage stage; // None: written
    const char* error;
  };
  const std::vector<Case> cases = {
      {"link", {{"link.eps", "real/a.eps"}}, nullptr, "link.eps", true, WriteStage::None, ""},
      {"absolute link", {{"link.eps", "*real/a.eps"}}, nullptr, "link.eps", true, WriteStage::None, ""},
      {"chain", {{"l1.eps", "l2.eps"}, {"l2.eps", "real/l3.eps"}, {"real/l3.eps", "a.eps"}}, nullptr, "l1.eps", true,
       WriteStage::None, ""},
      {"dangling link", {{"link.eps", "real/a.eps"}}, nullptr, "link.eps", false, WriteStage::None, ""},
      {"loop", {{"l1.eps", "l2.eps"}, {"l2.eps", "l1.eps"}}, nullptr, "l1.eps", true, WriteStage::Create,
       "Too many levels of symbolic links"},
      {"link to a folder", {{"link.eps", "real"}}, nullptr, "link.eps", true, WriteStage::Create, "Is a directory"},
      {"hard link", {}, "twin.eps", "real/a.eps", true, WriteStage::Refused,
       "it has other hard links; it was left unchanged"},
      {"link to a hard link", {{"link.eps", "real/a.eps"}}, "real/twin.eps", "link.eps", true, WriteStage::Refused,
       "it has other hard links; it was left unchanged"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    fs::create_directory(dir.file("real"));
    const std::string real = dir.file("real/a.eps");
    if (c.realExists) writeBytes(real, kOld);
    for (const auto& [link, to] : c.symlinks)
      fs::create_symlink(to[0] == '*' ? dir.file(to + 1) : std::string(to), dir.file(link));
    if (c.hardTwin) fs::create_hard_link(real, dir.file(c.hardTwin));
    const std::string before = dir.listing();
    const std::string realBefore = listingOf(dir.file("real"));

    std::string error;
    WriteStage stage = WriteStage::None;
    const bool written = writeFileAtomic(dir.file(c.target), kNew, &error, &stage);
    EXPECT_EQ(written, c.stage == WriteStage::None);
    EXPECT_EQ(stage, c.stage);
    EXPECT_EQ(error, c.error);
    if (c.realExists || written) {
      EXPECT_EQ(readBytes(real), written ? kNew : kOld);
    }
    if (c.hardTwin) {
      EXPECT_EQ(readBytes(dir.file(c.hardTwin)), kOld);
    }
    for (const auto& [link, to] : c.symlinks) {
      EXPECT_TRUE(fs::is_symlink(dir.file(link))) << link;
      EXPECT_EQ(fs::read_symlink(dir.file(link)).string(), to[0] == '*' ? dir.file(to + 1) : std::string(to));
    }
    // No temporary left in either folder.
    EXPECT_EQ(dir.listing(), before);
    EXPECT_EQ(listingOf(dir.file("real")), c.realExists || !written ? realBefore : "a.eps");
  }
  // The message names the file as it was given.
  EXPECT_EQ(writeFailureMessage("/p/link.eps", WriteStage::Refused, "it has other hard links; it was left unchanged"),
            "Unable to write file /p/link.eps: it has other hard links; it was left unchanged.");
  EXPECT_EQ(writeFailureMessage("/p/a.EDI", WriteStage::Create, "Is a directory"),
            "Unable to open file /p/a.EDI for reading");
  EXPECT_EQ(writeFailureMessage("/p/a.EDI", WriteStage::Place, "Is a directory"),
            "Unable to open file /p/a.EDI for reading");
}

// A replaced file keeps its mode, and its owner and group where the process
// may set them; a new file gets what a plain create gives under the umask.
TEST(BaseAtomicFile, ReplacedFileKeepsModeAndOwner) {
  const bool root = ::geteuid() == 0;
  struct Case {
    mode_t oldMode; // 0: no old file
    mode_t umask;
    mode_t expected;
    bool otherOwner;
  };
  const std::vector<Case> cases = {
      {0640, 022, 0640, false}, {0604, 077, 0604, false}, {0755, 022, 0755, false},
      {02775, 022, 02775, false}, {0660, 022, 0660, true}, {04755, 077, 04755, true},
      {0, 022, 0644, false},     {0, 027, 0640, false},     {0, 0, 0666, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::oct << c.oldMode << " umask " << c.umask);
    if (c.otherOwner && !root) continue;
    TempDir dir;
    const std::string target = dir.file("out.mus");
    UmaskScope mask(c.umask);
    if (c.oldMode != 0) {
      writeBytes(target, kOld);
      if (c.otherOwner) {
        ASSERT_EQ(::chown(target.c_str(), 4321, 8765), 0);
      }
      ASSERT_EQ(::chmod(target.c_str(), c.oldMode), 0);
    }
    std::string error;
    ASSERT_TRUE(writeFileAtomic(target, kNew, &error)) << error;
    const struct stat st = statOf(target);
    EXPECT_EQ(st.st_mode & 07777, c.expected);
    EXPECT_EQ(st.st_uid, c.otherOwner ? 4321u : ::geteuid());
    EXPECT_EQ(st.st_gid, c.otherOwner ? 8765u : ::getegid());
    EXPECT_EQ(readBytes(target), kNew);
  }
}

// Names up to the longest a folder takes can be written and replaced, and the
// clean-up for an interrupt still finds their temporaries.
TEST(BaseAtomicFile, LongNamesAreWritable) {
  for (size_t length : {248u, 249u, 250u, 254u, 255u}) {
    SCOPED_TRACE(length);
    TempDir dir;
    const std::string target = dir.file(std::string(length - 4, 'n') + ".MUS");
    ASSERT_TRUE(writeFileAtomic(target, kOld));
    std::string error;
    ASSERT_TRUE(writeFileAtomic(target, kNew, &error)) << error;
    EXPECT_EQ(readBytes(target), kNew);
    EXPECT_EQ(dir.listing(), fs::path(target).filename().string());

    AtomicFile file;
    ASSERT_TRUE(file.open(target)) << file.error();
    ASSERT_TRUE(file.write(kOld));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
    unlinkOpenTemporaries();
    EXPECT_EQ(dir.listing(), fs::path(target).filename().string());
    file.discard();
  }
}

} // namespace
} // namespace velmora

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

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

// Writing "l1" writes through its links to the other folder's a.eps, or is
// refused with both folders as they were. "@" names the other folder; a link
// to "@..." holds the absolute path, any other link a relative one.
TEST(BaseAtomicFile, LinksAreFollowedToTheFileTheyName) {
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> links; // link, what it names
    bool exists;
    bool twin; // a.eps has a second hard link
    WriteStage stage;
    const char* error;
  };
  const std::string hardLinks = "it has other hard links; it was left unchanged";
  const std::vector<Case> cases = {
      {"chain with a relative hop", {{"l1", "l2"}, {"l2", "@l3"}, {"@l3", "a.eps"}}, true, false, WriteStage::None, ""},
      {"dangling", {{"l1", "@a.eps"}}, false, false, WriteStage::None, ""},
      {"loop", {{"l1", "l2"}, {"l2", "l1"}}, true, false, WriteStage::Create, "Too many levels of symbolic links"},
      {"folder", {{"l1", "@"}}, true, false, WriteStage::Create, "Is a directory"},
      {"hard-linked file", {{"l1", "@a.eps"}}, true, true, WriteStage::Refused, hardLinks.c_str()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir, other;
    const auto place = [&](const std::string& name) {
      return name.starts_with('@') ? other.file(name.substr(1)) : dir.file(name);
    };
    if (c.exists) writeBytes(other.file("a.eps"), kOld);
    if (c.twin) fs::create_hard_link(other.file("a.eps"), dir.file("twin"));
    for (const auto& [link, to] : c.links)
      fs::create_symlink(to.starts_with('@') ? place(to) : to, place(link));
    const std::string before = dir.listing() + " | " + other.listing();

    std::string error;
    WriteStage stage = WriteStage::None;
    const bool written = writeFileAtomic(dir.file("l1"), kNew, &error, &stage);
    EXPECT_EQ(stage, c.stage);
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(written, c.stage == WriteStage::None);
    EXPECT_EQ(readBytes(other.file("a.eps")), written ? kNew : kOld);
    for (const auto& [link, to] : c.links)
      EXPECT_TRUE(fs::is_symlink(place(link))) << link;
    // Nothing else appears: no temporary, no file beside the link.
    EXPECT_EQ(dir.listing() + " | " + other.listing(), c.exists ? before : before + "a.eps");
  }
}

// A replaced file keeps its mode, and its owner and group where the process
// may set them (tested as root); a new file gets what a plain create gives
// under the umask.
TEST(BaseAtomicFile, ReplacedFileKeepsModeAndOwner) {
  struct Case {
    mode_t oldMode; // 0: no old file
    mode_t umask;
    mode_t expected;
    bool otherOwner;
  };
  const std::vector<Case> cases = {
      {0640, 022, 0640, false},  {0604, 077, 0604, false}, {02775, 022, 02775, false}, {0660, 022, 0660, true},
      {04755, 077, 04755, true}, {0, 022, 0644, false},    {0, 027, 0640, false},      {0, 0, 0666, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::oct << c.oldMode << " umask " << c.umask);
    if (c.otherOwner && ::geteuid() != 0) continue;
    TempDir dir;
    const std::string target = dir.file("out.mus");
    const mode_t mask = ::umask(c.umask);
    if (c.oldMode != 0) {
      writeBytes(target, kOld);
      if (c.otherOwner) {
        ASSERT_EQ(::chown(target.c_str(), 4321, 8765), 0);
      }
      ASSERT_EQ(::chmod(target.c_str(), c.oldMode), 0);
    }
    std::string error;
    const bool written = writeFileAtomic(target, kNew, &error);
    ::umask(mask);
    ASSERT_TRUE(written) << error;
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, c.expected);
    EXPECT_EQ(st.st_uid, c.otherOwner ? 4321u : ::geteuid());
    EXPECT_EQ(st.st_gid, c.otherOwner ? 8765u : ::getegid());
  }
}

// Names up to the longest a folder takes are written and replaced, and the
// clean-up for an interrupt still finds their temporaries.
TEST(BaseAtomicFile, LongNamesAreWritable) {
  for (size_t length : {248u, 249u, 250u, 254u, 255u}) {
    SCOPED_TRACE(length);
    TempDir dir;
    const std::string name = std::string(length - 4, 'n') + ".MUS";
    ASSERT_TRUE(writeFileAtomic(dir.file(name), kOld));
    std::string error;
    ASSERT_TRUE(writeFileAtomic(dir.file(name), kNew, &error)) << error;
    EXPECT_EQ(readBytes(dir.file(name)), kNew);
    EXPECT_EQ(dir.listing(), name);

    AtomicFile file;
    ASSERT_TRUE(file.open(dir.file(name))) << file.error();
    EXPECT_NE(dir.listing(), name);
    unlinkOpenTemporaries();
    EXPECT_EQ(dir.listing(), name);
  }
}

// A target that refuses the file leaves it under the fallback name, as a new
// file; when that name is taken too, nothing is left and both stay as they were.
TEST(BaseAtomicFile, ARefusedTargetLeavesTheFileUnderItsFallbackName) {
  enum Seed { None, Old, ReadOnly, Twin, Loop, Folder, ReadOnlyAndFallback };
  struct Case {
    Seed seed;
    AtomicFile::Placed placed;
    const char* why; // the refusal, or for Neither the error
  };
  using P = AtomicFile::Placed;
  const std::vector<Case> cases = {
      {None, P::Target, ""},
      {Old, P::Target, ""},
      {ReadOnly, P::Fallback, "Permission denied"},
      {Twin, P::Fallback, "it has other hard links; it was left unchanged"},
      {Loop, P::Fallback, "Too many levels of symbolic links"},
      {Folder, P::Fallback, "Is a directory"},
      {ReadOnlyAndFallback, P::Neither, "File exists"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.seed));
    TempDir dir;
    const std::string target = dir.file("a.RUN");
    const std::string fallback = dir.file("a.000");
    if (c.seed == Old || c.seed == ReadOnly || c.seed == Twin || c.seed == ReadOnlyAndFallback) {
      writeBytes(target, kOld);
      ASSERT_EQ(::chmod(target.c_str(), c.seed == Old ? 0600 : c.seed == Twin ? 0644 : 0444), 0);
    }
    if (c.seed == Twin) fs::create_hard_link(target, dir.file("twin"));
    if (c.seed == Loop) fs::create_symlink("a.RUN", target);
    if (c.seed == Folder) fs::create_directory(target);
    if (c.seed == ReadOnlyAndFallback) writeBytes(fallback, kOld);
    const std::string before = dir.listing();

    const mode_t mask = ::umask(022);
    std::string refusal, error;
    const P placed = writeFileAtomicOr(target, fallback, kNew, refusal, error);
    ::umask(mask);
    EXPECT_EQ(placed, c.placed);
    EXPECT_EQ(c.placed == P::Neither ? error : refusal, c.why);
    struct stat st {};
    if (c.placed == P::Target) {
      EXPECT_EQ(readBytes(target), kNew);
      ASSERT_EQ(::stat(target.c_str(), &st), 0);
      EXPECT_EQ(st.st_mode & 07777, c.seed == Old ? 0600u : 0644u);
      EXPECT_EQ(dir.listing(), "a.RUN");
    } else if (c.placed == P::Fallback) {
      EXPECT_EQ(readBytes(fallback), kNew);
      ASSERT_EQ(::stat(fallback.c_str(), &st), 0);
      EXPECT_EQ(st.st_mode & 07777, 0644u);
      EXPECT_EQ(dir.listing(), "a.000 " + before);
      if (c.seed != Loop && c.seed != Folder) {
        EXPECT_EQ(readBytes(target), kOld);
      }
    } else {
      EXPECT_EQ(readBytes(target), kOld);
      EXPECT_EQ(readBytes(fallback), kOld);
      EXPECT_EQ(dir.listing(), before);
    }
  }
}

} // namespace
} // namespace velmora

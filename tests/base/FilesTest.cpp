#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "base/AtomicFile.h"
#include "base/FileSystem.h"
#include "support/Faults.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

namespace velmora {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;
using Bytes = std::vector<uint8_t>;

const Bytes kOld = {'o', 'l', 'd'};
const Bytes kNew = {'n', 'e', 'w', '!', '!'};

// Turns the injected write failure off again whatever the test does.
struct FailureAfter {
  explicit FailureAfter(long long bytes) { setAtomicWriteFailureAfter(bytes); }
  ~FailureAfter() { setAtomicWriteFailureAfter(-1); }
};

TEST(BaseAtomicFile, CommitReplacesTarget) {
  TempDir dir;
  const std::string target = dir.file("out.mus");
  writeBytes(target, kOld);
  ::chmod(target.c_str(), 0640);
  {
    AtomicFile file;
    ASSERT_TRUE(file.open(target)) << file.error();
    ASSERT_TRUE(file.write(kNew));
    // Until commit the target is untouched and the temporary sits beside it.
    EXPECT_EQ(readBytes(target), kOld);
    const std::string during = dir.listing();
    EXPECT_EQ(std::count(during.begin(), during.end(), ' '), 1) << during;
    ASSERT_TRUE(file.commit()) << file.error();
  }
  EXPECT_EQ(readBytes(target), kNew);
  EXPECT_EQ(dir.listing(), "out.mus");
  // The replaced target keeps its permissions.
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(BaseAtomicFile, UnsyncedCommitIsTheSameRename) {
  // Syncing only changes durability: with it off the target is replaced all the same.
  TempDir dir;
  const std::string target = dir.file("out.mus");
  writeBytes(target, kOld);
  const bool synced = atomicSync();
  setAtomicSync(false);
  std::string error;
  const bool written = writeFileAtomic(target, kNew, &error);
  setAtomicSync(synced);
  ASSERT_TRUE(written) << error;
  EXPECT_EQ(readBytes(target), kNew);
  EXPECT_EQ(dir.listing(), "out.mus");
}

TEST(BaseAtomicFile, CommitNoReplaceKeepsATargetThatAppeared) {
  TempDir dir;
  const std::string target = dir.file("velmora3.pdf");
  // No target: the file is created.
  {
    AtomicFile file;
    ASSERT_TRUE(file.open(target)) << file.error();
    ASSERT_TRUE(file.write(kNew));
    ASSERT_TRUE(file.commitNoReplace()) << file.error();
  }
  EXPECT_EQ(readBytes(target), kNew);
  // A target made while the file was written stays, and no temporary is left.
  ASSERT_EQ(::unlink(target.c_str()), 0);
  AtomicFile file;
  ASSERT_TRUE(file.open(target)) << file.error();
  ASSERT_TRUE(file.write(kNew));
  writeBytes(target, kOld);
  EXPECT_FALSE(file.commitNoReplace());
  EXPECT_EQ(file.error(), "File exists");
  EXPECT_EQ(readBytes(target), kOld);
  EXPECT_EQ(dir.listing(), "velmora3.pdf");
}

TEST(BaseAtomicFile, ReadOnlyTargetIsNotReplaced) {
  TempDir dir;
  const std::string target = dir.file("out.mus");
  writeBytes(target, kOld);
  ::chmod(target.c_str(), 0444);
  AtomicFile file;
  EXPECT_FALSE(file.open(target));
  EXPECT_EQ(file.error(), "Permission denied");
  EXPECT_EQ(readBytes(target), kOld);
  EXPECT_EQ(dir.listing(), "out.mus");
}

TEST(BaseAtomicFile, UncommittedLeavesTargetAndNoTemporary) {
  TempDir dir;
  const std::string target = dir.file("out.mus");
  writeBytes(target, kOld);
  // discard()
  {
    AtomicFile file;
    ASSERT_TRUE(file.open(target));
    ASSERT_TRUE(file.write(kNew));
    file.discard();
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(readBytes(target), kOld);
    EXPECT_EQ(dir.listing(), "out.mus");
  }
  // Destruction without commit, with and without an old target.
  {
    AtomicFile file;
    ASSERT_TRUE(file.open(target));
    ASSERT_TRUE(file.write(kNew));
  }
  EXPECT_EQ(readBytes(target), kOld);
  EXPECT_EQ(dir.listing(), "out.mus");
  {
    AtomicFile file;
    ASSERT_TRUE(file.open(dir.file("fresh.mus")));
    ASSERT_TRUE(file.write(kNew));
  }
  EXPECT_EQ(dir.listing(), "out.mus");
  // A folder that does not exist.
  AtomicFile file;
  EXPECT_FALSE(file.open(dir.file("missing/out.mus")));
  EXPECT_EQ(file.error(), "No such file or directory");
  EXPECT_FALSE(file.write(kNew));
  EXPECT_FALSE(file.commit());
}

TEST(BaseAtomicFile, SignalCleanupRemovesOnlyOpenTemporaries) {
  TempDir dir;
  const std::string target = dir.file("out.mus");
  writeBytes(target, kOld);
  const auto entries = [&] {
    const std::filesystem::directory_iterator it(dir.path());
    return std::distance(begin(it), end(it));
  };
  // Two files being written, one of them moved: both temporaries go, the target stays.
  {
    AtomicFile first, second;
    ASSERT_TRUE(first.open(target));
    ASSERT_TRUE(second.open(dir.file("other.mus")));
    AtomicFile moved(std::move(second));
    EXPECT_EQ(entries(), 3);
    unlinkOpenTemporaries();
    EXPECT_EQ(dir.listing(), "out.mus");
  }
  // A committed file keeps its new content.
  AtomicFile done;
  ASSERT_TRUE(done.open(target));
  ASSERT_TRUE(done.write(kNew));
  ASSERT_TRUE(done.commit());
  unlinkOpenTemporaries();
  EXPECT_EQ(dir.listing(), "out.mus");
  EXPECT_EQ(readBytes(target), kNew);
  // Finished files free their place: after many, a new temporary is still found.
  for (int i = 0; i < 40; ++i) {
    AtomicFile file;
    ASSERT_TRUE(file.open(dir.file("m" + std::to_string(i))));
    if (i % 2 == 0) {
      ASSERT_TRUE(file.commit());
    }
  }
  EXPECT_EQ(entries(), 21);
  AtomicFile last;
  ASSERT_TRUE(last.open(dir.file("last.mus")));
  EXPECT_EQ(entries(), 22);
  unlinkOpenTemporaries();
  EXPECT_EQ(entries(), 21);
}

TEST(BaseAtomicFile, InjectedWriteFailureKeepsOldFile) {
  TempDir dir;
  const std::string target = dir.file("out.mus");
  writeBytes(target, kOld);
  {
    FailureAfter fail(3);
    AtomicFile file;
    ASSERT_TRUE(file.open(target));
    EXPECT_FALSE(file.write(kNew));
    EXPECT_EQ(file.error(), "No space left on device");
  }
  EXPECT_EQ(readBytes(target), kOld);
  EXPECT_EQ(dir.listing(), "out.mus");
  {
    FailureAfter fail(0);
    std::string error;
    EXPECT_FALSE(writeFileAtomic(target, kNew, &error));
    EXPECT_EQ(error, "No space left on device");
  }
  EXPECT_EQ(readBytes(target), kOld);
  EXPECT_EQ(dir.listing(), "out.mus");
  // Off again: the same write goes through.
  std::string error;
  EXPECT_TRUE(writeFileAtomic(target, kNew, &error)) << error;
  EXPECT_EQ(readBytes(target), kNew);
}

TEST(BaseAtomicFile, InjectedOpenAndRenameFailuresKeepOldFile) {
  TempDir dir;
  const std::string target = dir.file("out.mus");
  writeBytes(target, kOld);
  // The temporary cannot be created.
  {
    test::InjectedFault fault(test::InjectedFault::Kind::OpenFails);
    std::string error;
    EXPECT_FALSE(writeFileAtomic(target, kNew, &error));
    EXPECT_EQ(error, "Permission denied");
  }
  EXPECT_EQ(readBytes(target), kOld);
  EXPECT_EQ(dir.listing(), "out.mus");
  // Everything is written, then the rename over the target fails: the temporary goes.
  {
    test::InjectedFault fault(test::InjectedFault::Kind::RenameFails);
    std::string error;
    EXPECT_FALSE(writeFileAtomic(target, kNew, &error));
    EXPECT_EQ(error, "Input/output error");
    EXPECT_FALSE(renameNoReplace(target, dir.file("other.mus"), &error));
    EXPECT_EQ(error, "Input/output error");
  }
  EXPECT_EQ(readBytes(target), kOld);
  EXPECT_EQ(dir.listing(), "out.mus");
  EXPECT_TRUE(writeFileAtomic(target, kNew));
  EXPECT_EQ(readBytes(target), kNew);
}

TEST(BaseFileSystem, ReadWholeFileTakesOnlyRegularFiles) {
  TempDir dir;
  std::vector<uint8_t> bytes;
  // A FIFO would block the open and the read until a writer came; a folder is no file.
  ASSERT_EQ(::mkfifo(dir.file("pipe.mus").c_str(), 0600), 0);
  EXPECT_EQ(readWholeFile(dir.file("pipe.mus"), bytes, 100), ReadResult::CannotOpen);
  EXPECT_EQ(readWholeFile(dir.path(), bytes, 100), ReadResult::CannotOpen);
  EXPECT_EQ(readWholeFile("/dev/zero", bytes, 100), ReadResult::CannotOpen);
  writeBytes(dir.file("a.mus"), kOld);
  EXPECT_EQ(readWholeFile(dir.file("a.mus"), bytes, 100), ReadResult::Ok);
  EXPECT_EQ(bytes, kOld);
  EXPECT_EQ(readWholeFile(dir.file("a.mus"), bytes, 2), ReadResult::TooLarge);
}

TEST(BaseFileSystem, RenameNoReplace) {
  TempDir dir;
  const std::string a = dir.file("a.eps"), b = dir.file("b.eps"), c = dir.file("c.eps");
  writeBytes(a, kOld);
  writeBytes(b, kNew);
  // An existing target is refused and both files stay.
  std::string error;
  EXPECT_FALSE(renameNoReplace(a, b, &error));
  EXPECT_EQ(error, "File exists");
  EXPECT_EQ(readBytes(a), kOld);
  EXPECT_EQ(readBytes(b), kNew);
  EXPECT_FALSE(renameNoReplace(a, a, &error));
  EXPECT_EQ(readBytes(a), kOld);
  // A free name takes the file.
  EXPECT_TRUE(renameNoReplace(a, c, &error)) << error;
  EXPECT_EQ(dir.listing(), "b.eps c.eps");
  EXPECT_EQ(readBytes(c), kOld);
  // A missing source.
  EXPECT_FALSE(renameNoReplace(a, dir.file("d.eps"), &error));
  EXPECT_EQ(error, "No such file or directory");
  EXPECT_EQ(dir.listing(), "b.eps c.eps");
}

TEST(BaseFileSystem, ResolveCaseInsensitive) {
  TempDir dir;
  writeBytes(dir.file("scorcnt2.dat"), kOld);
  writeBytes(dir.file("Prefs.dat"), kOld);
  writeBytes(dir.file("prefs.dat"), kOld);
  // A match that differs only in case.
  EXPECT_EQ(resolveCaseInsensitive(dir.path(), "SCORCNT2.DAT"), dir.file("scorcnt2.dat"));
  // The exact name wins over a case variant.
  EXPECT_EQ(resolveCaseInsensitive(dir.path(), "Prefs.dat"), dir.file("Prefs.dat"));
  EXPECT_EQ(resolveCaseInsensitive(dir.path(), "prefs.dat"), dir.file("prefs.dat"));
  // No match, a prefix only, or no folder: the name as given.
  EXPECT_EQ(resolveCaseInsensitive(dir.path(), "OPT.DAT"), dir.file("OPT.DAT"));
  EXPECT_EQ(resolveCaseInsensitive(dir.path(), "SCORCNT2.DA"), dir.file("SCORCNT2.DA"));
  EXPECT_EQ(resolveCaseInsensitive(dir.file("none/"), "A.DAT"), dir.file("none/A.DAT"));
}

} // namespace
} // namespace velmora

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <filesystem>
#include <map>

#include "JustifyHelpers.h"
#include "base/AtomicFile.h"
#include "model/ScoreReader.h"
#include "model/ScoreWriter.h"
#include "support/TempDir.h"

namespace velmora {
namespace {

using test::buildScore;
using test::readBytes;
using test::writeBytes;
using Rows = std::vector<std::string>;
namespace fs = std::filesystem;

class JustifyFileTest : public ::testing::Test {
protected:
  int justify(const std::string& path, const std::string& extension = "JST") {
    JustifyRun run{host, dialogs, options, batch};
    run.prompt = options.promptBeforeOperation != 0;
    return justifyFile(run, store, path, extension);
  }

  test::TempDir dir;
  test::FakeHost host;
  test::ScriptedJustifyDialogs dialogs;
  JustifyOptions options;
  CBatchState batch;
  CItemStore store;
};

TEST_F(JustifyFileTest, WritesTheJustifiedFileByteForByte) {
  options.minimumSpace = 1.0f;
  const auto input = buildScore("8 1 0 0 1\n2 1 10 1\n1 1 20 5 10\n1 1 22 5 10\n9 1 5 0\n14 1 110\n");
  writeBytes(dir.file("song.mus"), input);
  EXPECT_EQ(justify(dir.file("song.mus")), 1);
  // Moved notes, the trailing zero trimmed and the header lowered with it.
  EXPECT_EQ(test::hexDump(readBytes(dir.file("song.JST"))),
            test::hexDump(buildScore("8 1 0 0 1\n2 1 10 1\n1 1 19.8 5 10\n1 1 23.8 5 10\n9 1 5\n14 1 110\n")));
  EXPECT_EQ(readBytes(dir.file("song.mus")), input);
  EXPECT_TRUE(store.empty());
  EXPECT_TRUE(host.messages.empty());
  // Read back, the parameters are the moved ones.
  CItemStore back;
  ASSERT_EQ(openAndReadGeneral(host, dir.file("song.JST"), back), 1);
  EXPECT_EQ(test::positions(back, 1), (std::vector<float>{0, 10, 19.8f, 23.8f, 5, 110}));
}

TEST_F(JustifyFileTest, RefusalsAndCancelsWriteNothing) {
  // Cannot be opened: -1 after the message.
  EXPECT_EQ(justify(dir.file("gone.mus")), -1);
  EXPECT_EQ(host.messages, (Rows{"Unable to open file " + dir.file("gone.mus") + " for reading"}));

  // JUST format, a bad code number, a truncated file: 0 after the reader's message.
  std::vector<uint8_t> just = buildScore("1 1 20 5 10");
  const int32_t marker = kJustMarker;
  std::memcpy(just.data(), &marker, 4);
  writeBytes(dir.file("just.mus"), just);
  writeBytes(dir.file("code.mus"), buildScore("1 1 20 5 10\n0 1 20"));
  auto cut = buildScore("1 1 20 5 10\n1 1 22 5 10");
  cut.resize(cut.size() - 30);
  writeBytes(dir.file("cut.mus"), cut);
  for (const char* name : {"just.mus", "code.mus", "cut.mus"}) {
    host.messages.clear();
    EXPECT_EQ(justify(dir.file(name)), 0) << name;
    EXPECT_EQ(host.messages.size(), 1u) << name;
    EXPECT_TRUE(store.empty()) << name;
  }
  EXPECT_EQ(host.messages[0].rfind(dir.file("cut.mus") + " is damaged and cannot be processed: ", 0), 0u);

  // "Cancel" at the prompt.
  options.promptBeforeOperation = 1;
  writeBytes(dir.file("clash.mus"), buildScore("2 1 10 1\n1 1 20 5 10\n1 1 22 5 10\n14 1 110"));
  dialogs.answers = {PromptAnswer::Cancel};
  EXPECT_EQ(justify(dir.file("clash.mus")), 0);
  EXPECT_TRUE(store.empty());

  // A failed write leaves no file behind.
  options.promptBeforeOperation = 0;
  host.messages.clear();
  setAtomicWriteFailureAfter(10);
  EXPECT_EQ(justify(dir.file("clash.mus")), 0);
  setAtomicWriteFailureAfter(-1);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].rfind("Unable to write file " + dir.file("clash.JST"), 0), 0u) << host.messages[0];
  EXPECT_EQ(dir.listing(), "clash.mus code.mus cut.mus just.mus");
}

// Every group of staves as the run opens them.
std::vector<JustifyGroup> groupsOf(const CItemStore& store, const JustifyOptions& options) {
  std::vector<JustifyGroup> groups;
  for (int k = 1; k <= kMaxStave;) {
    groups.push_back(openJustifyGroup(store, k, options));
    k = groups.back().last() + 1;
  }
  return groups;
}

TEST_F(JustifyFileTest, CorpusFilesKeepCodesStavesAndAlignment) {
  const std::string corpus = test::corpusDir();
  if (corpus.empty()) GTEST_SKIP() << "no corpus";
  int files = 0;
  for (const auto& entry : fs::directory_iterator(corpus)) {
    if (entry.path().extension() != ".mus") continue;
    ++files;
    const std::string name = entry.path().filename().string();
    const std::string copy = dir.file(name);
    fs::copy_file(entry.path(), copy, fs::copy_options::overwrite_existing);
    CItemStore before;
    ASSERT_EQ(openAndReadGeneral(host, copy, before), 1) << name;
    CItemStore after = before;
    JustifyRun run{host, dialogs, options, batch};
    ASSERT_EQ(justifyStore(run, after, copy), 1) << name;

    // Codes, staves, vertical positions and counts stay; within a group, items
    // that stood at one position still do.
    int moved = 0;
    for (const JustifyGroup& g : groupsOf(before, options)) {
      std::map<float, float> where;
      for (int k = g.first; k <= g.last(); ++k) {
        const StaveList& was = before.list(k - 1);
        const StaveList& now = after.list(k - 1);
        ASSERT_EQ(was.size(), now.size()) << name;
        for (auto a = was.begin(), b = now.begin(); a != was.end(); ++a, ++b) {
          ASSERT_EQ(a->count(), b->count()) << name;
          EXPECT_EQ(a->code(), b->code()) << name;
          EXPECT_EQ(a->stave(), b->stave()) << name;
          EXPECT_EQ(std::bit_cast<uint32_t>(a->p(4)), std::bit_cast<uint32_t>(b->p(4))) << name;
          if (a->count() < 3) continue;
          moved += a->p(3) != b->p(3);
          const auto [it, fresh] = where.emplace(a->p(3), b->p(3));
          if (!fresh) {
            EXPECT_EQ(it->second, b->p(3)) << name << " stave " << k << " at " << a->p(3);
          }
        }
      }
    }
    // The per-file routine writes just what the plain writer makes of that.
    EXPECT_EQ(justifyFile(run, store, copy, "JST"), 1) << name;
    ASSERT_EQ(writePlain(host, after, dir.file("expected.out")), 1);
    EXPECT_EQ(readBytes(dir.file(name.substr(0, name.size() - 3) + "JST")), readBytes(dir.file("expected.out")))
        << name;
    std::printf("%s: %d positions moved, %zu stave(s) not ideal\n", name.c_str(), moved, batch.log.size());
    batch.log.clear();
  }
  EXPECT_GT(files, 0);
  EXPECT_TRUE(host.messages.empty());
}

} // namespace
} // namespace velmora

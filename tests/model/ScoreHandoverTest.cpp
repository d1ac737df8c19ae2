#include <gtest/gtest.h>

#include <functional>

#include "base/ByteReader.h"
#include "model/ScoreHandover.h"
#include "model/ScoreWriter.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

namespace velmora {
namespace {

using namespace test;

std::vector<std::vector<float>> itemsOf(const CItemStore& store) {
  std::vector<std::vector<float>> items;
  for (int l = 0; l < kStaveListCount; ++l)
    for (const CItem& item : store.list(l))
      items.emplace_back(item.params().values().begin(), item.params().values().end());
  return items;
}

// What the next task reads from a hand-over is what it would read from the
// file the writer had written, refusals and their messages included.
TEST(ScoreHandoverTest, ReadsAsTheWrittenFileWouldRead) {
  struct Case {
    const char* name;
    const char* items;
    std::function<void(CItemStore&)> change; // what a task did before the write
    bool laidOutAsIs;                        // read from the items, not the bytes
  };
  const Case cases[] = {
      {"regrouped, trailing zeros trimmed", "1 2 10 4 0 0\n8 1 0 0 0\n8 2 0 0", {}, true},
      {"a code number no reader takes", "1 1 10 4\n1 1 20 5",
       [](CItemStore& s) { s.list(0).back().params().set(0, 0.0f); }, true},
      {"a stave number moved out of range", "1 1 10 4\n1 1 20 5",
       [](CItemStore& s) { s.list(0).front().params().set(1, 201.0f); }, true},
      {"a header word one short", "1 1 10 4\n1 1 20 5", [](CItemStore& s) { s.headerWord -= 1; }, false},
      {"a header word one over", "1 1 10 4\n1 1 20 5", [](CItemStore& s) { s.headerWord += 1; }, false},
      {"a trailer that lost its length", "1 1 10 4", [](CItemStore& s) { s.trailer.assign(8, 0); }, false},
      {"a header the writer refuses", "1 1 10 4", [](CItemStore& s) { s.headerWord = 70000; }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string input = dir.file("in.mus"), written = dir.file("in.000");
    writeBytes(input, buildScore(c.items));
    FakeHost viaFile, viaMemory;
    CItemStore a, b;
    ASSERT_EQ(openAndReadGeneral(viaFile, input, a), 1);
    ASSERT_EQ(openAndReadGeneral(viaMemory, input, b), 1);
    if (c.change) {
      c.change(a);
      c.change(b);
    }
    ScoreHandover handover;
    const int wroteFile = writePlain(viaFile, a, written);
    const int laidOut = writePlain(viaMemory, b, ScoreIO{input, std::string(), &handover});
    // The file's messages named the working file; the hand-over's name the input.
    const auto named = [&] {
      for (std::string& m : viaFile.messages)
        if (const size_t at = m.find(written); at != std::string::npos) m.replace(at, written.size(), input);
      return viaFile.messages;
    };
    ASSERT_EQ(laidOut, wroteFile);
    if (wroteFile != 1) {
      EXPECT_EQ(viaMemory.messages, named());
      continue;
    }
    ByteWriter encoded;
    handover.encodeTo(encoded);
    EXPECT_EQ(encoded.buffer(), readBytes(written));
    EXPECT_EQ(readsBackAsLaidOut(handover), c.laidOutAsIs);

    CItemStore fromFile, fromMemory;
    ScoreFile file, memory;
    int expected = openScoreFile(viaFile, written, fromFile, file);
    if (expected == 1) expected = readGeneral(viaFile, file, fromFile);
    int result = openScore(viaMemory, ScoreIO{input, std::string(), &handover}, fromMemory, memory);
    if (result == 1) result = readGeneral(viaMemory, memory, fromMemory);
    EXPECT_EQ(result, expected);
    EXPECT_EQ(viaMemory.messages, named());
    if (expected == 1) {
      EXPECT_EQ(itemsOf(fromMemory), itemsOf(fromFile));
      EXPECT_EQ(fromMemory.headerWord, fromFile.headerWord);
      EXPECT_EQ(fromMemory.trailer, fromFile.trailer);
    }
  }
}

} // namespace
} // namespace velmora

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "model/ScoreWriter.h"
#include "staves/Optimize.h"
#include "staves/StaveFixture.h"
#include "staves/Unoptimize.h"

namespace velmora {
namespace {

using namespace test;

// Staff items per stave: their instrument numbers; notes per stave.
struct StaveCensus {
  std::map<int, std::vector<float>> staffInstruments;
  std::map<int, int> notes;
  std::map<int, int> rests;
};

StaveCensus census(FakeHost& host, const std::string& path) {
  CItemStore store;
  StaveCensus c;
  EXPECT_EQ(openAndReadGeneral(host, path, store), 1) << path;
  for (int l = 0; l < kStaveListCount; ++l)
    for (const CItem& item : store.list(l)) {
      const int stave = intPart(item.stave());
      if (intPart(item.code()) == 8) c.staffInstruments[stave].push_back(item.p(9));
      if (intPart(item.code()) == 1) ++c.notes[stave];
      if (intPart(item.code()) == 2) ++c.rests[stave];
    }
  return c;
}

// Real scores: give each staff its stave number as instrument, optimize two
// staves away by instrument, and unoptimize with the numbered original as template.
TEST(StaveCorpus, UnoptimizeBringsBackEveryDeletedStave) {
  const std::string corpus = corpusDir();
  if (corpus.empty()) GTEST_SKIP() << "no corpus folder";
  int tried = 0;
  for (const char* name : {"chor005.mus", "chopin2801.mus"}) {
    if (!std::filesystem::exists(corpus + name)) continue;
    ++tried;
    SCOPED_TRACE(name);
    TempDir dir;
    FakeHost host;
    const std::string original = dir.file("original.mus");
    {
      CItemStore store;
      ASSERT_EQ(openAndReadGeneral(host, corpus + name, store), 1);
      for (int l = 0; l < kPlacedList; ++l)
        for (CItem& item : store.list(l))
          if (intPart(item.code()) == 8) {
            store.headerWord += std::max(0, 9 - item.count());
            item.params().setAtGrow(8, static_cast<float>(l + 1));
          }
      store.staveFlags.fill(1);
      ASSERT_EQ(writeStaves(host, store, original), 1);
    }
    const StaveCensus before = census(host, original);
    ASSERT_GE(before.staffInstruments.size(), 5u);

    ScriptedStaveDialogs dialogs;
    CItemStore store;
    OptimizeOptions optimizeOptions;
    optimizeOptions.showInstrumentDeleteWindow = 1;
    COptimizeBatch batch;
    batch.instruments = {2, 5};
    OptimizeContext optimize{host, dialogs, store, optimizeOptions, batch};
    ASSERT_EQ(optimizeFile(optimize, original, "OPT"), 1);
    const StaveCensus optimized = census(host, dir.file("original.OPT"));
    EXPECT_EQ(optimized.staffInstruments.size(), before.staffInstruments.size() - 2);
    EXPECT_EQ(fileText(readBytes(dir.file("original.OPT"))).rfind("header", 0), std::string::npos);

    CUnoptimizeTemplate tpl;
    ASSERT_TRUE(loadTemplate(host, original, tpl));
    UnoptimizeOptions unoptimizeOptions;
    UnoptimizeContext unoptimize{host, dialogs, store, unoptimizeOptions, tpl};
    ASSERT_EQ(unoptimizeFile(unoptimize, dir.file("original.OPT"), "UNO"), 1);
    EXPECT_EQ(fileText(readBytes(dir.file("original.UNO"))).rfind("header", 0), std::string::npos);
    const StaveCensus after = census(host, dir.file("original.UNO"));
    // Every stave is back with its own staff; kept staves keep their notes,
    // returned ones get rests.
    EXPECT_EQ(after.staffInstruments, before.staffInstruments);
    for (const auto& [stave, count] : before.notes)
      if (stave != 2 && stave != 5) {
        EXPECT_EQ(after.notes.at(stave), count) << stave;
      }
    EXPECT_EQ(after.notes.count(2), 0u);
    EXPECT_GT(after.rests.at(2), 0);
    EXPECT_GT(after.rests.at(5), 0);
    EXPECT_TRUE(host.messages.empty()) << host.messages.front();
  }
  if (tried == 0) GTEST_SKIP() << "no chor005.mus or chopin2801.mus in " << corpus;
}

} // namespace
} // namespace velmora

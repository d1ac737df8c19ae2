#include "count/ItemCount.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

namespace velmora {
namespace {

using test::FakeHost;
using test::TempDir;
using Rows = std::vector<std::string>;

Rows codeRows(const ItemCountTotals& t) {
  Rows rows;
  for (int c = 1; c <= 18; ++c)
    rows.push_back("\tCode " + std::to_string(c) + "\t\tItems:\t" + std::to_string(t.codeItems[c]) + "\tParameters:\t" +
                   std::to_string(t.codeParameters[c]));
  return rows;
}

Rows concat(Rows a, const Rows& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

ItemCountTotals countFiles(FakeHost& host, const std::vector<std::string>& paths) {
  ItemCountTotals totals;
  totals.files = static_cast<int32_t>(paths.size());
  for (const auto& p : paths)
    EXPECT_EQ(countFile(host, p, totals), 1);
  return totals;
}

TEST(ItemCount, BlankStaveInBothOptionStates) {
  TempDir dir;
  // Stave 2 holds only a staff item and a clef.
  test::writeBytes(dir.file("a.mus"), test::buildScore("8 1 0\n1 1 10 4 10 0 1\n8 2 0\n3 2 1.5"));
  FakeHost host;
  const ItemCountTotals t = countFiles(host, {dir.file("a.mus")});
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(t.staves, 2);
  EXPECT_EQ(t.blankStaves, 1);
  EXPECT_EQ(t.items, 4);
  EXPECT_EQ(t.parameters, 3 + 7 + 3 + 3);

  const Rows head{"", "The 1 file(s) selected contain(s):", ""};
  const Rows tail{"", "\tItems:\t\t4", "", "\tParameters:\t16", ""};
  EXPECT_EQ(itemCountResultBlock(t, true),
            concat(concat(concat(head, {"\tStaves:\t\t1", "\t(1 blank stave(s) NOT included)"}), tail),
                   concat(codeRows(t), {""})));
  EXPECT_EQ(itemCountResultBlock(t, false),
            concat(concat(concat(head, {"\tStaves:\t2"}), tail), concat(codeRows(t), {""})));
  EXPECT_EQ(itemCountResultBlock(t, false)[9], "\tCode 1\t\tItems:\t1\tParameters:\t7");
}

TEST(ItemCount, TotalsAcrossFiles) {
  TempDir dir;
  const auto three = test::buildScore("8 1 0\n1 1 10 1\n8 2 0\n1 2 10 1\n8 3 0\n1 3 10 1");
  test::writeBytes(dir.file("a.mus"), three);
  test::writeBytes(dir.file("b.mus"), three);
  // A note of 12 parameters counts 12 for parameters and for code 1.
  test::writeBytes(dir.file("c.mus"), test::buildScore("1 1 10 4 10 0 1 0 0 0 0 7"));
  FakeHost host;
  const ItemCountTotals t = countFiles(host, {dir.file("a.mus"), dir.file("b.mus")});
  EXPECT_EQ(t.staves, 6);
  EXPECT_EQ(t.blankStaves, 0);

  ItemCountTotals one = countFiles(host, {dir.file("c.mus")});
  EXPECT_EQ(one.items, 1);
  EXPECT_EQ(one.parameters, 12);
  EXPECT_EQ(one.codeItems[1], 1);
  EXPECT_EQ(one.codeParameters[1], 12);
}

TEST(ItemCount, RefusedFilesAddNothing) {
  TempDir dir;
  std::vector<uint8_t> version1(140, 0);
  version1[0] = 0x4B, version1[1] = 0x81, version1[2] = 0x10, version1[3] = 0x00;
  const uint8_t mark[7] = {0x00, 0x8A, 0x81, 0x02, 0xB1, 0x46, 0x02};
  std::copy(mark, mark + 7, version1.begin() + 128);
  test::writeBytes(dir.file("v1.mus"), version1);
  std::vector<uint8_t> notScore = version1;
  notScore[130] = 0;
  test::writeBytes(dir.file("ns.mus"), notScore);
  test::writeBytes(dir.file("just.mus"), {0x4B, 0x81, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0});
  test::writeBytes(dir.file("short.mus"), {0x05, 0x00});

  FakeHost host;
  const ItemCountTotals t = countFiles(host, {dir.file("v1.mus"), dir.file("ns.mus"), dir.file("just.mus"),
                                              dir.file("gone.mus"), dir.file("short.mus")});
  EXPECT_EQ(host.messages,
            (Rows{"File is a SCORE version 1 file. " + dir.file("v1.mus") +
                      ". Resave as version 2 from SCORE and retranscribe.",
                  "File is not a SCORE file - " + dir.file("ns.mus"),
                  "Intermediate Just file format used by file " + dir.file("just.mus") +
                      ". Resave the file in SCORE and retranscribe.",
                  "Unable to open file " + dir.file("gone.mus") + " for reading",
                  dir.file("short.mus") + " is damaged and cannot be processed: the file is too short to be a SCORE "
                                          "file."}));
  // A block of zeros.
  const Rows block = itemCountResultBlock(t, false);
  EXPECT_EQ(block[1], "The 5 file(s) selected contain(s):");
  EXPECT_EQ(block[3], "\tStaves:\t0");
  EXPECT_EQ(block[5], "\tItems:\t\t0");
  EXPECT_EQ(block[7], "\tParameters:\t0");
}

TEST(ItemCount, BadCodesAndStavesOutsideTheTables) {
  TempDir dir;
  // Code 19 stops the file: it is counted as an item, staves are not added.
  test::writeBytes(dir.file("a.mus"), test::buildScore("1 1 10 4\n19 1 20 0 0\n1 2 30 4"));
  // Staves 0.5 and 251 are counted as items but not as staves.
  test::writeBytes(dir.file("b.mus"), test::buildScore("1 0.5 10 4\n1 251 10 4\n9 3 10"));
  FakeHost host;
  ItemCountTotals a = countFiles(host, {dir.file("a.mus")});
  EXPECT_EQ(host.messages, (Rows{"Error - Item no. 2 found with invalid Code No. (= 0!! CIEL)\nPlease try editing "
                                 "your SCORE file."}));
  EXPECT_EQ(a.items, 2);
  EXPECT_EQ(a.parameters, 9);
  EXPECT_EQ(a.staves, 0);
  EXPECT_EQ(a.codeItems[1], 1);

  ItemCountTotals b = countFiles(host, {dir.file("b.mus")});
  EXPECT_EQ(b.items, 3);
  EXPECT_EQ(b.codeItems[1], 2);
  EXPECT_EQ(b.staves, 1);
  EXPECT_EQ(b.blankStaves, 1);
}

// Odd files add what reading them as SCORE frames them adds.
TEST(ItemCount, OddFilesAddWhatTheirFramingReads) {
  using Items = std::vector<std::vector<float>>;
  const Items two{{1, 1, 10, 4}, {9, 2, 20, 1}};
  // Exactly 33,099 words after a 4-byte header 4B 81 00 00: 11,031 items on stave 1.
  Items many(11030, std::vector<float>{9, 1});
  many.push_back({9, 1, 5});
  const std::vector<uint8_t> big = test::buildScore(many);
  // Cut inside the second item: 4 parameters promised, 2 present.
  std::vector<uint8_t> cut = test::buildScore(two, {}, 40);
  cut.resize(2 + 20 + 4 + 8);

  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    int64_t items, parameters, staves, blankStaves;
    std::vector<std::string> messages;
  };
  const std::vector<Case> cases{
      {"whole file", test::buildScore(two), 2, 8, 2, 1, {}},
      // The header stops the items early; the rest is not read.
      {"header short of the items", test::buildScore(two, test::scoreTrailer(), 8), 1, 4, 1, 0, {}},
      // The header reaches into the trailer, whose first word reads as an item without a code.
      {"header beyond the items",
       test::buildScore(two, test::scoreTrailer(), 16),
       3,
       8,
       0,
       0,
       {"Error - Item no. 3 found with invalid Code No. (= 0!! CIEL)\nPlease try editing your SCORE file."}},
      // A header past the end of the file reads up to the end: the trailer's
      // first word promises 7 parameters that are not there.
      {"header past the file", test::buildScore(two, {7, 0, 0}, 400), 2, 8, 2, 1, {}},
      // Trailer length -1 + 1 = 0 words: the last item ends the file.
      {"trailer of 0 words", test::buildScore(Items{{1, 1, 10, 4}, {9, 2, 20, -1, 7}}, {}), 2, 9, 2, 1, {}},
      // Trailer length 0 + 1 = 1 word.
      {"trailer of 1 word", test::buildScore(Items{{1, 1, 10, 4}, {9, 2, 20, 0}}, {7}), 2, 8, 2, 1, {}},
      {"truncated item", cut, 1, 4, 1, 0, {}},
      {"33,099 words", big, 11031, 11030 * 2 + 3, 1, 1, {}},
  };
  ASSERT_EQ(big.size(), 4u + 33099u * 4u);
  ASSERT_EQ((std::vector<uint8_t>(big.begin(), big.begin() + 4)), (std::vector<uint8_t>{0x4B, 0x81, 0x00, 0x00}));
  for (const Case& c : cases) {
    TempDir dir;
    test::writeBytes(dir.file("a.mus"), c.bytes);
    FakeHost host;
    ItemCountTotals t;
    EXPECT_EQ(countFile(host, dir.file("a.mus"), t), 1) << c.name;
    EXPECT_EQ(t.items, c.items) << c.name;
    EXPECT_EQ(t.parameters, c.parameters) << c.name;
    EXPECT_EQ(t.staves, c.staves) << c.name;
    EXPECT_EQ(t.blankStaves, c.blankStaves) << c.name;
    EXPECT_EQ(host.messages, c.messages) << c.name;
  }
}

TEST(ItemCount, TotalsPastTwoToTheThirtyFirst) {
  TempDir dir;
  test::writeBytes(dir.file("a.mus"), test::buildScore("1 1 10 4"));
  FakeHost host;
  ItemCountTotals t;
  t.files = 1;
  t.items = t.codeItems[1] = INT32_MAX;
  t.parameters = t.codeParameters[1] = INT32_MAX - 1;
  t.staves = INT32_MAX;
  EXPECT_EQ(countFile(host, dir.file("a.mus"), t), 1);
  const Rows block = itemCountResultBlock(t, false);
  EXPECT_EQ(block[3], "\tStaves:\t2147483648");
  EXPECT_EQ(block[5], "\tItems:\t\t2147483648");
  EXPECT_EQ(block[7], "\tParameters:\t2147483650");
  EXPECT_EQ(block[9], "\tCode 1\t\tItems:\t2147483648\tParameters:\t2147483650");
}

TEST(ItemCount, ConfirmedCancelStopsTheCount) {
  TempDir dir;
  test::writeBytes(dir.file("a.mus"), test::buildScore("1 1 10 4\n1 1 20 4"));
  FakeHost host;
  host.keyAtPump = {2};
  host.yesNoAnswers = {true};
  ItemCountTotals t;
  EXPECT_EQ(countFile(host, dir.file("a.mus"), t), 0);
  EXPECT_EQ(t.staves, 0);
}

// The corpus dumps list one item per line, code number first; a text item
// starts with "t" and has its text on the next line.
TEST(ItemCount, CorpusItemsMatchTheDumps) {
  const std::string corpus = test::corpusDir();
  if (corpus.empty()) GTEST_SKIP() << "no corpus";
  for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
    if (entry.path().extension() != ".mus") continue;
    auto pmx = entry.path();
    pmx.replace_extension(".pmx");
    std::ifstream dump(pmx);
    if (!dump) continue;
    int dumped = 0;
    std::string line;
    while (std::getline(dump, line)) {
      const size_t first = line.find_first_not_of(' ');
      if (first == std::string::npos) continue;
      const char c = line[first];
      if ((c >= '0' && c <= '9') || c == '.' || c == '-' || line.compare(first, 2, "t ") == 0) ++dumped;
    }
    FakeHost host;
    ItemCountTotals t;
    EXPECT_EQ(countFile(host, entry.path().string(), t), 1);
    EXPECT_TRUE(host.messages.empty()) << entry.path();
    EXPECT_EQ(t.items, dumped) << entry.path();
  }
}

} // namespace
} // namespace velmora

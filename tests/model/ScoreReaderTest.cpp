#include <cmath>
#include <cstring>

#include "ModelHelpers.h"
#include "model/ScoreWriter.h"

namespace velmora {
namespace {

using namespace velmora::test;
using Messages = std::vector<std::string>;

std::string staveMessage(int item) {
  return "Error - Item no. " + std::to_string(item) +
         " found with invalid stave number (usually 0 in Winscore)\nPlease try editing your SCORE file.";
}
std::string codeMessage(int item) {
  return "Error - Item no. " + std::to_string(item) +
         " found with invalid Code No. (= 0!! CIEL)\nPlease try editing your SCORE file.";
}

// Items of all-nonzero parameters filling exactly `words` (at least 2) words.
Items itemsFilling(long words) {
  Items items;
  for (float x = 1; words > 0; x += 1) {
    const long size = words > 11 ? 10 : words;
    std::vector<float> item = {1, 1, x, 4, 5, 6, 7, 8, 9, 10};
    item.resize(static_cast<size_t>(size - 1));
    items.push_back(item);
    words -= size;
  }
  return items;
}

TEST(ModelScoreReader, HeaderRuleReadsAndWritesBack) {
  // Header bytes, then the first item's count float 9.0 (00 00 10 41).
  const std::pair<long, Bytes> cases[] = {
      {500, {0xF4, 0x01, 0x00, 0x00, 0x10, 0x41}},
      {14200, {0x78, 0x37, 0x00, 0x00, 0x10, 0x41}},
      {14201, {0x79, 0x37, 0x00, 0x00, 0x00, 0x00, 0x10, 0x41}},
      // Bit 15 set: the whole 32-bit value counts.
      {32768, {0x00, 0x80, 0x00, 0x00, 0x00, 0x00, 0x10, 0x41}},
      {65535, {0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x10, 0x41}},
  };
  for (const auto& [total, head] : cases) {
    SCOPED_TRACE(total);
    const Bytes bytes = buildScore(itemsFilling(total - 5));
    ASSERT_EQ(bytes.size(), (total <= 14200 ? 2u : 4u) + 4u * static_cast<size_t>(total));
    EXPECT_BYTES(Bytes(bytes.begin(), bytes.begin() + static_cast<long>(head.size())), head);
    Session s;
    ASSERT_EQ(s.read(bytes), 1) << s.firstMessage();
    EXPECT_EQ(s.store.wordTotal, total);
    EXPECT_EQ(s.store.headerWord, total);
    ASSERT_EQ(writePlain(s.host, s.store, s.out), 1);
    EXPECT_TRUE(readBytes(s.out) == bytes);
  }
}

TEST(ModelScoreReader, Trailer) {
  // A trailer-length float of 4.0 makes the last 5 words the trailer.
  {
    Session s;
    const Bytes bytes = buildScore("8 1 0 0 0 0 0 0 20\n1 1 10 4");
    ASSERT_EQ(s.read(bytes), 1);
    EXPECT_EQ(s.store.trailerLength, 5);
    EXPECT_BYTES(s.store.trailer, Bytes(bytes.end() - 20, bytes.end()));
    EXPECT_EQ(listsText(s.store), "0: 8 1 0 0 0 0 0 0 20 | 1 1 10 4\n");
  }
  // A 9-word trailer of odd words, NaN and -0 included, survives byte for byte.
  Session s;
  const std::vector<float> trailer = {1.5f, -0.0f, std::nanf(""), 1e30f, 0.0f, 7.25f, -3.0f, 8.0f, 123.0f};
  const Bytes bytes = buildScore(parseItems("1 1 10 4\n1 2 10 4"), trailer);
  ASSERT_EQ(s.read(bytes), 1);
  EXPECT_EQ(s.store.trailerLength, 9);
  ASSERT_EQ(writePlain(s.host, s.store, s.out), 1);
  EXPECT_BYTES(readBytes(s.out), bytes);
}

TEST(ModelScoreReader, StaveNumberChecks) {
  // P2 of 0, between 0 and 1, negative, above 200 or NaN, in the first or second item.
  for (float p2 : {0.0f, 0.5f, -1.0f, 200.01f, std::nanf("")}) {
    for (int at : {1, 2}) {
      Items items = parseItems("8 1 0 1\n1 1 10 4");
      items[static_cast<size_t>(at - 1)][1] = p2;
      Session s;
      EXPECT_EQ(s.read(buildScore(items)), 0) << p2;
      EXPECT_EQ(s.host.messages, Messages{staveMessage(at)}) << p2;
    }
  }
  // 1.5 lands in list 0 and is written back as 1.5; 200 is the last stave read.
  Session s;
  ASSERT_EQ(s.read(buildScore("8 1.5 0 1\n8 200 0 1\n1 1.5 10 4")), 1);
  EXPECT_EQ(listsText(s.store), "0: 8 1.5 0 1 | 1 1.5 10 4\n199: 8 200 0 1\n");
  ASSERT_EQ(writePlain(s.host, s.store, s.out), 1);
  EXPECT_BYTES(readBytes(s.out), buildScore("8 1.5 0 1\n1 1.5 10 4\n8 200 0 1"));
}

TEST(ModelScoreReader, CodeNumberChecks) {
  // Below 1, above 18.99, NaN, or no parameters at all.
  for (const auto& bad : Items{{0, 1, 10}, {19, 1, 10}, {0.99f, 1, 10}, {std::nanf(""), 1, 10}, {}}) {
    Session s;
    const Bytes bytes = buildScore(Items{{8, 1, 0, 1}, bad});
    EXPECT_EQ(s.read(bytes), 0) << hexDump(bytes);
    EXPECT_EQ(s.host.messages, Messages{codeMessage(2)}) << hexDump(bytes);
  }
  // The code check comes before the stave check; 18.99 passes.
  Session s;
  EXPECT_EQ(s.read(buildScore("0 0 10")), 0);
  EXPECT_EQ(s.host.messages, Messages{codeMessage(1)});
  Session t;
  EXPECT_EQ(t.read(buildScore("18.99 1 10\n1 1 10")), 1);
}

TEST(ModelScoreReader, JustMarkerAndUnopenable) {
  // With a SCORE trailer, without one, and as the whole file.
  Bytes withTrailer = buildScore("1 1 10 4");
  std::memcpy(withTrailer.data(), "\x4B\x81\xFF\xFF", 4);
  const Bytes noTrailer = {0x4B, 0x81, 0xFF, 0xFF, 0x01, 0x02, 0x03, 0x04, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00};
  for (const Bytes& bytes : {withTrailer, noTrailer, Bytes{0x4B, 0x81, 0xFF, 0xFF}}) {
    Session s;
    EXPECT_EQ(s.read(bytes), 0) << hexDump(bytes);
    EXPECT_EQ(s.host.messages, Messages{s.in + " has been processed by the JUST program. Resave this file with the "
                                               "SM command in SCORE before processing with VELMORA"})
        << hexDump(bytes);
  }
  // A missing file and a folder.
  Session s;
  for (const std::string& bad : {s.in, s.dir.path()}) {
    FakeHost host;
    EXPECT_EQ(openAndReadGeneral(host, bad, s.store), -1);
    EXPECT_EQ(host.messages, Messages{"Unable to open file " + bad + " for reading"});
  }
}

TEST(ModelScoreReader, DamagedFilesAreRefusedWithOneMessage) {
  const Bytes good = buildScore("8 1 0 1\n1 1 10 4"); // 62 bytes, item 2 at 0x16, trailer length at 0x36
  const auto patched = [&](size_t offset, float value) {
    Bytes b = good;
    const Bytes v = f32Bytes(value);
    std::copy(v.begin(), v.end(), b.begin() + static_cast<long>(offset));
    return b;
  };
  Bytes extraBytes = good;
  for (float f : {4.0f, 0.0f}) {
    const Bytes v = f32Bytes(f);
    extraBytes.insert(extraBytes.end(), v.begin(), v.end());
  }
  Bytes negativeHeader = good;
  std::memcpy(negativeHeader.data(), "\x00\x80\xFF\xFF", 4);
  const struct {
    const char* what;
    Bytes bytes;
    const char* reason;
  } cases[] = {
      {"negative header", negativeHeader, "the header gives a word total of -32768."},
      {"header beyond file", buildScore(parseItems("8 1 0 1"), scoreTrailer(), 11),
       "the header gives a word total of 11, more than the file holds."},
      {"truncated file", Bytes(good.begin(), good.begin() + 30),
       "the header gives a word total of 15, more than the file holds."},
      {"negative item count", patched(2, -3.0f), "item 1 at offset 0x2 has an invalid parameter count."},
      {"item count beyond file", patched(0x16, 100.0f), "item 2 at offset 0x16 runs past the end of the file."},
      {"item into the trailer", patched(0x16, 6.0f), "item 2 at offset 0x16 runs past the word total of the header."},
      {"negative trailer length", patched(0x36, -5.0f), "the trailer length at offset 0x36 is not a valid number."},
      {"NaN trailer length", patched(0x36, std::nanf("")), "the trailer length at offset 0x36 is not a valid number."},
      {"huge trailer length", patched(0x36, 1e9f), "the trailer length at offset 0x36 is not a valid number."},
      {"trailer longer than file", patched(0x36, 15.0f), "the trailer of 16 words is longer than the file."},
      // Found by fuzzing: a trailer of 0 or 1 words takes its length from the last item, so
      // an output whose last item changed read back as damaged.
      {"empty trailer", patched(0x36, -1.0f), "the trailer of 0 word(s) does not reach its length at offset 0x36."},
      // Found by fuzzing: a total below the trailer's words kept its header word, and a
      // task that added items wrote a file whose header was short by the difference.
      {"header below trailer", buildScore(Items{}, scoreTrailer(), 2),
       "the header gives a word total of 2, fewer than the 5 words of the trailer."},
      {"one-word trailer", patched(0x36, 0.0f), "the trailer of 1 word(s) does not reach its length at offset 0x36."},
      {"7 bytes", Bytes(good.begin(), good.begin() + 7), "the file is too short to be a SCORE file."},
      // Found by fuzzing: the trailer length was taken from past the real trailer.
      {"bytes after the trailer", extraBytes, "8 bytes follow the trailer at offset 0x2a."},
      {"empty", Bytes{}, "the file is too short to be a SCORE file."},
  };
  for (const auto& c : cases) {
    Session s;
    EXPECT_EQ(s.read(c.bytes), 0) << c.what;
    EXPECT_EQ(s.host.messages, Messages{s.in + " is damaged and cannot be processed: " + c.reason}) << c.what << "\n"
                                                                                                    << hexDump(c.bytes);
    EXPECT_EQ(s.dir.listing(), "in.mus") << c.what;
  }
}

TEST(ModelScoreReader, CancelDuringRead) {
  const Bytes bytes = buildScore("8 1 0 1\n1 1 10 4\n1 1 12 4");
  // A key at the second item's pump, confirmed: stopped without a message.
  Session s;
  s.host.keyAtPump = {2};
  s.host.yesNoAnswers = {true};
  EXPECT_EQ(s.read(bytes), 0);
  EXPECT_EQ(s.host.questions, Messages{"Cancel Action: Do you wish to cancel the current operation?"});
  EXPECT_TRUE(s.host.messages.empty());
  EXPECT_EQ(s.host.pumps, 2);
  // Answered "No": the read goes on, one pump per item.
  Session t;
  t.host.keyAtPump = {2};
  t.host.yesNoAnswers = {false};
  EXPECT_EQ(t.read(bytes), 1);
  EXPECT_EQ(t.host.pumps, 3);
  EXPECT_EQ(t.store.itemCount(), 3u);
}

} // namespace
} // namespace velmora

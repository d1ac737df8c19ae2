#include "model/ScoreWriter.h"
#include "ModelHelpers.h"
#include "base/AtomicFile.h"

namespace velmora {
namespace {

using namespace velmora::test;
using Messages = std::vector<std::string>;

const Bytes kOld = {'o', 'l', 'd'};

TEST(ModelScoreWriter, PlainTrimsTrailingZeros) {
  Session s;
  ASSERT_EQ(s.read(buildScore("1 3 10.5 0 0 0 0 0 0\n8 3 0 0 0 0 0 0 20")), 1);
  ASSERT_EQ(s.store.headerWord, 25);
  ASSERT_EQ(writePlain(s.host, s.store, s.out), 1);
  EXPECT_EQ(s.store.headerWord, 25 - 6);
  // The first item keeps 3 parameters; the second keeps its interior zeros.
  const Bytes expected = {
      0x13, 0x00,                                                             // header 19
      0x00, 0x00, 0x40, 0x40, 0x00, 0x00, 0x80, 0x3F,                         // count 3, 1
      0x00, 0x00, 0x40, 0x40, 0x00, 0x00, 0x28, 0x41,                         // 3, 10.5
      0x00, 0x00, 0x10, 0x41, 0x00, 0x00, 0x00, 0x41, 0x00, 0x00, 0x40, 0x40, // count 9, 8, 3
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, // 0 0 0
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, // 0 0 0
      0x00, 0x00, 0xA0, 0x41,                                                 // 20
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, // trailer 0 0 0
      0x00, 0x00, 0x80, 0x40, 0x00, 0x3C, 0x1C, 0xC6,                         // 4, -9999
  };
  EXPECT_BYTES(readBytes(s.out), expected);
}

TEST(ModelScoreWriter, PlainRegroupsByStavePlacedListLast) {
  Session s;
  ASSERT_EQ(s.read(buildScore("8 2 0 0 0 0 0 0 20\n"
                              "8 1 0 0 0 0 0 0 20\n"
                              "1 2 10 4\n"
                              "1 1 10 5\n"
                              "1 3 12 6\n"
                              "1 1 11 7 0 0")),
            1);
  ASSERT_EQ(s.store.list(0).size(), 3u);
  s.store.moveToPlacedList(0, *std::next(s.store.list(0).begin()));
  ASSERT_EQ(writePlain(s.host, s.store, s.out), 1);
  EXPECT_BYTES(readBytes(s.out), buildScore("8 1 0 0 0 0 0 0 20\n"
                                            "1 1 11 7\n"
                                            "8 2 0 0 0 0 0 0 20\n"
                                            "1 2 10 4\n"
                                            "1 3 12 6\n"
                                            "1 1 10 5"));
  // One pump per item read, then one per list for the trim and one per list for the write.
  EXPECT_EQ(s.host.pumps, 6 + 2 * kStaveListCount);
}

TEST(ModelScoreWriter, StaveWriterRenumbers) {
  Session s;
  ASSERT_EQ(s.read(buildScore("8 1 0 0 0 0 0 0 20\n"
                              "1 1 10 4 0\n"
                              "8 2 0\n"
                              "8 3 0\n"
                              "1 3.5 12 5\n"
                              "8 4 0\n"
                              "8 5 0\n"
                              "1 5 20 6")),
            1);
  for (int stave : {1, 3, 5})
    s.store.staveFlags[static_cast<size_t>(stave)] = 1;
  s.store.moveToPlacedList(4, s.store.list(4).back());
  // The two unflagged staff items are not written; the task lowers the header word.
  s.store.headerWord -= 2 * 4;
  ASSERT_EQ(writeStaves(s.host, s.store, s.out), 1);
  // Staves 3 and 5 close up to 2 and 3, fractions kept, nothing trimmed, the placed item unchanged.
  EXPECT_BYTES(readBytes(s.out), buildScore("8 1 0 0 0 0 0 0 20\n"
                                            "1 1 10 4 0\n"
                                            "8 2 0\n"
                                            "1 2.5 12 5\n"
                                            "8 3 0\n"
                                            "1 5 20 6"));
  EXPECT_EQ(s.host.pumps, 8 + kPlacedList);
}

TEST(ModelScoreWriter, RefusalsWriteNothing) {
  // Header words without a header form.
  for (int32_t word : {65536, -1}) {
    Session s;
    writeBytes(s.out, kOld);
    s.store.addItem(std::vector<float>{1, 1, 10});
    s.store.headerWord = word;
    EXPECT_EQ(writePlain(s.host, s.store, s.out), 0);
    EXPECT_EQ(writeStaves(s.host, s.store, s.out), 0);
    const std::string message = "Unable to write file " + s.out + ": its word total " + std::to_string(word) +
                                " does not fit in a SCORE file header (0 to 65535).";
    EXPECT_EQ(s.host.messages, (Messages{message, message}));
    EXPECT_EQ(readBytes(s.out), kOld);
    EXPECT_EQ(s.dir.listing(), "out.mus");
  }
  // An output that cannot be created.
  {
    Session s;
    const std::string path = s.dir.file("missing/out.mus");
    EXPECT_EQ(writePlain(s.host, s.store, path), 0);
    EXPECT_EQ(s.host.messages, Messages{"Unable to open file " + path + " for reading"});
  }
  // A full disk.
  Session s;
  ASSERT_EQ(s.read(buildScore("1 1 10 4")), 1);
  writeBytes(s.out, kOld);
  setAtomicWriteFailureAfter(10);
  const int result = writePlain(s.host, s.store, s.out);
  setAtomicWriteFailureAfter(-1);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(s.host.messages, Messages{"Unable to write file " + s.out + ": No space left on device."});
  EXPECT_EQ(readBytes(s.out), kOld);
  EXPECT_EQ(s.dir.listing(), "in.mus out.mus");
}

TEST(ModelScoreWriter, CancelKeepsOldOutput) {
  // During the trim, during the plain write, during the stave write.
  for (const auto& [pump, stave] : {std::pair{1L, false}, std::pair{300L, false}, std::pair{2L, true}}) {
    Session s;
    ASSERT_EQ(s.read(buildScore("1 1 10 4\n1 2 10 4")), 1);
    s.store.staveFlags[1] = s.store.staveFlags[2] = 1;
    writeBytes(s.out, kOld);
    s.host.keyAtPump = {s.host.pumps + pump};
    s.host.yesNoAnswers = {true};
    EXPECT_EQ(stave ? writeStaves(s.host, s.store, s.out) : writePlain(s.host, s.store, s.out), 0) << pump;
    EXPECT_EQ(s.host.questions.size(), 1u);
    EXPECT_TRUE(s.host.messages.empty());
    EXPECT_EQ(readBytes(s.out), kOld);
    EXPECT_EQ(s.dir.listing(), "in.mus out.mus");
  }
}

} // namespace
} // namespace velmora

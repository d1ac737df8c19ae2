#include <functional>

#include <gtest/gtest.h>

#include "Bytes.h"
#include "settings/Archive.h"
#include "settings/Records.h"

namespace velmora {
namespace {

using test::Bytes;
using test::operator+;
using test::chars;
using test::word;

Bytes store(const std::function<void(Archive&)>& fields) {
  ByteWriter out;
  Archive ar(out);
  fields(ar);
  return out.buffer();
}

std::string roundTripString(const std::string& text, Bytes* stored) {
  std::string value = text;
  *stored = store([&](Archive& ar) { ar.string(value); });
  ByteReader in(*stored);
  Archive ar(in);
  std::string back = "untouched";
  ar.string(back);
  EXPECT_TRUE(ar.ok()) << ar.error();
  EXPECT_TRUE(in.atEnd());
  return back;
}

TEST(SettingsArchive, Flag8WritesOnlyTheLowByteAndReadsIntoAZeroedFlag) {
  // Storing: the upper bytes of the in-memory flag are dropped.
  int32_t a = 1, b = 0x101, c = 0x100, d = -1;
  EXPECT_EQ(store([&](Archive& ar) {
              ar.flag8(a);
              ar.flag8(b);
              ar.flag8(c);
              ar.flag8(d);
            }),
            (Bytes{0x01, 0x01, 0x00, 0xFF}));

  // Loading: the byte lands in a flag whose other bytes are zero, not sign-extended.
  const Bytes data = {0xFE, 0x01};
  ByteReader in(data);
  Archive ar(in);
  int32_t x = -1, y = 0x7F7F7F00;
  ar.flag8(x);
  ar.flag8(y);
  EXPECT_TRUE(ar.ok());
  EXPECT_EQ(x, 254);
  EXPECT_EQ(y, 1);
}

TEST(SettingsArchive, CountedStringPrefixesAtTheirBoundaries) {
  Bytes stored;
  // 254 fits the one-byte prefix.
  EXPECT_EQ(roundTripString(std::string(254, 'a'), &stored), std::string(254, 'a'));
  EXPECT_EQ(Bytes(stored.begin(), stored.begin() + 1), (Bytes{0xFE}));
  EXPECT_EQ(stored.size(), 1u + 254);

  // 255 is the first length that needs 0xFF and a 16-bit length.
  EXPECT_EQ(roundTripString(std::string(255, 'b'), &stored), std::string(255, 'b'));
  EXPECT_EQ(Bytes(stored.begin(), stored.begin() + 3), (Bytes{0xFF, 0xFF, 0x00}));
  EXPECT_EQ(stored.size(), 3u + 255);

  // 65533 is the last 16-bit length.
  EXPECT_EQ(roundTripString(std::string(65533, 'c'), &stored), std::string(65533, 'c'));
  EXPECT_EQ(Bytes(stored.begin(), stored.begin() + 3), (Bytes{0xFF, 0xFD, 0xFF}));
  EXPECT_EQ(stored.size(), 3u + 65533);

  // 65534 would collide with the wide tag, so it takes the 32-bit form.
  EXPECT_EQ(roundTripString(std::string(65534, 'd'), &stored), std::string(65534, 'd'));
  EXPECT_EQ(Bytes(stored.begin(), stored.begin() + 7), (Bytes{0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}));
  EXPECT_EQ(stored.size(), 7u + 65534);

  // The empty string is a single zero byte.
  EXPECT_EQ(roundTripString("", &stored), "");
  EXPECT_EQ(stored, (Bytes{0x00}));
}

TEST(SettingsArchive, WideStringTagIsReadAsEightBitText) {
  // 0xFF 0xFFFE marks 16-bit characters; one above 0xFF becomes '?'.
  const Bytes data = Bytes{0xFF, 0xFE, 0xFF, 0x03, 'O', 0x00, 0x2C, 0x01, 0xE9, 0x00};
  ByteReader in(data);
  Archive ar(in);
  std::string s;
  ar.string(s);
  EXPECT_TRUE(ar.ok()) << ar.error();
  EXPECT_EQ(s, "O?\xE9");

  // A wide string whose characters run past the end is not applied.
  const Bytes cut = Bytes{0xFF, 0xFE, 0xFF, 0x03, 'O', 0x00};
  ByteReader in2(cut);
  Archive ar2(in2);
  std::string kept = "JST";
  ar2.string(kept);
  EXPECT_FALSE(ar2.ok());
  EXPECT_EQ(kept, "JST");
}

TEST(SettingsArchive, LoadingKeepsWholeFieldsAndSkipsThePartialOne) {
  // A float cut after two bytes: the int before it is applied, the float and all after it are not.
  const Bytes data = word(7) + Bytes{0x00, 0x00};
  ByteReader in(data);
  Archive ar(in);
  int32_t a = 0, later = 5;
  float f = 0.5f;
  ar.int32(a);
  ar.float32(f);
  ar.int32(later);
  EXPECT_FALSE(ar.ok());
  EXPECT_EQ(a, 7);
  EXPECT_EQ(f, 0.5f);
  EXPECT_EQ(later, 5);

  // A string length beyond the data: the field stays, and the error is sticky
  // even though four more bytes would be there for the next int.
  const Bytes bad = Bytes{0xC8} + chars("OPT") + word(1);
  ByteReader in2(bad);
  Archive ar2(in2);
  std::string ext = "EDI";
  int32_t next = 0;
  ar2.string(ext);
  ar2.int32(next);
  EXPECT_FALSE(ar2.ok());
  EXPECT_FALSE(ar2.error().empty());
  EXPECT_EQ(ext, "EDI");
  EXPECT_EQ(next, 0);

  // A 32-bit length of 4 GiB on a tiny buffer is refused without allocating it.
  const Bytes huge = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'x'};
  ByteReader in3(huge);
  Archive ar3(in3);
  std::string s = "kept";
  ar3.string(s);
  EXPECT_FALSE(ar3.ok());
  EXPECT_EQ(s, "kept");
}

} // namespace
} // namespace velmora

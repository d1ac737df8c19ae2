#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/ByteReader.h"
#include "base/CountedString.h"
#include "support/ScoreFixture.h"

namespace velmora {
namespace {

using test::hexDump;
using Bytes = std::vector<uint8_t>;

TEST(BaseByteReader, BoundsAndStickyError) {
  const Bytes data = {0xAA, 0xBB, 0xCC};
  // Little-endian; a read past the end returns 0, names the end of the read and the size, and does not move.
  {
    ByteReader in(data);
    EXPECT_EQ(in.u16(), 0xBBAA);
    EXPECT_EQ(in.u32(), 0u);
    EXPECT_FALSE(in.ok());
    EXPECT_EQ(in.error(), "offset 0x6 is beyond the end of data at 0x3");
    EXPECT_EQ(in.offset(), 2u);
    EXPECT_EQ(in.remaining(), 0u);
    // Sticky: the byte that is there is not read, and the first error stays.
    EXPECT_EQ(in.u8(), 0);
    in.fail("later");
    in.seek(0);
    EXPECT_EQ(in.u8(), 0);
    EXPECT_EQ(in.error(), "offset 0x6 is beyond the end of data at 0x3");
  }
  // Seeking to the end is fine; one past it fails.
  {
    ByteReader in(data);
    in.seek(3);
    EXPECT_TRUE(in.ok());
    EXPECT_TRUE(in.atEnd());
    in.seek(10);
    EXPECT_EQ(in.error(), "offset 0xa is beyond the end of data at 0x3");
  }
  // bytes() fails without copying anything.
  {
    ByteReader in(data);
    uint8_t dst[4] = {1, 2, 3, 4};
    EXPECT_FALSE(in.bytes(dst, 4));
    EXPECT_EQ(Bytes(dst, dst + 4), (Bytes{1, 2, 3, 4}));
    EXPECT_EQ(in.error(), "offset 0x4 is beyond the end of data at 0x3");
  }
  // Empty data.
  {
    ByteReader in(std::span<const uint8_t>{});
    EXPECT_EQ(in.f32(), 0.0f);
    EXPECT_EQ(in.error(), "offset 0x4 is beyond the end of data at 0x0");
  }
}

TEST(BaseByteReader, FloatRuns) {
  // A run of floats reads and writes as the floats one by one do.
  ByteWriter one, run;
  const std::vector<float> values{1.0f, -2.5f, 1e-30f, 65535.0f};
  for (float v : values)
    one.f32(v);
  run.f32s(values);
  run.f32s({});
  EXPECT_EQ(hexDump(run.buffer()), hexDump(one.buffer()));
  EXPECT_EQ(hexDump(run.buffer()).substr(0, 21), "00000000: 00 00 80 3f");
  ByteReader in(run.buffer());
  std::vector<float> back(3);
  ASSERT_TRUE(in.f32s(back));
  EXPECT_EQ(back, (std::vector<float>{1.0f, -2.5f, 1e-30f}));
  // A run past the end reads nothing, leaves zeros and the sticky error.
  std::vector<float> two{7.0f, 7.0f};
  EXPECT_FALSE(in.f32s(two));
  EXPECT_EQ(two, (std::vector<float>{0.0f, 0.0f}));
  EXPECT_EQ(in.offset(), 12u);
  EXPECT_EQ(in.error(), "offset 0x14 is beyond the end of data at 0x10");
}

Bytes counted(size_t n) {
  ByteWriter out;
  writeCountedString(out, std::string(n, 'x'));
  return out.buffer();
}

TEST(BaseCountedString, PrefixFormsAtTheLimits) {
  struct Case {
    size_t length;
    Bytes prefix;
  };
  const Case cases[] = {
      {0, {0x00}},
      {254, {0xFE}},
      {255, {0xFF, 0xFF, 0x00}},
      {65533, {0xFF, 0xFD, 0xFF}},
      // 0xFFFE is the wide-string tag, so 65534 already takes the 32-bit form.
      {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
      {65535, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
  };
  for (const auto& c : cases) {
    const Bytes bytes = counted(c.length);
    ASSERT_EQ(bytes.size(), c.prefix.size() + c.length) << c.length;
    const Bytes prefix(bytes.begin(), bytes.begin() + static_cast<long>(c.prefix.size()));
    EXPECT_EQ(prefix, c.prefix) << c.length << ": " << hexDump(prefix);
    EXPECT_EQ(bytes.back() == 'x', c.length > 0);
    ByteReader in(bytes);
    EXPECT_EQ(readCountedString(in), std::string(c.length, 'x')) << c.length;
    EXPECT_TRUE(in.ok()) << in.error();
    EXPECT_TRUE(in.atEnd()) << c.length;
  }
}

TEST(BaseCountedString, WideStrings) {
  // Tag, then a byte length in characters; characters above 0xFF become '?'.
  {
    const Bytes data = {0xFF, 0xFE, 0xFF, 0x03, 'a', 0x00, 'b', 0x00, 0x00, 0x01, 'z'};
    ByteReader in(data);
    EXPECT_EQ(readCountedString(in), "ab?");
    EXPECT_EQ(in.offset(), 10u);
  }
  // Tag, then the 16-bit length form.
  {
    Bytes data = {0xFF, 0xFE, 0xFF, 0xFF, 0x00, 0x01};
    for (int i = 0; i < 256; ++i)
      data.insert(data.end(), {'w', 0x00});
    ByteReader in(data);
    EXPECT_EQ(readCountedString(in), std::string(256, 'w'));
    EXPECT_TRUE(in.atEnd());
  }
}

TEST(BaseCountedString, HostileLengths) {
  struct Case {
    Bytes data;
    const char* error;
  };
  const Case cases[] = {
      // 32-bit length far beyond the data.
      {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a'},
       "string at offset 0x0 claims 2147483647 characters, beyond the end of data at 0x8"},
      // Largest 32-bit wide length: twice it must not wrap round.
      {{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 0},
       "string at offset 0x0 claims 4294967295 characters, beyond the end of data at 0xc"},
      // Wide characters count twice: 3 characters need 6 bytes, 5 are there.
      {{0xFF, 0xFE, 0xFF, 0x03, 'a', 0, 'b', 0, 'c'},
       "string at offset 0x0 claims 3 characters, beyond the end of data at 0x9"},
      // Prefix cut short.
      {{0xFF, 0x01}, "offset 0x3 is beyond the end of data at 0x2"},
      {{}, "offset 0x1 is beyond the end of data at 0x0"},
  };
  for (const auto& c : cases) {
    ByteReader in(c.data);
    EXPECT_EQ(readCountedString(in), "") << hexDump(c.data);
    EXPECT_EQ(in.error(), c.error) << hexDump(c.data);
  }
  // The offset in the message is where the string starts.
  const Bytes data = {0x01, 'a', 0x05, 'b'};
  ByteReader in(data);
  EXPECT_EQ(readCountedString(in), "a");
  EXPECT_EQ(readCountedString(in), "");
  EXPECT_EQ(in.error(), "string at offset 0x2 claims 5 characters, beyond the end of data at 0x4");
}

} // namespace
} // namespace velmora

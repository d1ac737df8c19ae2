#include "base/CountedString.h"

namespace velmora {

void writeCountedString(ByteWriter& out, std::string_view text) {
  const size_t n = text.size();
  if (n < 0xFF) {
    out.u8(static_cast<uint8_t>(n));
  } else if (n < 0xFFFE) {
    out.u8(0xFF);
    out.u16(static_cast<uint16_t>(n));
  } else {
    out.u8(0xFF);
    out.u16(0xFFFF);
    out.u32(static_cast<uint32_t>(n));
  }
  out.bytes(text.data(), n);
}

namespace {

uint64_t readLength(ByteReader& in, bool& wide) {
  const uint8_t b = in.u8();
  if (b < 0xFF) return b;
  uint16_t w = in.u16();
  if (w == 0xFFFE) {
    wide = true;
    const uint8_t b2 = in.u8();
    if (b2 < 0xFF) return b2;
    w = in.u16();
  }
  if (w < 0xFFFF) return w;
  return in.u32();
}

} // namespace

std::string readCountedString(ByteReader& in) {
  const size_t start = in.offset();
  bool wide = false;
  const uint64_t length = readLength(in, wide);
  if (!in.ok()) return {};
  const uint64_t bytes = wide ? length * 2 : length;
  if (bytes > in.remaining()) {
    in.fail("string at offset " + hexOffset(start) + " claims " + std::to_string(length) +
            " characters, beyond the end of data at " + hexOffset(in.size()));
    return {};
  }
  std::string text(static_cast<size_t>(length), '\0');
  if (!wide) {
    in.bytes(text.data(), text.size());
    return text;
  }
  for (auto& c : text) {
    const uint16_t ch = in.u16();
    c = static_cast<char>(ch <= 0xFF ? ch : '?');
  }
  return text;
}

} // namespace velmora

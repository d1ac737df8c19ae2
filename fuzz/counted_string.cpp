// Counted strings over arbitrary bytes: what reads writes back and reads
// again unchanged.
#include "FuzzHost.h"
#include "base/CountedString.h"

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ByteReader in(std::span<const uint8_t>(data, size));
  for (int i = 0; i < 64 && in.ok() && !in.atEnd(); ++i) {
    const size_t before = in.offset();
    const std::string text = readCountedString(in);
    if (!in.ok()) break;
    fuzz::check(in.offset() > before);
    ByteWriter out;
    writeCountedString(out, text);
    ByteReader back(out.buffer());
    fuzz::check(readCountedString(back) == text);
    fuzz::check(back.ok() && back.atEnd());
  }
  return 0;
}

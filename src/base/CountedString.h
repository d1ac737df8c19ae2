#pragma once

#include <string>
#include <string_view>

#include "base/ByteReader.h"

namespace velmora {

// The length-prefixed 8-bit string of the settings, macro, step, beam-library
// and bounding-box files: one byte below 255, else 0xFF and a 16-bit length
// below 0xFFFE, else 0xFF, 0xFFFF and a 32-bit length. No terminator.
void writeCountedString(ByteWriter& out, std::string_view text);

// Reads one counted string. Also takes the wide-string tag (0xFF, 0xFFFE) and
// its 16-bit characters, turned into 8-bit ones ('?' above 0xFF). A length
// beyond the data leaves the reader's sticky error set and returns "".
std::string readCountedString(ByteReader& in);

} // namespace velmora

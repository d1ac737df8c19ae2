#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/Host.h"
#include "model/ScoreReader.h"

namespace velmora {

// One item as it stands in the file, with the exact bits of its count word.
struct RawItem {
  uint32_t countBits = 0;
  std::vector<float> params;
};

// A SCORE file in file order, everything needed to write it back byte for byte.
struct RawScore {
  int headerBytes = 2;     // 2 or 4
  uint32_t headerBits = 0; // the header as stored, in its width
  int32_t wordTotal = 0;
  std::vector<RawItem> items;
  std::vector<uint32_t> trailer; // words as stored, little-endian
};

// Reads a file with the opening step and the general reader's checks (the
// messages go to the host), keeping file order. 1 read, 0 refused, -1 cannot open.
int readRawScore(IHost& host, const ScoreFile& file, RawScore& score);
int readRawScoreFile(IHost& host, const std::string& path, RawScore& score);

// The number as text that reads back to the same float: the shortest decimal
// form, or the bits in hex ("0x7FC00000") for NaN, infinities and subnormals.
std::string floatText(float value);
// Reads floatText's forms (and any decimal that is a finite float); false otherwise.
bool parseFloatText(std::string_view text, float& value);

// The text form: comment lines for the header, the word total and the
// trailer, one line per item in file order, a text item followed by a comment
// holding its text. `name`, when given, heads the text.
std::string dumpScore(const RawScore& score, const std::string& name = {});
// The fixed-decimal layout of the .pmx listings (lossy).
std::string dumpScorePmx(const RawScore& score, const std::string& name = {});

// The text form back to file bytes. False with "line N: ..." in `error` when
// a line is malformed, an item would fail the readers' code or stave checks,
// or the word total has no header form. The header and the trailer length are
// recomputed when they no longer fit the items.
bool undumpScore(std::string_view text, std::vector<uint8_t>& bytes, std::string& error);

// File bytes from a RawScore, as stored.
std::vector<uint8_t> encodeRawScore(const RawScore& score);

} // namespace velmora

#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::test {

// SCORE files written from readable parameter lists: one item per line,
// its parameters separated by blanks ("8 1 0 0 0 0 0 0 20").
std::vector<std::vector<float>> parseItems(const std::string& text);

// A trailer of `words` words whose second-to-last word holds words - 1.
std::vector<float> scoreTrailer(int words = 5);

// A complete SCORE file. The header width and value follow the header rule
// unless `headerWord` is given.
std::vector<uint8_t> buildScore(const std::vector<std::vector<float>>& items,
                                const std::vector<float>& trailer = scoreTrailer(), long long headerWord = -1);
std::vector<uint8_t> buildScore(const std::string& items, const std::vector<float>& trailer = scoreTrailer());

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> readBytes(const std::string& path);

// Bytes as "00000010: 4b 81 ..." lines, for readable mismatch reports.
std::string hexDump(const std::vector<uint8_t>& bytes);

std::vector<uint8_t> f32Bytes(float value);

} // namespace velmora::test

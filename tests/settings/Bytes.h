#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "base/FileSystem.h"

namespace velmora::test {

// Fixtures are spelled out byte by byte; these only join the pieces.
using Bytes = std::vector<uint8_t>;

inline Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// A 32-bit word in file order (little-endian); floats are given by their bit pattern.
inline Bytes word(uint32_t v) { return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; }

// Characters only; the length prefix is written by hand in front.
inline Bytes chars(std::string_view s) { return Bytes(s.begin(), s.end()); }

inline const Bytes kStamp379 = {0x7B, 0x01, 0x00, 0x00};

inline void writeBytes(const std::string& path, const Bytes& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr) << path;
  ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
  std::fclose(f);
}

inline Bytes readBytes(const std::string& path) {
  std::vector<uint8_t> out;
  EXPECT_EQ(readWholeFile(path, out, 1u << 24), ReadResult::Ok) << path;
  return out;
}

} // namespace velmora::test

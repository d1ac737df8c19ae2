#include "support/ScoreFixture.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace velmora::test {

namespace {

void putU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i)
    out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void putF32(std::vector<uint8_t>& out, float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, 4);
  putU32(out, bits);
}

} // namespace

std::vector<std::vector<float>> parseItems(const std::string& text) {
  std::vector<std::vector<float>> items;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::vector<float> item;
    float v;
    while (fields >> v)
      item.push_back(v);
    if (!item.empty()) items.push_back(item);
  }
  return items;
}

std::vector<float> scoreTrailer(int words) {
  std::vector<float> t(static_cast<size_t>(words), 0.0f);
  if (words >= 2) t[static_cast<size_t>(words - 2)] = static_cast<float>(words - 1);
  if (words >= 1) t.back() = -9999.0f;
  return t;
}

std::vector<uint8_t> buildScore(const std::vector<std::vector<float>>& items, const std::vector<float>& trailer,
                                long long headerWord) {
  long long total = static_cast<long long>(trailer.size());
  for (const auto& item : items)
    total += 1 + static_cast<long long>(item.size());
  const long long word = headerWord >= 0 ? headerWord : total;
  std::vector<uint8_t> out;
  if (total <= 14200) {
    out.push_back(static_cast<uint8_t>(word));
    out.push_back(static_cast<uint8_t>(word >> 8));
  } else {
    putU32(out, static_cast<uint32_t>(word));
  }
  for (const auto& item : items) {
    putF32(out, static_cast<float>(item.size()));
    for (float p : item)
      putF32(out, p);
  }
  for (float t : trailer)
    putF32(out, t);
  return out;
}

std::vector<uint8_t> buildScore(const std::string& items, const std::vector<float>& trailer) {
  return buildScore(parseItems(items), trailer);
}

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write " + path);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::string hexDump(const std::vector<uint8_t>& bytes) {
  std::string out;
  char buf[32];
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i % 16 == 0) {
      std::snprintf(buf, sizeof buf, "%s%08zx:", i ? "\n" : "", i);
      out += buf;
    }
    std::snprintf(buf, sizeof buf, " %02x", bytes[i]);
    out += buf;
  }
  return out;
}

std::vector<uint8_t> f32Bytes(float value) {
  std::vector<uint8_t> out;
  putF32(out, value);
  return out;
}

} // namespace velmora::test

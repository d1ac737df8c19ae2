#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "inspect/ScoreText.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

namespace velmora {
namespace {

using namespace velmora::test;
namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

RawScore readBytesAsScore(const Bytes& bytes, FakeHost& host, int expected = 1) {
  RawScore score;
  EXPECT_EQ(readRawScore(host, ScoreFile{"in.mus", bytes}, score), expected);
  return score;
}

// dump, then undump: the same bytes.
void expectRoundTrip(const Bytes& bytes) {
  FakeHost host;
  const RawScore score = readBytesAsScore(bytes, host);
  ASSERT_TRUE(host.messages.empty()) << host.messages.front();
  const std::string text = dumpScore(score);
  Bytes back;
  std::string error;
  ASSERT_TRUE(undumpScore(text, back, error)) << error << "\n" << text;
  EXPECT_EQ(hexDump(back), hexDump(bytes)) << text;
}

void setU32(Bytes& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}

TEST(ScoreText, OddFilesComeBackByteForByte) {
  const auto nan = std::bit_cast<float>(0x7FC00123u);
  const auto denormal = std::bit_cast<float>(0x00000005u);
  // NaN payloads, infinities, subnormals, -0 and trailing zeros all survive.
  expectRoundTrip(buildScore({{1, 1, 10.5f, nan, -0.0f, denormal, INFINITY, 0, 0}, {8, 2, 0}}));
  // The largest floats print above FLT_MAX as doubles and must still read back.
  expectRoundTrip(buildScore(std::vector<std::vector<float>>{{1, 1, -3.4028235e38f, 3.4028235e38f, 1.17549435e-38f}}));
  // A count word of 4.5 still gives 4 parameters; its bits are kept.
  Bytes counted = buildScore("3 1 4 3\n14 1 9 2");
  setU32(counted, 2, std::bit_cast<uint32_t>(4.5f));
  expectRoundTrip(counted);
  // A 4-byte header whose high half is not zero, and a trailer length of 4.75.
  std::vector<std::vector<float>> many(3600, std::vector<float>{1, 1, 5});
  const std::vector<float> trailer{0, 0, 3, 4.75f, -9999};
  long long total = 3600 * 4 + 5;
  expectRoundTrip(buildScore(many, trailer, total | 0x00070000));
}

TEST(ScoreText, DumpShowsHeaderItemsTextAndTrailer) {
  FakeHost host;
  // "_00Hi" packed from P14 with P12 = 5.
  std::vector<float> text{16, 1, 20, 3, 1, 1, 0, 0, 0, 0, 0, 5, 0};
  const char chars[8] = {'_', '0', '0', 'H', 'i', ' ', ' ', ' '};
  float word;
  std::memcpy(&word, chars, 4);
  text.push_back(word);
  std::memcpy(&word, chars + 4, 4);
  text.push_back(word);
  const RawScore score = readBytesAsScore(buildScore({{8, 1, 0, 0, 0.75f, 200.00005f}, text}), host);
  const std::string dumped = dumpScore(score, "a.mus");
  const std::string head =
      "# file a.mus\n# header 0x001C, 2 bytes\n# words 28\n8 1 0 0 0.75 200.00005\n16 1 20 3 1 1 0 0 0 0 0 5 0 ";
  EXPECT_EQ(dumped.substr(0, head.size()), head);
  EXPECT_NE(dumped.find("\n# text _00Hi\n# trailer 0x00000000 0x00000000 0x00000000 0x40800000 0xC61C3C00\n"),
            std::string::npos)
      << dumped;
  EXPECT_EQ(dumpScorePmx(score), "8.0000    1.000    0.000    0.000    0.750  200.000\n"
                                 "t         1.000   20.000    3.000    1.000    1.000    0.000    0.000    0.000    "
                                 "0.000    0.000    5.000    0.000\n_00Hi\n");
}

TEST(ScoreText, HandEditedTextsAreCheckedLineByLine) {
  const std::string trailer = "# trailer 0 0 0 4 0\n";
  struct Case {
    std::string text;
    std::string error; // empty: accepted
  };
  const std::vector<Case> cases{
      {"1 1 10\n" + trailer, ""},
      {"# header 0x0004, 2 bytes\n1 1 10\n3 1 12 0 1\n" + trailer, ""}, // the stale header is recomputed
      {"1 1 10\n\n0 1 10\n" + trailer, "line 3: invalid code number P1 = 0; codes are 1 to 18"},
      {"19 1 10\n" + trailer, "line 1: invalid code number P1 = 19; codes are 1 to 18"},
      {"1 201 10\n" + trailer, "line 1: invalid stave number P2 = 201; staves are 1 to 200"},
      {"1\n" + trailer, "line 1: invalid stave number P2 = (none); staves are 1 to 200"},
      {"1 1 ten\n" + trailer, "line 1: P3: ten is not a 32-bit float"},
      {"1 1 1e39\n" + trailer, "line 1: P3: 1e39 is not a 32-bit float"},
      {"1 1 3.4028236e38\n" + trailer, "line 1: P3: 3.4028236e38 is not a 32-bit float"},
      {"1 1 0x7FC0\n" + trailer, "line 1: P3: 0x7FC0 is not a 32-bit float"},
      {"1 1 10\n", "line 2: no \"# trailer\" line; a SCORE file ends in a trailer"},
      {trailer + "1 1 10\n", "line 2: an item after the trailer"},
      {"1 1 10\n# trailer 4\n", "line 2: the trailer needs at least 2 words"},
      {"# header 0x12\n1 1 10\n" + trailer, "line 1: the header word 0x12 is not 4 or 8 hexadecimal digits after 0x"},
      {"@0x4040 1 1 10\n" + trailer, "line 1: the count word @0x4040 is not @0x and 8 hex digits"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Bytes bytes;
    std::string error;
    EXPECT_EQ(undumpScore(c.text, bytes, error), c.error.empty());
    EXPECT_EQ(error, c.error);
  }
  // 14201 words take a 4-byte header; more than 65535 have none.
  std::string big;
  for (int i = 0; i < 3549; ++i)
    big += "1 1 5\n";
  Bytes bytes;
  std::string error;
  ASSERT_TRUE(undumpScore(big + trailer, bytes, error)) << error;
  EXPECT_EQ(bytes.size(), 4u + 14201u * 4u);
  EXPECT_EQ(bytes[0] | bytes[1] << 8, 14201);
  std::string huge;
  for (int i = 0; i < 16384; ++i)
    huge += "1 1 5\n";
  EXPECT_FALSE(undumpScore(huge + trailer, bytes, error));
  EXPECT_EQ(error, "line 16384: the file would hold 65541 words, more than a SCORE header can give (65535)");
  // A trailer whose length word no longer fits gets the right one.
  ASSERT_TRUE(undumpScore("1 1 10\n# trailer 1 2 3 9 7 6\n", bytes, error)) << error;
  EXPECT_EQ(hexDump(bytes), hexDump(buildScore("1 1 10", {1, 2, 3, 9, 5, 6})));
}

std::vector<std::vector<double>> pmxRows(const std::string& text, std::vector<std::vector<int>>& decimals) {
  std::vector<std::vector<double>> rows;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string token;
    std::vector<double> row;
    std::vector<int> places;
    bool numeric = true;
    while (numeric && fields >> token) {
      if (row.empty() && token == "t") token = "16";
      char* end = nullptr;
      const double v = std::strtod(token.c_str(), &end);
      numeric = end != token.c_str() && *end == '\0' && std::isfinite(v);
      const size_t dot = token.find('.');
      places.push_back(dot == std::string::npos ? 0 : static_cast<int>(token.size() - dot - 1));
      row.push_back(v);
    }
    if (numeric && !row.empty()) {
      rows.push_back(row);
      decimals.push_back(places);
    }
  }
  return rows;
}

std::string fileText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(ScoreTextCorpus, DumpUndumpAndPmxAgree) {
  const std::string corpus = corpusDir();
  if (corpus.empty()) GTEST_SKIP() << "no corpus folder";
  int seen = 0;
  for (const auto& entry : fs::directory_iterator(corpus)) {
    if (entry.path().extension() != ".mus") continue;
    SCOPED_TRACE(entry.path().filename().string());
    ++seen;
    const Bytes original = readBytes(entry.path().string());
    expectRoundTrip(original);

    const fs::path pmx = fs::path(entry.path()).replace_extension(".pmx");
    if (!fs::exists(pmx)) continue;
    FakeHost host;
    const std::string mine = dumpScorePmx(readBytesAsScore(original, host));
    const std::string theirs = fileText(pmx);
    std::vector<std::vector<int>> myPlaces, theirPlaces;
    const auto myRows = pmxRows(mine, myPlaces);
    const auto theirRows = pmxRows(theirs, theirPlaces);
    ASSERT_EQ(myRows.size(), theirRows.size());
    for (size_t i = 0; i < myRows.size(); ++i) {
      for (size_t j = 0; j < theirRows[i].size(); ++j) {
        const double mineValue = j < myRows[i].size() ? myRows[i][j] : 0.0;
        const double tolerance = 0.5 * std::pow(10.0, -theirPlaces[i][j]) + 0.0005 + 1e-9;
        EXPECT_NEAR(mineValue, theirRows[i][j], tolerance) << "row " << i + 1 << " p" << j + 1;
      }
    }
    // The one listing in this layout matches to the byte.
    if (entry.path().filename() == "ex1.mus") {
      EXPECT_EQ(mine, theirs);
    }
  }
  if (seen == 0) GTEST_SKIP() << "no .mus files in " << corpus;
}

} // namespace
} // namespace velmora

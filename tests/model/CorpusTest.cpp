#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ModelHelpers.h"
#include "model/ScoreWriter.h"

namespace velmora {
namespace {

using namespace velmora::test;
namespace fs = std::filesystem;

class RecordingSink final : public IItemSink {
public:
  bool store(std::span<const float> params) override {
    items.emplace_back(params.begin(), params.end());
    return true;
  }
  Items items;
};

// The items in file order; the store gets header word and trailer.
int readInFileOrder(FakeHost& host, const std::string& path, CItemStore& store, Items& items) {
  ScoreFile file;
  const int opened = openScoreFile(host, path, store, file);
  if (opened != 1) return opened;
  RecordingSink sink;
  const int result = readItems(host, file, store, sink);
  items = std::move(sink.items);
  return result;
}

// A value of the text dump and how far its rounding may be from the parameter.
struct Shown {
  double value;
  double tolerance;
};
using Row = std::vector<Shown>;

// The item rows of a .pmx dump: every token a number ("8.", ".000"), a leading
// "t" standing for code 16. Any other line is the text of the item before it.
std::vector<Row> readPmx(const std::string& path) {
  std::vector<Row> rows;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string token;
    Row row;
    bool numeric = true;
    while (numeric && fields >> token) {
      if (row.empty() && token == "t") token = "16";
      char* end = nullptr;
      const double v = std::strtod(token.c_str(), &end);
      numeric = end != token.c_str() && *end == '\0' && std::isfinite(v);
      const size_t dot = token.find('.');
      const int decimals = dot == std::string::npos ? 0 : static_cast<int>(token.size() - dot - 1);
      row.push_back({v, 0.5 * std::pow(10.0, -decimals) + 1e-4});
    }
    if (numeric && !row.empty()) rows.push_back(row);
  }
  return rows;
}

// Compares what the dump shows; parameters the item lacks (trimmed zeros) show as 0.
void expectShown(const std::vector<float>& item, const Row& row, const std::string& where) {
  for (size_t j = 0; j < row.size(); ++j)
    EXPECT_NEAR(j < item.size() ? item[j] : 0.0, row[j].value, row[j].tolerance) << where << " p" << j + 1;
}

std::string firstDifference(const Bytes& a, const Bytes& b) {
  const size_t i = static_cast<size_t>(std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin());
  const auto around = [i](const Bytes& x) {
    const auto from = static_cast<long>(std::min(i < 16 ? 0 : i - 16, x.size()));
    const auto to = static_cast<long>(std::min(i + 16, x.size()));
    return hexDump(Bytes(x.begin() + from, x.begin() + to));
  };
  return "first difference at " + std::to_string(i) + "\nactual:\n" + around(a) + "\nexpected:\n" + around(b);
}

bool sameBits(const std::vector<float>& a, const std::vector<float>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](float x, float y) { return std::bit_cast<uint32_t>(x) == std::bit_cast<uint32_t>(y); });
}

TEST(ModelCorpus, PlainRoundTripRegroupsAndTrims) {
  const std::string corpus = corpusDir();
  if (corpus.empty()) GTEST_SKIP() << "no corpus folder";
  std::vector<fs::path> scores;
  for (const auto& e : fs::directory_iterator(corpus))
    if (e.path().extension() == ".mus") scores.push_back(e.path());
  std::sort(scores.begin(), scores.end());
  if (scores.empty()) GTEST_SKIP() << "no .mus files in " << corpus;

  for (const fs::path& source : scores) {
    SCOPED_TRACE(source.filename().string());
    Session s;
    fs::copy_file(source, s.in);
    const Bytes original = readBytes(s.in);

    // The file in file order against its text dump.
    CItemStore first;
    Items fileOrder;
    ASSERT_EQ(readInFileOrder(s.host, s.in, first, fileOrder), 1) << s.firstMessage();
    ASSERT_FALSE(fileOrder.empty());
    std::vector<Row> rows;
    if (const fs::path pmx = fs::path(source).replace_extension(".pmx"); fs::exists(pmx)) {
      rows = readPmx(pmx.string());
      ASSERT_EQ(rows.size(), fileOrder.size());
      for (size_t i = 0; i < rows.size(); ++i)
        expectShown(fileOrder[i], rows[i], "item " + std::to_string(i + 1));
    }

    // Expected: stable by stave, trailing zeros trimmed, the trailer as read.
    std::vector<size_t> order(fileOrder.size());
    for (size_t i = 0; i < order.size(); ++i)
      order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return intPart(fileOrder[a][1]) < intPart(fileOrder[b][1]); });
    Items expected;
    for (size_t i : order) {
      expected.push_back(fileOrder[i]);
      while (expected.back().size() > 1 && expected.back().back() == 0.0f)
        expected.back().pop_back();
    }
    ASSERT_EQ(first.trailer.size(), static_cast<size_t>(first.trailerLength) * 4);
    EXPECT_TRUE(std::equal(first.trailer.begin(), first.trailer.end(),
                           original.end() - static_cast<long>(first.trailer.size())));
    std::vector<float> trailer(first.trailer.size() / 4);
    std::memcpy(trailer.data(), first.trailer.data(), first.trailer.size());
    const Bytes expectedBytes = buildScore(expected, trailer);

    // General read, plain write, read again.
    ASSERT_EQ(openAndReadGeneral(s.host, s.in, s.store), 1);
    ASSERT_EQ(writePlain(s.host, s.store, s.out), 1);
    const Bytes written = readBytes(s.out);
    EXPECT_TRUE(written == expectedBytes) << firstDifference(written, expectedBytes);
    CItemStore again;
    Items reread;
    ASSERT_EQ(readInFileOrder(s.host, s.out, again, reread), 1);
    ASSERT_EQ(reread.size(), expected.size());
    EXPECT_EQ(again.headerWord, s.store.headerWord);
    for (size_t i = 0; i < reread.size(); ++i) {
      EXPECT_TRUE(sameBits(reread[i], expected[i])) << "output item " << i + 1;
      if (!rows.empty()) expectShown(reread[i], rows[order[i]], "output item " + std::to_string(i + 1));
    }
    EXPECT_TRUE(s.host.messages.empty()) << s.firstMessage();
    EXPECT_EQ(readBytes(source.string()), original);
  }
}

} // namespace
} // namespace velmora

#include "BenchSupport.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "support/ScoreFixture.h"

namespace velmora::bench {

namespace {

// A small fixed generator, so that every run builds the same files.
class Pitches {
public:
  explicit Pitches(unsigned seed) : state_(seed * 2654435761u + 1) {}
  float next() {
    state_ = state_ * 1103515245u + 12345u;
    return static_cast<float>(static_cast<int>((state_ >> 16) % 13) - 2);
  }

private:
  unsigned state_;
};

std::vector<float> text(float stave, float p3, const std::string& s) {
  std::vector<float> p{16, stave, p3, 0, 0, 0, 0, 0, 0, 0, 0, static_cast<float>(s.size()), 0};
  for (size_t i = 0; i < s.size(); i += 4) {
    char word[4] = {' ', ' ', ' ', ' '};
    for (size_t k = 0; k < 4 && i + k < s.size(); ++k)
      word[k] = s[i + k];
    float v;
    std::memcpy(&v, word, 4);
    p.push_back(v);
  }
  return p;
}

size_t words(const std::vector<std::vector<float>>& items) {
  size_t n = test::scoreTrailer().size();
  for (const auto& item : items)
    n += 1 + item.size();
  return n;
}

} // namespace

std::vector<std::vector<float>> pageItems(const PageShape& shape) {
  std::vector<std::vector<float>> items;
  Pitches pitch(shape.seed);
  for (int s = 1; s <= shape.staves; ++s) {
    const auto st = static_cast<float>(s);
    items.push_back({8, st, 0, static_cast<float>(-6 * (s - 1)), 0, 0, 0, 0, static_cast<float>(10 * s)});
    items.push_back({3, st, 1.5f, 0, static_cast<float>(s % 2)});
    items.push_back({17, st, 7.4f, 0, 1, 1});
    items.push_back({18, st, 9, 0, 4, 4});
    if (s == 1) items.push_back(text(st, 14, "Allegro moderato"));
    // Every fifth stave is blank, for Optimize to delete.
    if (s % 5 == 0) continue;
    for (int m = 0; m < shape.measures; ++m) {
      const float x = 14.0f + 40.0f * static_cast<float>(m);
      for (float pair : {0.0f, 27.0f}) {
        const float a = pitch.next(), b = pitch.next();
        items.push_back({1, st, x + pair, a, 10, 0, 0.5f});
        items.push_back({1, st, x + pair + 5, b, 10, 0, 0.5f});
        items.push_back({6, st, x + pair, a + 7, b + 7, x + pair + 5, 11});
      }
      items.push_back({1, st, x + 10, pitch.next(), 20, 0, 1});
      // Every third measure a second note too close to the first, for Justify.
      items.push_back({1, st, x + (m % 3 == 0 ? 11.0f : 16.0f), pitch.next(), 20, 0, 1});
      items.push_back({2, st, x + 21, 0, 0, 1});
      if (m % 2 == 0) items.push_back({5, st, x, 9, 9, x + 15, 0, 0});
      items.push_back({14, st, x + 40, 1});
    }
  }
  return items;
}

PageShape largePage() {
  PageShape shape{50, 1, 7};
  while (words(pageItems(PageShape{shape.staves, shape.measures + 1, shape.seed})) <= 65000)
    ++shape.measures;
  return shape;
}

std::vector<std::vector<float>> compItems(int count) {
  std::vector<std::vector<float>> items;
  items.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    const float code = i % 8 == 7 ? 14.0f : i % 4 == 3 ? 6.0f : 1.0f;
    items.push_back({code, static_cast<float>(1 + i % 10), static_cast<float>(i / 10)});
  }
  return items;
}

std::vector<uint8_t> scoreBytes(const std::vector<std::vector<float>>& items) {
  if (words(items) > 65535) throw std::runtime_error("the generated file is larger than a header can describe");
  return test::buildScore(items);
}

std::vector<std::string> corpusPages(const std::string& folder) {
  namespace fs = std::filesystem;
  std::vector<std::string> pages;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec))
    if (entry.path().extension() == ".mus" && entry.file_size(ec) >= 1024 && !ec)
      pages.push_back(entry.path().string());
  std::sort(pages.begin(), pages.end());
  return pages;
}

std::string scratchFolder(const std::string& name) {
  namespace fs = std::filesystem;
  static const fs::path root = fs::temp_directory_path() / ("velmora-bench-" + std::to_string(::getpid()));
  static const struct Cleanup {
    ~Cleanup() {
      std::error_code ec;
      fs::remove_all(root, ec);
    }
  } cleanup;
  const fs::path folder = root / name;
  fs::create_directories(folder);
  return folder.string() + "/";
}

} // namespace velmora::bench

#include "inspect/ScoreDiff.h"

#include <algorithm>
#include <bit>
#include <functional>
#include <map>

#include "base/Format.h"
#include "edit/ItemText.h"

namespace velmora {

namespace {

// An item as the writers would leave it: trailing zeros gone.
struct Entry {
  int number = 0; // in file order, from 1
  std::vector<float> params;
};

std::vector<float> trimmed(const std::vector<float>& params) {
  size_t n = params.size();
  while (n > 1 && params[n - 1] == 0.0f)
    --n;
  return {params.begin(), params.begin() + static_cast<long>(n)};
}

bool sameValue(float a, float b) { return a == b || std::bit_cast<uint32_t>(a) == std::bit_cast<uint32_t>(b); }

bool sameItem(const Entry& a, const Entry& b) {
  return a.params.size() == b.params.size() &&
         std::equal(a.params.begin(), a.params.end(), b.params.begin(), sameValue);
}

// Items by stave (integer part of P2), file order kept.
std::map<int, std::vector<Entry>> byStave(const RawScore& score) {
  std::map<int, std::vector<Entry>> staves;
  int number = 0;
  for (const RawItem& item : score.items) {
    ++number;
    const int stave = item.params.size() >= 2 ? intPart(item.params[1]) : 0;
    staves[stave].push_back({number, trimmed(item.params)});
  }
  return staves;
}

using Pairs = std::vector<std::pair<size_t, size_t>>;

// Matched index pairs of a longest common subsequence of [0,n) and [0,m).
// Too large a table pairs the common ends only and leaves the middle unmatched.
Pairs commonSubsequence(size_t n, size_t m, const std::function<bool(size_t, size_t)>& eq) {
  Pairs pairs;
  size_t head = 0;
  while (head < n && head < m && eq(head, head)) {
    pairs.emplace_back(head, head);
    ++head;
  }
  size_t tail = 0;
  while (tail < n - head && tail < m - head && eq(n - 1 - tail, m - 1 - tail))
    ++tail;
  const size_t rows = n - head - tail;
  const size_t cols = m - head - tail;
  if (rows > 0 && cols > 0 && rows * cols <= 16u * 1024 * 1024) {
    std::vector<uint16_t> table((rows + 1) * (cols + 1), 0);
    auto at = [&](size_t i, size_t j) -> uint16_t& { return table[i * (cols + 1) + j]; };
    for (size_t i = rows; i-- > 0;)
      for (size_t j = cols; j-- > 0;)
        at(i, j) =
            eq(head + i, head + j) ? static_cast<uint16_t>(at(i + 1, j + 1) + 1) : std::max(at(i + 1, j), at(i, j + 1));
    size_t i = 0, j = 0;
    while (i < rows && j < cols) {
      if (eq(head + i, head + j)) {
        pairs.emplace_back(head + i, head + j);
        ++i;
        ++j;
      } else if (at(i + 1, j) >= at(i, j + 1)) {
        ++i;
      } else {
        ++j;
      }
    }
  }
  for (size_t k = tail; k > 0; --k)
    pairs.emplace_back(n - k, m - k);
  return pairs;
}

std::string paramsText(const std::vector<float>& params) {
  std::string out;
  for (size_t i = 0; i < params.size(); ++i)
    out += (i ? " " : "") + floatText(params[i]);
  return out;
}

std::string changes(const Entry& a, const Entry& b) {
  std::string out;
  const size_t n = std::max(a.params.size(), b.params.size());
  for (size_t i = 0; i < n; ++i) {
    const float x = i < a.params.size() ? a.params[i] : 0.0f;
    const float y = i < b.params.size() ? b.params[i] : 0.0f;
    if (sameValue(x, y)) continue;
    out += strprintf("%sP%zu %s -> %s", out.empty() ? "" : ", ", i + 1, floatText(x).c_str(), floatText(y).c_str());
  }
  // Text items: the characters too, which the numbers from P14 on hide.
  if (intPart(a.params[0]) == 16 && intPart(b.params[0]) == 16) {
    const std::string before = itemTextByLength(CItem(a.params));
    const std::string after = itemTextByLength(CItem(b.params));
    if (before != after) out += ", text \"" + before + "\" -> \"" + after + "\"";
  }
  return out;
}

class StaveDiff {
public:
  StaveDiff(const std::vector<Entry>& a, const std::vector<Entry>& b, std::string& out) : a_(a), b_(b), out_(out) {}

  void run() {
    const Pairs same =
        commonSubsequence(a_.size(), b_.size(), [&](size_t i, size_t j) { return sameItem(a_[i], b_[j]); });
    size_t i = 0, j = 0;
    for (const auto& [ia, jb] : same) {
      gap(i, ia, j, jb);
      i = ia + 1;
      j = jb + 1;
    }
    gap(i, a_.size(), j, b_.size());
  }

private:
  // Unmatched runs: items of the same code number pair up as changed.
  void gap(size_t a0, size_t a1, size_t b0, size_t b1) {
    if (a0 == a1 && b0 == b1) return;
    const Pairs changed = commonSubsequence(a1 - a0, b1 - b0, [&](size_t i, size_t j) {
      return intPart(a_[a0 + i].params[0]) == intPart(b_[b0 + j].params[0]);
    });
    size_t i = a0, j = b0;
    for (const auto& [ia, jb] : changed) {
      only(i, a0 + ia, j, b0 + jb);
      const Entry& x = a_[a0 + ia];
      const Entry& y = b_[b0 + jb];
      out_ += strprintf("  item %d / %d changed: ", x.number, y.number) + changes(x, y) + "\n";
      i = a0 + ia + 1;
      j = b0 + jb + 1;
    }
    only(i, a1, j, b1);
  }

  void only(size_t a0, size_t a1, size_t b0, size_t b1) {
    for (size_t i = a0; i < a1; ++i)
      out_ += strprintf("  item %d only in A: ", a_[i].number) + paramsText(a_[i].params) + "\n";
    for (size_t j = b0; j < b1; ++j)
      out_ += strprintf("  item %d only in B: ", b_[j].number) + paramsText(b_[j].params) + "\n";
  }

  const std::vector<Entry>& a_;
  const std::vector<Entry>& b_;
  std::string& out_;
};

} // namespace

ScoreDiff diffScores(const RawScore& a, const RawScore& b) {
  ScoreDiff result;
  const auto staveA = byStave(a);
  const auto staveB = byStave(b);
  std::map<int, bool> staves;
  for (const auto& entry : staveA)
    staves[entry.first] = true;
  for (const auto& entry : staveB)
    staves[entry.first] = true;
  static const std::vector<Entry> none;
  for (const auto& [stave, present] : staves) {
    (void)present;
    const auto ia = staveA.find(stave);
    const auto ib = staveB.find(stave);
    std::string lines;
    StaveDiff(ia == staveA.end() ? none : ia->second, ib == staveB.end() ? none : ib->second, lines).run();
    if (!lines.empty()) result.text += strprintf("stave %d:\n", stave) + lines;
  }
  std::string trailer;
  const size_t words = std::max(a.trailer.size(), b.trailer.size());
  for (size_t k = 0; k < words; ++k) {
    const bool inA = k < a.trailer.size();
    const bool inB = k < b.trailer.size();
    if (inA && inB && a.trailer[k] == b.trailer[k]) continue;
    trailer += strprintf("  word %zu: %s -> %s\n", k + 1, inA ? strprintf("0x%08X", a.trailer[k]).c_str() : "(none)",
                         inB ? strprintf("0x%08X", b.trailer[k]).c_str() : "(none)");
  }
  if (!trailer.empty()) result.text += "trailer:\n" + trailer;
  result.differ = !result.text.empty();
  return result;
}

} // namespace velmora

#pragma once

#include <cstring>

#include "FuzzHost.h"
#include "base/ByteReader.h"
#include "model/ScoreReader.h"
#include "model/ScoreWriter.h"

namespace velmora::fuzz {

// A SCORE trailer of `words` words whose second-to-last word holds words - 1.
inline std::vector<uint8_t> trailerBytes(int words) {
  ByteWriter out;
  for (int i = 0; i < words; ++i)
    out.f32(i == words - 2 ? static_cast<float>(words - 1) : 0.0f);
  return out.buffer();
}

// A store of the items with a trailer, its header word counted.
inline void fillStore(CItemStore& store, const std::vector<std::vector<float>>& items, int trailerWords = 4) {
  store.clear();
  store.headerWord = trailerWords;
  for (const auto& p : items) {
    store.addItem(p);
    store.headerWord += 1 + static_cast<int32_t>(p.size());
  }
  store.trailer = trailerBytes(trailerWords);
  store.trailerLength = static_cast<int16_t>(trailerWords);
}

// The same items in the same lists, bit for bit.
inline bool sameItems(const CItemStore& a, const CItemStore& b) {
  for (int l = 0; l < kStaveListCount; ++l) {
    if (a.list(l).size() != b.list(l).size()) return false;
    auto ib = b.list(l).begin();
    for (const CItem& item : a.list(l)) {
      const auto pa = item.params().values();
      const auto pb = ib->params().values();
      if (pa.size() != pb.size() || std::memcmp(pa.data(), pb.data(), pa.size() * sizeof(float)) != 0) return false;
      ++ib;
    }
  }
  return true;
}

// The words the store's items and trailer take, as the writer counts them.
inline int64_t storeWords(const CItemStore& store) {
  int64_t words = store.trailerLength;
  for (int l = 0; l < kStaveListCount; ++l)
    for (const CItem& item : store.list(l))
      words += 1 + item.count();
  return words;
}

// Every item as read, in file order, with the framing's checks only: an
// edit may leave codes and staves that the task readers refuse.
class FlatSink : public IItemSink {
public:
  bool checksCodeAndStave() const override { return false; }
  bool store(std::span<const float> params) override {
    items.emplace_back(params.begin(), params.end());
    return true;
  }
  std::vector<std::vector<float>> items;
};

// Whatever the store holds after a task: the plain writer either refuses it
// or writes a file whose framing reads back to the same items and trailer.
inline void checkWritesBack(IHost& host, CItemStore& store) {
  ByteWriter out;
  if (encodePlain(host, store, "out.mus", out) != 1) return;
  ScoreFile again{"again.mus", out.buffer()};
  CItemStore reread;
  FlatSink sink;
  check(openScoreBytes(host, reread, again) == 1);
  check(readItems(host, again, reread, sink) == 1);
  size_t at = 0;
  for (int l = 0; l < kStaveListCount; ++l) {
    for (const CItem& item : store.list(l)) {
      check(at < sink.items.size());
      const auto pa = item.params().values();
      const std::vector<float>& pb = sink.items[at++];
      check(pa.size() == pb.size() && std::memcmp(pa.data(), pb.data(), pa.size() * sizeof(float)) == 0);
    }
  }
  check(at == sink.items.size());
  check(reread.trailer == store.trailer);
}

} // namespace velmora::fuzz

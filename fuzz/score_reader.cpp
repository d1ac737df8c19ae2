// SCORE readers over arbitrary bytes: a file that reads must write and read
// back to the same items.
#include <cstring>

#include "FuzzHost.h"
#include "base/ByteReader.h"
#include "model/ScoreReader.h"
#include "model/ScoreWriter.h"

using namespace velmora;

namespace {

bool sameItems(const CItemStore& a, const CItemStore& b) {
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::FuzzHost host;
  ScoreFile file{"fuzz.mus", std::vector<uint8_t>(data, data + size)};

  CItemStore store;
  if (openScoreBytes(host, store, file) == 1 && readGeneral(host, file, store) == 1) {
    ByteWriter out;
    if (encodePlain(host, store, file.path, out) == 1) {
      ScoreFile again{"again.mus", out.buffer()};
      CItemStore reread;
      fuzz::check(openScoreBytes(host, reread, again) == 1);
      fuzz::check(readGeneral(host, again, reread) == 1);
      fuzz::check(sameItems(store, reread));
      fuzz::check(reread.trailer == store.trailer);
    }
  }

  // The optimize reader in both modes marks only staves it has lists for.
  OptimizeMarking marking;
  marking.instrumentMode = size > 0 && (data[0] & 1);
  marking.keepListed = size > 0 && (data[0] & 2);
  marking.instruments = {10, 20};
  CItemStore optimized;
  if (openScoreBytes(host, optimized, file) == 1 && readOptimize(host, file, optimized, marking) == 1) {
    fuzz::check(optimized.staveFlags[0] == 0);
    fuzz::check(optimized.list(kPlacedList).empty());
  }
  return 0;
}

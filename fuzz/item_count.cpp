// The item count over arbitrary bytes: totals stay consistent.
#include "FuzzHost.h"
#include "count/ItemCount.h"
#include "model/ScoreReader.h"

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::FuzzHost host;
  ScoreFile file{"fuzz.mus", std::vector<uint8_t>(data, data + size)};
  ItemCountTotals totals;
  fuzz::check(countBytes(host, file, totals) == 1);
  int64_t codeItems = 0;
  for (int c = 1; c <= 18; ++c)
    codeItems += totals.codeItems[static_cast<size_t>(c)];
  fuzz::check(codeItems <= totals.items);
  fuzz::check(totals.staves >= 0 && totals.staves <= 250);
  fuzz::check(totals.blankStaves >= 0 && totals.blankStaves <= totals.staves);
  fuzz::check(totals.parameters >= 0);
  return 0;
}
